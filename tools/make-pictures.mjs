// SPDX-License-Identifier: GPL-3.0-or-later
//
// Helper for tools/make-pictures.sh: checks the word lists against the
// word-to-emoji table and writes one SVG per word, taken from the Noto Emoji
// set as packaged in @iconify-json/noto.
//
// Usage: node make-pictures.mjs <noto-package-dir> <table.tsv> <out-dir> <list>...
//
// Every word of every list must have exactly one row in the table, every row
// of the table must belong to a list, no word may appear twice (in a list, in
// two lists, or in the table), and no two words may use the same picture.
// Any problem is reported and the exit status is 1; nothing is written then.

import { readFileSync, writeFileSync, mkdirSync } from 'node:fs';
import { basename, join } from 'node:path';

function fail(messages) {
    for (const m of messages) console.error(`make-pictures: ${m}`);
    process.exit(1);
}

const [pkgDir, tablePath, outDir, ...listPaths] = process.argv.slice(2);
if (!pkgDir || !tablePath || !outDir || listPaths.length === 0)
    fail(['usage: node make-pictures.mjs <noto-package-dir> <table.tsv> <out-dir> <list>...']);

const icons = JSON.parse(readFileSync(join(pkgDir, 'icons.json'), 'utf8'));
const chars = JSON.parse(readFileSync(join(pkgDir, 'chars.json'), 'utf8'));
const errors = [];

// Codepoint sequence as written in the table ("1F9DA-200D-2640-FE0F") to the
// key used by chars.json ("1f9da-200d-2640").
function charsKey(sequence) {
    return sequence.toLowerCase().split('-').filter((cp) => cp !== 'fe0f').join('-');
}

// Resolves an icon or alias name to its SVG body and view box, applying the
// flips and quarter turns an alias may add to its parent.
function resolveIcon(name) {
    let hFlip = false, vFlip = false, rotate = 0;
    const seen = new Set();
    let current = name;
    while (!icons.icons[current]) {
        const alias = icons.aliases?.[current];
        if (!alias || seen.has(current)) return null;
        seen.add(current);
        if (alias.hFlip) hFlip = !hFlip;
        if (alias.vFlip) vFlip = !vFlip;
        rotate += alias.rotate ?? 0;
        current = alias.parent;
    }
    const icon = icons.icons[current];
    const left = icon.left ?? icons.left ?? 0;
    const top = icon.top ?? icons.top ?? 0;
    const width = icon.width ?? icons.width ?? 16;
    const height = icon.height ?? icons.height ?? 16;
    const cx = left + width / 2, cy = top + height / 2;
    const transforms = [];
    if (rotate % 4) transforms.push(`rotate(${(rotate % 4) * 90} ${cx} ${cy})`);
    if (hFlip || vFlip)
        transforms.push(`translate(${cx} ${cy}) scale(${hFlip ? -1 : 1} ${vFlip ? -1 : 1}) translate(${-cx} ${-cy})`);
    let body = icon.body;
    if (transforms.length) body = `<g transform="${transforms.join(' ')}">${body}</g>`;
    return { body, left, top, width, height };
}

// Word lists: listaN.txt holds words of exactly N letters a-z.
const listed = new Map(); // word -> list file
for (const path of listPaths) {
    const m = /^lista(\d+)\.txt$/.exec(basename(path));
    if (!m) { errors.push(`${path}: name must be listaN.txt`); continue; }
    const length = Number(m[1]);
    const text = readFileSync(path, 'utf8');
    if (text.length && !text.endsWith('\n')) errors.push(`${path}: missing final newline`);
    if (text.includes('\r')) errors.push(`${path}: must use LF line ends`);
    const lines = text.split('\n');
    if (lines[lines.length - 1] === '') lines.pop();
    lines.forEach((word, i) => {
        const where = `${path}:${i + 1}`;
        if (!/^[a-z]+$/.test(word)) errors.push(`${where}: ${JSON.stringify(word)} is not a lower-case word a-z`);
        else if (word.length !== length) errors.push(`${where}: "${word}" has ${word.length} letters, not ${length}`);
        else if (listed.has(word)) errors.push(`${where}: "${word}" already in ${listed.get(word)}`);
        else listed.set(word, path);
    });
}

// Table: word <TAB> codepoint sequence <TAB> note; '#' starts a comment line.
const table = new Map(); // word -> sequence
readFileSync(tablePath, 'utf8').split('\n').forEach((line, i) => {
    const where = `${tablePath}:${i + 1}`;
    if (line.trim() === '' || line.startsWith('#')) return;
    const [word, sequence] = line.split('\t');
    if (!word || !sequence || !/^[0-9A-Fa-f]{2,6}(-[0-9A-Fa-f]{2,6})*$/.test(sequence)) {
        errors.push(`${where}: expected "word<TAB>codepoints<TAB>note"`);
        return;
    }
    if (table.has(word)) errors.push(`${where}: "${word}" appears twice`);
    table.set(word, sequence);
});

for (const word of listed.keys())
    if (!table.has(word)) errors.push(`"${word}" (${listed.get(word)}) has no row in ${tablePath}`);
for (const word of table.keys())
    if (!listed.has(word)) errors.push(`"${word}" in ${tablePath} is in no list`);

const pictures = new Map(); // icon name -> word
const svgs = [];
for (const [word, sequence] of table) {
    if (!listed.has(word)) continue;
    const name = chars[charsKey(sequence)];
    const icon = name && resolveIcon(name);
    if (!icon) { errors.push(`"${word}": no Noto Emoji icon for ${sequence}`); continue; }
    if (pictures.has(name)) errors.push(`"${word}" and "${pictures.get(name)}" share the picture ${name}`);
    pictures.set(name, word);
    const svg = `<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" ` +
        `width="${icon.width}" height="${icon.height}" ` +
        `viewBox="${icon.left} ${icon.top} ${icon.width} ${icon.height}">${icon.body}</svg>\n`;
    svgs.push([word, svg]);
}

if (errors.length) fail(errors);
mkdirSync(outDir, { recursive: true });
for (const [word, svg] of svgs) writeFileSync(join(outDir, `${word}.svg`), svg);
console.log(`make-pictures: ${svgs.length} pictures from ${listPaths.length} lists`);
