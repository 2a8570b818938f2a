// A particle stream's emission cone and its meeting with the ground.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { coneHalfAngle, emissionVelocity, meetGround } from '../../viewer/src/stream.js';

const angle = (a, b) => Math.acos(Math.min(1, a.reduce((s, x, k) => s + x * b[k], 0) / (Math.hypot(...a) * Math.hypot(...b))));

test('particles leave within the cone at about the stream speed, whatever the direction', () => {
  for (const dir of [[0, -1, 0], [1, 0, 0], [0.6, 0, 0.8], [0, 0, -1]]) {
    for (const spread of [0, 0.1, 0.5, 5]) {
      const half = coneHalfAngle(spread);
      let widest = 0;
      for (let i = 0; i < 200; ++i) {
        const v = emissionVelocity(dir, 30, spread, (i % 10) / 10 + 0.05, (i * 0.37) % 1, (i * 0.61) % 1);
        widest = Math.max(widest, angle(v, dir));
        const speed = Math.hypot(...v);
        const s = Math.min(spread, 1) / 4;
        assert.ok(speed >= 30 * (1 - s) - 1e-9 && speed <= 30 * (1 + s) + 1e-9, `${speed}`);
      }
      assert.ok(widest <= half + 1e-9, `${widest} > ${half}`);
      if (spread > 0) assert.ok(widest > 0.7 * half, `the cone is used: ${widest} of ${half}`);
    }
  }
  assert.equal(coneHalfAngle(100), Math.PI / 3);
});

test('a particle that reaches the ground stays on it and slides outwards', () => {
  const p = [1, -0.5, 0], v = [2, -20, 0];
  assert.ok(meetGround(p, v, 0));
  assert.equal(p[1], 0);
  assert.equal(v[1], 0);
  assert.ok(v[0] > 2, 'spreads with part of its fall');
  const q = [0, 3, 0], u = [0, -5, 0];
  assert.ok(!meetGround(q, u, 0));
  assert.deepEqual(u, [0, -5, 0]);
});
