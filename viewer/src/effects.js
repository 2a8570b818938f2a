// What lights up and streams out of a vessel: flares as glowing cones along their direction,
// beacons as glowing points, spot lights as lights, particle streams whose rate follows their
// thruster's level, emitted in a cone and stopped by the ground.
import * as THREE from 'three';
import { flip } from './model.js';
import { emissionVelocity, meetGround } from './stream.js';

let glowTexture = null;
function glow() {
  if (glowTexture) return glowTexture;
  const c = document.createElement('canvas');
  c.width = c.height = 64;
  const g = c.getContext('2d');
  const grad = g.createRadialGradient(32, 32, 0, 32, 32, 32);
  grad.addColorStop(0, 'rgba(255,255,255,1)');
  grad.addColorStop(0.25, 'rgba(255,255,255,0.8)');
  grad.addColorStop(1, 'rgba(255,255,255,0)');
  g.fillStyle = grad;
  g.fillRect(0, 0, 64, 64);
  glowTexture = new THREE.CanvasTexture(c);
  return glowTexture;
}

function sprite(colour, scale) {
  const s = new THREE.Sprite(new THREE.SpriteMaterial({
    map: glow(), color: colour, blending: THREE.AdditiveBlending, depthWrite: false, transparent: true,
  }));
  s.scale.setScalar(scale);
  return s;
}

// A particle stream's level mapped to its rate, as the simulator maps levels.
function mapped(st, level) {
  if (level <= 0) return 0;
  switch (st.levelmap) {
    case 0: return 1;
    case 2: return Math.sqrt(level);
    case 3: return Math.min(Math.max((level - st.lmin) / (st.lmax - st.lmin || 1), 0), 1);
    case 4: return Math.sqrt(Math.min(Math.max((level - st.lmin) / (st.lmax - st.lmin || 1), 0), 1));
    default: return level;
  }
}

// Particles are simulated in the scene's frame; a seeded generator keeps a picture of one time
// the same from one load to the next.
function random(seed) {
  let s = seed >>> 0 || 1;
  return () => ((s = (s * 1664525 + 1013904223) >>> 0) / 4294967296);
}

const kMaxParticles = 400;

// A flare: a cone of its length and width from its position along its direction, with a glow
// at its root. Its length follows the thruster's level.
function flareCone(f) {
  const group = new THREE.Group();
  const length = Math.max(f.length || f.width * 4, 0.2);
  const geo = new THREE.ConeGeometry(Math.max(f.width / 2, 0.05), 1, 16, 1, true);
  geo.translate(0, -0.5, 0);  // apex at -1, base at the origin: the flame grows along -y
  const cone = new THREE.Mesh(geo, new THREE.MeshBasicMaterial({
    color: 0xffd9a0, transparent: true, opacity: 0.6, blending: THREE.AdditiveBlending,
    depthWrite: false, side: THREE.DoubleSide,
  }));
  const holder = new THREE.Group();
  holder.add(cone);
  // Turn -y onto the flare's direction.
  holder.quaternion.setFromUnitVectors(new THREE.Vector3(0, -1, 0), flip(f.dir).normalize());
  group.add(holder);
  group.add(sprite(0xfff2d0, Math.max(f.width * 1.5, 0.4)));
  group.position.copy(flip(f.pos));
  return { group, cone, length };
}

