// The program in a worker, off the page's main thread: the page (index.html)
// hands it the canvas and the downloaded files, and then only shows what it
// draws, so a slow phone's main thread keeps the pace of its display.
//
// Here Module.page is a messenger built from tarvoProtocol (page_protocol.js,
// which the build puts before this file): what the program asks of the page
// is posted to it, or answered from what the page last told (its sizes and
// focus, gamepads); what the page tells (keys, touches, focus, sizes,
// gamepads, a closed dialog, a hidden page) is kept or handed to the program.
'use strict';

self.onmessage = function (event) {
  if (event.data.op === 'start') start(event.data.args[0]);
};

function start(given) {
  var ready = false;
  var focused = given.focused, stage = given.stage, hidden = given.hidden, pads = null;
  var sounds = 0;
  var stateWanted = false;
  var waiting = null;  // the program's wake-up while the page is hidden
  function tell(op, args, transfer) { self.postMessage({ op: op, args: args }, transfer || []); }

  // A call from the page into the program, its strings put in the program's
  // memory for the call.
  function call(name, args) {
    var fn = Module['_' + name];
    if (!ready || !fn) return;
    var strings = [];
    args = args.map(function (arg) {
      if (typeof arg !== 'string') return arg;
      var size = lengthBytesUTF8(arg) + 1, at = _malloc(size);
      stringToUTF8(arg, at, size);
      strings.push(at);
      return at;
    });
    try { fn.apply(null, args); } finally { strings.forEach(function (at) { _free(at); }); }
  }

  // What the page says: kept here first, where the program asks it later.
  var keep = {
    focused: function (value) { focused = value; return [focused ? 1 : 0]; },
    stage: function (value) { stage = value; return []; },
    pads: function (value) { pads = value; },
    boxClosed: function () { Module.messageBoxOpen = false; },
    wantState: function () { stateWanted = true; },
    hidden: function (value) {
      hidden = value;
      if (!hidden && waiting) {
        var wake = waiting;
        waiting = null;
        nextFrame(wake);
      }
    },
  };
  tarvoProtocol.check(Object.keys(tarvoProtocol.pageSays).filter(function (op) {
    return op !== 'start' && !tarvoProtocol.pageSays[op];
  }), keep, 'the worker');
  self.onmessage = function (event) {
    var op = event.data.op, args = event.data.args;
    if (!(op in tarvoProtocol.pageSays) || op === 'start') return;
    var kept = keep[op] ? keep[op].apply(null, args) : undefined;
    var name = tarvoProtocol.pageSays[op];
    if (name) call(name, kept || args);
  };

  // The display's next refresh; a hidden page gets none until it is shown.
  var frameRequest = self.requestAnimationFrame ? self.requestAnimationFrame.bind(self) : function (wake) {
    return setTimeout(wake, 1000 / 60);
  };
  function nextFrame(wake) {
    if (hidden) waiting = wake; else frameRequest(wake);
  }

  var page = {
    touch: given.touch,
    webgl: given.webgl,
    keepStates: given.keepStates,
    settings: given.settings,
    hasFocus: function () { return focused; },
    screen: function () { return given.screen; },
    stage: function () { return stage; },
    readGamepads: function () { return pads; },
    nextFrame: nextFrame,
    // Each frame's state costs a message the page reads only now and then:
    // it goes when asked for.
    stateWanted: function () {
      var wanted = stateWanted;
      stateWanted = false;
      return wanted;
    },
  };
  tarvoProtocol.asks(['sent']).concat(['frameDone']).forEach(function (op) {
    page[op] = function () { tell(op, Array.prototype.slice.call(arguments)); };
  });
  // Those that answer: the page numbers the effects in the order they come,
  // as here.
  page.openAudio = function () {
    if (given.audio) tell('openAudio', []);
    return given.audio;
  };
  page.loadSound = function (samples, rate) {
    tell('loadSound', [samples, rate], samples.map(function (s) { return s.buffer; }));
    return ++sounds;
  };
  tarvoProtocol.check(tarvoProtocol.asks(['kept', 'sent', 'worker']), page, 'the worker');

  self.Module = {
    canvas: given.canvas,
    thisProgram: given.program,
    wasmBinary: given.wasm,
    getPreloadedPackage: given.data ? function () { return given.data; } : undefined,
    pageParameters: function () { return new URLSearchParams(given.parameters); },
    page: page,
    onRuntimeInitialized: function () {
      ready = true;
      // What the page's keys do by default, decided by the program's rule.
      var gameKeys = new Uint8Array(256 * 8);
      for (var modifiers = 0; modifiers < 8; ++modifiers) {
        for (var code = 0; code < 256; ++code)
          gameKeys[modifiers * 256 + code] = Module._tarvo_key_is_the_games(code, modifiers);
      }
      tell('running', [gameKeys]);
    },
    onExit: function (code) { tell('exit', [code]); },
    onAbort: function (what) { tell('abort', [String(what)]); },
  };
  importScripts(given.program + '.js');
}
