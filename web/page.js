// The page: opens a part pack and a project, shows the CHARA and DRESS
// choices, draws the character through the core (vor.wasm), and writes the
// picture, the export and the project, and the share link.
'use strict';

const LIST = { hair: 0, dress: 1, eye: 2, brow: 3, mouth: 4, cheek: 5, accessory: 6, expression: 7 };
const SLOT = { brow: 2002, eye: 2003, mouth: 2004, hair: 2005, dress: 2006 };
const CHARA_LISTS = [
  ['hair', '머리 모양'], ['eye', '눈'], ['brow', '눈썹'], ['mouth', '입'], ['cheek', '볼'],
];
const COLOUR_ROWS = [
  [SLOT.hair, '머리 색'], [SLOT.eye, '눈 색'], [SLOT.brow, '눈썹 색'], [SLOT.mouth, '입 색'],
];
const PROJECT_ERRORS = {
  0: '프로젝트 파일을 열 수 없습니다.',
  '-1': 'VOR 프로젝트 파일이 아닙니다 (머리글이 맞지 않거나 더 새 버전입니다).',
  '-2': '프로젝트 파일이 손상되었습니다 (잘렸거나 길이가 맞지 않습니다).',
};
const KIND_NAMES = {
  hair: '머리 모양', backHair: '뒷머리', eye: '눈', brow: '눈썹', mouth: '입',
  expression: '표정', dress: '복장', accessory: '악세서리',
};

const $ = (id) => document.getElementById(id);

// What the test and the status line read.
const vorPage = {
  ready: false,        // the module is loaded
  packOpen: false,
  firstPictureMs: null,
  changeMs: [],        // redraw time of each change, in order
  thumbsDone: false,
  lastError: '',
  packAttempts: 0,     // packs and projects handed to the page, each counted
  projectAttempts: 0,  // once its opening succeeded or failed
  module: null,
};
window.vorPage = vorPage;

let M = null;          // the emscripten module
let catalog = null;
let state = null;
let pendingLink = null;   // project bytes from #v= waiting for a pack
let chosenAccessory = -1; // the colour slot id of the accessory the kind list changes

// ---- messages -------------------------------------------------------------

function showError(text) {
  vorPage.lastError = text;
  const box = $('message');
  box.textContent = text;
  box.className = text ? 'error' : '';
}

function showNote(text) {
  const box = $('note');
  box.textContent = text;
}

// ---- the core -------------------------------------------------------------

function api(name, ret, args) { return M.cwrap(name, ret, args); }
let core = null;

function bindCore() {
  core = {
    open: api('vw_open', 'number', []),
    loadProject: api('vw_load_project', 'number', ['string']),
    catalogJson: api('vw_catalog_json', 'string', []),
    stateJson: api('vw_state_json', 'string', []),
    choose: api('vw_choose', null, ['number', 'number']),
    setColour: api('vw_set_colour', null, ['number', 'number', 'number', 'number']),
    setHairDefaultColour: api('vw_set_hair_default_colour', null, ['number']),
    setSeparateBackHair: api('vw_set_separate_back_hair', null, ['number']),
    showStyle: api('vw_show_style', 'number', ['number']),
    checkStyle: api('vw_check_style', null, ['number', 'number']),
    addAccessory: api('vw_add_accessory', 'number', []),
    removeAccessory: api('vw_remove_accessory', 'number', ['number']),
    setAccessoryKind: api('vw_set_accessory_kind', 'number', ['number', 'number']),
    render: api('vw_render', 'number', []),
    width: api('vw_width', 'number', []),
    height: api('vw_height', 'number', []),
    thumb: api('vw_thumb', 'number', ['number', 'number']),
    png: api('vw_png', 'number', []),
    project: api('vw_project', 'number', []),
    exportZip: api('vw_export_zip', 'number', []),
    bytesSize: api('vw_bytes_size', 'number', []),
    message: api('vw_message', 'string', []),
  };
}

function takeBytes(pointer) {
  if (!pointer) return null;
  return M.HEAPU8.slice(pointer, pointer + core.bytesSize());
}

// ---- drawing --------------------------------------------------------------

