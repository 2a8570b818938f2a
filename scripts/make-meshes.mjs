#!/usr/bin/env node
// Writes the meshes of the four shipped classes into meshes/ as Wavefront OBJ files (one group
// per mesh group, in index order; docs/replay.md). Each is built from boxes, beams and cylinders
// out of a few dimensions; the animated groups sit at the reference points the modules'
// animations turn them about, under the group indices the modules use. Every other group is
// there to fill its index. Usage: node scripts/make-meshes.mjs [OUTPUT_FOLDER]
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const root = path.join(path.dirname(fileURLToPath(import.meta.url)), '..');
const out = process.argv[2] || path.join(root, 'meshes');

const add = (a, b) => a.map((x, i) => x + b[i]);
const sub = (a, b) => a.map((x, i) => x - b[i]);
const mul = (a, s) => a.map((x) => x * s);
const cross = (a, b) => [a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]];
const norm = (a) => mul(a, 1 / Math.hypot(...a));
const round = (x) => Number(x.toFixed(4));

// A mesh: groups of faces over a shared vertex list.
class Mesh {
  constructor(title) { this.title = title; this.vertices = []; this.groups = []; }
  group(name, material) {
    const g = { name, material, faces: [] };
    this.groups.push(g);
    return g;
  }
  vertex(p) { this.vertices.push(p); return this.vertices.length; }
  // A prism between two equal polygons given as rings of points.
  prism(g, bottom, top) {
    const b = bottom.map((p) => this.vertex(p)), t = top.map((p) => this.vertex(p));
    const n = b.length;
    g.faces.push([...b].reverse(), t);
    for (let i = 0; i < n; i++) g.faces.push([b[i], b[(i + 1) % n], t[(i + 1) % n], t[i]]);
  }
  // A cylinder (or cone, or frustum) along the axis from a to b.
  cylinder(g, a, b, ra, rb = ra, sides = 12) {
    const ax = norm(sub(b, a));
    const u = norm(cross(ax, Math.abs(ax[2]) < 0.9 ? [0, 0, 1] : [1, 0, 0]));
    const v = cross(ax, u);
    const ring = (c, r) => Array.from({ length: sides }, (_, i) => {
      const t = (2 * Math.PI * i) / sides;
      return add(c, add(mul(u, r * Math.cos(t)), mul(v, r * Math.sin(t))));
    });
    this.prism(g, ring(a, Math.max(ra, 1e-3)), ring(b, Math.max(rb, 1e-3)));
  }
  // A beam of square section w from a to b.
  beam(g, a, b, w) { this.cylinder(g, a, b, w / Math.SQRT2, w / Math.SQRT2, 4); }
  // An axis-aligned box between two corners.
  box(g, lo, hi) {
    const ring = (z) => [[lo[0], lo[1], z], [hi[0], lo[1], z], [hi[0], hi[1], z], [lo[0], hi[1], z]];
    this.prism(g, ring(lo[2]), ring(hi[2]));
  }
  text() {
    const lines = [`# ${this.title}`, '# Written by scripts/make-meshes.mjs; groups in index order.'];
    for (const p of this.vertices) lines.push(`v ${p.map(round).join(' ')}`);
    for (const g of this.groups) {
      lines.push(`g ${g.name}`, `usemtl ${g.material}`);
      for (const f of g.faces) lines.push(`f ${f.join(' ')}`);
    }
    return lines.join('\n') + '\n';
  }
}

function write(name, mesh) {
  const file = path.join(out, `${name}.obj`);
  fs.mkdirSync(path.dirname(file), { recursive: true });
  fs.writeFileSync(file, mesh.text());
}

// Groups 0..n-1 in order; each filled by the builder of its index, or left empty.
function indexed(mesh, count, builders, names) {
  for (let i = 0; i < count; i++) {
    const [name, material] = names[i] || [`part${i}`, 'rgb_9a9a94'];
    const g = mesh.group(name, material);
    if (builders[i]) builders[i](g);
  }
}

