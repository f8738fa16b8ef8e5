// The keyboard: keys go to the program as its virtual-key codes, the
// browser's own actions kept from the program's keys; while the requester is
// up, keys stay in its fields and Enter answers it.
import { held, page, modifiers, press, release, releaseAll } from './program.js';
import { ok } from './requester.js';

// The browser's key codes are the program's virtual-key codes, but for the
// keypad's decimal point, which is the program's "." (one step while
// paused) as on the main keyboard. The program's own keys, as its table of
// commands names them, do not reach the browser. These run before any
// other key handler of the window.
function keyCode(e) { return e.code === 'NumpadDecimal' ? page.described.keys.period : e.keyCode; }
function programs(e) {
  var mods = modifiers(e);
  return !e.altKey && page.described.keys.chords.some(function (k) { return k[0] === keyCode(e) && k[1] === mods; });
}
window.addEventListener('keydown', function (e) {
  if (page.modal) {
    // the requester's own: text typed stays in its field
    e.stopImmediatePropagation();
    if (e.key === 'Enter') { e.preventDefault(); ok(); }
    return;
  }
  if (page.ended || !page.described) return;
  if (programs(e)) e.preventDefault();
  if (e.altKey) return;
  var code = keyCode(e);
  press(code, e.repeat && held.has(code), modifiers(e));
}, true);
window.addEventListener('keyup', function (e) {
  if (page.modal) { e.stopImmediatePropagation(); return; }
  if (!page.described) return;
  release(keyCode(e), modifiers(e));
  // while Cmd is down a Mac sends no key's release: they all end with it
  if (e.key === 'Meta') releaseAll();
}, true);
