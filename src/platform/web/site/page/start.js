// The page's start: the object the program's runtime reads as `Module` (what
// the runtime and the program call back into, as Module.flopkin), then the
// runtime itself, loaded once that object is in place; the run's end, by the
// program's own end or a failure, shown with its reason; and the service
// worker that keeps the page for visits without a network. The page's other
// parts are imported here, so each is in place before the program runs.
import { canvas, events, page, reason, notice, opensLarge } from './program.js';
import './layout.js';
import './gestures.js';
import './keys.js';
import { ask, keepSaved } from './requester.js';
import { unpack } from './share.js';

// the run is over: by the program's own end, or by a failure, whose reason is shown
function stop(why) {
  if (page.ended) return;
  page.ended = true;
  events.length = 0;
  var dialog = document.getElementById('requester');
  if (dialog.open) dialog.close();
  document.getElementById('why').textContent = why;
  document.getElementById('ended').hidden = false;
}
function failure(what) {
  console.error('flopkin: stopped: ' + (what && what.stack || what));
  stop('It stopped on an error: ' + what);
}
window.addEventListener('error', function (e) { failure(e.error || e.message); });
window.addEventListener('unhandledrejection', function (e) { failure(e.reason); });
document.getElementById('start-again').addEventListener('click', function () { location.reload(); });
// leaving with a change the browser's storage does not hold yet asks first
window.addEventListener('beforeunload', function (e) {
  if (page.ended || !Module.flopkin.recovery || !Module.flopkin.recovery.unkept()) return;
  e.preventDefault();
  e.returnValue = '';
});
// the program's last complaints since it started, shown when it ends with a failure
var complaints = [], complaintsShown = 3;

window.Module = {
  canvas: canvas,
  flopkin: {
    notice: notice,
    reason: reason,
    opensLarge: opensLarge,
    unpack: unpack,
    events: events,
    frames: 0,  // made by the program
    shown: 0,   // shown by the page
    request: ask,
    keep: keepSaved,
    ended: function (status) { stop(status !== 0 ? complaints.join(' ') : ''); },
  },
  printErr: function (text) {
    console.warn(text);
    complaints = complaints.concat([text]).slice(-complaintsShown);
  },
  onAbort: failure,
};

// the runtime reads Module as it loads
var runtime = document.createElement('script');
runtime.src = 'flopkin.js';
document.body.appendChild(runtime);

// once loaded, the page is kept for visits without a network
window.addEventListener('load', function () {
  if ('serviceWorker' in navigator) navigator.serviceWorker.register('sw.js').catch(function () {});
});