function draw() {
  const pointer = core.render();
  if (!pointer) { showError('그림을 그릴 수 없습니다 (메모리가 부족합니다).'); return; }
  const w = core.width(), h = core.height();
  const pixels = new ImageData(new Uint8ClampedArray(M.HEAPU8.buffer, pointer, w * h * 4).slice(), w, h);
  const view = $('view');
  view.width = w; view.height = h;
  view.getContext('2d').putImageData(pixels, 0, 0);
  drawZoom();
}

function drawZoom() {
  const view = $('view'), zoom = $('zoom');
  const factor = Number($('zoomFactor').value);
  zoom.width = view.width * factor; zoom.height = view.height * factor;
  const g = zoom.getContext('2d');
  g.imageSmoothingEnabled = false;
  g.clearRect(0, 0, zoom.width, zoom.height);
  g.drawImage(view, 0, 0, zoom.width, zoom.height);
}

// A change through a control: applied, redrawn and timed.
function change(apply) {
  const start = performance.now();
  apply();
  draw();
  vorPage.changeMs.push(performance.now() - start);
  refreshState();
  showTimes();
}

function median(values) {
  if (!values.length) return null;
  const s = values.slice().sort((a, b) => a - b);
  return s[Math.floor(s.length / 2)];
}

function showTimes() {
  const parts = [];
  if (vorPage.firstPictureMs !== null) parts.push('첫 그림 ' + vorPage.firstPictureMs.toFixed(0) + ' ms');
  const m = median(vorPage.changeMs);
  if (m !== null) parts.push('변경 ' + vorPage.changeMs.length + '회, 중앙값 ' + m.toFixed(1) + ' ms');
  $('times').textContent = parts.join(' · ');
}

// ---- the controls ---------------------------------------------------------

function thumbCanvas() {
  const c = document.createElement('canvas');
  c.width = c.height = 72;
  c.className = 'thumb';
  return c;
}

function buildList(container, listName, entries, onPick) {
  container.textContent = '';
  entries.forEach((entry, index) => {
    const item = document.createElement('button');
    item.type = 'button';
    item.className = 'item';
    item.dataset.list = listName;
    item.dataset.index = index;
    item.title = entry.key;
    item.appendChild(thumbCanvas());
    const label = document.createElement('span');
    label.textContent = entry.name || entry.key;
    item.appendChild(label);
    item.addEventListener('click', () => onPick(index));
    container.appendChild(item);
  });
}

function markSelected(container, index) {
  for (const item of container.children) item.classList.toggle('selected', Number(item.dataset.index) === index);
}

function colourRow(container, id, label) {
  const row = document.createElement('div');
  row.className = 'colour';
  row.dataset.slot = id;
  const title = document.createElement('span');
  title.className = 'colour-name';
  title.textContent = label;
  row.appendChild(title);
  const swatch = document.createElement('span');
  swatch.className = 'swatch';
  row.appendChild(swatch);
  ['색상', '명도', '채도'].forEach((name, channel) => {
    const l = document.createElement('label');
    l.textContent = name + ' ';
    const input = document.createElement('input');
    input.type = 'range'; input.min = 0; input.max = 255;
    input.dataset.channel = channel;
    input.addEventListener('input', () => {
      const v = [...row.querySelectorAll('input')].map((i) => Number(i.value));
      change(() => core.setColour(id, v[0], v[1], v[2]));
    });
    l.appendChild(input);
    row.appendChild(l);
  });
  container.appendChild(row);
  return row;
}

function setColourRow(row, colour) {
  const inputs = row.querySelectorAll('input');
  colour.forEach((v, i) => { inputs[i].value = v; });
  row.querySelector('.swatch').style.background = hlsCss(colour);
}

function hlsCss([h, l, s]) {
  return 'hsl(' + (h * 360 / 256).toFixed(0) + ',' + (s * 100 / 255).toFixed(0) + '%,' + (l * 100 / 255).toFixed(0) + '%)';
}

