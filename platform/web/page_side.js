// The page's side of the program: Module.page, what the program asks of the
// page (built to tarvoProtocol's list), the program's Module, and the way
// the page's events reach the program, wherever it runs.
'use strict';
(function (parts) {
  var hooks = parts.hooks;
  var say = hooks.say;
  var box = document.getElementById('box');
  var stageElement = document.getElementById('stage');
  var touchDevice = (navigator.maxTouchPoints || 0) > 0 || 'ontouchstart' in window;

  // The address's parameters, after '?' or '#' (a long key script goes after
  // '#': it never reaches the server, whose request line is short).
  function addressParameters() {
    return window.location.search.slice(1) + '&' + window.location.hash.slice(1);
  }

  // The game's settings, in the browser's storage under the game's name (two
  // games served from one place keep theirs apart). A browser that keeps
  // nothing (storage turned off, or full) keeps them for the run only.
  var settingsPrefix = (tarvoGame.game.name || tarvoGame.program) + '/';
  function storedSettings() {
    var kept = {};
    try {
      for (var i = 0; i < localStorage.length; ++i) {
        var key = localStorage.key(i);
        if (key.indexOf(settingsPrefix) === 0) kept[key.slice(settingsPrefix.length)] = localStorage.getItem(key);
      }
    } catch (e) {
      console.warn('The game\u2019s settings cannot be read from this browser\u2019s storage: ' + e.message);
    }
    return kept;
  }

  var side = {
    touch: touchDevice,
    settings: storedSettings(),
    storeSetting: function (name, value) {
      try {
        localStorage.setItem(settingsPrefix + name, value);
      } catch (e) {
        console.warn('The game\u2019s setting ' + name + ' is kept for this run only: ' + e.message);
      }
    },
    keepStates: window.tarvo.keepStates,
    hasFocus: function () { return document.hasFocus(); },
    screen: function () {
      return [(window.screen && screen.width) || window.innerWidth,
              (window.screen && screen.height) || window.innerHeight];
    },
    stage: function () {
      var room = stageElement.getBoundingClientRect();
      return [room.width, room.height, window.devicePixelRatio || 1];
    },
    styleCanvas: function (width, height, scale) {
      Module.canvas.style.width = width + 'px';
      Module.canvas.style.height = height + 'px';
      Module.canvas.dataset.scale = scale;
    },
    // A message box of the program: modal until OK; the program waits.
    showMessageBox: function (caption, text) {
      console.error((caption ? caption + ': ' : '') + text);
      document.getElementById('box-caption').textContent = caption || 'Tarvo';
      document.getElementById('box-text').textContent = text;
      box.showModal();
    },
    openAudio: parts.audio.openAudio,
    loadSound: parts.audio.loadSound,
    playSound: parts.audio.playSound,
    stopSound: parts.audio.stopSound,
    readGamepads: parts.gamepads.readGamepads,
    share: hooks.share,
    keepState: hooks.keepState,
    readState: hooks.readState,
    debugLine: function (text) {
      window.tarvo.debugLog = Module.debugLog = (Module.debugLog || '') + text + '\n';
      console.log('debug.txt: ' + text);
    },
    refused: function (what, message) {
      console.error('tarvo: ' + what + ': ' + message);
      if (what === 'address') say('failed', 'The page\u2019s address was refused: ' + message);
      else if (what === 'game') say('failed', 'The game cannot start: ' + message);
      else say('failed', 'The key script was refused: ' + message);
    },
  };
  // runOnPage comes only from a worker (see the worker's host).
  tarvoProtocol.check(tarvoProtocol.asks(['kept', 'sent', 'page']).filter(function (op) {
    return op !== 'runOnPage';
  }), side, 'the page');

  // The program's worker, where it runs in one.
  var program = { worker: null };
  var Module = window.Module = {
    canvas: document.getElementById('canvas'),
    thisProgram: tarvoGame.program,
    page: side,
    pageParameters: function () { return new URLSearchParams(addressParameters()); },
    onRuntimeInitialized: function () {
      say('running', Module.pageParameters().has('script') ? 'Playing the key script…' : 'Playing.');
    },
    onExit: function (code) {
      window.tarvo.exit = code;
      Module.canvas.classList.add('ended');
      parts.controls.ended();
      program.stop();
      // A failure already said (a refused script or address) is the reason.
      if (window.tarvo.page.state === 'failed') return;
      if (code === 0) {
        say('ended', 'The game has ended.');
        var again = document.getElementById('again');
        again.hidden = false;
        again.focus();
      } else {
        say('failed', 'The game stopped with exit status ' + code + '.');
      }
    },
    onAbort: function (what) {
      program.stop();
      window.tarvo.exit = 'abort';
      say('failed', 'The game could not run: ' + what);
    },
  };
  box.addEventListener('close', function () {
    Module.messageBoxOpen = false;
    program.post('boxClosed', []);
  });

  // An op of tarvoProtocol.pageSays to a program in a worker; nothing
  // without one.
  program.post = function (op, args, transfer) {
    if (program.worker) program.worker.postMessage({ op: op, args: args }, transfer || []);
  };
  // An op to the program, wherever it runs: on the page's main thread, the
  // export it calls (nothing before the program runs).
  program.tell = function (op, args) {
    if (program.worker) return program.post(op, args);
    var fn = Module['_' + tarvoProtocol.pageSays[op]];
    if (op === 'stage') args = [];  // the program asks the page itself
    if (fn && Module.calledRun) fn.apply(null, args);
  };
  // The program has ended: its worker goes, and the page's events stop
  // going there.
  program.stop = function () {
    if (!program.worker) return;
    program.worker.terminate();
    program.worker = null;
  };

  parts.side = side;
  parts.program = program;
  parts.touchDevice = touchDevice;
  parts.addressParameters = addressParameters;
})(PageParts);
