// The page's own controls: touch controls on a touch device, the header's
// button on a phone on its side, Quit, full screen and Play again.
'use strict';
(function (parts) {
  var box = document.getElementById('box');

  // Touch controls, on a touch device only: one for each of the game's
  // actions, named by its key (data-key="LEFT"), Left and Right on the left
  // and the others on the right; none for a game that declares no actions.
  // Each finger holds the control it is on; sliding onto another moves the
  // key with it; lifted or cancelled, it lets go, and so does the page losing
  // the focus. A key goes up when no finger holds it. A finger that starts
  // outside the controls does nothing.
  var actions = tarvoGame.game.actions;
  var touchKeys = {};  // data-key -> the virtual key the game reads
  function makeControls() {
    actions.forEach(function (action) {
      if (touchKeys.hasOwnProperty(action.key)) return;
      touchKeys[action.key] = action.vk;
      var control = document.createElement('div');
      control.setAttribute('data-key', action.key);
      control.textContent = action.label;
      if (action.label.length > 2) control.classList.add('word');
      var left = action.key === 'LEFT' || action.key === 'RIGHT';
      document.getElementById(left ? 'pad-left' : 'pad-right').appendChild(control);
    });
    document.querySelectorAll('.pad').forEach(function (pad) { if (!pad.firstChild) pad.remove(); });
  }
  var fingers = new Map();  // touch identifier -> the control's data-key, or null
  var holders = {};         // data-key -> how many fingers hold it
  function sendKey(name, down) {
    var control = document.querySelector('[data-key="' + name + '"]');
    if (control) control.classList.toggle('held', down);
    parts.program.tell('key', [touchKeys[name], down ? 1 : 0]);
  }
  function hold(name) {
    holders[name] = (holders[name] || 0) + 1;
    if (holders[name] === 1) sendKey(name, true);
  }
  function letGo(name) {
    if (!holders[name]) return;
    holders[name] -= 1;
    if (holders[name] === 0) sendKey(name, false);
  }
  function controlAt(x, y) {
    var element = document.elementFromPoint(x, y);
    var control = element && element.closest && element.closest('.pad [data-key]');
    return control ? control.getAttribute('data-key') : null;
  }
  function releaseAllTouches() {
    fingers.forEach(function (name) { if (name) letGo(name); });
    fingers.clear();
  }
  function onTouch(e) {
    for (var i = 0; i < e.changedTouches.length; ++i) {
      var t = e.changedTouches[i];
      var was = fingers.has(t.identifier) ? fingers.get(t.identifier) : undefined;
      if (e.type === 'touchstart') {
        var name = controlAt(t.clientX, t.clientY);
        fingers.set(t.identifier, name);
        if (name) hold(name);
      } else if (e.type === 'touchmove') {
        if (!was) continue;  // unknown, or started outside the controls
        var now = controlAt(t.clientX, t.clientY);
        if (now && now !== was) {
          letGo(was);
          hold(now);
          fingers.set(t.identifier, now);
        }
      } else {
        if (was) letGo(was);
        fingers.delete(t.identifier);
      }
    }
    // Nothing scrolls or zooms while playing; the header's buttons and the
    // button that brings it still click.
    if (e.cancelable && !(e.target.closest && e.target.closest('header, dialog, #menu'))) e.preventDefault();
  }

  function install(touchDevice) {
    makeControls();
    if (touchDevice) {
      document.body.classList.add('touch');
      ['touchstart', 'touchmove', 'touchend', 'touchcancel'].forEach(function (type) {
        document.addEventListener(type, onTouch, { passive: false });
      });
      window.addEventListener('blur', releaseAllTouches);
    }
    // The header behind its button (a touch device on its side): the button
    // brings it and takes it away, and a button of the header used takes it
    // away.
    var menuButton = document.getElementById('menu');
    menuButton.addEventListener('click', function () {
      document.body.classList.toggle('menu-open');
      menuButton.blur();
    });
    document.querySelector('header').addEventListener('click', function (e) {
      if (e.target.closest('button')) document.body.classList.remove('menu-open');
    });
    // Quit is Escape for a touch device, pressed and let go.
    var quitButton = document.getElementById('quit');
    quitButton.addEventListener('click', function () {
      quitButton.blur();
      parts.program.tell('key', [27, 1]);
      setTimeout(function () { if (window.tarvo.exit === undefined) parts.program.tell('key', [27, 0]); }, 100);
    });

    // Played again from the start, as the page was first opened.
    document.getElementById('again').addEventListener('click', function () { window.location.reload(); });

    // The picture follows the room it has: resizing, rotation, full screen,
    // the controls appearing.
    var resized = function () { parts.program.tell('stage', [parts.side.stage()]); };
    if (window.ResizeObserver) new ResizeObserver(resized).observe(document.getElementById('stage'));
    window.addEventListener('resize', resized);

    // Full screen: the button, and the F key (with no modifier, no dialog
    // open) for a game that plays declared actions none of which is on F; a
    // game that takes every key as itself keeps F.
    var fullscreenButton = document.getElementById('fullscreen');
    var root = document.documentElement;
    var toggleFullscreen = function () {
      var request = document.fullscreenElement ? document.exitFullscreen() : root.requestFullscreen();
      if (request && request.catch) request.catch(function () {});
    };
    if (root.requestFullscreen && document.fullscreenEnabled !== false) {
      fullscreenButton.hidden = false;
      fullscreenButton.addEventListener('click', function () { toggleFullscreen(); fullscreenButton.blur(); });
      var fKey = actions.length > 0 && !actions.some(function (action) { return action.vk === 70; });
      window.addEventListener('keydown', function (e) {
        if (fKey && e.code === 'KeyF' && !e.repeat && !e.ctrlKey && !e.altKey && !e.metaKey && !box.open) toggleFullscreen();
      });
    }
  }

  // The game has ended: no finger holds a key, and there is nothing to quit.
  function ended() {
    releaseAllTouches();
    document.getElementById('quit').style.display = 'none';
  }

  parts.controls = { install: install, ended: ended };
})(PageParts);
