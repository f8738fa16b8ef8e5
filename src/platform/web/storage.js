// The documents' folder lives in the browser's storage for the page
// (IndexedDB), one record per document, keyed by its path. The program works
// on copies in memory: a save writes its one record alone, in a transaction
// of its own, so tabs never touch each other's documents; the list and a
// document's bytes are read afresh whenever the page needs them. Records are
// kept as earlier versions of the page kept them, so their documents stay.
// what the program waits for from the storage: 1 once done, or 0 with the
// reason at *why, allocated for the program to free
async function pageAnswer(done, why) {
  try {
    await done;
    return 1;
  } catch (failure) {
    HEAP32[why >> 2] = allocateUTF8(Module.flopkin.reason(failure));
    return 0;
  }
}

// The storage's schema version and the stored records' file mode (a
// regular file, rw-rw-rw-): both as earlier versions of the page stored
// them, or the documents already kept in people's browsers would not open.
var storageVersion = 21;
var recordMode = 33206;

Module.preRun = Module.preRun || [];
Module.preRun.push(function () {
  // the names come from the program's header, as the build writes them out
  // (documentFolder, startUpDocument): the program is not running yet
  var home = '/home/web_user';
  var folder = home + '/' + documentFolder;
  FS.mkdir(folder);
  FS.chdir(home);

  var store = 'FILE_DATA';
  var opened = null;
  function database() {
    if (!opened) opened = new Promise(function (resolve, reject) {
      var asked = indexedDB.open(folder, storageVersion);
      asked.onupgradeneeded = function () {
        var db = asked.result;
        if (!db.objectStoreNames.contains(store))
          db.createObjectStore(store).createIndex('timestamp', 'timestamp', { unique: false });
      };
      asked.onsuccess = function () { resolve(asked.result); };
      asked.onerror = function () { opened = null; reject(asked.error); };
    });
    return opened;
  }
  // work(records, done) runs in one transaction; the promise gives what was
  // passed to done once the transaction has committed
  function transaction(mode, work) {
    return database().then(function (db) {
      return new Promise(function (resolve, reject) {
        var t = db.transaction(store, mode), result;
        work(t.objectStore(store), function (value) { result = value; });
        t.oncomplete = function () { resolve(result); };
        t.onabort = function () { reject(t.error || new Error('the browser\'s storage gave up the change')); };
      });
    });
  }
  function key(name) { return folder + '/' + name; }
  function record(bytes) { return { timestamp: new Date(), mode: recordMode, contents: bytes }; }
  // the record at the path copied into memory there; false when there is none
  function fetch(path) {
    return transaction('readonly', function (records, done) {
      var asked = records.get(path);
      asked.onsuccess = function () { done(asked.result && asked.result.contents); };
    }).then(function (bytes) {
      if (!bytes) return false;
      FS.writeFile(path, bytes);
      return true;
    });
  }

  // Every run keeps its unsaved figure in a record of its own, named from
  // when it started, so neither a reload nor another tab writes over it; the
  // program says how many of the newest are kept. The program writes the
  // figure into memory, and the record follows after that frame.
  var unsaved = home + '/unsaved';
  FS.mkdir(unsaved);
  var mine = unsaved + '/' + new Date().toISOString().replace(/[:.]/g, '-') + '-' +
             Math.random().toString(36).slice(2, 8) + '.fkn';
  var changes = 0, kept = 0;  // changes the program told of, and those the stored figure holds
  // the page holds a lock named by its record while it lives, so that another
  // tab never takes that record for a figure of a run that has ended
  var locks = navigator.locks;
  if (locks) locks.request(mine, function () { return new Promise(function () {}); });
  function live() {
    if (!locks) return Promise.resolve([]);
    return locks.query().then(function (held) { return (held.held || []).map(function (l) { return l.name; }); });
  }
  var writing = Promise.resolve();
  function after(work) {
    writing = writing.catch(function () {}).then(work);
    return writing;
  }
  var unsavedRange = IDBKeyRange.bound(unsaved + '/', unsaved + '0', false, true);
  // the unsaved figures' records as [path, when kept], newest first
  function unsavedByAge(records, then) {
    var all = [];
    records.openCursor(unsavedRange).onsuccess = function (e) {
      var at = e.target.result;
      if (at) { all.push([at.primaryKey, at.value.timestamp]); at.continue(); return; }
      then(all.sort(function (a, b) { return b[1] - a[1]; }));
    };
  }
  var recovery = {
    path: mine,
    changed: function () { ++changes; },
    // a change the browser's storage does not hold yet
    unkept: function () { return changes !== kept; },
    keep: function (newest) {
      var bytes = FS.readFile(mine), holds = changes;
      // beyond the newest ones the program keeps, the records of tabs still open stay too
      after(function () {
        return live().then(function (held) {
          return transaction('readwrite', function (records) {
            records.put(record(bytes), mine);
            unsavedByAge(records, function (all) {
              all.slice(newest).forEach(function (old) { if (held.indexOf(old[0]) < 0) records.delete(old[0]); });
            });
          });
        });
      }).then(function () { kept = holds; recovery.failure = ''; }, function (failure) {
        recovery.failure = Module.flopkin.reason(failure);
        console.error('flopkin: the unsaved figure could not be kept: ' + failure);
      });
    },
    // the figure is saved: this run keeps nothing
    discard: function () {
      kept = changes;
      after(function () { return transaction('readwrite', function (records) { records.delete(mine); }); })
        .catch(function (failure) { console.error('flopkin: the unsaved figure could not be let go: ' + failure); });
    },
    // an ended run's figure, saved as a document now: no longer kept
    forget: function (path) {
      after(function () { return transaction('readwrite', function (records) { records.delete(path); }); })
        .catch(function (failure) { console.error('flopkin: the restored figure could not be let go: ' + failure); });
    },
    settled: function () { return writing; },
    failure: '',  // why the last figure could not be stored; '' when it was
    // the figures of runs that have ended as "path<TAB>seconds" lines,
    // newest first, the newest copied into memory at its path
    earlier: function () {
      return Promise.all([recovery.list(), live()]).then(function (found) {
        var ended = found[0].filter(function (f) { return f[0] !== mine && found[1].indexOf(f[0]) < 0; });
        if (!ended.length) return '';
        return fetch(ended[0][0]).then(function () {
          return ended.map(function (f) { return f[0] + '\t' + Math.floor(f[1] / 1000) + '\n'; }).join('');
        });
      });
    },
    // the figures kept, newest first, as [path, when kept]
    list: function () {
      return transaction('readonly', unsavedByAge);
    },
    fetch: fetch,
  };

  var storage = {
    // the folder's full path, which also names the browser's database
    folder: folder,
    // the names of the stored documents, sorted
    names: function () {
      return transaction('readonly', function (records, done) {
        var asked = records.getAllKeys(IDBKeyRange.bound(folder + '/', folder + '0', false, true));
        asked.onsuccess = function () {
          done(asked.result.map(function (k) { return k.slice(folder.length + 1); }).filter(function (n) {
            return n && n.indexOf('/') < 0 && n.charAt(0) !== '.';
          }).sort());
        };
      });
    },
    // copies the stored document into the folder in memory; false when none is stored under the name
    fetch: function (name) { return fetch(key(name)); },
    // stores the document the program has just written, once it has committed
    keep: function (path) {
      var full = PATH_FS.resolve(path);
      if (full.indexOf('/examples/') === 0)
        return Promise.reject(new Error('an example cannot be changed: keep your figure with "Save as"'));
      if (full.indexOf(folder + '/') !== 0) return Promise.resolve();
      var bytes = FS.readFile(full);
      return transaction('readwrite', function (records) { records.put(record(bytes), full); });
    },
    // stores new bytes under a name no document has; false when the name is taken
    add: function (name, bytes) {
      return transaction('readwrite', function (records, done) {
        var asked = records.add(record(bytes), key(name));
        asked.onsuccess = function () { done(true); };
        asked.onerror = function (e) {
          if (asked.error && asked.error.name === 'ConstraintError') { e.preventDefault(); done(false); }
        };
      }).then(function (added) {
        if (added) FS.writeFile(key(name), bytes);
        return added;
      });
    },
  };
  Module.flopkin.storage = storage;
  Module.flopkin.recovery = recovery;

  // The shipped examples, embedded at /examples: Open and Add list them in a
  // group of their own. Each opens from its own bytes, whatever an earlier
  // Save into it wrote in memory, and a Save into one is refused. They are
  // read once the embedded files are in place, after this.
  var examples = null;
  function shipped() {
    if (!examples) {
      examples = {};
      FS.readdir('/examples').forEach(function (n) {
        if (/\.fkn$/.test(n)) examples[n] = FS.readFile('/examples/' + n);
      });
    }
    return examples;
  }
  Module.flopkin.examples = {
    names: function () { return Object.keys(shipped()).sort(); },
    open: function (name) {
      FS.writeFile('/examples/' + name, examples[name]);
      return '/examples/' + name;
    },
  };

  // The start-up figure: a figure in the address's fragment (#fkn=...), an
  // example named by ?example=, or the stored start-up document. The first two
  // are put where the program adds its start-up figure from, in memory
  // only: they have no document path, so the first Save asks for a name, and
  // nothing is stored until then.
  var startUp = folder + '/' + startUpDocument;
  // the link's figure, in the working folder: the program adds it at start-up
  // in place of the start-up document
  var linked = home + '/' + linkedFigure;
  // the link's figure of very many balls, which the program has counted, once
  // the person says so; else the start-up figure
  Module.flopkin.largeStartFigure = function (balls) {
    if (Module.flopkin.opensLarge(balls)) return Promise.resolve();
    FS.unlink(linked);
    Module.flopkin.notice('The figure in this link was not opened: this is the start-up figure.');
    return Promise.resolve();
  };
  function startFigure() {
    var shared = /^#fkn=(.*)$/.exec(location.hash);
    if (shared) {
      // put where the program adds it from at start-up in place of the
      // start-up document, which stays for a link that holds no figure
      return Module.flopkin.unpack(shared[1]).then(function (bytes) {
        FS.writeFile(linked, bytes);
        return storage.fetch(startUpDocument);
      }, function (failure) {
        Module.flopkin.notice('The figure in this link could not be read (' + Module.flopkin.reason(failure) +
                              '): this is the start-up figure.');
        return storage.fetch(startUpDocument);
      });
    }
    var examples = shipped();
    var example = new URLSearchParams(location.search).get('example');
    if (example !== null) {
      var n = example.replace(/\.fkn$/i, '') + '.fkn';
      if (Object.prototype.hasOwnProperty.call(examples, n)) {
        FS.writeFile(startUp, examples[n]);
        return Promise.resolve();
      }
      Module.flopkin.notice('There is no example named "' + example + '": the examples are ' +
                            Object.keys(examples).sort().map(function (e) { return e.replace(/\.fkn$/, ''); }).join(', ') + '.');
    }
    return storage.fetch(startUpDocument);
  }
  addRunDependency('storage');
  Promise.resolve().then(startFigure).catch(function (failure) {
    console.error('flopkin: the browser storage could not be read: ' + failure);
    Module.flopkin.notice('The browser\'s storage cannot be used (' + Module.flopkin.reason(failure) +
                          '): nothing can be saved or opened in this browser.');
  }).then(function () { removeRunDependency('storage'); });
});
