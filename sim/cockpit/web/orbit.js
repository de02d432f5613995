// The orbit view: the orbit seen from above its plane, periapsis to the right.
// The body is drawn to scale; the auto-burn window is the highlighted arc.
'use strict';

class ZolkOrbit {
  constructor(canvas) {
    this.canvas = canvas;
    this.g = canvas.getContext('2d');
  }

  caption(o, vessel, body) {
    if (!vessel) return 'Orbit: none (no display shows the page)';
    if (!o) return 'Orbit: none (no vessel "' + vessel + '" about a body "' + body + '" in this world)';
    const km = m => (m / 1000).toLocaleString('en-US', { maximumFractionDigits: 0 }) + ' km';
    const ap = o.e < 1 ? 'Ap ' + km(o.apoapsis - o.radius) : 'escaping';
    return (vessel || 'Vessel') + ' about ' + o.body + ': Pe ' + km(o.periapsis - o.radius) + ', ' + ap +
      ', e ' + o.e.toFixed(4) + (o.burning ? ', burning' : '');
  }

  draw(o) {
    const g = this.g, w = this.canvas.width, h = this.canvas.height;
    g.clearRect(0, 0, w, h);
    if (!o) return;
    const p = o.periapsis * (1 + o.e);                           // semi-latus rectum
    const far = o.e < 1 ? o.apoapsis : Math.max(3 * o.periapsis, Math.hypot(o.x, o.y));
    // The orbit's centre sits at -a*e; fit the whole ellipse (or the near part of an open orbit).
    const cx = o.e < 1 ? (o.periapsis - o.apoapsis) / 2 : 0;
    const halfWidth = o.e < 1 ? (o.periapsis + o.apoapsis) / 2 : far;
    const halfHeight = o.e < 1 ? halfWidth * Math.sqrt(1 - o.e * o.e) : far;
    const scale = 0.42 * Math.min(w, h) / Math.max(halfWidth, halfHeight, o.radius);
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

    g.fillStyle = '#a0a4aa';
    g.font = '11px "DejaVu Sans Mono", monospace';
    g.fillText('auto-burn window', 8, h - 24);
    g.fillStyle = '#f0a030';
    g.fillRect(130, h - 30, 18, 4);
    g.fillStyle = '#a0a4aa';
    g.fillText('thrust', 8, h - 10);
    g.fillStyle = '#ff5030';
    g.fillRect(130, h - 15, 18, 3);
  }
}