function buildControls() {
  const chara = $('charaLists');
  chara.textContent = '';
  for (const [name, label] of CHARA_LISTS) {
    const section = document.createElement('section');
    section.innerHTML = '<h3></h3><div class="list"></div>';
    section.querySelector('h3').textContent = label;
    const list = section.querySelector('.list');
    list.id = 'list-' + name;
    buildList(list, name, catalog[name], (index) => change(() => core.choose(LIST[name], index)));
    chara.appendChild(section);
  }
  const hairOptions = document.createElement('div');
  hairOptions.className = 'options';
  hairOptions.innerHTML = '<label><input type="checkbox" id="hairDefaultColour"> 『머리』기본 색상 적용</label> ' +
    '<label><input type="checkbox" id="separateBackHair"> 뒷머리 따로 고르기</label>' +
    '<div class="list" id="list-backHair" hidden></div>';
  chara.querySelector('#list-hair').after(hairOptions);
  $('hairDefaultColour').addEventListener('change', (e) => change(() => core.setHairDefaultColour(e.target.checked ? 1 : 0)));
  $('separateBackHair').addEventListener('change', (e) => change(() => core.setSeparateBackHair(e.target.checked ? 1 : 0)));
  buildList($('list-backHair'), 'backHair', catalog.hair, (index) => change(() => core.choose(LIST.hair, -2 - index)));
  const expressions = $('expressions');
  expressions.textContent = '';
  catalog.expression.forEach((entry, index) => {
    const b = document.createElement('button');
    b.type = 'button';
    b.className = 'expression';
    b.dataset.index = index;
    b.textContent = entry.name;
    b.addEventListener('click', () => change(() => core.choose(LIST.expression, index)));
    expressions.appendChild(b);
  });
  const colours = $('colours');
  colours.textContent = '';
  for (const [id, label] of COLOUR_ROWS) colourRow(colours, id, label);
  buildList($('list-dress'), 'dress', catalog.dress, (index) => change(() => core.choose(LIST.dress, index)));
  buildList($('list-accessory'), 'accessory', catalog.accessory, (index) => {
    if (chosenAccessory < 0) return;
    change(() => core.setAccessoryKind(chosenAccessory, index));
  });
  const dressColour = $('dressColour');
  dressColour.textContent = '';
  colourRow(dressColour, SLOT.dress, '복장 색');
}

function refreshState() {
  state = JSON.parse(core.stateJson());
  $('charName').textContent = state.name;
  for (const [name] of CHARA_LISTS) markSelected($('list-' + name), state[name]);
  $('hairDefaultColour').checked = !!state.hairDefaultColour;
  $('separateBackHair').checked = !!state.separateBackHair;
  $('list-backHair').hidden = !state.separateBackHair;
  markSelected($('list-backHair'), state.backHair);
  for (const b of $('expressions').children) b.classList.toggle('selected', Number(b.dataset.index) === state.expression);
  for (const row of $('colours').children) setColourRow(row, state.colours[row.dataset.slot]);
  const style = state.styles[state.selected];
  markSelected($('list-dress'), style ? style.dress : -1);
  if (style) setColourRow($('dressColour').firstChild, style.colour);
  // The styles.
  const styles = $('styles');
  if (styles.children.length !== state.styles.length) {
    styles.textContent = '';
    state.styles.forEach((s, index) => {
      const row = document.createElement('div');
      row.className = 'style';
      row.innerHTML = '<input type="checkbox" title="내보내기"> <button type="button"></button>';
      row.querySelector('input').addEventListener('change', (e) => { core.checkStyle(index, e.target.checked ? 1 : 0); refreshState(); });
      row.querySelector('button').addEventListener('click', () => change(() => core.showStyle(index)));
      styles.appendChild(row);
    });
  }
  state.styles.forEach((s, index) => {
    const row = styles.children[index];
    row.querySelector('input').checked = !!s.checked;
    const b = row.querySelector('button');
    b.textContent = s.name + ' (' + s.folder + ')';
    b.dataset.index = index;
    row.classList.toggle('selected', index === state.selected);
  });
  // The accessories of the shown style: a row each (choose, remove, colour).
  const accessories = $('accessories');
  if (!state.accessories.some((a) => a.id === chosenAccessory))
    chosenAccessory = state.accessories.length ? state.accessories[0].id : -1;
  // Rows are made again only when the accessories change, never under a
  // slider that is being dragged.
  const shape = chosenAccessory + ':' + state.accessories.map((a) => a.id + '/' + a.kind).join(',');
  if (accessories.dataset.shape === shape) {
    state.accessories.forEach((a, i) => setColourRow(accessories.children[i], a.colour));
  } else {
    accessories.dataset.shape = shape;
    accessories.textContent = '';
  }
  if (accessories.children.length !== state.accessories.length) state.accessories.forEach((a) => {
    const entry = catalog.accessory[a.kind];
    const row = colourRow(accessories, a.id, entry ? entry.name : '(없는 악세서리)');
    row.classList.toggle('selected', a.id === chosenAccessory);
    const pick = row.querySelector('.colour-name');
    pick.classList.add('pick');
    pick.addEventListener('click', () => { chosenAccessory = a.id; refreshState(); });
    const remove = document.createElement('button');
    remove.type = 'button';
    remove.className = 'remove';
    remove.textContent = '삭제';
    remove.addEventListener('click', () => change(() => core.removeAccessory(a.id)));
    row.appendChild(remove);
    setColourRow(row, a.colour);
  });
  const chosen = state.accessories.find((a) => a.id === chosenAccessory);
  markSelected($('list-accessory'), chosen ? chosen.kind : -1);
  $('list-accessory').classList.toggle('disabled', !chosen);
}

