// The "saved flopkins" folder lives in the browser's storage for the page
// (IndexedDB): it is read in before the program starts, and every change to
// it is written back soon after.
Module.preRun = Module.preRun || [];
Module.preRun.push(function () {
  var home = '/home/web_user';
  var folder = home + '/saved flopkins';
  FS.mkdir(folder);
  FS.mount(IDBFS, {}, folder);
  FS.chdir(home);
  var writing = false, again = false;
  function writeBack() {
    if (writing) { again = true; return; }
    writing = true;
    FS.syncfs(false, function (failure) {
      writing = false;
      if (failure) console.error('flopkin: the browser storage could not be written: ' + failure);
      if (again) { again = false; writeBack(); }
    });
  }
  function changed(path) {
    // the wait lets a fresh file and its rename go over in one write
    if (!path || path.indexOf(folder + '/') !== 0) return;
    setTimeout(writeBack, 0);
    Module.flopkin.written(path);
  }
  // the program reaches the files only through these three
  var close = FS.close, rename = FS.rename, unlink = FS.unlink;
  FS.close = function (stream) {
    var path = stream.path, wrote = (stream.flags & 3) !== 0;  // opened for writing
    close.apply(FS, arguments);
    if (wrote) changed(path);
  };
  FS.rename = function (from, to) {
    rename.apply(FS, arguments);
    changed(PATH_FS.resolve(to));
  };
  FS.unlink = function (path) {
    unlink.apply(FS, arguments);
    changed(PATH_FS.resolve(path));
  };
  Module.flopkin.folder = folder;
  Module.flopkin.writing = function () { return writing; };
  addRunDependency('storage');
  FS.syncfs(true, function (failure) {
    if (failure) console.error('flopkin: the browser storage could not be read: ' + failure);
    removeRunDependency('storage');
  });
});
