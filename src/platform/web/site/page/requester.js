// The requester: the dialog in which Open, Add, Save as and the like ask for
// a document, listing what the browser's storage keeps, the unsaved figures
// runs have kept and the shipped examples; a document from the computer,
// picked or dropped on the page, kept in the storage first; and Download,
// which hands a saved document to the browser to keep.
import { page, held, reason, askOfBytes, largeAsked, notice, hand, releaseAll, tapControl } from './program.js';

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
  page.modal = false;
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
export function ok() {
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
    if (go) close(page.described.folder + '/' + n);
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
    return keep(file.name, bytes).then(function (n) { return page.described.folder + '/' + n; });
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
  if (page.ended || !page.described) return;
  if (page.modal) {
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
    tapControl(page.described.open_control);
  }).catch(function (failure) { notice('The browser\'s storage failed: ' + reason(failure)); });
}

document.getElementById('requester-cancel').addEventListener('click', function () { close(null); });
dialog.addEventListener('cancel', function (e) { e.preventDefault(); close(null); });
dialog.addEventListener('submit', function (e) { e.preventDefault(); ok(); });
name.addEventListener('input', retyped);
upload.addEventListener('click', function () { picker.value = ''; picker.click(); });
download.addEventListener('click', function () {
  if (replacing === null) downloading = page.described.folder + '/' + name.value.trim();
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
export function ask(prompt, filter, save, initial) {
  releaseAll();
  // the Open a dropped document asked for, unless that was long ago
  var taken = opening;
  opening = null;
  if (taken && !save && performance.now() - taken.at < dropOpensMs) return Promise.resolve(taken.path);
  page.modal = true;
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


// a save kept in the browser's storage, then offered for download when
// Download asked for it; a failure is told and passed on to the program
export function keepSaved(path) {
  return Module.flopkin.storage.keep(path).then(function () {
    stored(path);
  }, function (failure) {
    notice('Not saved: ' + reason(failure) + '.');
    throw failure;
  });
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
  dropped(file);
});