function showMissing() {
  if (!state.missing.length) return;
  const named = state.missing.map((m) => (KIND_NAMES[m.kind] || m.kind) + ' "' + m.key + '"');
  showNote('이 팩에 없는 파츠: ' + named.join(', ') + ' (빈 채로 그립니다).');
}

// Thumbnails are drawn after the first picture, a few at a time.
function drawThumbs() {
  const jobs = [];
  for (const [name] of CHARA_LISTS.concat([['dress'], ['accessory'], ['backHair']])) {
    const list = $('list-' + name);
    for (const item of list.children) jobs.push([name === 'backHair' ? LIST.hair : LIST[name], Number(item.dataset.index), item.querySelector('canvas')]);
  }
  vorPage.thumbsDone = false;
  const step = () => {
    const started = performance.now();
    while (jobs.length && performance.now() - started < 12) {
      const [list, index, canvas] = jobs.shift();
      const pointer = core.thumb(list, index);
      if (pointer) {
        const data = new ImageData(new Uint8ClampedArray(M.HEAPU8.buffer, pointer, 72 * 72 * 4).slice(), 72, 72);
        canvas.getContext('2d').putImageData(data, 0, 0);
      }
    }
    if (jobs.length) setTimeout(step, 0);
    else vorPage.thumbsDone = true;
  };
  setTimeout(step, 0);
}

// ---- opening --------------------------------------------------------------

// The pack's files below their data folder: the folder that holds
// body/sotai.png (the part kinds sit beside it).
function dataRoot(files) {
  let best = null;
  for (const f of files) {
    const p = f.path.replace(/\\/g, '/');
    if (p === 'body/sotai.png' || p.endsWith('/body/sotai.png')) {
      const prefix = p.slice(0, p.length - 'body/sotai.png'.length);
      if (best === null || prefix.length < best.length) best = prefix;
    }
  }
  return best;
}

function removeTree(path) {
  const FS = M.FS;
  let stat;
  try { stat = FS.lstat(path); } catch (e) { return; }
  if (FS.isDir(stat.mode)) {
    for (const name of FS.readdir(path)) if (name !== '.' && name !== '..') removeTree(path + '/' + name);
    FS.rmdir(path);
  } else FS.unlink(path);
}

function writeFile(path, bytes) {
  const FS = M.FS;
  const parts = path.split('/').filter((s) => s);
  let dir = '';
  for (let i = 0; i < parts.length - 1; i++) {
    dir += '/' + parts[i];
    try { FS.mkdir(dir); } catch (e) { /* already there */ }
  }
  FS.writeFile('/' + parts.join('/'), bytes);
}

// files: [{path, bytes}] relative to what the user chose; readAt: when the
// last byte was read.
function openPack(files, readAt) {
  try {
    return openPackNow(files, readAt);
  } finally {
    vorPage.packAttempts++;
  }
}

