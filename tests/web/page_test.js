// The page in Debian's chromium, headless, against vor-cli: the sample pack
// and sample.vor are opened through the page's own controls, and every
// style x expression read back from the canvas and downloaded as PNG must
// equal `vor-cli render`; a change made with the controls must be what the
// downloaded project renders to with vor-cli; the export zip must hold the
// files `vor-cli export` writes; the share link must give the same project
// in a fresh page; damaged inputs must show their message; and the page's
// own timings must stay within their limits.
//
// usage: node page_test.js WEB_DIR VOR_CLI SAMPLE_DIR WORK_DIR
'use strict';

const fs = require('fs');
const http = require('http');
const path = require('path');
const zlib = require('zlib');
const { execFileSync } = require('child_process');
const puppeteer = require('puppeteer-core');
const { PNG } = require('pngjs');

const [webDir, vorCli, sampleDir, workDir] = process.argv.slice(2);
if (!workDir) {
  console.error('usage: node page_test.js WEB_DIR VOR_CLI SAMPLE_DIR WORK_DIR');
  process.exit(2);
}

let passed = 0, failed = 0;
function check(ok, what) {
  if (ok) passed++;
  else { failed++; console.log('FAILED: ' + what); }
}

// ---- files ------------------------------------------------------------------

function crc32(bytes) {
  let c = 0xFFFFFFFF;
  for (const b of bytes) {
    c ^= b;
    for (let k = 0; k < 8; k++) c = c & 1 ? 0xEDB88320 ^ (c >>> 1) : c >>> 1;
  }
  return (c ^ 0xFFFFFFFF) >>> 0;
}

// A zip of the files below `root` (deflated, as packs are shipped).
function zipFolder(root, prefix) {
  const locals = [], central = [];
  let offset = 0;
  const walk = (dir) => {
    for (const name of fs.readdirSync(dir).sort()) {
      const full = path.join(dir, name);
      if (fs.statSync(full).isDirectory()) { walk(full); continue; }
      const data = fs.readFileSync(full);
      const packed = zlib.deflateRawSync(data);
      const entryName = Buffer.from(prefix + path.relative(root, full).split(path.sep).join('/'));
      const head = Buffer.alloc(30);
      head.writeUInt32LE(0x04034B50, 0); head.writeUInt16LE(20, 4); head.writeUInt16LE(0x0800, 6);
      head.writeUInt16LE(8, 8); head.writeUInt32LE(crc32(data), 14); head.writeUInt32LE(packed.length, 18);
      head.writeUInt32LE(data.length, 22); head.writeUInt16LE(entryName.length, 26);
      const c = Buffer.alloc(46);
      c.writeUInt32LE(0x02014B50, 0); c.writeUInt16LE(20, 4); c.writeUInt16LE(20, 6); c.writeUInt16LE(0x0800, 8);
      c.writeUInt16LE(8, 10); c.writeUInt32LE(crc32(data), 16); c.writeUInt32LE(packed.length, 20);
      c.writeUInt32LE(data.length, 24); c.writeUInt16LE(entryName.length, 28); c.writeUInt32LE(offset, 42);
      locals.push(head, entryName, packed);
      central.push(c, entryName);
      offset += 30 + entryName.length + packed.length;
    }
  };
  walk(root);
  const dir = Buffer.concat(central);
  const end = Buffer.alloc(22);
  end.writeUInt32LE(0x06054B50, 0); end.writeUInt16LE(central.length / 2, 8); end.writeUInt16LE(central.length / 2, 10);
  end.writeUInt32LE(dir.length, 12); end.writeUInt32LE(offset, 16);
  return Buffer.concat([...locals, dir, end]);
}

