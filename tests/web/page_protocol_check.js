// The program's worker against the list of messages between page and worker,
// under Node: what the page says reaches the program's exports (strings in
// its memory for the call), what the program asks is posted to the page as
// {op, args}, and the page's own scripts parse. Usage:
//   node page_protocol_check.js <platform/web folder>
'use strict';
const fs = require('fs');
const path = require('path');
const vm = require('vm');

const folder = process.argv[2];
let failed = 0;
function check(ok, what) {
  console.log((ok ? 'ok   ' : 'FAIL ') + what);
  if (!ok) failed += 1;
}
const same = (a, b) => JSON.stringify(a) === JSON.stringify(b);

// The worker, its program a stand-in that records the calls into it.
const posted = [], calls = [], frames = [], freed = [];
const memory = new Map();
let next = 8;
const context = {
  URLSearchParams, Uint8Array, setTimeout,
  postMessage: (message, transfer) => posted.push({ message, transfer }),
  requestAnimationFrame: (wake) => frames.push(wake),
  lengthBytesUTF8: (text) => Buffer.byteLength(text),
  stringToUTF8: (text, at) => memory.set(at, text),
  _malloc: (size) => { const at = next; next += size; return at; },
  _free: (at) => freed.push(at),
  importScripts: () => {
    const exported = (name) => (...args) => calls.push([name, args.map((a) => memory.has(a) ? memory.get(a) : a)]);
    for (const name of ['tarvo_page_key', 'tarvo_page_browser_key', 'tarvo_page_mouse', 'tarvo_page_focus',
                        'tarvo_page_resized']) {
      context.Module['_' + name] = exported(name);
    }
    context.Module._tarvo_key_is_the_games = (code, modifiers) => (code === 32 && modifiers === 0 ? 1 : 0);
  },
};
context.self = context;
vm.createContext(context);
for (const name of ['page_protocol.js', 'game_worker.js']) {
  vm.runInContext(fs.readFileSync(path.join(folder, name), 'utf8'), context, { filename: name });
}
const say = (op, ...args) => context.self.onmessage({ data: { op, args } });

say('start', { focused: true, stage: [800, 600, 1], hidden: false, screen: [1920, 1080], touch: false, audio: true,
               keepStates: false, webgl: true, parameters: 'frames=3', canvas: {}, data: 1, wasm: 2 });
const page = context.Module.page;
const asks = context.tarvoProtocol.programAsks;
check(Object.keys(asks).every((op) => asks[op] === 'page' || op in page) && !('readState' in page),
      'the worker answers every op the program may ask of a page in a worker, and only those');

say('key', 32, 1);
check(calls.length === 0, 'before the program runs, what the page says reaches no export');
context.Module.onRuntimeInitialized();
const running = posted.pop().message;
check(running.op === 'running' && running.args[0].length === 2048 && running.args[0][32] === 1 &&
      running.args[0][256 + 32] === 0, 'running: the program\'s rule for every key code and modifiers');

say('key', 37, 1);
say('browserKey', 65, 'a', 0, 0, 0, 1);
say('mouse', 1, 0, 10, 20, 755, 511);
say('focused', false);
say('stage', [400, 300, 2]);
say('pads', [[1, 3, 0, -1000]]);
say('nonsense', 1);
check(same(calls, [['tarvo_page_key', [37, 1]], ['tarvo_page_browser_key', [65, 'a', 0, 0, 0, 1]],
                   ['tarvo_page_mouse', [1, 0, 10, 20, 755, 511]], ['tarvo_page_focus', [0]],
                   ['tarvo_page_resized', []]]),
      'each op the page says calls its export, an unknown one none (' + JSON.stringify(calls) + ')');
check(freed.length === 1 && memory.get(freed[0]) === 'a', 'a string is in the program\'s memory for the call only');
check(page.hasFocus() === false && same(page.stage(), [400, 300, 2]) &&
      same(page.readGamepads(4), [[1, 3, 0, -1000]]) && same(page.screen(), [1920, 1080]),
      'the worker answers focus, stage, gamepads and screen from what it was told');

posted.length = 0;
page.playSound(2, 0.5, -1, true);
page.share('frameWorkMs', 4.5);
page.frameDone('{"frame":0}');
const samples = [new Float32Array(4), new Float32Array(4)];
const handles = [page.loadSound(samples, 22050), page.loadSound([new Float32Array(2)], 22050)];
check(same(posted.slice(0, 3).map((p) => p.message), [{ op: 'playSound', args: [2, 0.5, -1, true] },
                                                      { op: 'share', args: ['frameWorkMs', 4.5] },
                                                      { op: 'frameDone', args: ['{"frame":0}'] }]),
      'what the program asks is posted as {op, args}');
check(same(handles, [1, 2]) && posted[3].message.op === 'loadSound' && posted[3].transfer.length === 2 &&
      posted[3].transfer[0] === samples[0].buffer,
      'a sound is numbered as the page numbers it, its samples handed over');
const sent = context.tarvoProtocol.toPage();
check(posted.every((p) => sent.includes(p.message.op)) && sent.includes('exit') && sent.includes('runOnPage'),
      'every op the worker posts is one the page is told to handle');

// A hidden page gets no frame until it is shown.
say('hidden', true);
let woke = 0;
page.nextFrame(() => { woke += 1; });
const held = frames.length;
say('hidden', false);
frames.forEach((wake) => wake());
check(held === 0 && woke === 1, 'hidden, the program\'s frame waits until the page is shown');

for (const name of fs.readdirSync(folder).filter((n) => /^page_.*\.js$/.test(n))) {
  let parsed = true;
  try {
    new vm.Script(fs.readFileSync(path.join(folder, name), 'utf8'), { filename: name });
  } catch (e) {
    parsed = false;
  }
  check(parsed, name + ' parses');
}
console.log(failed ? failed + ' checks failed' : 'all checks passed');
process.exit(failed ? 1 : 0);
