// The replay page: reads the recording in the page, builds each vessel from its declaration,
// and plays the samples back with a timeline, cameras and the HUD. URL parameters: t=SECONDS
// (start there, paused), camera=follow|orbit|cockpit (cockpit of the focus vessel) or
// follow:NAME or cockpit:NAME, speed=X, ui=0 (no controls), dump=T1,T2,... (for tests: the
// group transforms at those times into the element #group-transforms, and each vessel's
// clearance above the drawn ground and the meshes drawn into #vessel-dump).
import * as THREE from 'three';
import { OrbitControls } from 'three/examples/jsm/controls/OrbitControls.js';
import { readRecording, vesselAt, sunAt, hudAt, quatMatrix, sampleIndex } from './recording.js';
import { poseGroups } from './pose.js';
import { buildModel, threeMatrix, flip } from './model.js';
import { Effects } from './effects.js';
import { buildUi } from './ui.js';
import { groundHeight, clearance, groundPatch, groundGrid } from './ground.js';

const rec = readRecording(document);
const params = new URLSearchParams(location.search);
const samples = rec.samples;
const t0 = samples.length ? samples[0].t : 0;
const t1 = samples.length ? samples[samples.length - 1].t : 0;
const mars = rec.body === 'Mars';
const radius = rec.ground_radius_m || 0;

// The scene.
const renderer = new THREE.WebGLRenderer({ antialias: true, preserveDrawingBuffer: true, logarithmicDepthBuffer: true });
renderer.setPixelRatio(window.devicePixelRatio || 1);
document.body.style.margin = '0';
document.body.style.overflow = 'hidden';
document.body.style.background = '#000';
document.body.appendChild(renderer.domElement);
const scene = new THREE.Scene();
const camera = new THREE.PerspectiveCamera(50, 1, 0.05, 200000);
const controls = new OrbitControls(camera, renderer.domElement);
// Everything of the run is drawn in `world`, the ground frame turned about the body's centre so
// that the up of the followed vessel's place is the view's up: far from the start point the
// horizon stays level and the orbit camera turns about the local vertical.
const world = new THREE.Group();
world.matrixAutoUpdate = false;
scene.add(world);

// The ground: the body's sphere, drawn as a fine patch around the followed vessel and a coarse
// one out to the horizon (a little below the fine one, as its chords lie inside the sphere), and
// a 10 m grid lying on it; all three are moved along with the vessel.
const groundMaterial = new THREE.MeshStandardMaterial({ color: mars ? 0x9a5a36 : 0x5d6b4a, roughness: 1 });
function patchLayer(half, cells, reach) {
  const mesh = new THREE.Mesh(new THREE.BufferGeometry(), groundMaterial);
  world.add(mesh);
  return { mesh, half, cells, reach, at: null };
}
const groundLayers = [patchLayer(10000, 100, 2000), patchLayer(800000, 80, 100000)];
const gridLines = new THREE.LineSegments(new THREE.BufferGeometry(),
  new THREE.LineBasicMaterial({ color: 0x000000, transparent: true, opacity: 0.25 }));
gridLines.userData.at = null;
world.add(gridLines);

// Ground-frame (x, z) of a three.js position: z is negated, which the sphere does not mind.
function placeGround(centre) {
  for (const layer of groundLayers) {
    if (layer.at && Math.hypot(centre.x - layer.at[0], centre.z - layer.at[1]) < layer.reach) continue;
    const p = groundPatch(centre.x, centre.z, radius, layer.half, layer.cells);
    const geo = new THREE.BufferGeometry();
    geo.setAttribute('position', new THREE.BufferAttribute(p.positions, 3));
    geo.setIndex(p.indices);
    geo.computeVertexNormals();
    layer.mesh.geometry.dispose();
    layer.mesh.geometry = geo;
    layer.mesh.position.set(p.centre[0], p.centre[1], p.centre[2]);
    layer.at = [centre.x, centre.z];
  }
  const g = groundGrid(centre.x, centre.z, radius, 1000, 10, 0.02);
  const at = gridLines.userData.at;
  if (!at || at[0] !== g.centre[0] || at[1] !== g.centre[2]) {
    const geo = new THREE.BufferGeometry();
    geo.setAttribute('position', new THREE.BufferAttribute(g.points, 3));
    gridLines.geometry.dispose();
    gridLines.geometry = geo;
    gridLines.position.set(g.centre[0], g.centre[1], g.centre[2]);
    gridLines.userData.at = [g.centre[0], g.centre[2]];
  }
}