// The stored or deflated entries of a zip, by name.
function unzip(buffer) {
  const out = new Map();
  const end = buffer.lastIndexOf(Buffer.from([0x50, 0x4B, 0x05, 0x06]));
  let pos = buffer.readUInt32LE(end + 16);
  const count = buffer.readUInt16LE(end + 10);
  for (let i = 0; i < count; i++) {
    const method = buffer.readUInt16LE(pos + 10), packed = buffer.readUInt32LE(pos + 20);
    const nameLength = buffer.readUInt16LE(pos + 28), extra = buffer.readUInt16LE(pos + 30);
    const comment = buffer.readUInt16LE(pos + 32), local = buffer.readUInt32LE(pos + 42);
    const name = buffer.subarray(pos + 46, pos + 46 + nameLength).toString('utf8');
    const start = local + 30 + buffer.readUInt16LE(local + 26) + buffer.readUInt16LE(local + 28);
    const body = buffer.subarray(start, start + packed);
    out.set(name, method === 8 ? zlib.inflateRawSync(body) : Buffer.from(body));
    pos += 46 + nameLength + extra + comment;
  }
  return out;
}

function decodePng(bytes) {
  const png = PNG.sync.read(bytes);
  return { width: png.width, height: png.height, data: png.data };
}

// Straight RGBA pictures: alpha exact and colour within 1. A canvas keeps
// premultiplied colour, so pixels read back from it are compared in that
// form (within 1 of the reference's premultiplied colour).
function comparePictures(got, want, premultiplied) {
  if (got.width !== want.width || got.height !== want.height)
    return 'size ' + got.width + 'x' + got.height + ' != ' + want.width + 'x' + want.height;
  let worst = 0, alphaOff = 0;
  for (let i = 0; i < want.data.length; i += 4) {
    const a = want.data[i + 3];
    if (got.data[i + 3] !== a) { alphaOff++; continue; }
    for (let c = 0; c < 3; c++) {
      let g = got.data[i + c], w = want.data[i + c];
      if (premultiplied) { g = g * a / 255; w = w * a / 255; }
      if (a === 0) continue;
      worst = Math.max(worst, Math.abs(g - w));
    }
  }
  if (alphaOff) return alphaOff + ' pixels differ in alpha';
  if (worst > 1) return 'colour differs by ' + worst.toFixed(2);
  return '';
}

function vor(args, cwd) {
  return execFileSync(vorCli, args, { cwd: cwd || sampleDir, stdio: ['ignore', 'pipe', 'pipe'] });
}

function renderWithCli(project, style, expression) {
  const out = path.join(workDir, 'cli-render.png');
  vor(['render', project, '--style', String(style), '--expression', String(expression), '--out', out]);
  return decodePng(fs.readFileSync(out));
}

function projectFields(file) {
  const fields = {};
  for (const line of vor(['project', file]).toString('utf8').split('\n')) {
    const tab = line.indexOf('\t');
    if (tab > 0) fields[line.slice(0, tab)] = line.slice(tab + 1);
  }
  return fields;
}

// The project file with the hair settings replaced, written from the file
// layout (magic and version, name, free folder and its flag, brow, eye and
// mouth keys each with a colour, the hair key and colour, the back-hair key,
// the separate-back-hair and own-colour flags, then the rest unchanged):
// the change made without the page.
function withHair(bytes, key, colour, ownColour) {
  let pos = 8;
  const text = () => { const n = bytes.readInt32LE(pos); pos += 4 + n; };
  const keyBlock = (k) => {
    const b = Buffer.alloc(4 + k.length + 1);
    b.writeInt32LE(k.length + 1, 0);
    b.write(k, 4, 'latin1');
    return b;
  };
  text(); text(); pos += 4;
  for (let i = 0; i < 3; i++) { text(); pos += 3; }
  const head = bytes.subarray(0, pos);
  text(); pos += 3; text();
  const separate = bytes.subarray(pos, pos + 4);
  pos += 8;
  const flag = Buffer.alloc(4);
  flag.writeInt32LE(ownColour, 0);
  return Buffer.concat([head, keyBlock(key), Buffer.from(colour), keyBlock(key), separate, flag, bytes.subarray(pos)]);
}

function catalogColour(list, key) {
  for (const line of vor(['catalog']).toString('utf8').split('\n')) {
    const f = line.split('\t');
    if (f[0] === list && f[2] === key) return f[4].split(',').map(Number);
  }
  throw new Error('no ' + list + ' ' + key + ' in the catalogue');
}

