// What the engine checks share: a tally of checks that prints the closing
// count, and pictures compared the way the exports promise them: the same size, alpha
// exact, and colour within `tolerance` where anything shows, colour weighed
// by alpha (a nearly transparent pixel's colour is barely seen, and a
// renderer that keeps colour premultiplied can only return it that
// precisely).
'use strict';
const fs = require('fs');
const { PNG } = require('pngjs');

function readPng(file) {
  const png = PNG.sync.read(fs.readFileSync(file));
  return { width: png.width, height: png.height, data: png.data };
}

// null when alike, else a sentence saying where they differ first. With
// `premultiplied`, a's colour is stored multiplied by its alpha (as a
// WebGL renderer reads it back) and b's is compared the same way.
function difference(a, b, tolerance, premultiplied = false) {
  if (a.width !== b.width || a.height !== b.height)
    return `size ${a.width}x${a.height} against ${b.width}x${b.height}`;
  for (let i = 0; i < a.width * a.height * 4; i += 4) {
    const x = (i / 4) % a.width, y = Math.floor(i / 4 / a.width);
    if (a.data[i + 3] !== b.data[i + 3])
      return `alpha ${a.data[i + 3]} against ${b.data[i + 3]} at (${x}, ${y})`;
    const alpha = a.data[i + 3];
    for (let c = 0; c < 3; c++) {
      const d = premultiplied ? Math.abs(a.data[i + c] - b.data[i + c] * alpha / 255)
        : Math.abs(a.data[i + c] - b.data[i + c]) * alpha / 255;
      if (d > tolerance)
        return `colour ${a.data[i + c]} against ${b.data[i + c]} (alpha ${alpha}) at (${x}, ${y})`;
    }
  }
  return null;
}

// Counts checks, printing each that fails; `close` prints "N passed, M
// failed" and gives the exit status.
class Checks {
  constructor() {
    this.passed = 0;
    this.failed = 0;
  }

  check(ok, what) {
    if (ok) this.passed++;
    else {
      this.failed++;
      console.log(`FAILED: ${what}`);
    }
  }

  close() {
    console.log(`${this.passed} passed, ${this.failed} failed`);
    return this.failed ? 1 : 0;
  }
}

module.exports = { readPng, difference, Checks };
