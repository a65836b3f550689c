// Runs inside the program's module, before the program's static objects are
// made: the debug log opens "debug.txt" while they are.
//
// debug.txt is a device: what the engine writes stays in memory
// (Module.debugLog) and each line goes to the console, since a page has no
// working folder to leave a file in.
Module['preRun'] = Module['preRun'] || [];
Module['preRun'].push(function () {
  var pending = [];
  Module['debugLog'] = '';
  function flushLine() {
    var text = String.fromCharCode.apply(null, pending);
    pending = [];
    Module['debugLog'] += text + '\n';
    console.log('debug.txt: ' + text);
  }
  FS.createDevice('/', 'debug.txt', function () { return null; }, function (byte) {
    if (byte === null || byte === undefined) return;
    if (byte === 10) flushLine(); else pending.push(byte);
  });
});