// ---- the server and the browser ----------------------------------------------

const TYPES = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.css': 'text/css',
  '.wasm': 'application/wasm' };

function serve() {
  const server = http.createServer((req, res) => {
    const name = decodeURIComponent(new URL(req.url, 'http://x').pathname).replace(/^\/+/, '') || 'index.html';
    const file = path.join(webDir, path.normalize(name));
    if (!file.startsWith(webDir) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
      res.writeHead(404); res.end(); return;
    }
    res.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream' });
    res.end(fs.readFileSync(file));
  });
  return new Promise((ok) => server.listen(0, '127.0.0.1', () => ok(server)));
}

async function withTimeout(promise, ms, what) {
  let timer;
  const limit = new Promise((_, fail) => { timer = setTimeout(() => fail(new Error('timed out: ' + what)), ms); });
  try { return await Promise.race([promise, limit]); } finally { clearTimeout(timer); }
}

let downloadCount = 0;
// Clicks the button and returns the bytes of the file the page downloads,
// once the browser says the download is complete.
async function downloadBy(page, cdp, selector) {
  const dir = path.join(workDir, 'download-' + (++downloadCount));
  fs.mkdirSync(dir, { recursive: true });
  await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: dir, eventsEnabled: true,
    browserContextId: page.browserContext().id });
  let listener;
  const completed = new Promise((ok, fail) => {
    listener = (e) => {
      if (e.state === 'completed') ok();
      else if (e.state === 'canceled') fail(new Error('download canceled: ' + selector));
    };
    cdp.on('Browser.downloadProgress', listener);
  });
  try {
    await page.click(selector);
    await withTimeout(completed, 20000, 'download from ' + selector);
  } finally {
    cdp.off('Browser.downloadProgress', listener);
  }
  const done = fs.readdirSync(dir).filter((f) => !f.endsWith('.crdownload'));
  if (done.length !== 1) throw new Error('no single download from ' + selector + ': ' + done.join(' '));
  return { name: done[0], bytes: fs.readFileSync(path.join(dir, done[0])) };
}

async function canvasPicture(page) {
  const data = await page.evaluate(() => {
    const c = document.getElementById('view');
    const px = c.getContext('2d').getImageData(0, 0, c.width, c.height);
    let s = '';
    for (let i = 0; i < px.data.length; i += 0x8000) s += String.fromCharCode.apply(null, px.data.subarray(i, i + 0x8000));
    return { width: c.width, height: c.height, data: btoa(s) };
  });
  return { width: data.width, height: data.height, data: Buffer.from(data.data, 'base64') };
}

async function openPage(browser, url) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  page.on('pageerror', (e) => console.log('page error: ' + e.message));
  await page.goto(url);
  await page.waitForFunction(() => window.vorPage && window.vorPage.ready, { timeout: 20000 });
  return page;
}

async function openPack(page, zipPath) {
  const before = await page.evaluate(() => window.vorPage.packAttempts);
  const input = await page.$('#packZip');
  await input.uploadFile(zipPath);
  await page.waitForFunction((n) => window.vorPage.packAttempts > n, { timeout: 20000 }, before);
}

async function openProject(page, file) {
  const before = await page.evaluate(() => window.vorPage.projectAttempts);
  const input = await page.$('#projectFile');
  await input.uploadFile(file);
  await page.waitForFunction((n) => window.vorPage.projectAttempts > n, { timeout: 20000 }, before);
}

async function messageText(page) {
  return page.evaluate(() => document.getElementById('message').textContent);
}

// ---- the test ---------------------------------------------------------------

