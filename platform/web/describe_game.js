// Reads a game's declaration out of its compiled program, for the build to
// write the game's page: node describe_game.js PROGRAM.js PROGRAM.wasm
// [PROGRAM.data] OUT.json. The program's runtime starts as on a page (its
// static objects run, the game declaring itself) but its main does not, and
// nothing of the page is touched. A declaration the game cannot be played
// with fails the build, saying why.
'use strict';
const fs = require('fs');
const path = require('path');
const vm = require('vm');
const zlib = require('zlib');

const [script, wasm, data, out] = process.argv.length === 6
  ? process.argv.slice(2) : [process.argv[2], process.argv[3], null, process.argv[4]];
if (!out) {
  console.error('usage: node describe_game.js PROGRAM.js PROGRAM.wasm [PROGRAM.data] OUT.json');
  process.exit(2);
}

function fail(message) {
  console.error(script + ': ' + message);
  process.exit(1);
}

// The build may have compressed them already for the wire.
function read(file) {
  const bytes = fs.readFileSync(file);
  return bytes[0] === 0x1f && bytes[1] === 0x8b ? zlib.gunzipSync(bytes) : bytes;
}

// The program was built for pages and workers: here it runs as in a worker
// that loads nothing, every file handed to it, and sees nothing of Node.
const packed = data ? read(data) : null;
const Module = {
  wasmBinary: read(wasm),
  thisProgram: path.basename(script, '.js'),
  noInitialRun: true,
  page: { debugLine: function () {} },
  // The program checks it is an ArrayBuffer of its own world.
  getPreloadedPackage: function () {
    const buffer = new (vm.runInContext('ArrayBuffer', worker))(packed.length);
    new Uint8Array(buffer).set(packed);
    return buffer;
  },
  print: function () {},
  printErr: function (text) { console.error(text); },
  onRuntimeInitialized: function () {
    if (typeof Module._tarvo_page_game !== 'function') fail('this program has no Tarvo web entry point');
    const text = vm.runInContext('UTF8ToString', worker)(Module._tarvo_page_game());
    const game = JSON.parse(text);
    if (game.problem) fail(game.name + ': ' + game.problem);
    fs.writeFileSync(out, text + '\n');
  },
  onAbort: function (what) { fail('could not start: ' + what); },
};
const worker = vm.createContext({
  Module: Module,
  console: console,
  WebAssembly: WebAssembly,
  TextDecoder: TextDecoder,
  TextEncoder: TextEncoder,
  URL: URL,
  performance: performance,
  crypto: globalThis.crypto,
  setTimeout: setTimeout,
  clearTimeout: clearTimeout,
  location: new URL('file://' + path.resolve(script)),
  importScripts: function () { fail('asked for a script'); },
});
worker.self = worker;
vm.runInContext(fs.readFileSync(script, 'utf8'), worker, { filename: script });
