// The sprite atlas in a real browser: headless Chromium loads a page that
// loads the atlas with PixiJS's own Assets and Spritesheet (the first
// page's JSON, and the pages it names), draws every frame as a sprite into
// a render texture of the frame's source size and reads the pixels back;
// each must equal the PNG export's picture of its pair, or of its pair with
// the eyes shut or the mouth open for a blink or talk frame (alpha exact,
// colour within 1: the pixels come back premultiplied, so the picture's
// colour is compared multiplied by its alpha too).
//
//   node pixi_check.cjs CHROMIUM ATLAS_JSON REF_DIR
//
// REF_DIR holds the PNG export's character folders still/, blink/ and talk/
// (<style>/<expression>.png below each).
// The page and the atlas are served from 127.0.0.1 on a port of the
// system's choosing; the browser runs with a profile of its own, removed at
// the end.
'use strict';
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const { spawn } = require('child_process');
const { readPng, difference, Checks } = require('./check_support.cjs');

const [chromium, atlasJson, refDir] = process.argv.slice(2);
const atlasDir = path.dirname(atlasJson);
// The browser build of the package (its exports name no path to it).
const pixiFile = require.resolve.paths('pixi.js').map((d) => path.join(d, 'pixi.js', 'dist', 'pixi.min.js'))
  .find((f) => fs.existsSync(f));
// The whole check, the browser's start included, may take this long.
const TIMEOUT_MS = 120000;

const PAGE = `<!doctype html><meta charset="utf-8"><script src="/pixi.min.js"></script><script>
async function report(body) {
  await fetch('/result', { method: 'POST', body: JSON.stringify(body) });
}
async function run() {
  const renderer = await PIXI.autoDetectRenderer({ preference: 'webgl', width: 8, height: 8,
                                                   backgroundAlpha: 0, antialias: false });
  const sheet = await PIXI.Assets.load('/atlas/${path.basename(atlasJson)}');
  const sheets = [sheet].concat(sheet.linkedSheets || []);
  for (const s of sheets) {
    for (const key of Object.keys(s.data.frames)) {
      const texture = s.textures[key];
      const sprite = new PIXI.Sprite(texture);
      const target = PIXI.RenderTexture.create({ width: texture.orig.width, height: texture.orig.height });
      renderer.render({ container: sprite, target, clear: true, clearColor: [0, 0, 0, 0] });
      const read = renderer.extract.pixels(target);
      let text = '';
      const bytes = new Uint8Array(read.pixels.buffer, read.pixels.byteOffset, read.pixels.byteLength);
      for (let i = 0; i < bytes.length; i += 0x8000)
        text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
      await report({ key, image: s.data.meta.image, width: read.width, height: read.height, pixels: btoa(text) });
      target.destroy(true);
    }
  }
  await report({ done: true, renderer: renderer.name, sheets: sheets.length });
}
run().catch((e) => report({ error: String(e && e.stack || e) }));
</script>`;

const checks = new Checks();
const check = checks.check.bind(checks);

const frames = [];
let browser = null, profile = null;

function finish(code) {
  if (browser && browser.exitCode === null) {
    try { process.kill(-browser.pid, 'SIGKILL'); } catch (e) { /* already gone */ }
  }
  if (profile) fs.rmSync(profile, { recursive: true, force: true });
  process.exit(code);
}

function serveFile(res, file, type) {
  if (!fs.existsSync(file)) {
    res.writeHead(404);
    res.end();
    return;
  }
  res.writeHead(200, { 'Content-Type': type });
  res.end(fs.readFileSync(file));
}

function compareAll(done) {
  check(done.sheets >= 1, 'at least one sheet loaded');
  // Every frame of every JSON file is drawn once.
  const expected = new Set();
  const first = JSON.parse(fs.readFileSync(atlasJson, 'utf8'));
  const files = [path.basename(atlasJson)].concat(first.meta.related_multi_packs || []);
  for (const f of files)
    for (const key of Object.keys(JSON.parse(fs.readFileSync(path.join(atlasDir, f), 'utf8')).frames))
      expected.add(key);
  check(done.sheets === files.length, `${files.length} sheets, PixiJS loaded ${done.sheets}`);
  check(frames.length === expected.size, `${expected.size} frames drawn, got ${frames.length}`);
  let animated = 0;
  for (const frame of frames) {
    const [style, expression, kind = 'still'] = frame.key.split('/');
    if (kind !== 'still') animated++;
    const drawn = { width: frame.width, height: frame.height, data: Buffer.from(frame.pixels, 'base64') };
    const exported = readPng(path.join(refDir, kind, style, `${expression}.png`));
    const diff = difference(drawn, exported, 1, true);  // WebGL reads back premultiplied colour
    check(diff === null, `${frame.key} (${frame.image}) drawn at its source size is the PNG export's: ${diff}`);
  }
  check(animated > 0, 'at least one blink or talk frame');
  console.log(`pixi: ${frames.length} frames (${animated} blink or talk) over ${done.sheets} sheet(s), renderer ${done.renderer}`);
}

const server = http.createServer((req, res) => {
  if (req.method === 'POST' && req.url === '/result') {
    let body = '';
    req.on('data', (d) => { body += d; });
    req.on('end', () => {
      res.writeHead(204);
      res.end();
      const message = JSON.parse(body);
      if (message.error) {
        check(false, `the page: ${message.error}`);
        finish(1);
      } else if (message.done) {
        compareAll(message);
        finish(checks.close());
      } else {
        frames.push(message);
      }
    });
    return;
  }
  const url = decodeURIComponent(req.url.split('?')[0]);
  if (url === '/' || url === '/index.html') {
    res.writeHead(200, { 'Content-Type': 'text/html' });
    res.end(PAGE);
  } else if (url === '/pixi.min.js') {
    serveFile(res, pixiFile, 'text/javascript');
  } else if (url.startsWith('/atlas/') && !url.includes('..')) {
    const name = url.slice('/atlas/'.length);
    serveFile(res, path.join(atlasDir, name), name.endsWith('.png') ? 'image/png' : 'application/json');
  } else {
    res.writeHead(404);
    res.end();
  }
});

server.listen(0, '127.0.0.1', () => {
  profile = fs.mkdtempSync(path.join(os.tmpdir(), 'vor-chromium-'));
  const url = `http://127.0.0.1:${server.address().port}/`;
  browser = spawn(chromium, ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
    `--user-data-dir=${profile}`, url], { detached: true, stdio: ['ignore', 'ignore', 'pipe'] });
  let errors = '';
  browser.stderr.on('data', (d) => { errors += d; });
  browser.on('exit', (code) => {
    check(false, `the browser ended (${code}) before the page reported: ${errors.slice(-2000)}`);
    checks.close();
    finish(1);
  });
});
setTimeout(() => {
  check(false, `no result within ${TIMEOUT_MS / 1000} s`);
  checks.close();
  finish(1);
}, TIMEOUT_MS).unref();
