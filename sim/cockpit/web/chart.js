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
    this.aspect = canvas.height / canvas.width;
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

  // empty: what to say while there is nothing to draw.
  draw(empty) {
    const g = this.g, { w, h } = deviceCanvas(this.canvas, g, this.aspect);
    const left = 64, right = w - 60, top = 24, bottom = h - 44;
    g.clearRect(0, 0, w, h);
    g.font = '11px "DejaVu Sans Mono", monospace';
    const s = this.samples;
    if (s.length === 0) {
      g.fillStyle = '#a0a4aa';
      g.fillText(empty || 'no samples yet', left, h / 2);
      return;
    }
    // Every scale runs between round numbers and is marked at round steps.
    const t0 = s[0][0], t1 = Math.max(s[s.length - 1][0], t0 + 1);
    const altitudes = s.flatMap(x => [x[1], x[2]]).filter(v => v !== null).map(m => m / 1000);
    const km = roundScale(Math.min(...altitudes), Math.max(...altitudes), 4);
    const kg = roundScale(0, Math.max(...s.map(x => x[3]), 1), 4);
    const time = timeScale(t0, t1, Math.max(2, Math.floor((right - left) / 90)));  // a label is ~70 px wide
    const X = t => left + (right - left) * (t - time.low) / (time.high - time.low);
    const Y = v => bottom - (bottom - top) * (v - km.low) / (km.high - km.low);
    const F = v => bottom - (bottom - top) * (v - kg.low) / (kg.high - kg.low);

    g.strokeStyle = '#33363c';
    g.fillStyle = '#a0a4aa';
    g.lineWidth = 1;
    g.textAlign = 'right';
    for (const v of km.ticks) {
      g.beginPath(); g.moveTo(left, Y(v)); g.lineTo(right, Y(v)); g.stroke();
      g.fillText(v.toLocaleString('en-US'), left - 6, Y(v) + 4);
    }
    g.textAlign = 'left';
    for (const v of kg.ticks) g.fillText(v.toLocaleString('en-US'), right + 6, F(v) + 4);
    g.textAlign = 'center';
    for (const v of time.ticks) {
      const x = X(v);
      g.beginPath(); g.moveTo(x, bottom); g.lineTo(x, bottom + 4); g.stroke();
      g.fillText(clockText(v, time.step), x, bottom + 15);
    }
    g.fillText('km', left - 30, 12);
    g.fillText('kg', right + 30, 12);
    g.textAlign = 'right';
    g.fillText('T+', left - 34, bottom + 15);
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
      g.fillRect(left + 10 + i * 90, h - 10, 14, 3);
      g.fillStyle = '#d8d8d0';
      g.fillText(name, left + 28 + i * 90, h - 6);
    });
  }
}

// A step of 1, 2 or 5 times a power of ten giving about `count` steps over the range.
function roundStep(range, count) {
  const raw = Math.max(range, 1e-9) / count;
  const power = 10 ** Math.floor(Math.log10(raw));
  const n = raw / power;
  return (n < 1.5 ? 1 : n < 3 ? 2 : n < 7 ? 5 : 10) * power;
}

// low..high widened to round steps (unless exact, as for time), with the ticks between.
function roundScale(low, high, count, exact) {
  if (high - low < 1e-9) { high = low + 1; }
  const step = roundStep(high - low, count);
  const from = exact ? low : Math.floor(low / step) * step;
  const to = exact ? high : Math.ceil(high / step) * step;
  const ticks = [];
  for (let v = Math.ceil(from / step - 1e-9) * step; v <= to + step * 1e-9; v += step) ticks.push(Number(v.toPrecision(12)));
  return { low: from, high: to, ticks };
}

// Steps of elapsed time a clock reads well (s): seconds, minutes, hours, days.
const TIME_STEPS = [1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 900, 1800, 3600, 7200, 10800, 21600, 43200,
  86400, 172800, 432000, 864000, 1728000, 4320000, 8640000];

// The time axis from t0 to t1 (s): marked at round clock times, about `count` of them.
function timeScale(t0, t1, count) {
  const span = Math.max(t1 - t0, 1);
  const step = TIME_STEPS.find(s => span / s <= count) || span / count;
  const ticks = [];
  for (let v = Math.ceil(t0 / step) * step; v <= t1 + 1e-6; v += step) ticks.push(v);
  return { low: t0, high: t0 + span, step, ticks };
}

// Elapsed time as "d hh:mm", with seconds (":ss") when the marks are closer than a minute.
function clockText(seconds, step) {
  const s = Math.round(seconds);
  const pad = n => String(n).padStart(2, '0');
  const text = Math.floor(s / 86400) + 'd ' + pad(Math.floor(s / 3600) % 24) + ':' + pad(Math.floor(s / 60) % 60);
  return step < 60 ? text + ':' + pad(s % 60) : text;
}
