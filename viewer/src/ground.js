// The ground of the body the recording is made over: a sphere of the body's ground radius whose
// top touches the ground frame's origin, so that its centre is at (0, -R, 0). Positions are
// metres in the ground frame (y up); a radius of 0 means no body, and the ground is the plane
// y = 0. Worked out in double precision and drawn relative to a nearby centre, since a vertex at
// the body's radius in single precision would move in steps of a quarter metre.

// Height of the ground under the horizontal point (x, z): below 0 away from the origin. Written
// without the difference of two near-equal square roots.
export function groundHeight(x, z, radius) {
  if (!(radius > 0)) return 0;
  const d2 = x * x + z * z;
  if (d2 >= radius * radius) return -radius;
  return -d2 / (radius + Math.sqrt(radius * radius - d2));
}

// Height of a point above the ground, along the body's radius.
export function clearance([x, y, z], radius) {
  if (!(radius > 0)) return y;
  const s = x * x + y * y + 2 * y * radius + z * z;  // |p - c|^2 - R^2
  return s / (Math.sqrt(x * x + (y + radius) * (y + radius) + z * z) + radius);
}

// A square patch of ground of half-width `half` around (cx, cz), n cells a side: positions
// relative to the patch's own centre on the ground, and the triangles' indices.
export function groundPatch(cx, cz, radius, half, n) {
  const y0 = groundHeight(cx, cz, radius);
  const positions = new Float32Array((n + 1) * (n + 1) * 3);
  let k = 0;
  for (let i = 0; i <= n; ++i) {
    const dz = -half + (2 * half * i) / n;
    for (let j = 0; j <= n; ++j) {
      const dx = -half + (2 * half * j) / n;
      positions[k++] = dx;
      positions[k++] = groundHeight(cx + dx, cz + dz, radius) - y0;
      positions[k++] = dz;
    }
  }
  const indices = [];
  for (let i = 0; i < n; ++i)
    for (let j = 0; j < n; ++j) {
      const a = i * (n + 1) + j, b = a + 1, c = a + n + 1, d = c + 1;
      indices.push(a, c, b, b, c, d);
    }
  return { centre: [cx, y0, cz], positions, indices };
}

// Grid lines every `spacing` metres over a square of half-width `half` around (cx, cz), snapped
// to the spacing and lying on the ground `lift` metres up: segment end points relative to the
// grid's centre on the ground.
export function groundGrid(cx, cz, radius, half, spacing, lift) {
  const gx = Math.round(cx / spacing) * spacing, gz = Math.round(cz / spacing) * spacing;
  const y0 = groundHeight(gx, gz, radius);
  const at = (dx, dz) => [dx, groundHeight(gx + dx, gz + dz, radius) - y0 + lift, dz];
  const points = [];
  const step = spacing * 2;
  for (let a = -half; a <= half + 1e-9; a += spacing)
    for (let b = -half; b < half - 1e-9; b += step) {
      const e = Math.min(b + step, half);
      points.push(...at(a, b), ...at(a, e), ...at(b, a), ...at(e, a));
    }
  return { centre: [gx, y0, gz], points: new Float32Array(points) };
}
