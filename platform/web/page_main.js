// The page's start: the browser checked, the page's controls, the game's
// files downloaded (a failure is said on the page), and the program started
// with both in hand, in a worker where the browser can give one the canvas.
'use strict';
(function (parts) {
  var say = parts.hooks.say;
  if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
    say('failed', 'This browser cannot run the game: it has no WebAssembly.');
    return;
  }

  // Kept for playing offline, where the page is served (not from a file,
  // nor where the browser keeps no workers); quietly without it.
  if ('serviceWorker' in navigator && /^https?:$/.test(location.protocol)) {
    navigator.serviceWorker.register('service_worker.js').catch(function () {});
  }

  parts.controls.install(parts.touchDevice);

  say('loading', 'Downloading the game…');
  // The program, and its package of pictures and sounds when it has one.
  var program = tarvoGame.program, wanted = [program + '.wasm'];
  if (tarvoGame.data) wanted.unshift(program + '.data');
  parts.downloads.fetchAll(wanted).then(function (got) {
    var files = tarvoGame.data ? got : [null, got[0]];
    say('loading', 'Loading the game…');
    var canvas = Module.canvas;
    if (typeof Worker === 'function' && typeof OffscreenCanvas === 'function' &&
        typeof canvas.transferControlToOffscreen === 'function') {
      parts.host.startInWorker(files);
    } else {
      parts.host.startOnPage(files);
    }
  }, function (error) {
    say('failed', error.file === program + '.data'
        ? 'The game\u2019s pictures could not be downloaded (' + error.file + ': ' + error.message + ').'
        : 'The game could not be downloaded (' + error.file + ': ' + error.message + ').');
  });
})(PageParts);
