// The WebGAL figure set read by WebGAL's own scene parser: every line of
// the scene is a comment naming a pair or the changeFigure line below it;
// the parser returns each line's figure and arguments exactly as written;
// every figure a line names exists below game/figure/, and equals the PNG
// export's picture of its pair: the still one, or for -eyesClose and
// -mouthOpen the one with the eyes shut or the mouth open.
//
//   node webgal_check.cjs WEBGAL_DIR REF_DIR
//
// REF_DIR holds the PNG export's character folders still/, blink/ and talk/
// (<style>/<expression>.png below each).
'use strict';
const fs = require('fs');
const path = require('path');
const parser = require('webgal-parser');
const { readPng, difference, Checks } = require('./check_support.cjs');

const SceneParser = parser.default || parser;
const COMMENT = 28, CHANGE_FIGURE = 2;
// The arguments that name a figure file, and the picture each shows.
const FILE_ARGUMENTS = { eyesOpen: 'still', eyesClose: 'blink', mouthOpen: 'talk', mouthClose: 'still' };

const [dir, refDir] = process.argv.slice(2);
const checks = new Checks();
const check = checks.check.bind(checks);

const sceneDir = path.join(dir, 'game', 'scene');
const scenes = fs.readdirSync(sceneDir);
check(scenes.length === 1, `one scene file, found ${scenes.join(', ')}`);
const raw = fs.readFileSync(path.join(sceneDir, scenes[0]), 'utf8');
const lines = raw.split('\n');
check(lines.pop() === '', 'the scene ends with a line break');

const scene = new SceneParser(() => {}, (name) => name, parser.ADD_NEXT_ARG_LIST, parser.SCRIPT_CONFIG)
  .parse(raw, scenes[0], `game/scene/${scenes[0]}`);
// The parser gives a comment for the empty text after the last line break.
const sentences = scene.sentenceList.slice(0, lines.length);
check(sentences.length === lines.length, `a sentence per line: ${scene.sentenceList.length} for ${lines.length}`);

let pairs = 0, frames = 0, pending = null;
sentences.forEach((sentence, n) => {
  const line = lines[n];
  if (sentence.command === COMMENT) {
    const named = /\(([^()]+)\) x .*\(([^()]+)\)$/.exec(sentence.content);
    check(named !== null, `line ${n + 1} names a pair: ${line}`);
    pending = named;
    return;
  }
  check(sentence.command === CHANGE_FIGURE, `line ${n + 1} is a changeFigure: ${line}`);
  check(pending !== null, `line ${n + 1} follows the comment naming its pair`);
  // The line as written: changeFigure:<file> -key=value ...;
  const written = /^changeFigure:(\S+)((?: -[A-Za-z]+(?:=\S+)?)*);$/.exec(line);
  check(written !== null, `line ${n + 1} reads as changeFigure:<file> -key=value...;`);
  if (!written || !pending) return;
  check(sentence.content === written[1], `figure of line ${n + 1}: ${sentence.content}`);
  const args = written[2].trim().split(' ').map((a) => {
    const [key, value] = a.slice(1).split('=');
    return { key, value: value === undefined ? true : value };
  });
  check(JSON.stringify(sentence.args) === JSON.stringify(args),
    `arguments of line ${n + 1}: ${JSON.stringify(sentence.args)}`);
  const byKey = Object.fromEntries(sentence.args.map((a) => [a.key, a.value]));
  const tag = sentence.content.split('/')[0];
  check(byKey.id === tag, `line ${n + 1} shows the free figure -id=${tag}`);
  const named = Object.keys(FILE_ARGUMENTS).filter((k) => k in byKey);
  check((named.length > 0) === (byKey.animationFlag === 'on'), `line ${n + 1}: -animationFlag=on exactly with frames`);
  const [, style, expression] = pending;
  for (const [file, frame] of [[sentence.content, 'still']].concat(named.map((k) => [byKey[k], FILE_ARGUMENTS[k]]))) {
    const at = path.join(dir, 'game', 'figure', file);
    check(fs.existsSync(at), `figure ${file} exists`);
    if (!fs.existsSync(at)) continue;
    const diff = difference(readPng(at), readPng(path.join(refDir, frame, style, `${expression}.png`)), 0);
    check(diff === null, `${file} is the PNG export's ${frame}/${style}/${expression}.png: ${diff}`);
    if (frame !== 'still') frames++;
  }
  pending = null;
  pairs++;
});
check(pairs > 0, 'the scene shows at least one pair');
check(frames > 0, 'the scene animates at least one pair');
console.log(`webgal: ${pairs} changeFigure lines, ${frames} blink and talk figures`);
process.exit(checks.close());
