// Runs inside the program's module, before the program's static objects are
// made: the debug log opens "debug.txt" while they are.
//
// debug.txt is a device: each line the engine writes goes to the page
// (Module.page.debugLine), which keeps it and shows it on the console, since
// a page has no working folder to leave a file in.
Module['preRun'] = Module['preRun'] || [];
Module['preRun'].push(function () {
  var pending = [];
  function flushLine() {
    var text = String.fromCharCode.apply(null, pending);
    pending = [];
    Module['page'].debugLine(text);
  }
  FS.createDevice('/', 'debug.txt', function () { return null; }, function (byte) {
    if (byte === null || byte === undefined) return;
    if (byte === 10) flushLine(); else pending.push(byte);
  });
});
