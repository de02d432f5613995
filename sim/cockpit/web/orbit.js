// The orbit view: the orbit seen from above its plane, periapsis to the right.
// The body is drawn to scale; the auto-burn window is the highlighted arc.
'use strict';

// Sizes a canvas's pixels to its place on the page at the screen's pixel
// ratio (sharp on a phone's 3x screen) and gives its size in CSS px, which
// the drawing uses as its units. `aspect` is height / width.
function deviceCanvas(canvas, g, aspect) {
  const ratio = window.devicePixelRatio || 1;
  const w = canvas.clientWidth || 440, h = Math.round(w * aspect);
  const pw = Math.round(w * ratio), ph = Math.round(h * ratio);
  if (canvas.width !== pw || canvas.height !== ph) {
    canvas.width = pw;
    canvas.height = ph;
  }
  g.setTransform(ratio, 0, 0, ratio, 0, 0);
  return { w, h };
}

class ZolkOrbit {
  static TRACK = 4;  // frames of track drawn
  constructor(canvas) {
    this.canvas = canvas;
    this.g = canvas.getContext('2d');
    this.aspect = canvas.height / canvas.width;
    this.scale = 0;      // px per m, kept while the orbit fits
    this.subject = '';   // whose orbit: another vessel or body starts afresh
    this.track = [];     // the vessel's recent true anomalies (rad), oldest first
  }

  // Keeps the scale while the orbit fits the view and does not shrink to a
  // small part of it, so that a growing orbit is seen to grow.
  fitScale(fit) {
    if (!this.scale || fit < this.scale || fit > 3 * this.scale) this.scale = 0.8 * fit;
    return this.scale;
  }

  caption(o, vessel, body) {
    if (!vessel) return 'Orbit: none (no display shows the page)';
    if (!o) return 'Orbit: none (no vessel "' + vessel + '" about a body "' + body + '" in this world)';
    const km = m => (m / 1000).toLocaleString('en-US', { maximumFractionDigits: 0 }) + ' km';
    const ap = o.e < 1 ? 'Ap ' + km(o.apoapsis - o.radius) : 'escaping';
    return (vessel || 'Vessel') + ' about ' + o.body + ': Pe ' + km(o.periapsis - o.radius) + ', ' + ap +
      ', e ' + o.e.toFixed(4) + (o.burning ? ', burning' : '');
  }