const sunLight = new THREE.DirectionalLight(0xfff4e0, 2);
world.add(sunLight, sunLight.target);
const ambient = new THREE.HemisphereLight(0xffffff, 0x404040, 0.5);
scene.add(ambient);

// Vessels: one model per declaration, swapped when a module declared more.
const vessels = rec.vessels.map((v, index) => ({ index, name: v.name, v, model: null, decl: -1 }));
function modelFor(ves, d) {
  if (ves.decl === d) return ves.model;
  if (ves.model) { world.remove(ves.model.root); ves.model.effects.dispose(world); }
  const decl = ves.v.declarations[d];
  const m = buildModel(decl);
  // How large the vessel looks: its meshes' extent, or its size where it has none.
  const box = new THREE.Box3().setFromObject(m.root);
  const sphere = box.isEmpty() ? null : box.getBoundingSphere(new THREE.Sphere());
  m.viewRadius = sphere ? Math.max(Math.min(sphere.radius, decl.size || sphere.radius), 1) : Math.max(decl.size || 2, 1);
  m.effects = new Effects(decl, m.root, world, ves.name, (x, z) => groundHeight(x, z, radius));
  m.decl = decl;
  world.add(m.root);
  ves.model = m;
  ves.decl = d;
  return m;
}

// The transforms worked out for the last pose, for tests: one line per animated group,
// "VESSEL MESH GROUP r11 r12 r13 r21 r22 r23 r31 r32 r33 t1 t2 t3" in the vessel frame.
const dump = document.createElement('pre');
dump.id = 'group-transforms';
dump.style.display = 'none';
document.body.appendChild(dump);

let now = params.has('t') ? Math.min(Math.max(parseFloat(params.get('t')) || 0, t0), t1) : t0;
let playing = !params.has('t');
let speed = parseFloat(params.get('speed')) || 1;
let cameraMode = params.get('camera') || 'follow';
if (cameraMode === 'cockpit') cameraMode = 'cockpit:';

// With lines, the transforms are written there too (the tests' dump); a shown frame builds none.
function pose(t, lines = null) {
  for (const ves of vessels) {
    const s = vesselAt(rec, ves.index, t);
    if (!s) { if (ves.model) ves.model.root.visible = false; continue; }
    const m = modelFor(ves, s.d);
    m.root.visible = true;
    m.root.matrix.copy(threeMatrix(quatMatrix(s.q), s.p));
    m.root.matrixWorldNeedsUpdate = true;
    ves.state = s;
    // Each mesh as its visibility mode says: outside views draw the external ones, a vessel's
    // own cockpit its cockpit ones (so that it does not look at the inside of its hull).
    const bit = cameraMode === `cockpit:${ves.name}` || (cameraMode === 'cockpit:' && ves === focusVessel()) ? 2 : 1;
    m.meshes.forEach((holder, i) => {
      holder.visible = !s.mv || i >= s.mv.length || (Number(s.mv[i]) & bit) !== 0;
    });
    const poses = poseGroups(m.decl.animations, s.a);
    for (const [key, part] of m.parts) {
      const p = poses.get(key);
      part.matrix.copy(p ? threeMatrix(p.r, p.t) : new THREE.Matrix4());
      part.matrixWorldNeedsUpdate = true;
    }
    if (lines) {
      for (const [key, p] of poses) {
        const [mesh, group] = key.split(':');
        lines.push([ves.name, mesh, group, ...p.r.map((x) => x.toFixed(6)), ...p.t.map((x) => x.toFixed(6))].join(' '));
      }
    }
    m.effects.set(s, t);
  }
  return lines;
}

// Sky and sunlight by the Sun's elevation.
const nightSky = new THREE.Color(0x03050b);
const twilightSky = new THREE.Color(mars ? 0x4a4a66 : 0x3a4a78);
const daySky = new THREE.Color(mars ? 0xc8a07a : 0x7fb0e8);
function sky(t) {
  const sun = sunAt(rec, t);
  const el = Math.asin(Math.max(-1, Math.min(1, sun[1])));
  const day = Math.min(Math.max((el + 0.1) / 0.3, 0), 1);
  const colour = day < 0.5 ? nightSky.clone().lerp(twilightSky, day * 2)
    : twilightSky.clone().lerp(daySky, (day - 0.5) * 2);
  scene.background = colour;
  sunLight.intensity = 2.5 * Math.max(Math.sin(el), 0);
  // Enough light at night to see the vessels by, as a screen shows a night scene.
  ambient.intensity = 0.45 + 0.4 * day;
  return { sun, day };
}

