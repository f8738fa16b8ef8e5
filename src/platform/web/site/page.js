// The page around Flopkin's canvas: it scales the canvas to the window, queues
// the input for the program, shows the requester and the end of a run, opens
// dropped documents and puts the figure into a link. In its touch layout it
// shows the canvas part of the frame alone, with controls a finger can hit
// in place of the drawn menu. What it knows of the program (the frame's
// size, the numbers of events, keys and buttons, the commands and the menu's
// places) comes from the program's description of itself.
'use strict';

var Module = (function () {
  var canvas = document.getElementById('canvas');
  var events = [];
  var modal = false;        // the requester is up: no input reaches the program
  var ended = false;
  var held = new Set();     // codes pressed and not yet released, to release on blur
  var described = null;     // the program's description of itself, once it runs
  var state = null;         // what the touch layout shows, as of the program's last frame

  // an exported function of the program called with texts, each copied into
  // the program's memory for the call; called directly, since the runtime's
  // ccall would wait for the program's run to end
  function withTexts(texts, exported) {
    var copies = texts.map(function (text) {
      var size = Module.lengthBytesUTF8(text) + 1, at = Module._malloc(size);
      Module.stringToUTF8(text, at, size);
      return at;
    });
    try {
      return exported.apply(null, copies);
    } finally {
      copies.forEach(function (at) { Module._free(at); });
    }
  }

  // the program's JSON text from one of its exported functions, called directly
  function fromProgram(exported) {
    var text = exported();
    return text ? JSON.parse(Module.UTF8ToString(text)) : null;
  }

  // The canvas takes the largest size that fits the window (the whole
  // screen in fullscreen) with its aspect kept; in the touch layout only its
  // part left of the menu is shown, and the controls take the rest. At a
  // whole number of device pixels per program pixel it stays pixel-sharp;
  // any other scale is smoothed by the browser, since dropping pixels would
  // lose lines and letters. The pointer is mapped through the canvas's
  // shown size.
  var screen = document.getElementById('screen');
  var panel = document.getElementById('panel');
  var touch = false;
  // pixels kept free between the canvas and the controls below it, and the
  // smallest scale the canvas takes in a window too small for it
  var panelGap = 4, smallestScale = 0.05;
  function fit() {
    var frame = described ? described.frame : { width: canvas.width, height: canvas.height, canvas_width: canvas.width };
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

  // what a failure says of itself
  function reason(failure) { return String(failure && failure.message || failure); }

  // what the program's exported function answers of a document's bytes, put
  // in its memory for the call, with the further texts given
  var askedPath = '/tmp/asked.fkn';
  function askOfBytes(bytes, exported, texts) {
    Module.FS.writeFile(askedPath, bytes);
    try {
      return withTexts([askedPath].concat(texts || []), exported);
    } finally {
      Module.FS.unlink(askedPath);
    }
  }
  // A figure of very many balls takes seconds to open and runs slowly: it
  // opens once the person says so. The program counts a document's balls
  // from its bytes, and names the count only past what it opens unasked.
  function opensLarge(balls) {
    return window.confirm('This figure has ' + balls.toLocaleString('en') + ' balls: it takes a while to open ' +
                          'and runs slowly. Open it?');
  }
  function largeAsked(bytes) {
    var balls = askOfBytes(bytes, Module._flopkin_balls_to_ask);
    return !balls || opensLarge(balls);
  }

  // a line beside the page's controls, for what the page has to say
  var noticeText = document.getElementById('notice');
  var noticeDownload = document.getElementById('notice-download');
  function notice(text, offered) {
    noticeText.textContent = text;
    noticeDownload.hidden = !offered;
    noticeDownload.onclick = offered || null;
  }

  // a key event carries the modifiers held with it; Cmd counts as Ctrl.
  // Nothing is queued before the program runs and has said what its events are.
  function modifiers(e) {
    var m = described.modifiers;
    return (e.shiftKey ? m.shift : 0) | (e.ctrlKey || e.metaKey ? m.ctrl : 0);
  }
  function push(kind, a, b) { if (described && !modal && !ended) events.push([described.events[kind], a, b || 0]); }
  function press(code, repeat, mods) { held.add(code); push(repeat ? 'key_repeat' : 'key_press', code, mods); }
  function release(code, mods) { if (held.delete(code)) push('key_release', code, mods); }
  function releaseAll() { held.forEach(function (code) { release(code); }); }
  // a control beside the canvas: a press, or its release
  function control(number, down) { push(down ? 'control_press' : 'control_release', number); }
  function tapControl(number) { control(number, true); control(number, false); }

  // Mouse, pen and touch alike: one pointer at a time acts as the mouse,
  // its buttons as the program's buttons (the pointer's bits are 1 left,
  // 2 right, 4 middle). The browser neither scrolls nor zooms the page under
  // a finger.
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
      var code = described && described.buttons[buttonNames[i]];
      if ((now & bit) && !(pressed & bit)) press(code, false, mods);
      if (!(now & bit) && (pressed & bit)) release(code, 0);
    });
    pressed = now;
  }
  var moveButton = document.getElementById('move');
  var moving = false;
  moveButton.addEventListener('click', function () {
    moving = !moving;
    moveButton.setAttribute('aria-pressed', String(moving));
  });
  function pressMods(e) { return (described ? modifiers(e) : 0) | (moving && described ? described.modifiers.shift : 0); }

  // The wheel zooms by notches, up positive; a touchpad's small steps are
  // fractions that the program adds up. Two fingers pinch: their distance
  // growing by pinchPixels is a notch up ("+"), shrinking one down.
  function scroll(notches) { if (notches && described) push('wheel', Math.round(notches * described.events.wheel_steps_per_notch)); }
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
      if (queued.indexOf(events[i]) >= 0 || events[i][0] === described.events.pointer_move) events.splice(i, 1);
    pointerBits.forEach(function (bit, i) { if (pressed & bit) held.delete(described.buttons[buttonNames[i]]); });
    pressed = 0;
    return true;
  }
  // the program's mode as of its last frame
  function modeNow() { return (fromProgram(Module._flopkin_page_state) || {}).mode; }
  // in draw mode a long press turns a press on a ball into a move of it:
  // let go, and press again with Shift in the next frame
  function longPress() {
    if (!landing || !landing.sent || landing.mods & described.modifiers.shift || modeNow() !== 'draw') return;
    moveTo(landing);
    buttonsNow(0, 0);
    push('frame_end');
    landing.mods |= described.modifiers.shift;
    buttonsNow(landing.buttons, landing.mods);
    if (navigator.vibrate) navigator.vibrate(buzzMs);
  }
  function letGo() {
    stopTimers();
    landing = null;
    pointer = null;
  }
  function cancelPress(e) {
    if (landing && landing.sent && !takeBack()) {
      var throwing = modeNow() !== 'draw';
      if (!throwing && !(landing.mods & described.modifiers.shift)) moveTo(landing);
      buttonsNow(0, 0);
    }
    letGo();
  }
  canvas.addEventListener('pointerdown', function (e) {
    e.preventDefault();
    canvas.focus();
    if (!described) return;
    if (e.pointerType === 'touch') {
      fingers.set(e.pointerId, e);
      if (fingers.size > 1) {
        if (fingers.size === 2) pinchDistance = spread();
        if (pointer !== null) cancelPress(e);
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
      if (e.type === 'pointercancel') return cancelPress(e);
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

  // The browser's key codes are the program's virtual-key codes, but for the
  // keypad's decimal point, which is the program's "." (one step while
  // paused) as on the main keyboard. The program's own keys, as its table of
  // commands names them, do not reach the browser. This runs before any
  // other key handler of the window.
  function keyCode(e) { return e.code === 'NumpadDecimal' ? described.keys.period : e.keyCode; }
  function programs(e) {
    var mods = modifiers(e);
    return !e.altKey && described.keys.chords.some(function (k) { return k[0] === keyCode(e) && k[1] === mods; });
  }
  window.addEventListener('keydown', function (e) {
    if (modal) {
      // the requester's own: text typed stays in its field
      e.stopImmediatePropagation();
      if (e.key === 'Enter') { e.preventDefault(); requester.ok(); }
      return;
    }
    if (ended || !described) return;
    if (programs(e)) e.preventDefault();
    if (e.altKey) return;
    var code = keyCode(e);
    press(code, e.repeat && held.has(code), modifiers(e));
  }, true);
  window.addEventListener('keyup', function (e) {
    if (modal) { e.stopImmediatePropagation(); return; }
    if (!described) return;
    release(keyCode(e), modifiers(e));
    // while Cmd is down a Mac sends no key's release: they all end with it
    if (e.key === 'Meta') releaseAll();
  }, true);

  // The touch layout: used where the pointer is coarse unless the person
  // chose otherwise, which the browser remembers. Its controls are the
  // program's: a button for each command acting in the mode, with the
  // program's label, and each value row's "-" and "+", repeating while held.
  var layoutKey = 'flopkin-layout';
  var layoutButton = document.getElementById('layout');
  var chosenLayout = null;
  try { chosenLayout = localStorage.getItem(layoutKey); } catch (e) {}
  function useLayout(touchNow) {
    touch = touchNow;
    // Move is the touch layout's: the desktop has Shift
    moving = false;
    moveButton.setAttribute('aria-pressed', 'false');
    document.body.classList.toggle('touch', touch);
    // the program's notice names the touch layout's controls, not keys
    if (described) Module._flopkin_touch_layout(touch ? 1 : 0);
    layoutButton.textContent = touch ? 'Desktop layout' : 'Touch layout';
    fit();
  }
  layoutButton.addEventListener('click', function () {
    useLayout(!touch);
    try { localStorage.setItem(layoutKey, touch ? 'touch' : 'desktop'); } catch (e) {}
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
    described.menu.values.forEach(function (row) {
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
    if (!Module.flopkin || Module.flopkin.frames === seenFrames || ended) return;
    seenFrames = Module.flopkin.frames;
    if (!described) {
      described = fromProgram(Module._flopkin_page_description);
      if (!described) return;
      buildControls();
      Module._flopkin_touch_layout(touch ? 1 : 0);
      fit();
    }
    if (touch) showState();
  });

  var requester = (function () {
    var dialog = document.getElementById('requester');
    var name = document.getElementById('requester-name');
    var list = document.getElementById('requester-documents');
    var empty = document.getElementById('requester-empty');
    var message = document.getElementById('requester-message');
    var picker = document.getElementById('requester-file');
    var download = document.getElementById('requester-download');
    var upload = document.getElementById('requester-upload');
    var okButton = document.getElementById('requester-ok');
    var answer = null;       // resolves the open request
    var saving = false;
    var replacing = null;    // the stored name the user was asked to replace
    var busy = false;        // the storage is being asked: one answer at a time
    var downloading = null;  // a path saved with Download, fetched once stored
    var unsavedChosen = null; // the path of the unsaved figure chosen in the list

    function storage() { return Module.flopkin.storage; }
    function say(text) {
      message.textContent = text;
      message.hidden = !text;
    }
    function close(path) {
      dialog.close();
      modal = false;
      held.clear();
      var done = answer;
      answer = null;
      if (done) done(path);
    }
    // the typed name, or null with the reason said
    function typed() {
      var n = name.value.trim();
      if (!n) { say('Type a name.'); return null; }
      if (/[\/\\]/.test(n)) {
        say('A name cannot hold "/" or "\\": the browser keeps every document in one folder.');
        return null;
      }
      // names with a leading dot are the program's fresh files of a save
      if (n.charAt(0) === '.') { say('A name cannot begin with ".".'); return null; }
      return n;
    }
    function failed(failure) {
      busy = false;
      say('The browser\'s storage failed: ' + reason(failure));
    }
    // Open and Add take a stored document, read afresh; Save as asks before
    // it replaces one
    function ok() {
      if (busy) return;
      if (unsavedChosen === 'example') {
        close(Module.flopkin.examples.open(name.value));
        return;
      }
      if (unsavedChosen) {
        var path = unsavedChosen;
        busy = true;
        Module.flopkin.recovery.fetch(path).then(function (found) {
          busy = false;
          if (found) close(path);
          else say('That unsaved figure is no longer kept.');
        }, failed);
        return;
      }
      var n = typed();
      if (!n) return;
      busy = true;
      var asked = saving ? storage().names().then(function (names) {
        if (names.indexOf(n) < 0 || replacing === n) return true;
        replacing = n;
        okButton.textContent = 'Replace';
        say('Replace "' + n + '"?');
        return false;
      }) : storage().fetch(n).then(function (found) {
        if (!found) say('No document named "' + n + '" is stored in this browser.');
        return found;
      });
      asked.then(function (go) {
        busy = false;
        if (go) close(described.folder + '/' + n);
      }, failed);
    }
    function retyped() {
      replacing = null;
      downloading = null;
      unsavedChosen = null;
      okButton.textContent = 'OK';
      say('');
    }

    // A document from the computer is kept in the browser's storage under a
    // name no stored document has, so a later Save keeps it too. A file the
    // program finds no figure in is refused, and is not kept: the reason, in
    // the program's words, or null for a figure.
    function notFigure(fileName, bytes) {
      var said = askOfBytes(bytes, Module._flopkin_figure_check, [fileName]);
      if (!said) return null;
      var text = Module.UTF8ToString(said);
      Module._free(said);
      return text;
    }
    function keep(fileName, bytes) {
      var base = fileName.replace(/[\/\\]/g, '_').replace(/^\.+/, '').replace(/\.fkn$/i, '') || 'document';
      return storage().names().then(function (names) {
        var i = 1;
        function next() {
          var n = i++ === 1 ? base + '.fkn' : base + ' (' + (i - 1) + ').fkn';
          if (names.indexOf(n) >= 0) return next();
          // another tab may have taken the name meanwhile
          return storage().add(n, bytes).then(function (added) { return added ? n : next(); });
        }
        return next();
      });
    }
    // a file from the computer kept in storage: its path, or null with the reason told
    function fromComputer(file, tell) {
      return file.arrayBuffer().then(function (data) {
        var bytes = new Uint8Array(data), refused = notFigure(file.name, bytes);
        if (refused) {
          tell(refused + '.');
          return null;
        }
        return keep(file.name, bytes).then(function (n) { return described.folder + '/' + n; });
      });
    }
    function takeFile(file) {
      if (!file || busy) return;
      busy = true;
      fromComputer(file, say).then(function (path) {
        busy = false;
        if (path) close(path);
      }).catch(failed);
    }
    picker.addEventListener('change', function () { takeFile(picker.files[0]); });

    // A document dropped on the page opens as "From this computer…" opens
    // it: into the requester when Open or Add is up, else by the program's
    // Open, whose requester takes it at once.
    var opening = null;  // the path the next Open takes, and when it was dropped
    var dropOpensMs = 5000;  // an Open asked for longer after the drop than this is the user's own
    function dropped(file) {
      // before the program runs there is no Open to take it
      if (ended || !described) return;
      if (modal) {
        if (saving) say('Drop a document when opening one, not when saving.');
        else takeFile(file);
        return;
      }
      file.arrayBuffer().then(function (data) {
        return largeAsked(new Uint8Array(data)) && fromComputer(file, notice);
      }).then(function (path) {
        if (!path) return;
        notice('');
        opening = { path: path, at: performance.now() };
        tapControl(described.open_control);
      }).catch(function (failure) { notice('The browser\'s storage failed: ' + reason(failure)); });
    }

    document.getElementById('requester-cancel').addEventListener('click', function () { close(null); });
    dialog.addEventListener('cancel', function (e) { e.preventDefault(); close(null); });
    dialog.addEventListener('submit', function (e) { e.preventDefault(); ok(); });
    name.addEventListener('input', retyped);
    upload.addEventListener('click', function () { picker.value = ''; picker.click(); });
    download.addEventListener('click', function () {
      if (replacing === null) downloading = described.folder + '/' + name.value.trim();
      ok();
    });

    function choose(n, item, path) {
      name.value = n;
      retyped();
      unsavedChosen = path || null;
      list.querySelectorAll('li').forEach(function (li) { li.classList.toggle('chosen', li === item); });
    }
    function entry(text, path) {
      var item = document.createElement('li');
      item.textContent = text;
      item.addEventListener('click', function () { choose(text, item, path); });
      item.addEventListener('dblclick', function () { choose(text, item, path); ok(); });
      list.appendChild(item);
    }
    function ask(prompt, filter, save, initial) {
      releaseAll();
      // the Open a dropped document asked for, unless that was long ago
      var taken = opening;
      opening = null;
      if (taken && !save && performance.now() - taken.at < dropOpensMs) return Promise.resolve(taken.path);
      modal = true;
      saving = save;
      document.getElementById('requester-prompt').textContent = prompt;
      name.value = initial ? initial.replace(/^.*\//, '') : '';
      retyped();
      upload.hidden = save;
      download.hidden = !save;
      list.textContent = '';
      // the list as the storage holds it now, whatever other tabs did; Open
      // and Add also offer the unsaved figures runs have kept
      var listed = Promise.all([storage().names(), save ? [] : Module.flopkin.recovery.list()]).then(function (found) {
        found[0].forEach(function (n) { entry(n); });
        if (found[1].length) {
          var group = document.createElement('li');
          group.className = 'group';
          group.textContent = 'Unsaved figures';
          list.appendChild(group);
          found[1].forEach(function (kept) { entry('kept ' + kept[1].toLocaleString(), kept[0]); });
        }
        // the shipped examples, read-only: a Save into one is refused, Save as keeps it
        if (!save) {
          var examples = document.createElement('li');
          examples.className = 'group';
          examples.textContent = 'Examples';
          list.appendChild(examples);
          Module.flopkin.examples.names().forEach(function (n) { entry(n, 'example'); });
        }
        empty.hidden = found[0].length + found[1].length > 0;
      }, failed);
      return listed.then(function () {
        dialog.showModal();
        name.focus();
        // the name's stem selected, so that typing replaces it and keeps ".fkn"
        name.setSelectionRange(0, name.value.replace(/\.fkn$/i, '').length);
        return new Promise(function (resolve) { answer = resolve; });
      });
    }

    // once a save with Download is in storage, the browser keeps a copy too,
    // named with the extension the Open picker looks for; the stored name
    // stays as typed
    function stored(path) {
      if (path !== downloading) return;
      downloading = null;
      var fileName = path.replace(/^.*\//, '');
      hand(Module.FS.readFile(path), /\.fkn$/i.test(fileName) ? fileName : fileName + '.fkn');
    }

    return { ask: ask, ok: ok, stored: stored, dropped: dropped };
  })();

  // bytes handed to the browser to keep on the computer; the address made
  // for them is let go once the browser has surely taken them
  var handOverMs = 1000;
  function hand(bytes, fileName) {
    var a = document.createElement('a');
    a.href = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
    a.download = fileName;
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(function () { URL.revokeObjectURL(a.href); }, handOverMs);
  }

  // a document dropped anywhere on the page
  function carriesFiles(e) { return e.dataTransfer && Array.prototype.indexOf.call(e.dataTransfer.types, 'Files') >= 0; }
  window.addEventListener('dragover', function (e) {
    if (!carriesFiles(e)) return;
    e.preventDefault();
    e.dataTransfer.dropEffect = 'copy';
  });
  window.addEventListener('drop', function (e) {
    var file = e.dataTransfer && e.dataTransfer.files[0];
    if (!file) return;
    e.preventDefault();
    requester.dropped(file);
  });

  // The figure a link carries: the figure as it stands, which the program
  // writes as Save would, between two frames. While a frame waits for
  // something else (a save being stored) or before the first one, Share
  // waits, a few seconds at most.
  var sharedPath = '/tmp/shared.fkn';
  var figureWaitMs = 5000, figureAskMs = 50;  // how long Share waits, asking every figureAskMs
  // 1 once written, 0 while the program cannot, -1 when it failed
  function writeFigure() { return withTexts([sharedPath], Module._flopkin_write_figure); }
  function figureNow() {
    var until = performance.now() + figureWaitMs;
    return new Promise(function (resolve, reject) {
      (function ask() {
        var written = Module.flopkin.frames > 0 && !ended ? writeFigure() : 0;
        if (written > 0) {
          var bytes = Module.FS.readFile(sharedPath);
          Module.FS.unlink(sharedPath);
          resolve(bytes);
        } else if (written < 0) reject(new Error('the figure could not be written'));
        else if (ended || performance.now() > until) reject(new Error('the program is busy; try again in a moment'));
        else setTimeout(ask, figureAskMs);
      })();
    });
  }

  // A link holds the document deflated, in base64url, after "#fkn="; links
  // longer than this are refused by some browsers and servers.
  var KB = 1024, MB = 1024 * KB;
  var mostEncoded = 64 * KB;
  // what a hostile link may unpack to before it is refused
  var mostUnpacked = 64 * MB;
  // bytes turned into text at a time, well within the arguments a call may take
  var textChunk = 32 * KB;
  function pack(bytes) {
    var deflated = new Blob([bytes]).stream().pipeThrough(new CompressionStream('deflate-raw'));
    return new Response(deflated).arrayBuffer().then(function (data) {
      var d = new Uint8Array(data), text = '';
      for (var i = 0; i < d.length; i += textChunk) text += String.fromCharCode.apply(null, d.subarray(i, i + textChunk));
      return btoa(text).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
    });
  }
  function unpack(text) {
    var raw;
    try {
      raw = atob(decodeURIComponent(text).replace(/-/g, '+').replace(/_/g, '/'));
    } catch (e) {
      return Promise.reject(new Error('it is not base64url'));
    }
    var d = new Uint8Array(raw.length);
    for (var i = 0; i < raw.length; ++i) d[i] = raw.charCodeAt(i);
    var reader = new Blob([d]).stream().pipeThrough(new DecompressionStream('deflate-raw')).getReader();
    var parts = [], size = 0;
    function next() {
      return reader.read().then(function (got) {
        if (got.done) {
          var all = new Uint8Array(size), at = 0;
          parts.forEach(function (p) { all.set(p, at); at += p.length; });
          return all;
        }
        size += got.value.length;
        if (size > mostUnpacked) {
          reader.cancel();
          throw new Error('it unpacks to more than ' + mostUnpacked / MB + ' MB');
        }
        parts.push(got.value);
        return next();
      });
    }
    return next().catch(function (failure) {
      throw new Error(failure instanceof TypeError ? 'its data is not deflated' : failure.message);
    });
  }
  var shareButton = document.getElementById('share');
  shareButton.addEventListener('click', function () {
    if (ended) return;
    shareButton.disabled = true;
    notice('');
    figureNow().then(function (bytes) {
      return pack(bytes).then(function (encoded) {
        if (encoded.length > mostEncoded) {
          notice('This figure is too large for a link (' + Math.ceil(encoded.length / KB) +
                 ' KB, at most ' + mostEncoded / KB + ' KB): download it instead.', function () { hand(bytes, 'flopkin.fkn'); });
          return;
        }
        // the link starts its run as this one is now: colliding or not
        var query = new URLSearchParams(location.search);
        if (Module._flopkin_collides()) query.set('collide', '1'); else query.delete('collide');
        var search = query.toString();
        history.replaceState(null, '', location.pathname + (search ? '?' + search : '') + '#fkn=' + encoded);
        var copied = navigator.clipboard ? navigator.clipboard.writeText(location.href) : Promise.reject();
        return copied.then(function () {
          notice('The link to this figure is in the address and copied.');
        }, function () {
          notice('The link to this figure is in the address: copy it from there.');
        });
      });
    }).catch(function (failure) {
      notice('Share failed: ' + reason(failure));
    }).then(function () { shareButton.disabled = false; });
  });

  // once loaded, the page is kept for visits without a network
  window.addEventListener('load', function () {
    if ('serviceWorker' in navigator) navigator.serviceWorker.register('sw.js').catch(function () {});
  });

  // the run is over: by the program's own end, or by a failure, whose reason is shown
  function stop(why) {
    if (ended) return;
    ended = true;
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
    if (ended || !Module.flopkin.recovery || !Module.flopkin.recovery.unkept()) return;
    e.preventDefault();
    e.returnValue = '';
  });
  // the program's last complaints since it started, shown when it ends with a failure
  var complaints = [], complaintsShown = 3;

  return {
    canvas: canvas,
    flopkin: {
      notice: notice,
      reason: reason,
      opensLarge: opensLarge,
      unpack: unpack,
      events: events,
      frames: 0,  // made by the program
      shown: 0,   // shown by the page
      request: requester.ask,
      keep: function (path) {
        return Module.flopkin.storage.keep(path).then(function () {
          requester.stored(path);
        }, function (failure) {
          notice('Not saved: ' + reason(failure) + '.');
          throw failure;
        });
      },
      ended: function (status) { stop(status !== 0 ? complaints.join(' ') : ''); },
    },
    printErr: function (text) {
      console.warn(text);
      complaints = complaints.concat([text]).slice(-complaintsShown);
    },
    onAbort: failure,
  };
})();
