// A vessel as three.js objects. The stand-in's frames are left-handed (x right, y up, z forward;
// the ground frame x east, y up, z north); three.js is right-handed, so every position has its
// z negated and every matrix M becomes F M F with F = diag(1, 1, -1).
import * as THREE from 'three';

export const flip = (v) => new THREE.Vector3(v[0], v[1], -v[2]);

// The Matrix4 of an affine map {r, t} of a left-handed frame, in three.js's frame.
export function threeMatrix(r, t) {
  const m = new THREE.Matrix4();
  m.set(
    r[0], r[1], -r[2], t[0],
    r[3], r[4], -r[5], t[1],
    -r[6], -r[7], r[8], -t[2],
    0, 0, 0, 1);
  return m;
}

const palette = [0xb8b8b0, 0x8c8c86, 0xd4c27a, 0x9aa6b2, 0x6e6e6a, 0xc9c9c2];

function material(name, index) {
  const m = /^rgb_([0-9a-fA-F]{6})$/.exec(name || '');
  const colour = m ? parseInt(m[1], 16) : palette[index % palette.length];
  return new THREE.MeshStandardMaterial({
    color: colour, roughness: 0.8, metalness: 0.15, flatShading: true, side: THREE.DoubleSide,
  });
}

// The animated groups of a declaration and a reference point for each, for markers.
function animatedGroups(decl) {
  const groups = new Map();
  for (const comps of decl.animations)
    for (const c of comps)
      for (const g of c.groups) {
        const key = `${c.mesh}:${g}`;
        if (!groups.has(key) || (!groups.get(key) && c.ref)) groups.set(key, c.ref || null);
      }
  return groups;
}

function fallbackMesh(decl, meshIndex, root, parts) {
  const size = Math.max(decl.size || 1, 0.2);
  const body = new THREE.Mesh(
    new THREE.SphereGeometry(size, 16, 10),
    new THREE.MeshBasicMaterial({ color: 0x9fb3c8, wireframe: true, transparent: true, opacity: 0.35 }));
  root.add(body);
  const foot = new THREE.MeshStandardMaterial({ color: 0xe0a040 });
  for (const p of decl.touchdown) {
    const s = new THREE.Mesh(new THREE.SphereGeometry(size * 0.06 + 0.05, 8, 6), foot);
    s.position.copy(flip(p));
    root.add(s);
    const line = new THREE.BufferGeometry().setFromPoints([new THREE.Vector3(), flip(p)]);
    root.add(new THREE.Line(line, new THREE.LineBasicMaterial({ color: 0xe0a040 })));
  }
  // A marker for each animated group, posed with it.
  let k = 0;
  for (const [key, ref] of animatedGroups(decl)) {
    if (!key.startsWith(`${meshIndex}:`)) continue;
    const marker = new THREE.Mesh(
      new THREE.OctahedronGeometry(size * 0.05 + 0.05),
      new THREE.MeshStandardMaterial({ color: new THREE.Color().setHSL((k++ * 0.17) % 1, 0.8, 0.55) }));
    const at = flip(ref || [0, 0, 0]);
    marker.geometry.translate(at.x, at.y, at.z);
    marker.matrixAutoUpdate = false;
    root.add(marker);
    parts.set(key, marker);
  }
}

// Builds a vessel's objects from one of its declarations. Returns the root, the animated parts
// by "mesh:group", and each mesh's holder in declaration order (for its visibility).
export function buildModel(decl) {
  const root = new THREE.Group();
  root.matrixAutoUpdate = false;
  const parts = new Map();
  const meshes = [];
  decl.meshes.forEach((mesh, mi) => {
    const holder = new THREE.Group();
    holder.position.copy(flip(mesh.offset));
    root.add(holder);
    meshes.push(holder);
    if (!mesh.groups) {
      fallbackMesh(decl, mi, holder, parts);
      return;
    }
    mesh.groups.forEach((g, gi) => {
      if (!g.f.length) return;
      const pos = new Float32Array(g.v.length);
      for (let i = 0; i < g.v.length; i += 3) {
        pos[i] = g.v[i]; pos[i + 1] = g.v[i + 1]; pos[i + 2] = -g.v[i + 2];
      }
      const geo = new THREE.BufferGeometry();
      geo.setAttribute('position', new THREE.BufferAttribute(pos, 3));
      geo.setIndex(g.f);
      geo.computeVertexNormals();
      const m = new THREE.Mesh(geo, material(g.material, gi));
      m.matrixAutoUpdate = false;
      holder.add(m);
      parts.set(`${mi}:${gi}`, m);
    });
  });
  if (!decl.meshes.length) fallbackMesh(decl, 0, root, parts);
  return { root, parts, meshes };
}
