// What the page shows of the game, for people and for tests, in one object,
// window.tarvo:
//   page            what the page last said: {state, message, thread}
//   state           the latest frame's state, as tarvo-replay prints it
//   states          every frame's state, kept only for a page that set
//                   window.tarvoKeepStates before its scripts ran
//   exit            the program's exit status, or 'abort'; undefined while it runs
//   frameWorkMs, framePresentMs, presentation   the program's figures
// The older names stay as aliases, since outside scripts read them:
// window.tarvoPage, tarvoState, tarvoStates, tarvoExit, and Module's figures.
'use strict';
var PageParts = {};
(function (parts) {
  var statusLine = document.getElementById('status');
  var reader = null;  // on the page's main thread, reads the program's latest state
  var last;
  var tarvo = window.tarvo = {
    page: { state: 'loading', message: '' },
    get state() {
      if (reader) last = reader();
      if (parts.hooks.stateWish) parts.hooks.stateWish();
      return last;
    },
    set state(text) { parts.hooks.setState(text); },
    states: undefined,
    exit: undefined,
    keepStates: window.tarvoKeepStates === true,
  };
  function alias(name, target, key) {
    Object.defineProperty(window, name, { configurable: true, get: function () { return target()[key]; },
                                          set: function (value) { target()[key] = value; } });
  }
  window.tarvoPage = tarvo.page;
  alias('tarvoState', function () { return tarvo; }, 'state');
  alias('tarvoStates', function () { return tarvo; }, 'states');
  alias('tarvoExit', function () { return tarvo; }, 'exit');

  parts.hooks = {
    // The one place the state changes: a text, or on the page's main thread
    // a reader that turns the program's memory into text only when asked
    // (null: keep what it last read, the program has ended). A program in a
    // worker sends its state only when asked (stateWish asks for the next).
    stateWish: null,
    setState: function (text) {
      reader = null;
      last = text;
    },
    readState: function (read) {
      if (read) {
        reader = read;
      } else {
        if (reader) last = reader();
        reader = null;
      }
    },
    keepState: function (text) {
      (tarvo.states = tarvo.states || []).push(text);
      parts.hooks.setState(text);
    },
    // A figure of the program's: on window.tarvo, and on Module as before.
    share: function (name, value) {
      tarvo[name] = value;
      if (window.Module) window.Module[name] = value;
    },
    // What the page says: on the status line and in tarvo.page.
    say: function (state, text) {
      tarvo.page.state = state;
      tarvo.page.message = text;
      statusLine.textContent = text;
      statusLine.className = state === 'failed' ? 'failed' : '';
      document.body.classList.toggle('playing', state === 'running');
    },
  };
})(PageParts);
