// The recording inside the page, and the state of each vessel at any time between samples.

export function readRecording(doc) {
  const el = doc.getElementById('recording');
  return JSON.parse(el.textContent);
}

// Index of the last sample at or before t (0 before the first).
export function sampleIndex(samples, t) {
  let lo = 0, hi = samples.length - 1;
  if (hi < 0 || t <= samples[0].t) return 0;
  if (t >= samples[hi].t) return hi;
  while (hi - lo > 1) {
    const mid = (lo + hi) >> 1;
    if (samples[mid].t <= t) lo = mid; else hi = mid;
  }
  return lo;
}

const lerp = (a, b, f) => a + (b - a) * f;

// A vessel's state at time t: position and attitude, animation states and thruster levels
// interpolated between the samples around t; lights, camera and declaration of the earlier one.
export function vesselAt(rec, index, t) {
  const s = rec.samples;
  const i = sampleIndex(s, t);
  const a = s[i].v[index];
  if (!a) return null;
  const j = Math.min(i + 1, s.length - 1);
  const b = s[j].v[index];
  const span = s[j].t - s[i].t;
  const f = b && span > 0 ? Math.min(Math.max((t - s[i].t) / span, 0), 1) : 0;
  if (f === 0 || !b || b.d !== a.d) return { ...a, sample: i };
  let qb = b.q;
  const dot = a.q[0] * qb[0] + a.q[1] * qb[1] + a.q[2] * qb[2] + a.q[3] * qb[3];
  if (dot < 0) qb = qb.map((x) => -x);
  const q = a.q.map((x, k) => lerp(x, qb[k], f));
  const n = Math.hypot(...q);
  return {
    ...a,
    p: a.p.map((x, k) => lerp(x, b.p[k], f)),
    q: q.map((x) => x / n),
    a: a.a.map((x, k) => (k < b.a.length ? lerp(x, b.a[k], f) : x)),
    th: a.th.map((x, k) => (k < b.th.length ? lerp(x, b.th[k], f) : x)),
    sample: i,
  };
}

export function sunAt(rec, t) {
  const s = rec.samples[sampleIndex(rec.samples, t)];
  return s ? s.sun : [0, 1, 0];
}

export function hudAt(rec, t) {
  const s = rec.samples[sampleIndex(rec.samples, t)];
  return s && s.hud >= 0 ? rec.huds[s.hud] : [];
}

// Rotation matrix, row by row, of a unit quaternion w, x, y, z.
export function quatMatrix([w, x, y, z]) {
  return [
    1 - 2 * (y * y + z * z), 2 * (x * y - w * z), 2 * (x * z + w * y),
    2 * (x * y + w * z), 1 - 2 * (x * x + z * z), 2 * (y * z - w * x),
    2 * (x * z - w * y), 2 * (y * z + w * x), 1 - 2 * (x * x + y * y)];
}
