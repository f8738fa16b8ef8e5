// The pointer on the canvas: mouse, pen and touch alike, the wheel and a
// touchpad's scrolling, two fingers' pinch, a finger's press held back for a
// moment so that a second finger makes a pinch and nothing else, and the
// long press that moves a ball.
import { canvas, events, held, page, fromProgram, modifiers, push, press, release, releaseAll } from './program.js';

// One pointer at a time acts as the mouse, its buttons as the program's
// buttons (the pointer's bits are 1 left, 2 right, 4 middle). The browser
// neither scrolls nor zooms the page under a finger.
var pointer = null, pressed = 0;
var pointerBits = [1, 2, 4], buttonNames = ['left', 'right', 'middle'];
var anyButton = pointerBits.reduce(function (all, bit) { return all | bit; }, 0);
function moveTo(at) {
  var r = canvas.getBoundingClientRect();
  push('pointer_move', Math.floor((at.clientX - r.left) * canvas.width / r.width),
       Math.floor((at.clientY - r.top) * canvas.height / r.height));
}
// a button's press carries Shift (Shift+drag moves a ball), as does any
// press while Move is on
function buttonsNow(now, mods) {
  pointerBits.forEach(function (bit, i) {
    var code = page.described && page.described.buttons[buttonNames[i]];
    if ((now & bit) && !(pressed & bit)) press(code, false, mods);
    if (!(now & bit) && (pressed & bit)) release(code, 0);
  });
  pressed = now;
}
function pressMods(e) {
  var described = page.described;
  return (described ? modifiers(e) : 0) | (page.moving && described ? described.modifiers.shift : 0);
}

// The wheel zooms by notches, up positive; a touchpad's small steps are
// fractions that the program adds up. Two fingers pinch: their distance
// growing by pinchPixels is a notch up ("+"), shrinking one down.
function scroll(notches) { if (notches && page.described) push('wheel', Math.round(notches * page.described.events.wheel_steps_per_notch)); }
var notchPixels = 100, notchLines = 3, pinchPixels = 40;
canvas.addEventListener('wheel', function (e) {
  e.preventDefault();
  var per = e.deltaMode === WheelEvent.DOM_DELTA_LINE ? notchLines :
            e.deltaMode === WheelEvent.DOM_DELTA_PAGE ? 1 : notchPixels;
  scroll(-e.deltaY / per);
}, { passive: false });

