#!/usr/bin/env node
// Writes data/map/land.bin, the world land outlines the map view draws, from the
// Natural Earth 1:50m land polygons that the npm package world-atlas carries as TopoJSON.
//
//   node scripts/data/generate-land-outlines.mjs [--tarball FILE] [--out FILE]
//
// Without --tarball the pinned package version is fetched with `npm pack`; its checksum is
// compared with the pinned one so the same input always gives the same bytes.
// The file format is described in data/README.md.

import { execFileSync } from 'node:child_process';
import { createHash } from 'node:crypto';
import { mkdirSync, mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { gunzipSync } from 'node:zlib';

const PACKAGE = 'world-atlas';
const VERSION = '2.0.2';
const INTEGRITY =
  'sha512-IXfV0qwlKXpckz1FhwXVwKRjiIhOnWttOskm5CtxMsjgE/MXAYRHWJqgXOpM8IkcPBoXnyTU5lFHcYa5ChG0LQ==';
const SOURCE_FILE = 'package/land-50m.json';

const MAGIC = Buffer.from('LVLD', 'latin1');
const FORMAT_VERSION = 1;
const UNITS_PER_DEGREE = 100000;
const HALF_TURN = 180 * UNITS_PER_DEGREE;
const FULL_TURN = 360 * UNITS_PER_DEGREE;
const QUARTER_TURN = 90 * UNITS_PER_DEGREE;

const repoRoot = resolve(dirname(fileURLToPath(import.meta.url)), '..', '..');

function parseArgs(argv) {
  const args = { tarball: null, out: join(repoRoot, 'data', 'map', 'land.bin') };
  for (let i = 0; i < argv.length; ++i) {
    const value = argv[i + 1];
    if (argv[i] === '--tarball' && value) args.tarball = resolve(argv[++i]);
    else if (argv[i] === '--out' && value) args.out = resolve(argv[++i]);
    else throw new Error(`unknown argument: ${argv[i]}`);
  }
  return args;
}

function fetchTarball() {
  const dir = mkdtempSync(join(tmpdir(), 'lumivale-land-'));
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
function extractFile(tarball, wanted) {
  const tar = gunzipSync(tarball);
  const field = (block, start, length) =>
    block.toString('latin1', start, start + length).replace(/\0.*$/s, '');
  for (let offset = 0; offset + 512 <= tar.length; ) {
    const header = tar.subarray(offset, offset + 512);
    if (header.every((b) => b === 0)) break;
    const size = parseInt(field(header, 124, 12).trim() || '0', 8);
    const prefix = field(header, 345, 155);
    const name = (prefix ? prefix + '/' : '') + field(header, 0, 100);
    const body = offset + 512;
    if (name === wanted) return tar.subarray(body, body + size);
    offset = body + Math.ceil(size / 512) * 512;
  }
  throw new Error(`${wanted} is not in the ${PACKAGE} tarball`);
}

// Quantized TopoJSON arcs are delta-encoded grid positions; positions are kept on the grid
// until the end so that arcs shared by two rings meet exactly.
function decodeArcs(topology) {
  return topology.arcs.map((arc) => {
    let x = 0;
    let y = 0;
    return arc.map(([dx, dy]) => [(x += dx), (y += dy)]);
  });
}

function stitchRing(arcIndexes, arcs) {
  const ring = [];
  for (const index of arcIndexes) {
    const arc = index < 0 ? arcs[~index].slice().reverse() : arcs[index];
    // Consecutive arcs share their joining position.
    ring.push(...(ring.length ? arc.slice(1) : arc));
  }
  return ring;
}

function toUnits(topology, [qx, qy]) {
  const { scale, translate } = topology.transform;
  return [Math.round((qx * scale[0] + translate[0]) * UNITS_PER_DEGREE),
          Math.round((qy * scale[1] + translate[1]) * UNITS_PER_DEGREE)];
}

// Twice the signed area in the (longitude, latitude) plane: positive when counter-clockwise.
function signedArea(points) {
  let sum = 0;
  for (let i = 0, j = points.length - 1; i < points.length; j = i++)
    sum += (points[j][0] - points[i][0]) * (points[j][1] + points[i][1]);
  return sum;
}

function withoutRepeats(points) {
  const kept = points.filter((p, i) => i === 0 || p[0] !== points[i - 1][0] || p[1] !== points[i - 1][1]);
  while (kept.length > 1 && kept[0][0] === kept.at(-1)[0] && kept[0][1] === kept.at(-1)[1]) kept.pop();
  return kept;
}

// One side of a Sutherland-Hodgman clip against the meridian x = edge (unwrapped units).
function clipAtMeridian(points, edge, keepWest) {
  const inside = ([x]) => (keepWest ? x <= edge : x >= edge);
  const out = [];
  for (let i = 0; i < points.length; ++i) {
    const from = points[(i + points.length - 1) % points.length];
    const to = points[i];
    if (inside(from) !== inside(to)) {
      const t = (edge - from[0]) / (to[0] - from[0]);
      out.push([edge, Math.round(from[1] + t * (to[1] - from[1]))]);
    }
    if (inside(to)) out.push(to);
  }
  return out;
}

// Natural Earth cuts its polygons at the antimeridian, but world-atlas merged the land on the
// sphere, so a few rings step straight from +180 to -180 and Antarctica circles the South Pole.
// On a flat map those steps would be lines across the whole world: each ring is unwrapped into
// continuous longitudes, closed along the pole when it circles one, and cut back into the
// -180..180 window, which gives the pieces Natural Earth itself has.
function flatPieces(points) {
  const unwrapped = [points[0].slice()];
  for (let i = 1; i < points.length; ++i) {
    let step = points[i][0] - points[i - 1][0];
    if (step > HALF_TURN) step -= FULL_TURN;
    else if (step < -HALF_TURN) step += FULL_TURN;
    unwrapped.push([unwrapped[i - 1][0] + step, points[i][1]]);
  }
  let closingStep = points[0][0] - points.at(-1)[0];
  if (closingStep > HALF_TURN) closingStep -= FULL_TURN;
  else if (closingStep < -HALF_TURN) closingStep += FULL_TURN;
  const turns = Math.round((unwrapped.at(-1)[0] + closingStep - unwrapped[0][0]) / FULL_TURN);

  if (turns !== 0) {
    const lats = points.map(([, lat]) => lat);
    // A ring that circles the pole along one parallel only (world-atlas keeps Antarctica's
    // 89.999 degrees south edge as such a hole) bounds nothing on a flat map.
    if (Math.min(...lats) === Math.max(...lats)) return [];
    const poleLat = lats.reduce((a, b) => a + b, 0) < 0 ? -QUARTER_TURN : QUARTER_TURN;
    const endLon = unwrapped[0][0] + turns * FULL_TURN;
    unwrapped.push([endLon, points[0][1]], [endLon, poleLat], [unwrapped[0][0], poleLat]);
  }

  const lons = unwrapped.map(([lon]) => lon);
  const west = Math.min(...lons);
  const east = Math.max(...lons);
  const pieces = [];
  const firstWindow = Math.floor((west + HALF_TURN) / FULL_TURN);
  for (let window = firstWindow; window * FULL_TURN - HALF_TURN < east; ++window) {
    const shift = window * FULL_TURN;
    if (shift + HALF_TURN <= west) continue;
    let piece = unwrapped;
    if (west < shift - HALF_TURN) piece = clipAtMeridian(piece, shift - HALF_TURN, false);
    if (east > shift + HALF_TURN) piece = clipAtMeridian(piece, shift + HALF_TURN, true);
    piece = withoutRepeats(piece.map(([lon, lat]) => [lon - shift, lat]));
    if (piece.length >= 3 && signedArea(piece) !== 0) pieces.push(piece);
  }
  return pieces;
}

function landRings(topology) {
  const arcs = decodeArcs(topology);
  const rings = [];
  let flattened = 0;
  let dropped = 0;
  const addPolygon = (polygon) => {
    polygon.forEach((arcIndexes, ringIndex) => {
      const points = withoutRepeats(stitchRing(arcIndexes, arcs).map((p) => toUnits(topology, p)));
      if (points.length < 3) return;
      const pieces = flatPieces(points);
      const unchanged = pieces.length === 1 && pieces[0].length === points.length &&
                        pieces[0].every(([lon, lat], i) => lon === points[i][0] && lat === points[i][1]);
      if (pieces.length === 0) ++dropped;
      else if (!unchanged) ++flattened;
      for (const piece of pieces) {
        // Outer rings counter-clockwise, holes clockwise, whatever the source's winding.
        const isHole = ringIndex > 0;
        if ((signedArea(piece) > 0) === isHole) piece.reverse();
        rings.push(piece);
      }
    });
  };
  for (const geometry of topology.objects.land.geometries) {
    if (geometry.type === 'Polygon') addPolygon(geometry.arcs);
    else if (geometry.type === 'MultiPolygon') geometry.arcs.forEach(addPolygon);
    else throw new Error(`unexpected land geometry ${geometry.type}`);
  }
  return { rings, flattened, dropped };
}

function encode(rings) {
  const pointCount = rings.reduce((sum, ring) => sum + ring.length, 0);
  const buffer = Buffer.alloc(16 + rings.length * 4 + pointCount * 8);
  let at = MAGIC.copy(buffer, 0);
  at = buffer.writeUInt32LE(FORMAT_VERSION, at);
  at = buffer.writeUInt32LE(rings.length, at);
  at = buffer.writeUInt32LE(pointCount, at);
  for (const ring of rings) {
    at = buffer.writeUInt32LE(ring.length, at);
    for (const [lon, lat] of ring) {
      at = buffer.writeInt32LE(lon, at);
      at = buffer.writeInt32LE(lat, at);
    }
  }
  return { buffer, pointCount };
}

function main() {
  const args = parseArgs(process.argv.slice(2));
  const tarball = args.tarball ? readFileSync(args.tarball) : fetchTarball();
  checkIntegrity(tarball);
  const topology = JSON.parse(extractFile(tarball, SOURCE_FILE).toString('utf8'));
  if (topology.type !== 'Topology' || !topology.transform || !topology.objects.land)
    throw new Error(`${SOURCE_FILE} is not a quantized TopoJSON topology with a land object`);

  const { rings, flattened, dropped } = landRings(topology);
  const { buffer, pointCount } = encode(rings);
  mkdirSync(dirname(args.out), { recursive: true });
  writeFileSync(args.out, buffer);
  console.log(`${args.out}: ${rings.length} rings, ${pointCount} points, ${buffer.length} bytes`);
  console.log(`  ${flattened} source rings cut or closed at the antimeridian, ` +
              `${dropped} without area dropped`);
}

main();