export class Effects {
  // groundAt(x, z): the drawn ground's height under a point of the scene.
  constructor(decl, root, scene, name, groundAt = () => 0) {
    this.decl = decl;
    this.groundAt = groundAt;
    this.flares = decl.flares.map((f) => {
      const c = flareCone(f);
      root.add(c.group);
      return c;
    });
    this.beacons = decl.beacons.map((b) => {
      const s = sprite(new THREE.Color(b.colour[0], b.colour[1], b.colour[2]), Math.max(b.size * 4, 1.5));
      s.position.copy(flip(b.pos));
      root.add(s);
      return s;
    });
    this.spots = decl.spots.map((l) => {
      const c = new THREE.Color(l.colour[0], l.colour[1], l.colour[2]);
      const light = new THREE.SpotLight(c, 0, l.range, Math.min(l.penumbra / 2, Math.PI / 2.1), 0.4, 1);
      light.position.copy(flip(l.pos));
      const target = new THREE.Object3D();
      target.position.copy(flip(l.pos).add(flip(l.dir).multiplyScalar(10)));
      light.target = target;
      root.add(light, target);
      const lamp = sprite(c, 2.5);
      lamp.position.copy(flip(l.pos));
      root.add(lamp);
      return { light, lamp };
    });
    this.streams = decl.streams.map((st, i) => {
      const geo = new THREE.BufferGeometry();
      const pos = new Float32Array(kMaxParticles * 3);
      geo.setAttribute('position', new THREE.BufferAttribute(pos, 3));
      geo.setDrawRange(0, 0);
      const mat = new THREE.PointsMaterial({
        size: Math.min(Math.max(st.size + st.growth * st.lifetime * 0.25, 0.3), 12), map: glow(), transparent: true,
        depthWrite: false, opacity: 0.55,
        color: st.emissive ? 0xffc070 : 0xc8a888,
        blending: st.emissive ? THREE.AdditiveBlending : THREE.NormalBlending,
      });
      const points = new THREE.Points(geo, mat);
      points.frustumCulled = false;
      scene.add(points);
      return { st, points, particles: [], carry: 0, rnd: random(i * 7919 + name.length * 31 + 1) };
    });
    this.root = root;
  }

  // Lights and levels of one vessel state v at time t.
  set(v, t) {
    const level = (i) => (i >= 0 && v.th && i < v.th.length ? v.th[i] : 0);
    this.decl.flares.forEach((f, i) => {
      const l = level(f.thruster);
      const c = this.flares[i];
      c.group.visible = l > 0;
      c.cone.scale.set(1, c.length * Math.max(l, 0.05), 1);
      c.cone.material.opacity = Math.min(0.8, 0.25 + 0.5 * l);
    });
    this.decl.beacons.forEach((b, i) => {
      const on = v.b && v.b[i] === '1';
      const phase = b.period > 0 ? (((t + b.offset) % b.period) + b.period) % b.period : 0;
      this.beacons[i].visible = on && (b.period <= 0 || phase < Math.max(b.duration, 0.05));
    });
    this.decl.spots.forEach((l, i) => {
      const on = v.l && v.l[i] === '1';
      this.spots[i].light.intensity = on ? 150 : 0;
      this.spots[i].lamp.visible = on;
    });
  }

  // Moves the particles on by dt seconds, in the frame of the vessel's parent, where the
  // particles are drawn too.
  step(v, dt) {
    const m = this.root.matrix;
    for (const s of this.streams) {
      const { st } = s;
      const lvl = st.thruster >= 0 && v && v.th ? v.th[st.thruster] || 0 : 0;
      const rate = Math.min(st.rate * mapped(st, lvl), 200);
      s.carry += rate * dt;
      const origin = flip(st.pos).applyMatrix4(m);
      const dir = flip(st.dir).transformDirection(m);
      while (s.carry >= 1) {
        s.carry -= 1;
        const v = emissionVelocity([dir.x, dir.y, dir.z], st.v0, st.spread, s.rnd(), s.rnd(), s.rnd());
        if (s.particles.length >= kMaxParticles) s.particles.shift();
        s.particles.push({ p: [origin.x, origin.y, origin.z], v, age: 0 });
      }
      s.particles = s.particles.filter((p) => (p.age += dt) < st.lifetime);
      const arr = s.points.geometry.attributes.position.array;
      s.particles.forEach((p, k) => {
        for (let c = 0; c < 3; ++c) p.p[c] += p.v[c] * dt;
        meetGround(p.p, p.v, this.groundAt(p.p[0], p.p[2]));
        arr[3 * k] = p.p[0]; arr[3 * k + 1] = p.p[1]; arr[3 * k + 2] = p.p[2];
      });
      s.points.geometry.setDrawRange(0, s.particles.length);
      s.points.geometry.attributes.position.needsUpdate = true;
    }
  }

  clearParticles() {
    for (const s of this.streams) { s.particles = []; s.carry = 0; }
  }

  dispose(scene) {
    for (const s of this.streams) scene.remove(s.points);
  }
}
