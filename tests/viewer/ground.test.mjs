// The replay's ground: heights on the body's sphere, a point's clearance above it, and patches
// that lie on it wherever they are centred.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { groundHeight, clearance, groundPatch } from '../../viewer/src/ground.js';

const mars = 3389500;

test('the ground falls away from the origin as the sphere does, and is flat without a body', () => {
  assert.equal(Math.abs(groundHeight(0, 0, mars)), 0);
  // 154 km away the surface is 3.5003 km below the origin's tangent plane.
  const h = groundHeight(154000, 0, mars);
  assert.ok(Math.abs(h - (mars * Math.cos(Math.asin(154000 / mars)) - mars)) < 1e-6, `${h}`);
  assert.ok(Math.abs(h + 3500.26) < 0.01, `${h}`);
  assert.equal(groundHeight(3, 4, mars), groundHeight(0, -5, mars));
  assert.equal(groundHeight(154000, 0, 0), 0);
});

test('a point on the sphere has no clearance; one above it has its height along the radius', () => {
  for (const [x, z] of [[0, 0], [1200, -800], [154000, 20000]]) {
    const y = groundHeight(x, z, mars);
    assert.ok(Math.abs(clearance([x, y, z], mars)) < 1e-6);
    // Two metres out along the radius through the point.
    const c = [x, y + mars, z], n = Math.hypot(...c);
    const up = c.map((v) => (v / n) * 2);
    assert.ok(Math.abs(clearance([x + up[0], y + up[1], z + up[2]], mars) - 2) < 1e-6);
  }
  assert.equal(clearance([5, 2.5, 7], 0), 2.5);
});

test('a patch far from the origin lies on the sphere to the millimetre', () => {
  const p = groundPatch(150000, -30000, mars, 10000, 100);
  assert.equal(p.positions.length, 101 * 101 * 3);
  assert.equal(p.indices.length, 100 * 100 * 6);
  let worst = 0;
  for (let i = 0; i < p.positions.length; i += 3) {
    const q = [p.centre[0] + p.positions[i], p.centre[1] + p.positions[i + 1],
      p.centre[2] + p.positions[i + 2]];
    worst = Math.max(worst, Math.abs(clearance(q, mars)));
  }
  assert.ok(worst < 0.002, `${worst}`);
});