// The lander: +z is the thrust axis (up on the ground). Three legs at the gear's hinges, the mast,
// the high-gain antenna and the sampling arm at the points their animations name.
function lander() {
  const m = new Mesh('quor_tevlan lander');
  const radius = 0.85, bottom = -0.45, top = 0.75;
  const hex = (z, r) => Array.from({ length: 6 }, (_, i) => {
    const t = (Math.PI / 3) * i + Math.PI / 6;
    return [r * Math.cos(t), r * Math.sin(t), z];
  });
  // A leg in the direction of unit vector d (in the x-y plane): the upper strut from the upper
  // hinge to the foot, the lower strut from its hinge, the foot pad.
  const foot = (d, r) => [d[0] * r, d[1] * r, -0.85];
  const leg = (d, hingeUp, hingeLow, footR) => ({
    upper: (g) => m.beam(g, [d[0] * hingeUp, d[1] * hingeUp, -0.39], foot(d, footR), 0.07),
    lowerA: (g) => m.beam(g, [d[0] * hingeLow, d[1] * hingeLow, 0.65], foot(d, footR * 0.93), 0.06),
    lowerB: (g) => m.cylinder(g, [d[0] * hingeLow, d[1] * hingeLow, 0.6], [d[0] * hingeLow, d[1] * hingeLow, 0.7], 0.06),
    pad: (g) => m.cylinder(g, add(foot(d, footR), [0, 0, -0.02]), add(foot(d, footR), [0, 0, 0.06]), 0.18),
    shock: (g) => m.cylinder(g, foot(d, footR * 0.93), foot(d, footR), 0.05),
  });
  const A = leg([0, -1], 0.93, 1.08, 1.7);
  const az = (deg) => [Math.cos((deg * Math.PI) / 180), Math.sin((deg * Math.PI) / 180)];
  const B = leg(az(150), 0.93, 1.09, 1.66);
  const C = leg(az(30), 0.93, 1.09, 1.66);
  const mast = [1.049, 0.746, 0.456];
  const arm = [-0.263, 0.939, 0.34];
  const builders = {
    2: (g) => m.prism(g, hex(bottom, radius), hex(top, radius)),
    4: (g) => { for (const d of [[0, 0.35], [0.3, -0.18], [-0.3, -0.18]]) m.cylinder(g, [d[0], d[1], bottom], [d[0], d[1], bottom - 0.3], 0.08, 0.14); },
    5: (g) => m.prism(g, hex(top, radius * 0.95), hex(top + 0.06, radius * 0.95)),
    23: (g) => m.cylinder(g, [0, 0, top + 0.06], [0, 0, top + 0.3], 0.25),
    24: (g) => m.box(g, [-0.5, -0.2, top + 0.3], [0.5, 0.2, top + 0.34]),
    // Gear: leg A is 20 (upper), 11 and 13 (lower, turned about the lower hinge), 0 and 12
    // (foot and shock, carried by the lower strut); B: 21, 14 and 16, 15 and 17; C: 22, 8 and
    // 10, 9 and 18.
    20: A.upper, 11: A.lowerA, 13: A.lowerB, 0: A.pad, 12: A.shock,
    21: B.upper, 14: B.lowerA, 16: B.lowerB, 15: B.pad, 17: B.shock,
    22: C.upper, 8: C.lowerA, 10: C.lowerB, 9: C.pad, 18: C.shock,
    // Mast: stowed along -x on the deck, raised to +z by its quarter turn about y.
    3: (g) => { m.beam(g, mast, add(mast, [-1.0, 0, 0]), 0.05); m.box(g, add(mast, [-1.05, -0.06, -0.06]), add(mast, [-0.95, 0.06, 0.06])); },
    // High-gain antenna: boom (19), arm (1), dish and feed (6, 7).
    19: (g) => m.beam(g, [0.557, -0.68, 0.273], [0.85, -0.653, 0.346], 0.06),
    1: (g) => m.beam(g, [0.85, -0.653, 0.346], [0.238, -0.628, 0.346], 0.05),
    6: (g) => m.cylinder(g, [0.238, -0.628, 0.346], [0.238, -0.628, 0.42], 0.02, 0.32, 16),
    7: (g) => m.beam(g, [0.238, -0.628, 0.346], [0.238, -0.628, 0.56], 0.02),
    // Sampling arm: shoulder (25), booms (27, 30), wrist (31), the telescoping tube (26, 29) and
    // the scoop (28), stowed along -x.
    25: (g) => m.box(g, add(arm, [-0.06, -0.06, -0.06]), add(arm, [0.06, 0.06, 0.06])),
    27: (g) => m.beam(g, arm, add(arm, [-0.5, 0, 0]), 0.05),
    30: (g) => m.beam(g, add(arm, [-0.5, 0, 0]), add(arm, [-0.8, 0, 0]), 0.045),
    31: (g) => m.box(g, add(arm, [-0.85, -0.04, -0.04]), add(arm, [-0.8, 0.04, 0.04])),
    26: (g) => m.beam(g, add(arm, [-0.85, 0, 0]), add(arm, [-1.0, 0, 0]), 0.03),
    29: (g) => m.beam(g, add(arm, [-1.0, 0, 0]), add(arm, [-1.1, 0, 0]), 0.025),
    28: (g) => m.box(g, add(arm, [-1.2, -0.06, -0.05]), add(arm, [-1.1, 0.06, 0.03])),
  };
  const names = { 2: ['body', 'rgb_c8b070'], 4: ['engines', 'rgb_505050'], 5: ['deck', 'rgb_b0b0a8'],
    23: ['rtg', 'rgb_707070'], 24: ['panel', 'rgb_303850'], 3: ['mast', 'rgb_e0e0e0'],
    19: ['hga_boom', 'rgb_d0d0d0'], 1: ['hga_arm', 'rgb_d0d0d0'], 6: ['hga_dish', 'rgb_f0f0f0'],
    7: ['hga_feed', 'rgb_a0a0a0'], 25: ['arm_shoulder', 'rgb_909090'], 27: ['arm_boom', 'rgb_e0e0e0'],
    30: ['arm_boom2', 'rgb_e0e0e0'], 31: ['arm_wrist', 'rgb_909090'], 26: ['arm_tube', 'rgb_c0c0c0'],
    29: ['arm_tube2', 'rgb_c0c0c0'], 28: ['arm_scoop', 'rgb_b08040'] };
  for (const [i, n] of [[20, 'a'], [11, 'a'], [13, 'a'], [0, 'a'], [12, 'a'], [21, 'b'], [14, 'b'], [16, 'b'], [15, 'b'], [17, 'b'], [22, 'c'], [8, 'c'], [10, 'c'], [9, 'c'], [18, 'c']])
    names[i] = [`leg_${n}_${i}`, 'rgb_8a8a8a'];
  indexed(m, 32, builders, names);
  return m;
}

