// The page around Flopkin's canvas: it scales the canvas to the window, queues
// the input for the program, shows the requester and the end of a run, opens
// dropped documents and puts the figure into a link.
'use strict';

var Module = (function () {
  var canvas = document.getElementById('canvas');
  var events = [];
  var modal = false;        // the requester is up: no input reaches the program
  var ended = false;
  var held = new Set();     // codes pressed and not yet released, to release on blur

  // The canvas takes the largest size that fits the window (the whole
  // screen in fullscreen) with its aspect kept. At a whole number of device
  // pixels per program pixel it stays pixel-sharp; any other scale is
  // smoothed by the browser, since dropping pixels would lose lines and
  // letters. The pointer is mapped through the canvas's shown size.
  var screen = document.getElementById('screen');
  function fit() {
    var below = document.fullscreenElement ? 0 :
      document.getElementById('bar').offsetHeight + document.getElementById('help').offsetHeight + 16;
    var ratio = window.devicePixelRatio || 1;
    var device = Math.max(0.05, Math.min(Math.floor(window.innerWidth * ratio) / canvas.width,
                                         Math.floor((window.innerHeight - below) * ratio) / canvas.height));
    screen.classList.toggle('whole', device === Math.floor(device));
    screen.style.width = Math.round(canvas.width * device) / ratio + 'px';
    screen.style.height = Math.round(canvas.height * device) / ratio + 'px';
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

  // a line beside the page's controls, for what the page has to say
  var noticeText = document.getElementById('notice');
  var noticeDownload = document.getElementById('notice-download');
  function notice(text, offered) {
    noticeText.textContent = text;
    noticeDownload.hidden = !offered;
    noticeDownload.onclick = offered || null;
  }

  // a key event carries the modifiers held with it; Cmd counts as Ctrl
  var shift = 1, ctrl = 2;
  function modifiers(e) { return (e.shiftKey ? shift : 0) | (e.ctrlKey || e.metaKey ? ctrl : 0); }
  function push(kind, a, b) { if (!modal && !ended) events.push([kind, a, b || 0]); }
  function press(code, repeat, mods) { held.add(code); push(repeat ? 2 : 1, code, mods); }
  function release(code, mods) { if (held.delete(code)) push(3, code, mods); }
  function releaseAll() { held.forEach(function (code) { release(code); }); }

  // Mouse, pen and touch alike: one pointer at a time acts as the mouse (the
  // first finger down; a second one pinches), its buttons as the program's
  // codes, which are the same bits as the pointer's: 1 left, 2 right,
  // 4 middle. The browser neither scrolls nor zooms the page under a finger.
  var pointer = null, pressed = 0;
  function moveTo(e) {
    var r = canvas.getBoundingClientRect();
    push(4, Math.floor((e.clientX - r.left) * canvas.width / r.width),
         Math.floor((e.clientY - r.top) * canvas.height / r.height));
  }
  // a button's press carries Shift (Shift+drag moves a ball)
  function buttonsNow(now, e) {
    [1, 2, 4].forEach(function (code) {
      if ((now & code) && !(pressed & code)) press(code, false, modifiers(e));
      if (!(now & code) && (pressed & code)) release(code, 0);
    });
    pressed = now;
  }
  // The wheel zooms by notches, up positive; a touchpad's small steps are
  // fractions that the program adds up. Two fingers pinch: their distance
  // growing by pinchPixels is a notch up ("+"), shrinking one down; the
  // first finger lets go of the canvas when the second comes down, so a
  // pinch never drags a ball.
  function scroll(notches) { if (notches) push(5, Math.round(notches * 1000)); }
  var notchPixels = 100, notchLines = 3, pinchPixels = 40;
  canvas.addEventListener('wheel', function (e) {
    e.preventDefault();
    var per = e.deltaMode === 1 ? notchLines : e.deltaMode === 2 ? 1 : notchPixels;
    scroll(-e.deltaY / per);
  }, { passive: false });
  var fingers = new Map(), pinchDistance = 0;
  function spread() {
    var at = Array.from(fingers.values());
    return Math.hypot(at[0].x - at[1].x, at[0].y - at[1].y);
  }
  canvas.addEventListener('pointerdown', function (e) {
    if (e.pointerType === 'touch') {
      fingers.set(e.pointerId, { x: e.clientX, y: e.clientY });
      if (fingers.size === 2) {
        if (pointer !== null) { buttonsNow(0, e); pointer = null; }
        pinchDistance = spread();
      }
      if (fingers.size > 1) { e.preventDefault(); return; }
    }
    if (pointer !== null && e.pointerId !== pointer) return;
    pointer = e.pointerId;
    canvas.setPointerCapture(e.pointerId);
    moveTo(e);
    buttonsNow(e.buttons & 7, e);
    canvas.focus();
    e.preventDefault();
  });
  // a drag may leave the canvas and still be released: the canvas has the pointer captured
  window.addEventListener('pointermove', function (e) {
    if (fingers.has(e.pointerId)) {
      fingers.set(e.pointerId, { x: e.clientX, y: e.clientY });
      if (fingers.size === 2) {
        var now = spread();
        scroll((now - pinchDistance) / pinchPixels);
        pinchDistance = now;
      }
    }
    if (pointer === null ? e.pointerType !== 'mouse' : e.pointerId !== pointer) return;
    moveTo(e);
    if (pointer !== null) buttonsNow(e.buttons & 7, e);
  });
  function lift(e) {
    fingers.delete(e.pointerId);
    if (e.pointerId !== pointer) return;
    moveTo(e);
    buttonsNow(e.type === 'pointerup' ? e.buttons & 7 : 0, e);
    if (!pressed) pointer = null;
  }
  window.addEventListener('pointerup', lift);
  window.addEventListener('pointercancel', lift);
  canvas.addEventListener('contextmenu', function (e) { e.preventDefault(); });
  window.addEventListener('blur', function () {
    releaseAll();
    pointer = null;
    pressed = 0;
    fingers.clear();
  });

  // The browser's key codes are the program's virtual-key codes, but for the
  // keypad's decimal point, which is the program's "." (one step while
  // paused) as on the main keyboard. The program's own keys do not reach the
  // browser: its shortcuts (Ctrl or Cmd with Z, Y, O or S) and Space, Delete
  // and BackSpace. This runs before any other key handler of the window.
  function keyCode(e) { return e.keyCode === 110 ? 190 : e.keyCode; }
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
    var code = keyCode(e);
    press(code, e.repeat && held.has(code), modifiers(e));
  }, true);
  window.addEventListener('keyup', function (e) {
    if (modal) { e.stopImmediatePropagation(); return; }
    release(keyCode(e), modifiers(e));
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
    // a file from the computer kept in storage: its path, or null with the reason told
    function fromComputer(file, tell) {
      return file.arrayBuffer().then(function (data) {
        var bytes = new Uint8Array(data);
        if (!isDocument(file.name, bytes)) {
          tell('"' + file.name + '" is not a Flopkin document.');
          return null;
        }
        return keep(file.name, bytes).then(function (n) { return 'saved flopkins/' + n; });
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
    function dropped(file) {
      if (ended) return;
      if (modal) {
        if (saving) say('Drop a document when opening one, not when saving.');
        else takeFile(file);
        return;
      }
      fromComputer(file, notice).then(function (path) {
        if (!path) return;
        notice('');
        opening = { path: path, at: performance.now() };
        press(79, false, ctrl);
        release(79, ctrl);
      }).catch(function (failure) { notice('The browser\'s storage failed: ' + reason(failure)); });
    }

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
      // the Open a dropped document asked for, unless that was long ago
      var taken = opening;
      opening = null;
      if (taken && !save && performance.now() - taken.at < 5000) return Promise.resolve(taken.path);
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

  // bytes handed to the browser to keep on the computer
  function hand(bytes, fileName) {
    var a = document.createElement('a');
    a.href = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
    a.download = fileName;
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(function () { URL.revokeObjectURL(a.href); }, 1000);
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
  // 1 once written, 0 while the program cannot, -1 when it failed; called
  // directly, since the runtime's ccall would wait for the program's run to end
  function writeFigure() {
    var size = sharedPath.length + 1, path = Module._malloc(size);
    try {
      Module.stringToUTF8(sharedPath, path, size);
      return Module._flopkin_write_figure(path);
    } finally {
      Module._free(path);
    }
  }
  function figureNow() {
    var until = performance.now() + 5000;
    return new Promise(function (resolve, reject) {
      (function ask() {
        var written = Module.flopkin.frames > 0 && !ended ? writeFigure() : 0;
        if (written > 0) {
          var bytes = Module.FS.readFile(sharedPath);
          Module.FS.unlink(sharedPath);
          resolve(bytes);
        } else if (written < 0) reject(new Error('the figure could not be written'));
        else if (ended || performance.now() > until) reject(new Error('the program is busy; try again in a moment'));
        else setTimeout(ask, 50);
      })();
    });
  }

  // A link holds the document deflated, in base64url, after "#fkn="; links
  // longer than this are refused by some browsers and servers.
  var mostEncoded = 64 * 1024;
  // what a hostile link may unpack to before it is refused
  var mostUnpacked = 64 * 1024 * 1024;
  function pack(bytes) {
    var deflated = new Blob([bytes]).stream().pipeThrough(new CompressionStream('deflate-raw'));
    return new Response(deflated).arrayBuffer().then(function (data) {
      var d = new Uint8Array(data), text = '';
      for (var i = 0; i < d.length; i += 0x8000) text += String.fromCharCode.apply(null, d.subarray(i, i + 0x8000));
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
          throw new Error('it unpacks to more than 64 MB');
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
          notice('This figure is too large for a link (' + Math.ceil(encoded.length / 1024) +
                 ' KB, at most 64 KB): download it instead.', function () { hand(bytes, 'flopkin.fkn'); });
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
  // the program's own complaints since it started, shown when it ends with a failure
  var complaints = [];

  return {
    canvas: canvas,
    flopkin: {
      notice: notice,
      reason: reason,
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
      // the GL emulation's notes on itself at every start are no complaint
      if (/^WARNING: using emscripten GL /.test(text)) return;
      console.warn(text);
      complaints = complaints.slice(-2).concat([text]);
    },
    onAbort: failure,
  };
})();
