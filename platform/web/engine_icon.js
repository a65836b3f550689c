// The engine's icons, for a game's page that brings none: node engine_icon.js
// FOLDER writes icon-192.png and icon-512.png there, a T of coloured blocks
// on the page's dark ground.
'use strict';
const fs = require('fs');
const path = require('path');
const zlib = require('zlib');

const GROUND = [0x10, 0x10, 0x14];
const TOP = [0xe0, 0xc0, 0x40];
const STEM = [0x50, 0xa0, 0xe0];
// A T of five blocks by five, the blocks apart by a thin line of ground.
const MARK = ['TTTTT', '..S..', '..S..', '..S..', '..S..'];

function colourAt(x, y, size) {
  const block = size * 0.12, start = (size - 5 * block) / 2;
  const column = Math.floor((x - start) / block), row = Math.floor((y - start) / block);
  if (column < 0 || row < 0 || column > 4 || row > 4) return GROUND;
  const inX = x - start - column * block, inY = y - start - row * block;
  if (inX > block * 0.9 || inY > block * 0.9) return GROUND;
  const cell = MARK[row][column];
  return cell === 'T' ? TOP : cell === 'S' ? STEM : GROUND;
}

const CRC_TABLE = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});
function crc32(bytes) {
  let c = 0xffffffff;
  for (const b of bytes) c = CRC_TABLE[(c ^ b) & 0xff] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}
function chunk(type, body) {
  const head = Buffer.alloc(8);
  head.writeUInt32BE(body.length, 0);
  head.write(type, 4, 'latin1');
  const crc = Buffer.alloc(4);
  crc.writeUInt32BE(crc32(Buffer.concat([head.subarray(4), body])), 0);
  return Buffer.concat([head, body, crc]);
}

function png(size) {
  const rows = Buffer.alloc(size * (1 + size * 3));
  for (let y = 0; y < size; ++y) {
    const at = y * (1 + size * 3);
    for (let x = 0; x < size; ++x) Buffer.from(colourAt(x, y, size)).copy(rows, at + 1 + x * 3);
  }
  const header = Buffer.alloc(13);
  header.writeUInt32BE(size, 0);
  header.writeUInt32BE(size, 4);
  header[8] = 8;  // bits a sample
  header[9] = 2;  // RGB
  return Buffer.concat([Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]), chunk('IHDR', header),
                        chunk('IDAT', zlib.deflateSync(rows, { level: 9 })), chunk('IEND', Buffer.alloc(0))]);
}

const folder = process.argv[2];
if (!folder) {
  console.error('usage: node engine_icon.js FOLDER');
  process.exit(2);
}
for (const size of [192, 512]) fs.writeFileSync(path.join(folder, 'icon-' + size + '.png'), png(size));
