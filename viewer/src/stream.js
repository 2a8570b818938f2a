// How a particle stream emits: each particle leaves along the stream's direction within a cone
// whose half-angle grows with the stream's spread (atan of it, at most 60 degrees), at the
// stream's speed give or take a quarter of its spread (a quarter at most); and what the ground
// does to it: a particle that reaches the ground stays on it and slides outwards, as dust blown
// from under an engine.
// Vectors are plain [x, y, z] arrays so that Node can run this without the browser.

const kMaxHalfAngle = Math.PI / 3;

export function coneHalfAngle(spread) {
  return Math.min(Math.atan(Math.max(spread || 0, 0)), kMaxHalfAngle);
}

// A unit vector at right angles to the unit vector d.
function perpendicular([x, y, z]) {
  const a = Math.abs(x) < 0.9 ? [1, 0, 0] : [0, 1, 0];
  const c = [y * a[2] - z * a[1], z * a[0] - x * a[2], x * a[1] - y * a[0]];
  const n = Math.hypot(...c);
  return c.map((v) => v / n);
}

// The velocity of one particle, from three random numbers in [0, 1).
export function emissionVelocity(dir, v0, spread, r1, r2, r3) {
  const half = coneHalfAngle(spread);
  // Uniform over the cone's cap: cos(theta) uniform between cos(half) and 1.
  const cosT = 1 - r1 * (1 - Math.cos(half));
  const sinT = Math.sqrt(Math.max(0, 1 - cosT * cosT));
  const phi = 2 * Math.PI * r2;
  const u = perpendicular(dir);
  const w = [dir[1] * u[2] - dir[2] * u[1], dir[2] * u[0] - dir[0] * u[2], dir[0] * u[1] - dir[1] * u[0]];
  const speed = Math.max(v0, 0) * (1 + (Math.min(Math.max(spread || 0, 0), 1) * (r3 - 0.5)) / 2);
  return [0, 1, 2].map((k) => speed * (cosT * dir[k] + sinT * (Math.cos(phi) * u[k] + Math.sin(phi) * w[k])));
}

// A particle at p moving at v, with the ground at height h under it (y up): on the ground it
// keeps its horizontal motion, slowed, and loses its vertical one.
export function meetGround(p, v, h) {
  if (p[1] >= h) return false;
  p[1] = h;
  if (v[1] < 0) {
    const fall = -v[1];
    const horizontal = Math.hypot(v[0], v[2]);
    // A particle that comes straight down spreads sideways with part of its fall.
    const scale = horizontal > 1e-6 ? (horizontal + 0.5 * fall) / horizontal : 0;
    v[0] *= scale * 0.6;
    v[2] *= scale * 0.6;
    v[1] = 0;
  }
  return true;
}
