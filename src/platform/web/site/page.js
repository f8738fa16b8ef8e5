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

  function push(kind, a, b) { if (!modal && !ended) events.push([kind, a, b || 0]); }
  function press(code, repeat) { held.add(code); push(repeat ? 2 : 1, code); }
  function release(code) { if (held.delete(code)) push(3, code); }

  // pointer positions in the program's own pixels, however the canvas is scaled
  function move(e) {
    var r = canvas.getBoundingClientRect();
    push(4, Math.floor((e.clientX - r.left) * canvas.width / r.width),
         Math.floor((e.clientY - r.top) * canvas.height / r.height));
  }
  var buttons = [1, 4, 2];  // left, middle, right as the program numbers them
  canvas.addEventListener('mousedown', function (e) {
    if (buttons[e.button] === undefined) return;
    move(e);
    press(buttons[e.button]);
    canvas.focus();
    e.preventDefault();
  });
  // a drag may leave the canvas and still be released
  window.addEventListener('mousemove', move);
  window.addEventListener('mouseup', function (e) {
    if (buttons[e.button] !== undefined) { move(e); release(buttons[e.button]); }
  });
  canvas.addEventListener('contextmenu', function (e) { e.preventDefault(); });
  window.addEventListener('blur', function () { held.forEach(release); });

  // the browser's key codes are the program's virtual-key codes; this runs
  // before any other key handler of the window
  window.addEventListener('keydown', function (e) {
    if (modal) {
      // the requester's own: text typed stays in its field
      e.stopImmediatePropagation();
      if (e.key === 'Enter') { e.preventDefault(); requester.ok(); }
      return;
    }
    if (ended || e.ctrlKey || e.metaKey || e.altKey) return;
    press(e.keyCode, e.repeat && held.has(e.keyCode));
    // keys the page would scroll or move focus with
    if (e.keyCode === 8 || e.keyCode === 9 || e.keyCode === 32 || (e.keyCode >= 33 && e.keyCode <= 40))
      e.preventDefault();
  }, true);
  window.addEventListener('keyup', function (e) {
    if (modal) { e.stopImmediatePropagation(); return; }
    release(e.keyCode);
  }, true);

  var requester = (function () {
    var dialog = document.getElementById('requester');
    var name = document.getElementById('requester-name');
    var list = document.getElementById('requester-documents');
    var empty = document.getElementById('requester-empty');
    var picker = document.getElementById('requester-file');
    var download = document.getElementById('requester-download');
    var upload = document.getElementById('requester-upload');
    var answer = null;       // resolves the open request
    var downloading = null;  // a path saved with Download, fetched once written

    function folder() { return Module.flopkin.folder; }
    function stored() {
      return Module.FS.readdir(folder()).filter(function (n) {
        // the fresh files of a save in progress start with a dot
        return n.charAt(0) !== '.' && Module.FS.isFile(Module.FS.stat(folder() + '/' + n).mode);
      }).sort();
    }
    function close(path) {
      dialog.close();
      modal = false;
      held.clear();
      var done = answer;
      answer = null;
      if (done) done(path);
    }
    function chosen() {
      var n = name.value.trim();
      // names with a leading dot are a save's fresh files
      if (!n || n.indexOf('/') >= 0 || n.charAt(0) === '.') return null;
      return 'saved flopkins/' + n;
    }
    // a document from the computer is kept in the browser's storage under a
    // name no stored document has, so a later Save keeps it too
    function keep(fileName, bytes) {
      var base = fileName.replace(/[\/]/g, '_').replace(/^\.+/, '').replace(/\.fkn$/i, '') || 'document';
      var n = base + '.fkn', i = 2;
      var names = stored();
      while (names.indexOf(n) >= 0) n = base + ' (' + i++ + ').fkn';
      Module.FS.writeFile(folder() + '/' + n, bytes);
      return 'saved flopkins/' + n;
    }

    document.getElementById('requester-cancel').addEventListener('click', function () { close(null); });
    dialog.addEventListener('cancel', function (e) { e.preventDefault(); close(null); });
    dialog.addEventListener('submit', function (e) { e.preventDefault(); ok(); });
    upload.addEventListener('click', function () { picker.value = ''; picker.click(); });
    picker.addEventListener('change', function () {
      var file = picker.files[0];
      if (!file) return;
      file.arrayBuffer().then(function (data) { close(keep(file.name, new Uint8Array(data))); },
                              function () { console.warn('flopkin: cannot read ' + file.name); });
    });
    download.addEventListener('click', function () {
      var path = chosen();
      if (!path) return;
      downloading = path;
      close(path);
    });
    function ok() {
      var path = chosen();
      if (path) close(path);
    }

    function ask(prompt, filter, save, initial) {
      document.getElementById('requester-prompt').textContent = prompt;
      var names = stored();
      list.textContent = '';
      names.forEach(function (n) {
        var item = document.createElement('li');
        item.textContent = n;
        item.addEventListener('click', function () {
          name.value = n;
          list.querySelectorAll('li').forEach(function (li) { li.classList.toggle('chosen', li === item); });
        });
        item.addEventListener('dblclick', function () { name.value = n; ok(); });
        list.appendChild(item);
      });
      empty.hidden = names.length > 0;
      name.value = initial ? initial.replace(/^.*\//, '') : '';
      upload.hidden = save;
      download.hidden = !save;
      held.forEach(release);
      modal = true;
      dialog.showModal();
      name.focus();
      return new Promise(function (resolve) { answer = resolve; });
    }

    // once a save with Download is in storage, the browser keeps a copy too
    function written(path) {
      if (!downloading || path !== Module.flopkin.folder + '/' + downloading.replace(/^.*\//, '')) return;
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

    return { ask: ask, ok: ok, written: written };
  })();

  document.getElementById('start-again').addEventListener('click', function () { location.reload(); });
  // the program's last complaint, shown when it ends with a failure
  var complaints = [];

  return {
    canvas: canvas,
    flopkin: {
      events: events,
      frames: 0,  // made by the program
      shown: 0,   // shown by the page
      request: requester.ask,
      written: requester.written,
      ended: function (status) {
        ended = true;
        events.length = 0;
        if (status !== 0) document.getElementById('why').textContent = complaints.join(' ');
        document.getElementById('ended').hidden = false;
      },
    },
    printErr: function (text) {
      console.warn(text);
      complaints = complaints.slice(-2).concat([text]);
    },
    onAbort: function (what) { console.error('flopkin: stopped: ' + what); },
  };
})();
