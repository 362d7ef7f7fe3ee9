// game_folder.js: the game folder in the browser's lasting storage. The demo
// files come in tarn.data under /demo; /game lives in IndexedDB and is where
// the engine runs. What the engine writes there is stored back and offered
// as a download; files the player picks are written in. The page may set
// Module.onGameFileWritten(name, bytes) and Module.onStorageNote(text).
(function () {
  var GAME = '/game', DEMO = '/demo';
  var MAX_FILE = 16 << 20;  // bigger than any level or tile file
  var lasting = true;       // false when the browser gives the page no storage
  var syncing = false, syncAgain = false, pending = [];

  function report(text) {
    err('tarn: ' + text);
    if (Module.onStorageNote) Module.onStorageNote(text);
  }

  // One IndexedDB write at a time; a write asked for meanwhile follows it.
  // A transaction the browser aborts (a full quota) never calls back: after
  // a while that counts as a refusal, so later saves are tried again.
  var STORE_TIMEOUT = 8000, attempt = 0;
  function store() {
    if (!lasting) return;
    if (syncing) { syncAgain = true; return; }
    syncing = true;
    var names = pending, mine = ++attempt;
    pending = [];
    var finish = function (e) {
      if (mine !== attempt || !syncing) return;
      syncing = false;
      clearTimeout(timer);
      // The copy in memory and the last stored one are both intact.
      if (e) report('the browser refused to store ' + names.join(', ') + ' (' + (e.message || e) +
                    '); it stays until the page closes: download it to keep it');
      if (syncAgain) { syncAgain = false; store(); }
    };
    var timer = setTimeout(function () { finish('no answer from the storage'); }, STORE_TIMEOUT);
    FS.syncfs(false, finish);
  }

  // Demo files the player has not written over carry the time 0, so a newer
  // build's copy replaces them; a saved level keeps its own time and stays.
  function copyDemo(from, to) {
    FS.readdir(from).forEach(function (name) {
      if (name === '.' || name === '..') return;
      var src = from + '/' + name, dst = to + '/' + name;
      var isDir = FS.isDir(FS.stat(src).mode);
      var have = FS.analyzePath(dst).exists ? FS.stat(dst) : null;
      if (isDir) {
        if (!have) FS.mkdir(dst);
        copyDemo(src, dst);
      } else if (!have || have.mtime.getTime() === 0) {
        FS.writeFile(dst, FS.readFile(src));
        FS.utime(dst, 0, 0);
      }
      if (!isDir) FS.unlink(src);  // one copy in memory is enough
    });
  }

  // WriteFileAtomic ends with a rename into the folder: that is a save.
  function watchRenames() {
    var rename = FS.rename;
    FS.rename = function (oldPath, newPath) {
      rename(oldPath, newPath);
      var path = FS.lookupPath(newPath).path;
      if (path.indexOf(GAME + '/') !== 0) return;
      var name = path.slice(GAME.length + 1);
      pending.push(name);
      setTimeout(store, 0);
      if (Module.onGameFileWritten) Module.onGameFileWritten(name, FS.readFile(path));
    };
  }

  // A file the player picked, written into the game folder under its own
  // name: plain names only, nothing that climbs out of the folder. Returns
  // why it was refused, or ''.
  Module.addGameFile = function (name, bytes) {
    if (!/^[A-Za-z0-9][A-Za-z0-9._-]{0,63}$/.test(name)) return 'the name ' + name + ' is not a plain file name';
    if (bytes.length > MAX_FILE) return name + ' is larger than 16 MB';
    FS.writeFile(GAME + '/' + name, bytes);
    pending.push(name);
    store();
    return '';
  };

  Module.preRun = Module.preRun || [];
  Module.preRun.push(function () {
    FS.mkdir(GAME);
    addRunDependency('tarn-game-folder');
    var done = function (why) {
      if (why) {
        lasting = false;
        report('saved levels will not last: ' + why);
      }
      removeRunDependency('tarn-game-folder');
    };
    if (typeof indexedDB === 'undefined') return done('this browser gives the page no storage');
    try {
      FS.mount(IDBFS, {}, GAME);
      FS.syncfs(true, function (e) { done(e ? 'the storage could not be read (' + (e.message || e) + ')' : ''); });
    } catch (e) {
      done('the storage could not be opened (' + (e.message || e) + ')');
    }
  });

  Module.onRuntimeInitialized = function () {
    copyDemo(DEMO, GAME);
    FS.chdir(GAME);
    watchRenames();
  };
})();