// The pad: +z up. A launch table, the flame trench, the service tower and its three swing arms
// (groups 25, 26, 27) hinged at the points the umbilical animation turns them about, level at
// the rocket and swung up to stand on end, floodlight masts.
function pad() {
  const m = new Mesh('b_tvm58 launch pad');
  const axis = [-0.17365, 0.98481, 0];
  const out = [axis[1], -axis[0], 0];  // horizontal, square to the hinge axis
  const hinges = [[5.578, 1.382, 39.451], [5.876, 1.406, 50.725], [5.21, 1.313, 57.53]];
  const builders = {
    0: (g) => m.box(g, [-30, -30, 0], [30, 40, 1.5]),
    1: (g) => m.box(g, [-45, -14, 0.01], [-8, -6, 0.3]),
    2: (g) => m.box(g, [-5, 15, 1.5], [5, 25, 4]),
    3: (g) => m.box(g, [1.6, -2, 1.5], [5.6, 4, 62]),
    4: (g) => { for (const p of [[-25, -25], [25, -25], [-25, 35], [25, 35]]) m.cylinder(g, [p[0], p[1], 1.5], [p[0], p[1], 40], 0.4, 0.3, 8); },
  };
  hinges.forEach((h, k) => {
    builders[25 + k] = (g) => {
      m.beam(g, h, add(h, mul(out, 7)), 1.2);
      m.cylinder(g, add(h, [0, -0.8, 0]), add(h, [0, 0.8, 0]), 0.5, 0.5, 8);
    };
  });
  const names = { 0: ['apron', 'rgb_8c8c88'], 1: ['trench', 'rgb_3a3a3a'], 2: ['launch_table', 'rgb_6a6a6a'],
    3: ['tower', 'rgb_b03020'], 4: ['light_masts', 'rgb_a0a0a0'], 25: ['arm_1', 'rgb_d0d0c8'],
    26: ['arm_2', 'rgb_d0d0c8'], 27: ['arm_3', 'rgb_d0d0c8'] };
  indexed(m, 28, builders, names);
  return m;
}

// The carrier: a capsule, +z up; the backshell and, as a mesh of its own, the heat shield.
function backshell() {
  const m = new Mesh('carrier backshell');
  const g = m.group('backshell', 'rgb_e8e8e0');
  m.cylinder(g, [0, 0, -0.9], [0, 0, 0.9], 1.5, 0.6, 24);
  m.cylinder(m.group('hatch', 'rgb_505050'), [0, 0, 0.9], [0, 0, 1.0], 0.6, 0.45, 24);
  return m;
}
function heatshield() {
  const m = new Mesh('carrier heat shield');
  m.cylinder(m.group('heatshield', 'rgb_5a3a28'), [0, 0, -0.9], [0, 0, -1.2], 1.5, 0.5, 24);
  return m;
}

// The rocket: +z up, engine and feet 15 m below the origin.
function rocket() {
  const m = new Mesh('rocket');
  m.cylinder(m.group('stage', 'rgb_f0f0f0'), [0, 0, -14], [0, 0, 22], 1.5, 1.5, 16);
  m.cylinder(m.group('nose', 'rgb_d0d0d0'), [0, 0, 22], [0, 0, 27], 1.5, 0.05, 16);
  m.cylinder(m.group('engine', 'rgb_404040'), [0, 0, -14], [0, 0, -15], 0.6, 1.0, 12);
  const fins = m.group('fins', 'rgb_303030');
  for (const d of [[1, 0], [0, 1], [-1, 0], [0, -1]]) m.beam(fins, [d[0] * 1.5, d[1] * 1.5, -14], [d[0] * 3, d[1] * 3, -15], 0.2);
  return m;
}

write('TevlanQuor/tevlanlander', lander());
write('B_TVM58/b_tvm58', pad());
write('carrier/backshell', backshell());
write('carrier/heatshield', heatshield());
write('rocket/rocket', rocket());
