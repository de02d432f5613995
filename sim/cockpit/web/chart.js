// The live chart: periapsis and apoapsis altitude (left scale, km) and the
// propellant left (right scale, kg) over the run so far. Samples are
// [t, periapsis m, apoapsis m or null, propellant kg]; past LIMIT samples every
// other one goes, as on the server, so the chart always spans the whole run.
'use strict';

class ZolkChart {
  static LIMIT = 1000;

  constructor(canvas) {
    this.canvas = canvas;
    this.g = canvas.getContext('2d');
    this.samples = [];
  }

  reset(samples) { this.samples = samples.slice(); }

  add(sample) {
    this.samples.push(sample);
    if (this.samples.length > ZolkChart.LIMIT) this.samples = this.samples.filter((_, i) => i % 2 === 0);
  }

  latest() { return this.samples.length ? this.samples[this.samples.length - 1] : null; }

  caption() {
    const s = this.latest();
    if (!s) return 'Periapsis and apoapsis altitude, propellant';
    const km = m => m === null ? 'open' : (m / 1000).toLocaleString('en-US', { maximumFractionDigits: 1 }) + ' km';
    return 'Pe ' + km(s[1]) + '  Ap ' + km(s[2]) + '  propellant ' + s[3].toFixed(2) + ' kg';
  }

  draw() {
    const g = this.g, w = this.canvas.width, h = this.canvas.height;
    const left = 64, right = w - 60, top = 24, bottom = h - 30;
    g.clearRect(0, 0, w, h);
    g.font = '11px "DejaVu Sans Mono", monospace';
    const s = this.samples;
    if (s.length === 0) {
      g.fillStyle = '#a0a4aa';
      g.fillText('no samples yet: run the simulation', left, h / 2);
      return;
    }
    const t0 = s[0][0], t1 = Math.max(s[s.length - 1][0], t0 + 1);
    const altitudes = s.flatMap(x => [x[1], x[2]]).filter(v => v !== null);
    let low = Math.min(...altitudes) / 1000, high = Math.max(...altitudes) / 1000;
    const pad = Math.max((high - low) * 0.08, 10);
    low -= pad; high += pad;
    const fuelHigh = Math.max(...s.map(x => x[3]), 1) * 1.05;
    const X = t => left + (right - left) * (t - t0) / (t1 - t0);
    const Y = km => bottom - (bottom - top) * (km - low) / (high - low);
    const F = kg => bottom - (bottom - top) * kg / fuelHigh;

    g.strokeStyle = '#33363c';
    g.fillStyle = '#a0a4aa';
    g.lineWidth = 1;
    for (let i = 0; i <= 4; i++) {
      const y = top + (bottom - top) * i / 4;
      g.beginPath(); g.moveTo(left, y); g.lineTo(right, y); g.stroke();
      g.textAlign = 'right';
      g.fillText((high - (high - low) * i / 4).toFixed(0), left - 6, y + 4);
      g.textAlign = 'left';
      g.fillText((fuelHigh * (1 - i / 4)).toFixed(1), right + 6, y + 4);
    }
    g.textAlign = 'center';
    g.fillText('km', left - 30, 12);
    g.fillText('kg', right + 30, 12);
    const days = (t1 - t0) / 86400;
    g.fillText(days >= 1 ? days.toFixed(2) + ' d' : ((t1 - t0) / 3600).toFixed(2) + ' h', right, h - 10);
    g.fillText('0', left, h - 10);
    g.textAlign = 'left';

    const line = (value, scaleOf, colour) => {
      g.strokeStyle = colour;
      g.lineWidth = 1.6;
      g.beginPath();
      let drawing = false;
      for (const x of s) {
        const v = value(x);
        if (v === null) { drawing = false; continue; }
        drawing ? g.lineTo(X(x[0]), scaleOf(v)) : g.moveTo(X(x[0]), scaleOf(v));
        drawing = true;
      }
      g.stroke();
    };
    line(x => x[2] === null ? null : x[2] / 1000, Y, '#60a0ff');
    line(x => x[1] / 1000, Y, '#7fd07f');
    line(x => x[3], F, '#f0a030');
    const legend = [['Ap', '#60a0ff'], ['Pe', '#7fd07f'], ['propellant', '#f0a030']];
    legend.forEach(([name, colour], i) => {
      g.fillStyle = colour;
      g.fillRect(left + 10 + i * 90, h - 14, 14, 3);
      g.fillStyle = '#d8d8d0';
      g.fillText(name, left + 28 + i * 90, h - 10);
    });
  }
}
