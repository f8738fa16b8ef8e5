// The page's layout: the canvas sized to the window, fullscreen, the switch
// between the desktop and the touch layout, and the touch layout's controls
// in place of the drawn menu (a button for each command acting in the mode,
// with the program's label, each value row's "-" and "+", Move and the touch
// help). After each frame the program makes, it reads the program's
// description of itself once, then what the touch layout's controls show.
import { canvas, page, fromProgram, notice, reason, control, tapControl } from './program.js';

// The canvas takes the largest size that fits the window (the whole
// screen in fullscreen) with its aspect kept; in the touch layout only its
// part left of the menu is shown, and the controls take the rest. At a
// whole number of device pixels per program pixel it stays pixel-sharp;
// any other scale is smoothed by the browser, since dropping pixels would
// lose lines and letters. The pointer is mapped through the canvas's
// shown size.
var screen = document.getElementById('screen');
var panel = document.getElementById('panel');
// pixels kept free between the canvas and the controls below it, and the
// smallest scale the canvas takes in a window too small for it
var panelGap = 4, smallestScale = 0.05;
function fit() {
  var touch = page.touch;
  var frame = page.described ? page.described.frame : { width: canvas.width, height: canvas.height, canvas_width: canvas.width };
  var shownWidth = touch ? frame.canvas_width : frame.width;
  var ratio = window.devicePixelRatio || 1;
  var width = window.innerWidth, height = window.innerHeight;
  // upright the touch layout's canvas takes the whole width, turned the whole height
  if (touch && width < height) height = width * frame.height / shownWidth;
  else if (touch) width = height * shownWidth / frame.height;
  else if (!document.fullscreenElement) height -= panel.offsetHeight + panelGap;
  var device = Math.max(smallestScale, Math.min(Math.floor(width * ratio) / shownWidth, Math.floor(height * ratio) / frame.height));
  screen.classList.toggle('whole', device === Math.floor(device));
  screen.style.width = Math.round(shownWidth * device) / ratio + 'px';
  screen.style.height = Math.round(frame.height * device) / ratio + 'px';
  canvas.style.width = Math.round(frame.width * device) / ratio + 'px';
}
window.addEventListener('resize', fit);
fit();

var fullscreen = document.getElementById('fullscreen');
if (!document.fullscreenEnabled) fullscreen.hidden = true;
fullscreen.addEventListener('click', function () {
  if (document.fullscreenElement) document.exitFullscreen();
  else document.documentElement.requestFullscreen().catch(function (failure) { notice('No fullscreen: ' + reason(failure)); });
});
document.addEventListener('fullscreenchange', function () {
  fullscreen.textContent = document.fullscreenElement ? 'Leave fullscreen' : 'Fullscreen';
  fit();
});

// Move: a press on the canvas carries Shift while it is on
var moveButton = document.getElementById('move');
moveButton.addEventListener('click', function () {
  page.moving = !page.moving;
  moveButton.setAttribute('aria-pressed', String(page.moving));
});

// The touch layout: used where the pointer is coarse unless the person
// chose otherwise, which the browser remembers.
var layoutKey = 'flopkin-layout';
var layoutButton = document.getElementById('layout');
var chosenLayout = null;
try { chosenLayout = localStorage.getItem(layoutKey); } catch (e) {}
function useLayout(touchNow) {
  page.touch = touchNow;
  // Move is the touch layout's: the desktop has Shift
  page.moving = false;
  moveButton.setAttribute('aria-pressed', 'false');
  document.body.classList.toggle('touch', touchNow);
  // the program's notice names the touch layout's controls, not keys
  if (page.described) Module._flopkin_touch_layout(touchNow ? 1 : 0);
  layoutButton.textContent = touchNow ? 'Desktop layout' : 'Touch layout';
  fit();
}
layoutButton.addEventListener('click', function () {
  useLayout(!page.touch);
  try { localStorage.setItem(layoutKey, page.touch ? 'touch' : 'desktop'); } catch (e) {}
});
useLayout(chosenLayout ? chosenLayout === 'touch' : window.matchMedia('(pointer: coarse)').matches);

// The touch layout's help is shown until "?" hides it, which the browser
// remembers; "?" shows it again.
var helpKey = 'flopkin-touch-help';
var touchHelp = document.getElementById('touch-help');
var helpSwitch = document.getElementById('help-switch');
function showHelp(shown) {
  touchHelp.hidden = !shown;
  helpSwitch.setAttribute('aria-expanded', String(shown));
}
try { showHelp(localStorage.getItem(helpKey) !== 'hidden'); } catch (e) { showHelp(true); }
helpSwitch.addEventListener('click', function () {
  showHelp(touchHelp.hidden);
  try { localStorage.setItem(helpKey, touchHelp.hidden ? 'hidden' : 'shown'); } catch (e) {}
});

var commandsPanel = document.getElementById('commands');
var valuesPanel = document.getElementById('values');
var commandButtons = new Map();  // control number to its button
var valueLabels = [];
var state = null;  // what the touch layout shows, as of the program's last frame
function makeButton(parent, text, controlNumber) {
  var b = document.createElement('button');
  b.type = 'button';
  b.textContent = text;
  b.dataset.control = controlNumber;
  parent.appendChild(b);
  return b;
}
// a stepper acts on every frame it is held
function stepper(parent, text, controlNumber) {
  var b = makeButton(parent, text, controlNumber);
  var down = false;
  function up() { if (down) { down = false; control(controlNumber, false); } }
  b.addEventListener('pointerdown', function (e) {
    e.preventDefault();
    b.setPointerCapture(e.pointerId);
    down = true;
    control(controlNumber, true);
  });
  ['pointerup', 'pointercancel', 'lostpointercapture'].forEach(function (n) { b.addEventListener(n, up); });
  b.addEventListener('contextmenu', function (e) { e.preventDefault(); });
}
function buildControls() {
  page.described.menu.values.forEach(function (row) {
    var line = document.createElement('div');
    line.className = 'value';
    stepper(line, '−', row.minus);
    var label = document.createElement('span');
    line.appendChild(label);
    valueLabels.push(label);
    stepper(line, '+', row.plus);
    valuesPanel.appendChild(line);
  });
}
// the commands acting in the mode, in the table's order, as the program names them now
function showState() {
  var next = fromProgram(Module._flopkin_page_state);
  if (!next) return;
  var order = next.commands.map(function (c) { return c.control; }).join();
  if (!state || order !== state.commands.map(function (c) { return c.control; }).join()) {
    commandsPanel.textContent = '';
    commandButtons.clear();
    next.commands.forEach(function (c) {
      var b = makeButton(commandsPanel, c.label, c.control);
      b.addEventListener('click', function () { tapControl(c.control); });
      commandButtons.set(c.control, b);
    });
  }
  next.commands.forEach(function (c) {
    var b = commandButtons.get(c.control);
    if (b.textContent !== c.label) b.textContent = c.label;
    b.disabled = !c.enabled;
  });
  next.values.forEach(function (text, i) { if (valueLabels[i].textContent !== text) valueLabels[i].textContent = text; });
  state = next;
}
// after each frame the program made: its description once, then what the
// touch layout's controls show
var seenFrames = 0;
requestAnimationFrame(function watch() {
  requestAnimationFrame(watch);
  if (!Module.flopkin || Module.flopkin.frames === seenFrames || page.ended) return;
  seenFrames = Module.flopkin.frames;
  if (!page.described) {
    page.described = fromProgram(Module._flopkin_page_description);
    if (!page.described) return;
    buildControls();
    Module._flopkin_touch_layout(page.touch ? 1 : 0);
    fit();
  }
  if (page.touch) showState();
});