function openPackNow(files, readAt) {
  showError(''); showNote('');
  const root = dataRoot(files);
  if (root === null) {
    vorPage.packOpen = false;
    showError('파츠 팩이 아닙니다: body/sotai.png가 있는 data 폴더를 찾을 수 없습니다.');
    return false;
  }
  removeTree('/pack');
  let count = 0;
  for (const f of files) {
    const p = f.path.replace(/\\/g, '/');
    if (!p.startsWith(root) || p.split('/').includes('..')) continue;
    writeFile('/pack/data/' + p.slice(root.length), f.bytes);
    count++;
  }
  const result = core.open();
  if (result !== 1) {
    vorPage.packOpen = false;
    showError(result === -1 ? '파츠 팩이 손상되었습니다: 몸 그림(body/sotai.png)을 읽을 수 없습니다.'
      : result === -2 ? '파츠 팩에 머리 모양이나 복장이 하나도 없습니다.'
        : '파츠 팩을 열 수 없습니다 (메모리가 부족합니다).');
    return false;
  }
  vorPage.packOpen = true;
  catalog = JSON.parse(core.catalogJson());
  buildControls();
  draw();
  vorPage.firstPictureMs = performance.now() - readAt;
  vorPage.changeMs = [];
  refreshState();
  showTimes();
  $('packName').textContent = count + '개 파일';
  document.body.classList.add('open');
  if (pendingLink) applyProjectBytes(pendingLink, '링크');
  drawThumbs();
  return true;
}

function applyProjectBytes(bytes, what) {
  try {
    return applyProjectNow(bytes, what);
  } finally {
    vorPage.projectAttempts++;
  }
}

function applyProjectNow(bytes, what) {
  if (!vorPage.packOpen) {
    pendingLink = bytes;
    showNote(what + '의 캐릭터를 보려면 파츠 팩을 여세요.');
    return false;
  }
  pendingLink = null;
  writeFile('/tmp/open.vor', bytes);
  const result = core.loadProject('\\tmp\\open.vor');
  if (result !== 1) {
    showError(what + ': ' + (PROJECT_ERRORS[result] || '프로젝트를 열 수 없습니다.'));
    return false;
  }
  showError(''); showNote('');
  $('styles').textContent = '';
  change(() => {});
  showMissing();
  return true;
}

async function readFileList(fileList) {
  const files = [];
  for (const f of fileList) files.push({ path: f.webkitRelativePath || f.name, bytes: new Uint8Array(await f.arrayBuffer()) });
  return files;
}

async function openZip(file) {
  try {
    const files = await ZipRead.entries(await file.arrayBuffer());
    openPack(files, performance.now());
  } catch (e) {
    vorPage.packOpen = false;
    showError('파츠 팩을 읽을 수 없습니다: ' + e.message);
    vorPage.packAttempts++;
  }
}

// A dropped folder, read through its entries.
async function readEntry(entry, prefix, out) {
  if (entry.isFile) {
    const file = await new Promise((ok, fail) => entry.file(ok, fail));
    out.push({ path: prefix + entry.name, bytes: new Uint8Array(await file.arrayBuffer()) });
  } else if (entry.isDirectory) {
    const reader = entry.createReader();
    for (;;) {
      const batch = await new Promise((ok, fail) => reader.readEntries(ok, fail));
      if (!batch.length) break;
      for (const e of batch) await readEntry(e, prefix + entry.name + '/', out);
    }
  }
}

// A drop: a folder is read as a pack; otherwise a .zip is opened as the
// pack and a .vor as the project (both may come in one drop).
async function onDrop(event) {
  event.preventDefault();
  const files = [...event.dataTransfer.files];
  const entries = [...event.dataTransfer.items].map((i) => i.webkitGetAsEntry && i.webkitGetAsEntry()).filter((e) => e);
  if (!entries.some((e) => e.isDirectory)) {
    const zip = files.find((f) => /\.zip$/i.test(f.name));
    const vor = files.find((f) => /\.vor$/i.test(f.name));
    if (zip) await openZip(zip);
    if (vor) applyProjectBytes(new Uint8Array(await vor.arrayBuffer()), vor.name);
    if (!zip && !vor) showError('팩 폴더나 .zip, .vor 파일을 끌어다 놓으세요.');
    return;
  }
  const read = [];
  for (const e of entries) await readEntry(e, '', read);
  openPack(read, performance.now());
}

// ---- writing --------------------------------------------------------------

function download(bytes, name, type) {
  const url = URL.createObjectURL(new Blob([bytes], { type }));
  const a = document.createElement('a');
  a.href = url; a.download = name;
  document.body.appendChild(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 10000);
}

