// What the page and the program's worker say to each other, in one list
// that both sides build from. Every message is {op, args}, each way. The
// build puts this file before the page's own scripts and before
// game_worker.js, so both read the same list.
'use strict';
var tarvoProtocol = {
  // What the program asks of the page, as Module.page.<op> (the program's
  // backend calls these). How each is answered where the program runs in a
  // worker:
  //   sent    the worker posts {op, args} to the page, which does it;
  //   value   a value the page gave the worker at start;
  //   kept    the worker answers from what the page last told it;
  //   worker  only in a worker (the page's main thread has no such need);
  //   page    only on the page's main thread.
  programAsks: {
    touch: 'value',         // a touch device
    webgl: 'value',         // false where the browser has no WebGL (unset: try it)
    keepStates: 'value',    // every frame's state is kept
    settings: 'value',      // the game's settings kept in the browser: {name: value}
    hasFocus: 'kept',       // () -> whether the page has the focus
    screen: 'kept',         // () -> [width, height] of the screen
    stage: 'kept',          // () -> [width, height, pixel ratio] of the room for the picture
    readGamepads: 'kept',   // (most, now) -> the gamepads, or null
    styleCanvas: 'sent',    // (width, height, scale): the canvas's size on the page
    showMessageBox: 'sent', // (caption, text): modal until OK
    openAudio: 'sent',      // () -> whether there is sound
    loadSound: 'sent',      // (samples, rate) -> the effect's handle, from 1
    playSound: 'sent',      // (sound, volume, pan, loop)
    stopSound: 'sent',      // (sound, or 0 for all)
    share: 'sent',          // (name, value): a figure for the page and its tests
    keepState: 'sent',      // (state): one frame's state, every frame kept
    debugLine: 'sent',      // (text): a line of debug.txt
    storeSetting: 'sent',   // (name, value): one of the game's settings, to keep
    refused: 'sent',        // (what, message): the address or the key script
    runOnPage: 'sent',      // (): the worker cannot draw; start again on the page
    frameDone: 'worker',    // (state): the frame's state, posted when the page asked for it
    stateWanted: 'worker',  // () -> whether the page asked for the state since it last got one
    nextFrame: 'worker',    // (wake): the display's next refresh, none while hidden
    readState: 'page',      // (read or null): reads the latest state when asked; null: keep the last
  },
  // What the worker says of the program's life, besides the ops above.
  workerSays: {
    running: true,          // (the game's keys, a byte for modifiers * 256 + key code)
    exit: true,             // (status)
    abort: true,            // (what)
  },
  // Page to worker: each op and the program's export it calls (null: the
  // worker only keeps what it says).
  pageSays: {
    start: null,                           // (what the program starts with: canvas, files, ...)
    key: 'tarvo_page_key',                 // (virtual key, down): a touch control
    browserKey: 'tarvo_page_browser_key',  // (keyCode, key, ctrl, alt, meta, down)
    mouse: 'tarvo_page_mouse',             // (kind, button, x, y, width, height)
    focused: 'tarvo_page_focus',           // (focused)
    stage: 'tarvo_page_resized',           // ([width, height, pixel ratio])
    pads: null,                            // (the gamepads, as readGamepads gives them)
    hidden: null,                          // (hidden)
    boxClosed: null,                       // ()
    wantState: null,                       // (): the next frame's state, please
  },
  // The ops a worker posts to the page.
  toPage: function () {
    return tarvoProtocol.asks(['sent']).concat(['frameDone'], Object.keys(tarvoProtocol.workerSays));
  },
  // The ops of programAsks of the given kinds.
  asks: function (kinds) {
    var asks = tarvoProtocol.programAsks;
    return Object.keys(asks).filter(function (op) { return kinds.indexOf(asks[op]) >= 0; });
  },
  // Handlers for every op of `ops`, or an error naming those it lacks.
  check: function (ops, handlers, side) {
    var missing = ops.filter(function (op) { return typeof handlers[op] !== 'function'; });
    if (missing.length) throw new Error(side + ' has no handler for ' + missing.join(', '));
    return handlers;
  },
};
