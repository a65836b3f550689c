// Gamepads: the standard-mapping ones, at most `most`, each as [connected (1)
// or not (0), the pressed buttons as bits by index (0 to 16), the left
// stick's x and y in thousandths]; null for not looked at. Asking the
// browser costs time on every frame, so with no pad in use it is asked twice
// a second (and at once when it says a pad has come), once a frame while one
// is.
'use strict';
(function (parts) {
  var look = null;
  // `now`: look whatever the rule says.
  function readGamepads(most, now) {
    if (!navigator.getGamepads) return null;
    if (!look) {
      look = { inUse: false, frames: 0 };
      window.addEventListener('gamepadconnected', function () { look.inUse = true; });
    }
    if (!look.inUse && look.frames++ % 30 !== 0 && !now) return null;
    var pads;
    try { pads = navigator.getGamepads() || []; } catch (e) { return null; }
    look.inUse = false;
    var out = [];
    for (var i = 0; i < Math.min(pads.length, most); ++i) {
      var pad = pads[i];
      var usable = pad && pad.connected && pad.mapping === 'standard';
      if (usable) look.inUse = true;
      var bits = 0;
      if (usable) {
        for (var b = 0; b < Math.min(pad.buttons.length, 17); ++b)
          if (pad.buttons[b] && pad.buttons[b].pressed) bits |= 1 << b;
      }
      out.push([usable ? 1 : 0, bits, usable && pad.axes.length > 0 ? Math.round(pad.axes[0] * 1000) : 0,
                usable && pad.axes.length > 1 ? Math.round(pad.axes[1] * 1000) : 0]);
    }
    return out;
  }

  // For a program in a worker the page looks on its own: twice a second
  // while none is in use (at once when the browser says one has come), on
  // every display refresh while one is, and sends what changed, while
  // `live()` says the program is there to hear it.
  function watchGamepads(live, send) {
    if (!navigator.getGamepads) return;
    var sent = '', inUse = false, timer = 0;
    var lookNow = function () {
      timer = 0;
      if (!live()) return;
      var pads = readGamepads(4, true) || [];
      inUse = pads.some(function (pad) { return pad[0] === 1; });
      var text = JSON.stringify(pads);
      if (text !== sent) {
        sent = text;
        send(pads);
      }
      if (inUse) requestAnimationFrame(lookNow); else timer = setTimeout(lookNow, 500);
    };
    window.addEventListener('gamepadconnected', function () {
      if (timer) {
        clearTimeout(timer);
        lookNow();
      }
    });
    lookNow();
  }

  parts.gamepads = { readGamepads: readGamepads, watchGamepads: watchGamepads };
})(PageParts);