// A finger's press is held back until it moves more than stillPixels or
// holdMs pass (a second finger lands up to about a quarter of a second
// after the first), so that a second finger within that time makes a
// pinch and nothing else; then it is sent where the finger landed, in a
// frame of its own before the moves since. A second finger after that
// cancels the press: while the program has not read it, it is taken back
// from the queue; once read, the pointer goes back to where it began
// before the release (no link), or, for a ball being moved or thrown,
// lets go where it is. A finger or pen held still for longPressMs on a
// ball in draw mode moves it, as Shift+drag does, and the device buzzes
// for buzzMs where it can.
var stillPixels = 10, holdMs = 250, longPressMs = 500, buzzMs = 20;
var fingers = new Map(), pinchDistance = 0;
var landing = null;      // where the pointer's press began, and its timers
function spread() {
  var at = Array.from(fingers.values());
  return Math.hypot(at[0].clientX - at[1].clientX, at[0].clientY - at[1].clientY);
}
// after ms, once the fingers' moves and touches up to then have come in
// (the browser hands them over with the animation frames)
function later(act, ms) {
  var at = landing;
  return setTimeout(function () {
    requestAnimationFrame(function () { if (landing === at && !at.moved) act(); });
  }, ms);
}
function stopTimers() {
  if (!landing) return;
  clearTimeout(landing.hold);
  clearTimeout(landing.long);
}
function sendPress() {
  if (!landing || landing.sent) return;
  clearTimeout(landing.hold);
  landing.sent = true;
  var from = events.length;
  moveTo(landing);
  buttonsNow(landing.buttons, landing.mods);
  push('frame_end');
  landing.queued = events.slice(from);
}
// the press taken back with the moves after it, while the program has read
// none of it (it reads the queue from the front); false once it has
function takeBack() {
  var queued = landing.queued || [], since = events.indexOf(queued[0]);
  if (since < 0) return false;
  for (var i = events.length - 1; i >= since; --i)
    if (queued.indexOf(events[i]) >= 0 || events[i][0] === page.described.events.pointer_move) events.splice(i, 1);
  pointerBits.forEach(function (bit, i) { if (pressed & bit) held.delete(page.described.buttons[buttonNames[i]]); });
  pressed = 0;
  return true;
}
// the program's mode as of its last frame
function modeNow() { return (fromProgram(Module._flopkin_page_state) || {}).mode; }
// in draw mode a long press turns a press on a ball into a move of it:
// let go, and press again with Shift in the next frame
function longPress() {
  if (!landing || !landing.sent || landing.mods & page.described.modifiers.shift || modeNow() !== 'draw') return;
  moveTo(landing);
  buttonsNow(0, 0);
  push('frame_end');
  landing.mods |= page.described.modifiers.shift;
  buttonsNow(landing.buttons, landing.mods);
  if (navigator.vibrate) navigator.vibrate(buzzMs);
}
function letGo() {
  stopTimers();
  landing = null;
  pointer = null;
}
function cancelPress() {
  if (landing && landing.sent && !takeBack()) {
    var throwing = modeNow() !== 'draw';
    if (!throwing && !(landing.mods & page.described.modifiers.shift)) moveTo(landing);
    buttonsNow(0, 0);
  }
  letGo();
}
canvas.addEventListener('pointerdown', function (e) {
  e.preventDefault();
  canvas.focus();
  if (!page.described) return;
  if (e.pointerType === 'touch') {
    fingers.set(e.pointerId, e);
    if (fingers.size > 1) {
      if (fingers.size === 2) pinchDistance = spread();
      if (pointer !== null) cancelPress();
      return;
    }
  }
  if (pointer !== null && e.pointerId !== pointer) return;
  pointer = e.pointerId;
  canvas.setPointerCapture(e.pointerId);
  if (e.pointerType === 'mouse') {
    moveTo(e);
    buttonsNow(e.buttons & anyButton, pressMods(e));
    return;
  }
  stopTimers();
  landing = { clientX: e.clientX, clientY: e.clientY, buttons: (e.buttons & anyButton) || pointerBits[0], mods: pressMods(e), sent: false };
  landing.long = later(longPress, longPressMs);
  if (e.pointerType === 'touch') landing.hold = later(sendPress, holdMs);
  else sendPress();
});
// a drag may leave the canvas and still be released: the canvas has the pointer captured
window.addEventListener('pointermove', function (e) {
  if (fingers.has(e.pointerId)) {
    fingers.set(e.pointerId, e);
    if (fingers.size === 2) {
      var now = spread();
      scroll((now - pinchDistance) / pinchPixels);
      pinchDistance = now;
    }
  }
  if (pointer === null ? e.pointerType !== 'mouse' : e.pointerId !== pointer) return;
  if (landing && Math.hypot(e.clientX - landing.clientX, e.clientY - landing.clientY) > stillPixels) {
    clearTimeout(landing.long);
    sendPress();
    landing.moved = true;
  }
  if (landing && !landing.sent) return;
  moveTo(e);
  if (e.pointerType === 'mouse' && pointer !== null) buttonsNow(e.buttons & anyButton, pressMods(e));
});
function lift(e) {
  fingers.delete(e.pointerId);
  if (e.pointerId !== pointer) return;
  if (e.pointerType !== 'mouse') {
    if (e.type === 'pointercancel') return cancelPress();
    sendPress();
    moveTo(e);
    buttonsNow(0, 0);
    return letGo();
  }
  moveTo(e);
  buttonsNow(e.type === 'pointerup' ? e.buttons & anyButton : 0, 0);
  if (!pressed) pointer = null;
}
window.addEventListener('pointerup', lift);
window.addEventListener('pointercancel', lift);
canvas.addEventListener('contextmenu', function (e) { e.preventDefault(); });
window.addEventListener('blur', function () {
  releaseAll();
  letGo();
  pressed = 0;
  fingers.clear();
});
