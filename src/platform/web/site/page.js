// The page around Flopkin's canvas: it scales the canvas to the window, queues
// the input for the program, shows the requester and the end of a run.
'use strict';

var Module = (function () {
  var canvas = document.getElementById('canvas');
  var events = [];
  var modal = false;        // the requester is up: no input reaches the program
  var ended = false;
  var held = new Set();     // codes pressed and not yet released, to release on blur

  // whole device pixels per program pixel when the window has room, so
  // nothing is blurred; a smaller window scales down as it must
  var screen = document.getElementById('screen');
  function fit() {
    var help = document.getElementById('help').offsetHeight + 8;
    var ratio = window.devicePixelRatio || 1;
    var scale = Math.min(window.innerWidth / canvas.width, (window.innerHeight - help) / canvas.height);
    var device = scale * ratio;
    if (device >= 1) device = Math.floor(device);
    screen.style.width = (canvas.width * device / ratio) + 'px';
    screen.style.height = (canvas.height * device / ratio) + 'px';
  }
  window.addEventListener('resize', fit);
  fit();

  // a key event carries the modifiers held with it; Cmd counts as Ctrl
  var shift = 1, ctrl = 2;
  function modifiers(e) { return (e.shiftKey ? shift : 0) | (e.ctrlKey || e.metaKey ? ctrl : 0); }
  function push(kind, a, b) { if (!modal && !ended) events.push([kind, a, b || 0]); }
  function press(code, repeat, mods) { held.add(code); push(repeat ? 2 : 1, code, mods); }
  function release(code, mods) { if (held.delete(code)) push(3, code, mods); }
  function releaseAll() { held.forEach(function (code) { release(code); }); }

  // Mouse, pen and touch alike: one pointer at a time acts as the mouse (the
  // first finger down; other fingers do nothing), its buttons as the
  // program's codes, which are the same bits as the pointer's: 1 left,
  // 2 right, 4 middle. The canvas neither scrolls nor zooms under a finger.
  var pointer = null, pressed = 0;
  function moveTo(e) {
    var r = canvas.getBoundingClientRect();
    push(4, Math.floor((e.clientX - r.left) * canvas.width / r.width),
         Math.floor((e.clientY - r.top) * canvas.height / r.height));
  }
  function buttonsNow(now) {
    [1, 2, 4].forEach(function (code) {
      if ((now & code) && !(pressed & code)) press(code, false, 0);
      if (!(now & code) && (pressed & code)) release(code, 0);
    });
    pressed = now;
  }
  canvas.addEventListener('pointerdown', function (e) {
    if (pointer !== null && e.pointerId !== pointer) return;
    pointer = e.pointerId;
    canvas.setPointerCapture(e.pointerId);
    moveTo(e);
    buttonsNow(e.buttons & 7);
    canvas.focus();
    e.preventDefault();
  });
  // a drag may leave the canvas and still be released: the canvas has the pointer captured
  window.addEventListener('pointermove', function (e) {
    if (pointer === null ? e.pointerType !== 'mouse' : e.pointerId !== pointer) return;
    moveTo(e);
    if (pointer !== null) buttonsNow(e.buttons & 7);
  });
  function lift(e) {
    if (e.pointerId !== pointer) return;
    moveTo(e);
    buttonsNow(e.type === 'pointerup' ? e.buttons & 7 : 0);
    if (!pressed) pointer = null;
  }
  window.addEventListener('pointerup', lift);
  window.addEventListener('pointercancel', lift);
  canvas.addEventListener('contextmenu', function (e) { e.preventDefault(); });
  window.addEventListener('blur', function () {
    releaseAll();
    pointer = null;
    pressed = 0;
  });

  // The browser's key codes are the program's virtual-key codes. The program's
  // own keys do not reach the browser: its shortcuts (Ctrl or Cmd with Z, Y,
  // O or S) and Space, Delete and BackSpace. This runs before any other key
  // handler of the window.
  var shortcuts = { 90: [ctrl, ctrl | shift], 89: [ctrl], 79: [ctrl, ctrl | shift], 83: [ctrl, ctrl | shift] };
  var plainKeys = [8, 32, 46];
  function programs(e) {
    var mods = modifiers(e);
    if (e.altKey) return false;
    if (mods & ctrl) return (shortcuts[e.keyCode] || []).indexOf(mods) >= 0;
    return plainKeys.indexOf(e.keyCode) >= 0;
  }
  window.addEventListener('keydown', function (e) {
    if (modal) {
      // the requester's own: text typed stays in its field
      e.stopImmediatePropagation();
      if (e.key === 'Enter') { e.preventDefault(); requester.ok(); }
      return;
    }
    if (ended) return;
    if (programs(e)) e.preventDefault();
    if (e.altKey) return;
    press(e.keyCode, e.repeat && held.has(e.keyCode), modifiers(e));
  }, true);
  window.addEventListener('keyup', function (e) {
    if (modal) { e.stopImmediatePropagation(); return; }
    release(e.keyCode, modifiers(e));
    // while Cmd is down a Mac sends no key's release: they all end with it
    if (e.key === 'Meta') releaseAll();
  }, true);

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
      say('The browser\'s storage failed: ' + (failure && failure.message || failure));
    }
    // Open and Add take a stored document, read afresh; Save as asks before
    // it replaces one
    function ok() {
      if (busy) return;
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
        if (go) close('saved flopkins/' + n);
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
    // name no stored document has, so a later Save keeps it too. A file that
    // neither has the document's extension nor begins as a document does is
    // refused.
    function isDocument(fileName, bytes) {
      var start = String.fromCharCode.apply(null, bytes.subarray(0, 13));
      return /\.fkn$/i.test(fileName) || start === '1\r\nNew Ball\r\n' || start === '1\r\n';
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
    picker.addEventListener('change', function () {
      var file = picker.files[0];
      if (!file || busy) return;
      busy = true;
      file.arrayBuffer().then(function (data) {
        var bytes = new Uint8Array(data);
        if (!isDocument(file.name, bytes)) {
          busy = false;
          say('"' + file.name + '" is not a Flopkin document.');
          return;
        }
        return keep(file.name, bytes).then(function (n) {
          busy = false;
          close('saved flopkins/' + n);
        });
      }).catch(failed);
    });

    document.getElementById('requester-cancel').addEventListener('click', function () { close(null); });
    dialog.addEventListener('cancel', function (e) { e.preventDefault(); close(null); });
    dialog.addEventListener('submit', function (e) { e.preventDefault(); ok(); });
    name.addEventListener('input', retyped);
    upload.addEventListener('click', function () { picker.value = ''; picker.click(); });
    download.addEventListener('click', function () {
      if (replacing === null) downloading = 'saved flopkins/' + name.value.trim();
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
        empty.hidden = found[0].length + found[1].length > 0;
      }, failed);
      return listed.then(function () {
        dialog.showModal();
        name.focus();
        return new Promise(function (resolve) { answer = resolve; });
      });
    }

    // once a save with Download is in storage, the browser keeps a copy too
    function stored(path) {
      if (path !== downloading) return;
      downloading = null;
      var blob = new Blob([Module.FS.readFile(path)], { type: 'application/octet-stream' });
      var a = document.createElement('a');
      a.href = URL.createObjectURL(blob);
      a.download = path.replace(/^.*\//, '');
      document.body.appendChild(a);
      a.click();
      a.remove();
      setTimeout(function () { URL.revokeObjectURL(a.href); }, 1000);
    }

    return { ask: ask, ok: ok, stored: stored };
  })();

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
  // the program's own complaints since it started, shown when it ends with a failure
  var complaints = [];

  return {
    canvas: canvas,
    flopkin: {
      events: events,
      frames: 0,  // made by the program
      shown: 0,   // shown by the page
      request: requester.ask,
      keep: function (path) {
        return Module.flopkin.storage.keep(path).then(function () { requester.stored(path); });
      },
      ended: function (status) { stop(status !== 0 ? complaints.join(' ') : ''); },
    },
    printErr: function (text) {
      // the GL emulation's notes on itself at every start are no complaint
      if (/^WARNING: using emscripten GL /.test(text)) return;
      console.warn(text);
      complaints = complaints.slice(-2).concat([text]);
    },
    onAbort: failure,
  };
})();