// The vessel that has the focus at the time shown.
function focusVessel() {
  const s = samples[sampleIndex(samples, now)];
  const f = s && s.focus >= 0 ? vessels[s.focus] : null;
  return (f && f.state ? f : null) || vessels.find((v) => v.state);
}

// Turns the world about the body's centre (0, -R, 0) so that the radius through p points up.
function levelWorld(p) {
  if (!(radius > 0)) return;
  const up = new THREE.Vector3(p.x, p.y + radius, p.z).normalize();
  const turn = new THREE.Matrix4().makeRotationFromQuaternion(
    new THREE.Quaternion().setFromUnitVectors(up, new THREE.Vector3(0, 1, 0)));
  world.matrix.makeTranslation(0, -radius, 0).multiply(turn)
    .multiply(new THREE.Matrix4().makeTranslation(0, radius, 0));
  world.matrixWorldNeedsUpdate = true;
}

// The vessel the camera follows: the one named by "follow:NAME" while it exists, else the focus.
function followedVessel() {
  if (cameraMode.startsWith('follow:')) {
    const v = vessels.find((w) => w.name === cameraMode.slice(7) && w.state);
    if (v) return v;
  }
  return focusVessel();
}

let lastFocusPos = null, lastFocus = null;
function placeCamera(first) {
  const f = followedVessel();
  if (!f) return;
  levelWorld(flip(f.state.p));
  if (f !== lastFocus) { first = true; lastFocus = f; }
  const size = f.model.viewRadius;
  const at = flip(f.state.p).applyMatrix4(world.matrix).add(new THREE.Vector3(0, size * 0.3, 0));
  if (cameraMode.startsWith('cockpit:')) {
    // "cockpit:" alone: the focus vessel's.
    const ves = vessels.find((v) => v.name === cameraMode.slice(8) && v.state) || f;
    const cam = ves.v.cameras[ves.state.c] || { offset: [0, 0, 0], dir: [0, 0, 1], tilt: 0 };
    const m = ves.model.root.matrix.clone().premultiply(world.matrix);
    camera.position.copy(flip(cam.offset).applyMatrix4(m));
    // The camera's frame is the vessel's turned by the shortest way from +z onto the direction,
    // then tilted about the direction: looking along +y, its up is the vessel's -z.
    const local = flip(cam.dir).normalize();
    const turn = new THREE.Quaternion().setFromUnitVectors(new THREE.Vector3(0, 0, -1), local);
    const up = new THREE.Vector3(0, 1, 0).applyQuaternion(turn).applyAxisAngle(local, -cam.tilt);
    const dir = local.clone().transformDirection(m);
    camera.up.copy(up.transformDirection(m));
    camera.lookAt(camera.position.clone().add(dir));
    controls.enabled = false;
    return;
  }
  controls.enabled = true;
  if (cameraMode.startsWith('follow') || first || !lastFocusPos) {
    if (first || !lastFocusPos) {
      controls.target.copy(at);
      camera.position.copy(at).add(new THREE.Vector3(size * 2.4, size * 0.9, size * 3.3));
    } else {
      const moved = at.clone().sub(lastFocusPos);
      controls.target.add(moved);
      camera.position.add(moved);
    }
    const floor = groundHeight(camera.position.x, camera.position.z, radius) + 0.5;
    if (camera.position.y < floor) camera.position.y = floor;
  }
  lastFocusPos = at;
  camera.up.set(0, 1, 0);
  controls.update();
}

// HUD texts over the view, at their places on a 1024 x 768 HUD.
const hud = document.createElement('canvas');
Object.assign(hud.style, { position: 'absolute', left: '0', top: '0', pointerEvents: 'none' });
document.body.appendChild(hud);
function drawHud(t) {
  const g = hud.getContext('2d');
  g.clearRect(0, 0, hud.width, hud.height);
  if (!ui.showHud()) return;
  const sx = hud.width / 1024, sy = hud.height / 768;
  g.font = `${Math.max(10, Math.round(15 * sy))}px monospace`;
  g.textBaseline = 'top';
  for (const [x, y, text, colour] of hudAt(rec, t)) {
    g.fillStyle = `rgb(${colour & 255},${(colour >> 8) & 255},${(colour >> 16) & 255})`;
    g.fillText(text, x * sx, y * sy);
  }
}