  draw(o, subject) {
    const g = this.g, { w, h } = deviceCanvas(this.canvas, g, this.aspect);
    g.clearRect(0, 0, w, h);
    if (subject !== this.subject) {
      this.subject = subject;
      this.scale = 0;
      this.track = [];
    }
    if (!o) return;
    const p = o.periapsis * (1 + o.e);                           // semi-latus rectum
    const far = o.e < 1 ? o.apoapsis : Math.max(3 * o.periapsis, Math.hypot(o.x, o.y));
    // The orbit's centre sits at -a*e; fit the whole ellipse (or the near part of an open orbit).
    const cx = o.e < 1 ? (o.periapsis - o.apoapsis) / 2 : 0;
    const halfWidth = o.e < 1 ? (o.periapsis + o.apoapsis) / 2 : far;
    const halfHeight = o.e < 1 ? halfWidth * Math.sqrt(1 - o.e * o.e) : far;
    const scale = this.fitScale(0.42 * Math.min(w, h) / Math.max(halfWidth, halfHeight, o.radius));
    const X = x => w / 2 + (x - cx) * scale, Y = y => h / 2 - y * scale;
    const at = nu => { const r = p / (1 + o.e * Math.cos(nu)); return [X(r * Math.cos(nu)), Y(r * Math.sin(nu))]; };

    // The body, to scale.
    g.fillStyle = '#1d4f8a';
    g.beginPath();
    g.arc(X(0), Y(0), o.radius * scale, 0, 2 * Math.PI);
    g.fill();

    // The orbit: the whole ellipse, or an open orbit as far as it shows.
    const limit = o.e < 1 ? Math.PI : Math.acos(-1 / o.e) * 0.97;
    const path = (from, to) => {
      g.beginPath();
      for (let i = 0; i <= 240; i++) {
        const [x, y] = at(from + (to - from) * i / 240);
        i ? g.lineTo(x, y) : g.moveTo(x, y);
      }
    };
    g.strokeStyle = '#7fd07f';
    g.lineWidth = 1.5;
    path(-limit, limit);
    g.stroke();

    if (o.windowTo > o.windowFrom) {
      g.strokeStyle = o.burning ? '#ffb040' : 'rgba(240, 160, 48, 0.55)';
      g.lineWidth = 5;
      path(o.windowFrom, o.windowTo);
      g.stroke();
    }

    // Periapsis and apoapsis.
    const mark = (nu, label) => {
      const [x, y] = at(nu);
      g.fillStyle = '#e0e0e0';
      g.beginPath();
      g.arc(x, y, 3.5, 0, 2 * Math.PI);
      g.fill();
      g.font = '12px "DejaVu Sans Mono", monospace';
      g.fillText(label, x + (nu === 0 ? -22 : 8), y - 8);
    };
    mark(0, 'Pe');
    if (o.e < 1) mark(Math.PI, 'Ap');

    // The recent track: along the orbit from each of the last frames' places
    // to the next, so that at high warp the path shows, not jumps.
    const nu = Math.atan2(o.y, o.x);
    if (!this.track.length || this.track[this.track.length - 1] !== nu) this.track.push(nu);
    if (this.track.length > ZolkOrbit.TRACK) this.track.shift();
    for (let i = 1; i < this.track.length; i++) {
      let from = this.track[i - 1], to = this.track[i];
      if (to < from) to += 2 * Math.PI;  // the vessel moves towards larger anomalies
      if (o.e >= 1 && (Math.abs(from) > limit || Math.abs(to) > limit)) continue;
      g.strokeStyle = 'rgba(255, 255, 255, ' + (0.25 + 0.6 * i / this.track.length).toFixed(2) + ')';
      g.lineWidth = 3;
      path(from, to);
      g.stroke();
    }

    // The vessel, and its thrust while the engines burn.
    const vx = X(o.x), vy = Y(o.y);
    if (o.burning && (o.thrustX || o.thrustY)) {
      const len = 36;
      const tx = vx + o.thrustX * len, ty = vy - o.thrustY * len;
      g.strokeStyle = '#ff5030';
      g.fillStyle = '#ff5030';
      g.lineWidth = 2.5;
      g.beginPath();
      g.moveTo(vx, vy);
      g.lineTo(tx, ty);
      g.stroke();
      const angle = Math.atan2(ty - vy, tx - vx);
      g.beginPath();
      g.moveTo(tx, ty);
      g.lineTo(tx - 9 * Math.cos(angle - 0.4), ty - 9 * Math.sin(angle - 0.4));
      g.lineTo(tx - 9 * Math.cos(angle + 0.4), ty - 9 * Math.sin(angle + 0.4));
      g.fill();
    }
    g.fillStyle = '#ffffff';
    g.beginPath();
    g.arc(vx, vy, 4.5, 0, 2 * Math.PI);
    g.fill();

    // A scale bar of a round number of kilometres, about a fifth of the view.
    const barKm = roundStep(w / 5 / scale / 1000, 1);
    const barPx = barKm * 1000 * scale;
    g.strokeStyle = '#d8d8d0';
    g.lineWidth = 1.5;
    g.beginPath();
    g.moveTo(w - 12 - barPx, h - 22); g.lineTo(w - 12 - barPx, h - 16); g.lineTo(w - 12, h - 16); g.lineTo(w - 12, h - 22);
    g.stroke();
    g.fillStyle = '#d8d8d0';
    g.font = '11px "DejaVu Sans Mono", monospace';
    g.textAlign = 'right';
    g.fillText(barKm.toLocaleString('en-US') + ' km', w - 12, h - 26);
    g.textAlign = 'left';

    g.fillStyle = '#a0a4aa';
    g.fillText('auto-burn window', 8, h - 24);
    g.fillStyle = '#f0a030';
    g.fillRect(130, h - 30, 18, 4);
    g.fillStyle = '#a0a4aa';
    g.fillText('thrust', 8, h - 10);
    g.fillStyle = '#ff5030';
    g.fillRect(130, h - 15, 18, 3);
  }
}