async function main() {
  fs.mkdirSync(workDir, { recursive: true });
  const samplePack = path.join(workDir, 'sample-pack.zip');
  fs.writeFileSync(samplePack, zipFolder(path.join(sampleDir, 'data'), 'sample/data/'));
  const sampleVor = path.join(sampleDir, 'sample.vor');

  const server = await serve();
  const url = 'http://127.0.0.1:' + server.address().port + '/index.html';
  const profile = fs.mkdtempSync(path.join(workDir, 'profile-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.VOR_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--user-data-dir=' + profile, '--window-size=1600,1100'],
  });
  try {
    const cdp = await browser.target().createCDPSession();
    const page = await openPage(browser, url);
    await page.setViewport({ width: 1600, height: 1100 });
    await openPack(page, samplePack);
    check(await page.evaluate(() => window.vorPage.packOpen), 'the sample pack opens (' + await messageText(page) + ')');
    await openProject(page, sampleVor);
    check((await messageText(page)) === '', 'sample.vor opens without a message');

    // The built-in names arrive as the program's CP949 texts, shown as Korean.
    const names = await page.evaluate(() => [...document.querySelectorAll('#expressions button')].map((b) => b.textContent));
    const styleNames = await page.evaluate(() => [...document.querySelectorAll('#styles button')].map((b) => b.textContent));
    check(names.length === 8 && names[0] === '기본', 'the eight expressions, the first named 기본: ' + names.join(' '));
    check(styleNames[0] === '교복 (school)', 'the first style shows as 교복 (school): ' + styleNames[0]);

    // Every name in the lists is the one vor-cli prints (its UTF-8 from the
    // host's CP949 conversion; the page's comes through the same call in
    // the web build's C library).
    const shownLists = await page.evaluate(() => {
      const out = {};
      for (const list of ['hair', 'dress', 'eye', 'brow', 'mouth', 'cheek', 'accessory'])
        out[list] = [...document.querySelectorAll('#list-' + list + ' .item span')].map((e) => e.textContent);
      out.expression = [...document.querySelectorAll('#expressions button')].map((b) => b.textContent);
      return out;
    });
    const cliLists = {};
    for (const line of vor(['catalog']).toString('utf8').split('\n')) {
      const f = line.split('\t');
      if (f.length > 3) (cliLists[f[0]] = cliLists[f[0]] || []).push(f[3] || f[2]);
    }
    for (const list of Object.keys(shownLists))
      check(JSON.stringify(shownLists[list]) === JSON.stringify(cliLists[list]),
        'the ' + list + ' names are vor-cli\'s: ' + shownLists[list].join(' ') + ' / ' + (cliLists[list] || []).join(' '));

    // Every style x expression: the canvas and the downloaded PNG.
    const styles = styleNames.length;
    for (let s = 0; s < styles; s++) {
      await page.click('#styles .style:nth-child(' + (s + 1) + ') button');
      for (let e = 0; e < names.length; e++) {
        await page.click('#expressions button:nth-child(' + (e + 1) + ')');
        const want = renderWithCli(sampleVor, s, e);
        const shown = comparePictures(await canvasPicture(page), want, true);
        check(!shown, 'canvas of style ' + s + ' expression ' + e + ': ' + shown);
        const png = await downloadBy(page, cdp, '#savePng');
        const written = comparePictures(decodePng(png.bytes), want, false);
        check(!written, 'PNG of style ' + s + ' expression ' + e + ': ' + written);
      }
    }
    await page.click('#styles .style:nth-child(1) button');
    await page.click('#expressions button:nth-child(1)');

    // The export zip holds what vor-cli export writes, byte for byte where
    // the bytes do not depend on the PNG encoder, pixel for pixel where they do.
    const cliExport = path.join(workDir, 'cli-export');
    fs.rmSync(cliExport, { recursive: true, force: true });
    vor(['export', sampleVor, '--out', cliExport]);
    const cliFiles = new Map();
    const walk = (dir) => {
      for (const n of fs.readdirSync(dir)) {
        const full = path.join(dir, n);
        if (fs.statSync(full).isDirectory()) walk(full);
        else cliFiles.set(path.relative(cliExport, full).split(path.sep).join('/'), fs.readFileSync(full));
      }
    };
    walk(cliExport);
    const zip = unzip((await downloadBy(page, cdp, '#saveZip')).bytes);
    check([...zip.keys()].sort().join('\n') === [...cliFiles.keys()].sort().join('\n'),
      'the export zip names the files vor-cli export writes: ' + [...zip.keys()].sort().join(' '));
    for (const [name, bytes] of cliFiles) {
      const got = zip.get(name);
      if (!got) continue;
      if (name.endsWith('.png')) {
        const d = comparePictures(decodePng(got), decodePng(bytes), false);
        check(!d, 'export ' + name + ': ' + d);
      } else {
        check(got.equals(bytes), 'export ' + name + ' has vor-cli\'s bytes');
      }
    }
    check(zip.has('Yuna/macro.txt') && zip.has('Yuna/CREDITS.txt'), 'the export zip has macro.txt and CREDITS.txt');

    // A change through the controls: another hair (which brings its own
    // colour) and then a hue of the user's own (which clears the own-colour
    // flag). The page's project must be sample.vor with just that changed,
    // and its picture what vor-cli draws from that project.
    await page.click('#list-hair .item[data-index="5"]');
    await page.evaluate(() => {
      const input = document.querySelector('#colours .colour[data-slot="2005"] input[data-channel="0"]');
      input.value = 100;
      input.dispatchEvent(new Event('input'));
    });
    const changedBytes = (await downloadBy(page, cdp, '#saveVor')).bytes;
    const own = catalogColour('hair', 'long');
    const expectedBytes = withHair(fs.readFileSync(sampleVor), 'long', [100, own[1], own[2]], 0);
    const changedVor = path.join(workDir, 'changed.vor');
    fs.writeFileSync(changedVor, changedBytes);
    const expectedVor = path.join(workDir, 'expected.vor');
    fs.writeFileSync(expectedVor, expectedBytes);
    const fields = projectFields(changedVor);
    check(changedBytes.equals(expectedBytes), 'the page\'s project is sample.vor with the hair changed: hair ' +
      fields.hair + ' colour ' + fields.hair_colour + ' own colour ' + fields.hair_default_colour);
    const changedShown = comparePictures(await canvasPicture(page), renderWithCli(expectedVor, 0, 0), true);
    check(!changedShown, 'the changed picture equals vor-cli render of the changed project: ' + changedShown);
    const unchanged = comparePictures(renderWithCli(sampleVor, 0, 0), renderWithCli(expectedVor, 0, 0), false);
    check(unchanged !== '', 'the change shows in the picture');

    // The share link, reopened in a fresh page with the pack, gives the
    // same project bytes and the same picture.
    await page.click('#copyLink');
    await page.waitForFunction(() => document.getElementById('link').value.includes('#v='));
    const link = await page.evaluate(() => document.getElementById('link').value);
    const fresh = await openPage(browser, link);
    const waiting = await fresh.evaluate(() => document.getElementById('note').textContent);
    check(waiting.includes('파츠 팩'), 'a link opened without a pack asks for one: ' + waiting);
    await openPack(fresh, samplePack);
    await fresh.waitForFunction(() => window.vorPage.projectAttempts > 0, { timeout: 20000 });
    const cdpFresh = await fresh.browserContext().browser().target().createCDPSession();
    const linkedBytes = (await downloadBy(fresh, cdpFresh, '#saveVor')).bytes;
    check(linkedBytes.equals(changedBytes), 'the share link gives the same project bytes (' + linkedBytes.length +
      ' and ' + changedBytes.length + ' bytes)');
    const linkedShown = comparePictures(await canvasPicture(fresh), renderWithCli(changedVor, 0, 0), true);
    check(!linkedShown, 'the share link shows the same picture: ' + linkedShown);
    await fresh.browserContext().close();

    // An accessory added, given a kind from the list and a colour: the
    // project keeps it, and vor-cli draws that project as the page does;
    // removed again, the project has the sample's one accessory.
    await page.click('#addAccessory');
    await page.click('#list-accessory .item[data-index="3"]');
    await page.evaluate(() => {
      const row = document.querySelector('#accessories .colour.selected');
      const input = row.querySelector('input[data-channel="1"]');
      input.value = 60;
      input.dispatchEvent(new Event('input'));
    });
    const withAccessory = path.join(workDir, 'accessory.vor');
    fs.writeFileSync(withAccessory, (await downloadBy(page, cdp, '#saveVor')).bytes);
    const worn = projectFields(withAccessory);
    const kinds = [0, 1].map((i) => worn['style.0.accessory.' + i + '.kind']).sort().join(' ');
    check(worn['style.0.accessories'] === '2' && kinds === 'kanzashi wing1',
      'the added accessory is in the project: ' + worn['style.0.accessories'] + ' ' + kinds);
    const kanzashi = [0, 1].find((i) => worn['style.0.accessory.' + i + '.kind'] === 'kanzashi');
    check(kanzashi !== undefined && worn['style.0.accessory.' + kanzashi + '.colour'].split(',')[1] === '60',
      'the accessory keeps its colour: ' + (kanzashi !== undefined && worn['style.0.accessory.' + kanzashi + '.colour']));
    const accessoryShown = comparePictures(await canvasPicture(page), renderWithCli(withAccessory, 0, 0), true);
    check(!accessoryShown, 'the picture with the accessory equals vor-cli render: ' + accessoryShown);
    await page.click('#accessories .colour.selected button.remove');
    const removed = path.join(workDir, 'removed.vor');
    fs.writeFileSync(removed, (await downloadBy(page, cdp, '#saveVor')).bytes);
    const after = projectFields(removed);
    check(after['style.0.accessories'] === '1' && after['style.0.accessory.0.kind'] === 'wing1',
      'the removed accessory is gone: ' + after['style.0.accessories']);

    // Speed: 24 changes through the controls, alternating parts and colours.
    await page.evaluate(() => { window.vorPage.changeMs = []; });
    for (let i = 0; i < 24; i++) {
      if (i % 2) await page.click('#list-hair .item[data-index="' + (i % 16) + '"]');
      else {
        await page.evaluate((v) => {
          const input = document.querySelector('#colours .colour[data-slot="2003"] input[data-channel="0"]');
          input.value = v;
          input.dispatchEvent(new Event('input'));
        }, i * 10);
      }
    }
    const times = await page.evaluate(() => ({ first: window.vorPage.firstPictureMs, changes: window.vorPage.changeMs }));
    const sorted = times.changes.slice().sort((a, b) => a - b);
    const median = sorted[Math.floor(sorted.length / 2)];
    console.log('timing: first picture ' + times.first.toFixed(1) + ' ms after the pack was read; ' +
      sorted.length + ' changes, median ' + median.toFixed(1) + ' ms, slowest ' + sorted[sorted.length - 1].toFixed(1) + ' ms');
    check(times.first < 1000, 'the first picture within 1 s of the pack being read');
    check(sorted.length >= 20 && median < 50, 'a change redrawn within 50 ms (median)');

    // The screenshot, with the sample character back as it was.
    await openProject(page, sampleVor);
    await page.waitForFunction(() => window.vorPage.thumbsDone, { timeout: 20000 });
    await page.screenshot({ path: path.join(workDir, 'screenshot.png'), fullPage: true });

    // Damaged inputs: a cut-off pack zip and a cut-off project.
    const damagedZip = path.join(workDir, 'damaged-pack.zip');
    const whole = fs.readFileSync(samplePack);
    const cut = Buffer.from(whole);
    cut.fill(0x55, Math.floor(cut.length / 3), Math.floor(cut.length / 3) + 4096);
    fs.writeFileSync(damagedZip, cut);
    const broken = await openPage(browser, url);
    await openPack(broken, damagedZip);
    const packMessage = await messageText(broken);
    check(packMessage.includes('손상'), 'a damaged pack shows its message: ' + packMessage);
    check(!(await broken.evaluate(() => window.vorPage.packOpen)), 'a damaged pack is not opened');
    const notPack = path.join(workDir, 'not-a-pack.zip');
    fs.writeFileSync(notPack, zipFolder(path.join(sampleDir, 'data', 'hair'), 'hair/'));
    await openPack(broken, notPack);
    const notPackMessage = await messageText(broken);
    check(notPackMessage.includes('body/sotai.png'), 'a zip without a data tree names what is missing: ' + notPackMessage);
    await openPack(broken, samplePack);
    const damagedVor = path.join(workDir, 'damaged.vor');
    fs.writeFileSync(damagedVor, fs.readFileSync(sampleVor).subarray(0, 60));
    await openProject(broken, damagedVor);
    const vorMessage = await messageText(broken);
    check(vorMessage.includes('손상'), 'a damaged project shows its message: ' + vorMessage);
    const notVor = path.join(workDir, 'not-a-project.vor');
    fs.writeFileSync(notVor, 'hello, this is text');
    await openProject(broken, notVor);
    check((await messageText(broken)).includes('VOR 프로젝트 파일이 아닙니다'), 'a file that is no project says so');

    // A damaged share link says so.
    const badLink = await openPage(browser, url + '#v=AAAAexample');
    await badLink.waitForFunction(() => document.getElementById('message').textContent !== '', { timeout: 20000 });
    const linkMessage = await messageText(badLink);
    check(linkMessage.includes('링크가 손상'), 'a damaged share link shows its message: ' + linkMessage);
    await badLink.browserContext().close();

    // The pack as a chosen folder (the sample folder, its data tree inside).
    const folderPage = await openPage(browser, url);
    const folderBefore = await folderPage.evaluate(() => window.vorPage.packAttempts);
    await (await folderPage.$('#packFolder')).uploadFile(sampleDir);
    await folderPage.waitForFunction((n) => window.vorPage.packAttempts > n, { timeout: 20000 }, folderBefore);
    check(await folderPage.evaluate(() => window.vorPage.packOpen), 'the pack opens as a chosen folder: ' +
      await messageText(folderPage));
    await openProject(folderPage, sampleVor);
    const folderShown = comparePictures(await canvasPicture(folderPage), renderWithCli(sampleVor, 0, 0), true);
    check(!folderShown, 'the folder\'s picture equals vor-cli render: ' + folderShown);
    await folderPage.browserContext().close();

    // The pack zip and the project dropped onto the page together.
    const dropPage = await openPage(browser, url);
    await dropPage.evaluate((zip, project) => {
      const bytes = (b64) => Uint8Array.from(atob(b64), (c) => c.charCodeAt(0));
      const dt = new DataTransfer();
      dt.items.add(new File([bytes(zip)], 'sample-pack.zip'));
      dt.items.add(new File([bytes(project)], 'sample.vor'));
      document.body.dispatchEvent(new DragEvent('drop', { dataTransfer: dt, bubbles: true, cancelable: true }));
    }, fs.readFileSync(samplePack).toString('base64'), fs.readFileSync(sampleVor).toString('base64'));
    await dropPage.waitForFunction(() => window.vorPage.projectAttempts > 0, { timeout: 20000 });
    const dropShown = comparePictures(await canvasPicture(dropPage), renderWithCli(sampleVor, 0, 0), true);
    check(!dropShown, 'a dropped pack and project show what vor-cli renders: ' + dropShown +
      await messageText(dropPage));
    await dropPage.browserContext().close();

    // A project naming parts the pack lacks names them.
    const otherPack = path.join(workDir, 'without-long.zip');
    const lacking = path.join(workDir, 'lacking');
    fs.rmSync(lacking, { recursive: true, force: true });
    fs.cpSync(path.join(sampleDir, 'data'), path.join(lacking, 'data'), { recursive: true });
    fs.rmSync(path.join(lacking, 'data', 'hair', 'long'), { recursive: true });
    fs.writeFileSync(otherPack, zipFolder(path.join(lacking, 'data'), 'data/'));
    await openPack(broken, otherPack);
    await openProject(broken, changedVor);
    const missing = await broken.evaluate(() => document.getElementById('note').textContent);
    check(missing.includes('"long"'), 'a missing part is named: ' + missing);
  } finally {
    await browser.close();
    server.close();
  }
}

main().then(() => {
  console.log(passed + ' passed, ' + failed + ' failed');
  process.exit(failed ? 1 : 0);
}, (e) => {
  console.log('FAILED: ' + (e && e.stack || e));
  console.log(passed + ' passed, ' + (failed + 1) + ' failed');
  process.exit(1);
});
