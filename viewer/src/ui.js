// The controls over the view: play and pause, speed, camera, a timeline with the run's events
// marked, the latest events, and the recording's notes and warnings.

const marked = {
  separation: '#ffcc33', touchdown: '#33ff88', liftoff: '#ff6633', launch: '#ff3366',
};

function el(tag, style, parent, text) {
  const e = document.createElement(tag);
  Object.assign(e.style, style || {});
  if (text !== undefined) e.textContent = text;
  if (parent) parent.appendChild(e);
  return e;
}

export function buildUi(rec, h) {
  const font = { font: '13px sans-serif', color: '#e8e8e8' };
  const bar = el('div', {
    position: 'absolute', left: '0', right: '0', bottom: '0', padding: '6px 10px',
    background: 'rgba(0,0,0,0.55)', ...font, zIndex: 2,
  }, document.body);
  const row = el('div', { display: 'flex', gap: '8px', alignItems: 'center' }, bar);
  const play = el('button', {}, row, h.playing() ? 'Pause' : 'Play');
  play.id = 'play';
  play.onclick = () => { const p = !h.playing(); h.play(p); play.textContent = p ? 'Pause' : 'Play'; };
  const speed = el('select', {}, row);
  for (const s of [0.25, 0.5, 1, 2, 5, 10, 30]) {
    const o = el('option', {}, speed, `${s}x`);
    o.value = String(s);
    if (s === 1) o.selected = true;
  }
  speed.onchange = () => h.speed(parseFloat(speed.value));
  const cam = el('select', {}, row);
  for (const c of h.cameras) {
    const o = el('option', {}, cam, c === 'cockpit:' ? 'cockpit of the focus vessel' : c.replace('cockpit:', 'cockpit of ').replace('follow:', 'follow '));
    o.value = c;
    if (c === h.initialCamera) o.selected = true;
  }
  cam.onchange = () => h.camera(cam.value);
  const hudLabel = el('label', {}, row, ' HUD');
  const hudBox = el('input', {}, null);
  hudBox.type = 'checkbox';
  hudBox.checked = true;
  hudLabel.prepend(hudBox);
  const clock = el('span', { minWidth: '9em', fontFamily: 'monospace' }, row);
  const latest = el('span', { flex: '1', opacity: 0.85, whiteSpace: 'nowrap', overflow: 'hidden' }, row);

  const track = el('div', { position: 'relative', marginTop: '4px' }, bar);
  const slider = el('input', { width: '100%' }, track);
  slider.type = 'range';
  slider.min = String(h.t0);
  slider.max = String(h.t1);
  slider.step = 'any';
  slider.oninput = () => h.seek(parseFloat(slider.value));
  const span = h.t1 - h.t0 || 1;
  for (const e of rec.events) {
    const colour = marked[e.kind];
    if (!colour) continue;
    const m = el('div', {
      position: 'absolute', top: '-6px', width: '3px', height: '8px', background: colour,
      left: `calc(${((e.t - h.t0) / span) * 100}% - 1px)`, cursor: 'pointer',
    }, track);
    m.title = `${e.t.toFixed(2)} s: ${e.text}`;
    m.className = `mark mark-${e.kind}`;
    m.onclick = () => h.seek(e.t);
  }

  const notes = [...(rec.notes || []), ...(rec.mesh_warnings || [])];
  let box = null;
  if (notes.length) {
    box = el('div', {
      position: 'absolute', left: '0', right: '0', top: '0', padding: '4px 10px',
      background: 'rgba(120,60,0,0.75)', ...font, zIndex: 2,
    }, document.body);
    box.id = 'notes';
    for (const n of notes) el('div', {}, box, `warning: ${n}`);
  }

  return {
    showHud: () => hudBox.checked,
    hide() {
      bar.style.display = 'none';
      if (box) box.style.display = 'none';
    },
    update(t) {
      clock.textContent = `${t.toFixed(2)} s / ${h.t1.toFixed(1)} s`;
      if (document.activeElement !== slider) slider.value = String(t);
      let text = '';
      for (const e of rec.events) if (e.t <= t) text = `${e.t.toFixed(2)} s: ${e.text}`;
      latest.textContent = text;
      play.textContent = h.playing() ? 'Pause' : 'Play';
    },
  };
}
