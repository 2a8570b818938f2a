// Where the animations put the mesh groups, by the stand-in's own rules (sim/animation_pose.h):
// each component's transform is its own after its parent chain's; a group named by several
// components gets them in order of the animations and of their components, the later ones last.
// Transforms are affine maps of the vessel frame, {r: 3x3 row by row, t: [x, y, z]}.

export const identity = () => ({ r: [1, 0, 0, 0, 1, 0, 0, 0, 1], t: [0, 0, 0] });

// a after b.
export function compose(a, b) {
  const r = new Array(9);
  for (let i = 0; i < 3; i++)
    for (let j = 0; j < 3; j++)
      r[3 * i + j] = a.r[3 * i] * b.r[j] + a.r[3 * i + 1] * b.r[3 + j] + a.r[3 * i + 2] * b.r[6 + j];
  const t = [0, 1, 2].map(
    (i) => a.r[3 * i] * b.t[0] + a.r[3 * i + 1] * b.t[1] + a.r[3 * i + 2] * b.t[2] + a.t[i]);
  return { r, t };
}

export function apply(a, x) {
  return [0, 1, 2].map((i) => a.r[3 * i] * x[0] + a.r[3 * i + 1] * x[1] + a.r[3 * i + 2] * x[2] + a.t[i]);
}

export function fraction(c, state) {
  if (state <= c.s0) return c.s1 > c.s0 ? 0 : state < c.s0 ? 0 : 1;
  if (state >= c.s1) return 1;
  return (state - c.s0) / (c.s1 - c.s0);
}

// A linear map m that keeps p fixed.
function about(m, p) {
  const mp = apply({ r: m, t: [0, 0, 0] }, p);
  return { r: m, t: [p[0] - mp[0], p[1] - mp[1], p[2] - mp[2]] };
}

export function componentTransform(c, f) {
  if (c.type === 'rotate') {
    const len = Math.hypot(c.axis[0], c.axis[1], c.axis[2]);
    if (!(len > 0)) return identity();
    const [x, y, z] = c.axis.map((v) => v / len);
    const a = f * c.angle, co = Math.cos(a), s = Math.sin(a), C = 1 - co;
    return about([
      co + x * x * C, x * y * C - z * s, x * z * C + y * s,
      y * x * C + z * s, co + y * y * C, y * z * C - x * s,
      z * x * C - y * s, z * y * C + x * s, co + z * z * C], c.ref);
  }
  if (c.type === 'translate') return { r: identity().r, t: c.shift.map((v) => v * f) };
  if (c.type === 'scale')
    return about([1 + f * (c.scale[0] - 1), 0, 0, 0, 1 + f * (c.scale[1] - 1), 0,
      0, 0, 1 + f * (c.scale[2] - 1)], c.ref);
  return identity();
}

// The poses of every animated group: a Map from "mesh:group" to its transform.
export function poseGroups(animations, states) {
  const byId = new Map(), stateOf = new Map();
  animations.forEach((comps, a) => comps.forEach((c) => {
    byId.set(c.id, c);
    stateOf.set(c.id, states[a] ?? 0);
  }));
  const chained = new Map();
  const chain = (c) => {
    if (chained.has(c.id)) return chained.get(c.id);
    let own = componentTransform(c, fraction(c, stateOf.get(c.id) ?? 0));
    chained.set(c.id, own); // a parent loop ends here
    const parent = byId.get(c.parent);
    if (c.parent >= 0 && parent) own = compose(chain(parent), own);
    chained.set(c.id, own);
    return own;
  };
  const poses = new Map();
  for (const comps of animations)
    for (const c of comps) {
      const m = chain(c);
      for (const g of c.groups) {
        const key = `${c.mesh}:${g}`;
        poses.set(key, compose(m, poses.get(key) ?? identity()));
      }
    }
  return poses;
}
