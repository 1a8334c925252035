// What the game shows and keeps, as the build wrote it from the product
// (tools/game_facts_gen.cpp into <build>/game_facts.json): the file
// tests/game_facts.py reads, for the suites in JavaScript. POROTEN_FACTS
// names it; tests/game_facts.json is looked at next.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const file = process.env.POROTEN_FACTS || path.join(here, '..', '..', 'game_facts.json');

export const FACTS = JSON.parse(fs.readFileSync(file, 'utf8'));
export const TEXTS = FACTS.texts;
export const BOXES = FACTS.boxes;
export const PAGE = FACTS.page;
export const TIMING = FACTS.timing;
export const RECORD = FACTS.record;
export const MAIN = FACTS.windows.Form1;
export const FIRST_ROW = FACTS.cells.first;

export const control = (window, name) => window.controls[name];
export const CELLS = [...Array(FACTS.cells.count).keys()].map((i) => control(MAIN, `Label1(${i})`).id);

// One of the game's colours as the page's computed style gives it.
export const cssColour = (name) => `rgb(${FACTS.colours[name].join(', ')})`;

// A menu entry's text by its name (mnuFileHigh), without the "&" that marks
// its access key, as the page shows it; with it when accessMark.
export function menuText(name, accessMark = false) {
  const find = (entries) => {
    for (const e of entries) {
      if (e.name === name) return e.text;
      const found = find(e.items);
      if (found) return found;
    }
    return null;
  };
  const text = find(MAIN.menu);
  if (text === null) throw new Error('no menu entry ' + name);
  return accessMark ? text : text.replace('&', '');
}

// The letter that chooses the menu entry of this name.
export function accessKey(name) {
  const text = menuText(name, true);
  return text[text.indexOf('&') + 1].toLowerCase();
}

// The best-score box's two lines for a holder and score.
export const highScoreLines = (name, score) =>
  [BOXES.highScoreHeading, `${name}${BOXES.afterName}${score}${BOXES.afterScore}`];

// A valid record's bytes: score, the name's length, the name in code page 932
// (by the build machine's iconv, as the product's own table is made), the marker.
export function recordBytes(score, name) {
  const encoded = [...execFileSync('iconv', ['-f', 'UTF-8', '-t', 'CP932'], { input: name })];
  const int16 = (n) => [n & 0xff, (n >> 8) & 0xff];
  return [...int16(score), ...int16(encoded.length), ...encoded, ...int16(RECORD.marker)];
}

// The encoder above must write what the game writes.
for (const { score, name, bytes } of RECORD.examples) {
  const hex = recordBytes(score, name).map((b) => b.toString(16).padStart(2, '0')).join(' ');
  if (hex !== bytes) throw new Error(`recordBytes no longer writes the game's record: ${name}, ${score}`);
}
