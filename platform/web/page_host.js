// Where the program runs: in a worker (game_worker.js), drawing on the canvas
// handed to it, so the page's main thread only shows its frames and a slow
// phone keeps its display's pace; else on the page's main thread. The page
// sends a worker its events and answers what the program asks, every message
// an {op, args} of tarvoProtocol. A worker that cannot start, or cannot draw,
// gives way to the page's main thread.
'use strict';
(function (parts) {
  var box = document.getElementById('box');
  var program = parts.program, side = parts.side;
  var canvasGiven = false;

  // The program on the page's main thread.
  function startOnPage(files) {
    program.stop();
    var canvas = Module.canvas;
    if (canvasGiven) {
      // A worker had the canvas: a new one takes its place.
      canvasGiven = false;
      var fresh = document.createElement('canvas');
      fresh.id = canvas.id;
      fresh.width = canvas.width;
      fresh.height = canvas.height;
      canvas.replaceWith(fresh);
      Module.canvas = fresh;
    }
    window.tarvo.page.thread = 'page';
    if (files[0]) Module.getPreloadedPackage = function () { return files[0]; };
    Module.wasmBinary = files[1];
    var script = document.createElement('script');
    script.src = tarvoGame.program + '.js';
    script.onerror = function () {
      parts.hooks.say('failed', 'The game could not be downloaded (' + tarvoGame.program + '.js).');
    };
    document.body.appendChild(script);
  }

  function startInWorker(files) {
    var running = false;
    var gameKeys = null;
    var canvas = Module.canvas;
    window.tarvo.page.thread = 'worker';
    var worker, offscreen;
    try {
      worker = program.worker = new Worker('game_worker.js');
      offscreen = canvas.transferControlToOffscreen();
      canvasGiven = true;
    } catch (e) {
      startOnPage(files);
      return;
    }
    worker.onerror = function (event) {
      event.preventDefault();
      if (!running) startOnPage(files);
      else if (window.tarvo.exit === undefined) Module.onAbort(event.message);
    };
    // What the worker says, built from the protocol's list: most is what the
    // program asks of the page, done as on the main thread.
    var heard = {};
    tarvoProtocol.asks(['sent']).forEach(function (op) { heard[op] = side[op]; });
    heard.showMessageBox = function (caption, text) {
      Module.messageBoxOpen = true;
      side.showMessageBox(caption, text);
    };
    heard.runOnPage = function () { startOnPage(files); };
    // The latest state is read from what the worker last sent; reading it
    // asks for the next frame's.
    var stateAsked = false;
    parts.hooks.stateWish = function () {
      if (stateAsked || !program.worker) return;
      stateAsked = true;
      program.post('wantState', []);
    };
    heard.frameDone = function (text) {
      stateAsked = false;
      parts.hooks.setState(text);
    };
    heard.running = function (keys) {
      running = true;
      // A key script's run takes no keys from the page.
      if (!Module.pageParameters().has('script')) gameKeys = keys;
      Module.onRuntimeInitialized();
    };
    heard.exit = function (code) { Module.onExit(code); };
    heard.abort = function (what) { Module.onAbort(what); };
    tarvoProtocol.check(tarvoProtocol.toPage(), heard, 'the page');
    worker.onmessage = function (event) {
      var op = event.data.op;
      if (heard.hasOwnProperty(op)) heard[op].apply(null, event.data.args);
    };
    // A browser with no WebGL at all has none in a worker either; one that
    // has it, the worker's canvas asks for itself.
    program.post('start', [{
      program: tarvoGame.program, canvas: offscreen, data: files[0], wasm: files[1],
      parameters: parts.addressParameters(), settings: side.settings,
      touch: parts.touchDevice, webgl: typeof WebGLRenderingContext === 'function', focused: document.hasFocus(),
      stage: side.stage(), hidden: document.hidden, screen: side.screen(), audio: parts.audio.available(),
      keepStates: side.keepStates,
    }], [offscreen]);

    // Keys, as the browser has them; the page withholds at once the default
    // action of those the program's rule calls the game's (none while the
    // dialog is open).
    function key(e) {
      if (!program.worker) return;
      var modifiers = (e.ctrlKey ? 1 : 0) | (e.altKey ? 2 : 0) | (e.metaKey ? 4 : 0);
      if (gameKeys && !box.open && e.keyCode < 256 && gameKeys[modifiers * 256 + e.keyCode]) e.preventDefault();
      program.post('browserKey', [e.keyCode, e.key || '', e.ctrlKey ? 1 : 0, e.altKey ? 1 : 0, e.metaKey ? 1 : 0,
                                  e.type === 'keydown' ? 1 : 0]);
    }
    window.addEventListener('keydown', key, true);
    window.addEventListener('keyup', key, true);
    // The page's own focus and blur, not those of its buttons.
    function focus(e) {
      if (e.target === window) program.post('focused', [e.type === 'focus']);
    }
    window.addEventListener('focus', focus);
    window.addEventListener('blur', focus);
    function mouse(e) {
      if (!program.worker) return;
      var room = canvas.getBoundingClientRect();
      var kind = e.type === 'mousemove' ? 0 : e.type === 'mousedown' ? 1 : 2;
      program.post('mouse', [kind, e.button, e.clientX - room.left, e.clientY - room.top, room.width, room.height]);
    }
    ['mousemove', 'mousedown', 'mouseup'].forEach(function (type) { canvas.addEventListener(type, mouse, true); });
    document.addEventListener('visibilitychange', function () { program.post('hidden', [document.hidden]); });
    parts.gamepads.watchGamepads(function () { return !!program.worker; },
                                 function (pads) { program.post('pads', [pads]); });
  }

  parts.host = { startOnPage: startOnPage, startInWorker: startInWorker };
})(PageParts);