const ui = buildUi(rec, {
  t0, t1,
  seek: (t) => { now = t; resetParticles(); },
  play: (p) => { playing = p; },
  speed: (s) => { speed = s; },
  camera: (c) => { cameraMode = c; placeCamera(true); },
  cameras: ['follow', ...vessels.map((v) => `follow:${v.name}`), 'orbit', 'cockpit:', ...vessels.filter((v) => v.v.cameras.length).map((v) => `cockpit:${v.name}`)],
  initialCamera: cameraMode,
  playing: () => playing,
});

// Particles are worked out again from the seconds before a time that is jumped to.
function resetParticles() {
  for (const v of vessels) if (v.model) v.model.effects.clearParticles();
  const from = Math.max(t0, now - 6);
  for (let t = from; t < now; t += 1 / 30) {
    pose(t);
    scene.updateMatrixWorld();
    for (const v of vessels) if (v.model && v.state) v.model.effects.step(v.state, 1 / 30);
  }
}

function resize() {
  const w = window.innerWidth || 800, h = window.innerHeight || 600;
  renderer.setSize(w, h);
  hud.width = w;
  hud.height = h;
  camera.aspect = w / h;
  camera.updateProjectionMatrix();
}
window.addEventListener('resize', resize);
resize();

function frame(dt) {
  pose(now);
  const { sun } = sky(now);
  scene.updateMatrixWorld();
  for (const v of vessels) if (v.model && v.state) v.model.effects.step(v.state, dt);
  placeCamera(false);
  const f = followedVessel();
  const centre = f ? flip(f.state.p) : new THREE.Vector3();
  sunLight.position.copy(centre).add(flip(sun).multiplyScalar(500));
  sunLight.target.position.copy(centre);
  placeGround(centre);
  renderer.render(scene, camera);
  drawHud(now);
  ui.update(now);
}

// For tests: the poses at the times asked for, and what the page read of the recording.
// "T NAME clearance_m C meshes I,J,...": the lowest touchdown point's height above the drawn
// ground, and the meshes drawn from outside.
const vesselDump = document.createElement('pre');
vesselDump.id = 'vessel-dump';
vesselDump.style.display = 'none';
document.body.appendChild(vesselDump);
function vesselLines(t) {
  const lines = [];
  for (const ves of vessels) {
    if (!vesselAt(rec, ves.index, t) || !ves.model) continue;
    const m = ves.model.root.matrix;
    let low = Infinity;
    for (const p of ves.model.decl.touchdown) {
      const w = flip(p).applyMatrix4(m);
      low = Math.min(low, clearance([w.x, w.y, w.z], radius));
    }
    const drawn = [];
    ves.model.meshes.forEach((holder, i) => { if (holder.visible) drawn.push(i); });
    lines.push(`${t} ${ves.name} clearance_m ${Number.isFinite(low) ? low.toFixed(3) : 'none'} meshes ${drawn.join(',')}`);
  }
  return lines;
}
if (params.has('dump')) {
  const lines = [`samples ${samples.length} ${t0} ${t1}`];
  const vlines = [];
  const outside = cameraMode;
  cameraMode = 'follow';
  for (const t of params.get('dump').split(',').map(parseFloat)) {
    lines.push(`time ${t}`);
    pose(t, lines);
    vlines.push(...vesselLines(t));
  }
  cameraMode = outside;
  dump.textContent = lines.join('\n');
  vesselDump.textContent = vlines.join('\n');
}
if (params.get('ui') === '0') ui.hide();

// The first picture is drawn at once, so that a screenshot taken at load shows it.
resetParticles();
pose(now);
placeCamera(true);
frame(0);
document.body.dataset.ready = '1';

let last = performance.now();
function loop(ms) {
  const dt = Math.min((ms - last) / 1000, 0.1);
  last = ms;
  if (playing) {
    now += dt * speed;
    if (now >= t1) { now = t1; playing = false; }
  }
  frame(playing ? dt * speed : 0);
  requestAnimationFrame(loop);
}
requestAnimationFrame(loop);
