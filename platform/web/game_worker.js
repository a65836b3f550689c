// The program in a worker, off the page's main thread: the page (index.html)
// hands it the canvas and the downloaded files, and then only shows what it
// draws, so a slow phone's main thread keeps the pace of its display.
//
// Here Module.page is a messenger: what the program asks of the page (its
// sizes and focus, the dialog, sound, the figures it shows) is posted to it,
// and what the page tells (keys, touches, focus, sizes, gamepads, a closed
// dialog, a hidden page) is kept or handed to the program. The page's side of
// every message is in index.html.
'use strict';

self.onmessage = function (event) {
  if (event.data.start) start(event.data.start);
};

function start(given) {
  var ready = false;
  var focused = given.focused, stage = given.stage, hidden = given.hidden, pads = null;
  var sounds = 0;
  var waiting = null;  // the program's wake-up while the page is hidden
  function tell(message, transfer) { self.postMessage(message, transfer || []); }

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

  self.onmessage = function (event) {
    var m = event.data;
    if (m.call) call(m.call[0], m.call[1]);
    if ('focused' in m) {
      focused = m.focused;
      call('tarvo_page_focus', [focused ? 1 : 0]);
    }
    if (m.stage) {
      stage = m.stage;
      call('tarvo_page_resized', []);
    }
    if (m.pads) pads = m.pads;
    if (m.boxClosed) Module.messageBoxOpen = false;
    if ('hidden' in m) {
      hidden = m.hidden;
      if (!hidden && waiting) {
        var wake = waiting;
        waiting = null;
        nextFrame(wake);
      }
    }
  };

  // The display's next refresh; a hidden page gets none until it is shown.
  var frameRequest = self.requestAnimationFrame ? self.requestAnimationFrame.bind(self) : function (wake) {
    return setTimeout(wake, 1000 / 60);
  };
  function nextFrame(wake) {
    if (hidden) waiting = wake; else frameRequest(wake);
  }

  self.Module = {
    canvas: given.canvas,
    wasmBinary: given.wasm,
    getPreloadedPackage: function () { return given.data; },
    pageParameters: function () { return new URLSearchParams(given.parameters); },
    page: {
      touch: given.touch,
      webgl: given.webgl,
      keepStates: given.keepStates,
      hasFocus: function () { return focused; },
      screen: function () { return given.screen; },
      stage: function () { return stage; },
      styleCanvas: function (width, height, scale) { tell({ styleCanvas: [width, height, scale] }); },
      showMessageBox: function (caption, text) { tell({ box: [caption, text] }); },
      openAudio: function () {
        if (given.audio) tell({ openAudio: true });
        return given.audio;
      },
      // The page numbers the effects in the order they come, as here.
      loadSound: function (samples, rate) {
        tell({ loadSound: [samples, rate] }, samples.map(function (s) { return s.buffer; }));
        return ++sounds;
      },
      playSound: function (sound, volume, pan, loop) { tell({ playSound: [sound, volume, pan, loop] }); },
      stopSound: function (sound) { tell({ stopSound: sound }); },
      readGamepads: function () { return pads; },
      share: function (name, value) { tell({ share: [name, value] }); },
      frameDone: function (state) { tell({ state: state }); },
      keepState: function (state) { tell({ keepState: state }); },
      debugLine: function (text) { tell({ debugLine: text }); },
      refused: function (what, message) { tell({ refused: [what, message] }); },
      runOnPage: function () { tell({ runOnPage: true }); },
      nextFrame: nextFrame,
    },
    onRuntimeInitialized: function () {
      ready = true;
      // What the page's keys do by default, decided by the program's rule.
      var gameKeys = new Uint8Array(256 * 8);
      for (var modifiers = 0; modifiers < 8; ++modifiers) {
        for (var code = 0; code < 256; ++code)
          gameKeys[modifiers * 256 + code] = Module._tarvo_key_is_the_games(code, modifiers);
      }
      tell({ running: gameKeys });
    },
    onExit: function (code) { tell({ exit: code }); },
    onAbort: function (what) { tell({ abort: String(what) }); },
  };
  importScripts('tarvo.js');
}