function safeName(text) {
  return (text || 'vor').replace(/[\\/:*?"<>|]/g, '_');
}

function savePicture() {
  const bytes = takeBytes(core.png());
  if (!bytes) { showError('그림을 PNG로 만들 수 없습니다.'); return; }
  const style = state.styles[state.selected];
  const expression = catalog.expression[state.expression];
  download(bytes, safeName(state.name) + '_' + safeName(style ? style.folder : '') + '_' +
    safeName(expression ? expression.key : '') + '.png', 'image/png');
}

function saveExport() {
  const bytes = takeBytes(core.exportZip());
  if (!bytes) {
    const why = core.message();
    showError(why === 'nothing' ? '내보낼 스타일이 없습니다: 스타일을 하나 이상 체크하세요.'
      : why === 'failed' ? '내보내기 중 파일을 만들 수 없었습니다.' : '내보낼 수 없습니다: ' + why);
    return;
  }
  draw();
  download(bytes, safeName(state.name) + '.zip', 'application/zip');
}

function saveProject() {
  const bytes = takeBytes(core.project());
  if (!bytes) { showError('프로젝트를 만들 수 없습니다.'); return; }
  download(bytes, safeName(state.name) + '.vor', 'application/octet-stream');
}

function toBase64Url(bytes) {
  let s = '';
  for (let i = 0; i < bytes.length; i += 0x8000) s += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
  return btoa(s).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
}

function fromBase64Url(text) {
  const s = atob(text.replace(/-/g, '+').replace(/_/g, '/'));
  const out = new Uint8Array(s.length);
  for (let i = 0; i < s.length; i++) out[i] = s.charCodeAt(i);
  return out;
}

async function copyLink() {
  const bytes = takeBytes(core.project());
  if (!bytes) { showError('프로젝트를 만들 수 없습니다.'); return; }
  const link = location.href.replace(/#.*$/, '') + '#v=' + toBase64Url(await ZipRead.deflateRaw(bytes));
  history.replaceState(null, '', link);
  $('link').value = link;
  try {
    await navigator.clipboard.writeText(link);
    showNote('링크를 복사했습니다. 같은 파츠 팩을 연 사람에게 이 캐릭터가 보입니다.');
  } catch (e) {
    showNote('아래 링크를 복사하세요 (이 브라우저는 클립보드 쓰기를 허락하지 않았습니다).');
  }
}

async function readLink() {
  const m = /#v=([A-Za-z0-9_-]+)/.exec(location.hash);
  if (!m) return;
  try {
    applyProjectBytes(await ZipRead.inflateRaw(fromBase64Url(m[1])), '링크');
  } catch (e) {
    showError('링크가 손상되었습니다: 캐릭터를 읽을 수 없습니다.');
  }
}

// ---- start ----------------------------------------------------------------

function wire() {
  $('packZip').addEventListener('change', (e) => {
    const f = e.target.files[0];
    e.target.value = '';
    if (f) openZip(f);
  });
  $('packFolder').addEventListener('change', async (e) => {
    const files = await readFileList(e.target.files);
    e.target.value = '';
    openPack(files, performance.now());
  });
  $('projectFile').addEventListener('change', async (e) => {
    const f = e.target.files[0];
    e.target.value = '';
    if (f) applyProjectBytes(new Uint8Array(await f.arrayBuffer()), f.name);
  });
  const drop = document.body;
  drop.addEventListener('dragover', (e) => { e.preventDefault(); drop.classList.add('dragging'); });
  drop.addEventListener('dragleave', () => drop.classList.remove('dragging'));
  drop.addEventListener('drop', (e) => { drop.classList.remove('dragging'); onDrop(e); });
  $('zoomFactor').addEventListener('change', drawZoom);
  $('savePng').addEventListener('click', savePicture);
  $('saveZip').addEventListener('click', saveExport);
  $('saveVor').addEventListener('click', saveProject);
  $('copyLink').addEventListener('click', copyLink);
  $('addAccessory').addEventListener('click', () => {
    let id = -1;
    change(() => { id = core.addAccessory(); });
    if (id < 0) showError('악세서리는 32개까지 달 수 있습니다.');
    else { chosenAccessory = id; refreshState(); }
  });
  window.addEventListener('hashchange', readLink);
}

window.addEventListener('error', (e) => showError('페이지 오류: ' + e.message));
window.addEventListener('unhandledrejection', (e) => showError('페이지 오류: ' + (e.reason && e.reason.message || e.reason)));

wire();
VorModule().then((module) => {
  M = module;
  vorPage.module = module;
  bindCore();
  vorPage.ready = true;
  $('loading').textContent = '';
  readLink();
}).catch((e) => showError('프로그램(vor.wasm)을 불러올 수 없습니다: ' + e));
