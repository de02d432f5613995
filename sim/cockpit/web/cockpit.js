// The live cockpit's page: shows the frames the server streams and sends the
// pilot's buttons, keys, typed entries and time controls back as commands.
'use strict';

const WARPS = [1, 10, 100, 1000, 10000, 100000];
const BUTTON_SHARE = i => 0.125 + 0.15 * (i % 6);  // a button's height on the screen, as the host spaces them

const $ = id => document.getElementById(id);
// Beyond this machine the cockpit answers only requests with its token: the
// address it printed carries it, and the page sends it on with its own requests.
const TOKEN = new URLSearchParams(location.search).get('token');
const withToken = path => TOKEN ? path + '?token=' + encodeURIComponent(TOKEN) : path;
const PHONE = window.matchMedia('(max-width: 600px)');
const displays = new Map();  // position -> { root, page, menu, labels, lastTexts, lastMenu }
let frame = null;
let boxKey = '';             // which input box the dialog shows
let lastScreen = null;       // the display that had the keys, for after a box
let boxOpener = null;        // the bezel button or screen that opened the box: the focus returns there
let live = false;            // the stream is up: the controls are of use
let chartOf = null;          // whose orbit the chart shows
const chart = new ZolkChart($('chart'));
const orbit = new ZolkOrbit($('orbit'));

function showStatus(text, problem) {
  const status = $('status');
  status.textContent = text;
  status.classList.toggle('problem', !!problem);
}

async function send(command) {
  try {
    const response = await fetch(withToken('command'), {
      method: 'POST',
      headers: { 'Content-Type': 'application/json' },
      body: JSON.stringify(command),
    });
    const answer = await response.json();
    return { status: response.status, ...answer };
  } catch (e) {
    showStatus('The cockpit does not answer: ' + e.message, true);
    return { status: 0, ok: false, message: 'no answer' };
  }
}

async function act(command) {
  const answer = await send(command);
  if (answer.status >= 400) showStatus(answer.error || answer.message, true);
  // Run and pause show in the Run button and the paused note; a button press in the display.
  else if (command.do === 'run' || command.do === 'pause') showStatus('', false);
  else if (answer.message && command.do !== 'button') showStatus(answer.message, false);
  return answer;
}

// ---- Displays ----

function makeDisplay(position) {
  const root = $('display-template').content.firstElementChild.cloneNode(true);
  const d = {
    root, position,
    screen: root.querySelector('.screen'),
    page: root.querySelector('.page'),
    menu: root.querySelector('.menu'),
    mnu: root.querySelector('.mnu'),
    buttons: [],
    lastTexts: '', lastMenu: '',
  };
  root.querySelector('.position').textContent = position + ' display';
  for (let i = 0; i < 12; i++) {
    const b = document.createElement('button');
    b.type = 'button';
    b.className = 'bbutton';
    b.dataset.index = i;
    const cap = document.createElement('span');
    cap.className = 'cap';
    const name = document.createElement('span');
    name.className = 'name';
    b.append(cap, name);
    // Pressed, held and released as the host delivers a mouse button: by the
    // pointer, or by Space or Enter while the button has the focus.
    let down = false;
    const press = () => {
      if (down) return;
      down = true;
      boxOpener = b;
      d.menu.hidden = true;
      b.classList.add('down');
      act({ do: 'button', display: position, index: i, event: 'down' });
    };
    const release = () => {
      if (!down) return;
      down = false;
      b.classList.remove('down');
      act({ do: 'button', display: position, index: i, event: 'up' });
    };
    b.addEventListener('pointerdown', e => {
      if (e.button !== 0) return;
      b.setPointerCapture(e.pointerId);
      press();
    });
    b.addEventListener('pointerup', release);
    b.addEventListener('pointercancel', release);
    b.addEventListener('lostpointercapture', release);
    b.addEventListener('keydown', e => {
      if (sendPageKey(d, e)) return;
      if (e.key !== ' ' && e.key !== 'Enter') return;
      e.preventDefault();
      e.stopPropagation();
      if (!e.repeat) press();
    });
    b.addEventListener('keyup', e => {
      if (e.key !== ' ' && e.key !== 'Enter') return;
      e.preventDefault();
      release();
    });
    b.addEventListener('blur', release);
    (i < 6 ? root.querySelector('.buttons.left') : root.querySelector('.buttons.right')).append(b);
    d.buttons.push({ element: b, name });
  }
  d.screen.addEventListener('keydown', e => {
    if (e.key === 'Escape' && !e.ctrlKey && !e.altKey && !e.metaKey) { closeMenu(d); return; }
    sendPageKey(d, e);
  });
  d.screen.addEventListener('pointerdown', () => d.screen.focus());
  d.screen.addEventListener('focus', () => { lastScreen = d.screen; });
  d.mnu.addEventListener('click', () => {
    d.menu.hidden = !d.menu.hidden;
    const first = d.menu.querySelector('button');
    if (!d.menu.hidden && first) first.focus();
    else d.screen.focus();
  });
  root.querySelector('.close').addEventListener('click', () => act({ do: 'close', display: position }));
  $('displays').append(root);
  displays.set(position, d);
  return d;
}

// A letter or digit typed on a display's screen or one of its buttons is the
// page's key. True when it was one.
function sendPageKey(d, e) {
  if (e.ctrlKey || e.altKey || e.metaKey || !/^[a-zA-Z0-9]$/.test(e.key)) return false;
  e.preventDefault();
  e.stopPropagation();
  d.menu.hidden = true;
  boxOpener = e.currentTarget;
  act({ do: 'key', display: d.position, key: e.key.toUpperCase() });
  return true;
}

function closeMenu(d) {
  if (d.menu.hidden) return;
  d.menu.hidden = true;
  d.mnu.focus();
}

function cssColour(c) { return /^#[0-9a-f]{6}$/.test(c) ? c : '#ffffff'; }

function drawDisplay(d, f) {
  d.screen.style.width = f.width + 'px';
  d.screen.style.height = f.height + 'px';
  // On a phone the screen is as wide as the page, its buttons in rows below it.
  const bezel = d.root.querySelector('.bezel');
  const zoom = PHONE.matches && bezel.clientWidth > 0 ? bezel.clientWidth / (f.width + 4) : 1;
  if (d.zoom !== zoom) {
    d.zoom = zoom;
    d.screen.style.zoom = zoom === 1 ? '' : zoom.toFixed(4);
    d.screen.style.setProperty('--screen-zoom', zoom.toFixed(4));
  }
  for (const side of d.root.querySelectorAll('.buttons')) side.style.height = (f.height + 4) + 'px';
  d.buttons.forEach((b, i) => {
    b.element.style.top = (2 + f.height * BUTTON_SHARE(i)) + 'px';
    const label = f.labels[i] || '';
    b.name.textContent = label;
    // A button without a label does nothing on this page: Tab passes it by.
    b.element.tabIndex = label ? 0 : -1;
    b.element.disabled = !live;
    b.element.setAttribute('aria-label', label ? label + ' button' : 'unlabelled button');
    const entry = f.menu[i];
    b.element.title = entry ? (entry[0] + (entry[1] ? ' ' + entry[1] : '') + (entry[2].trim() ? ' (key ' + entry[2] + ')' : '')) : '';
  });
  const texts = JSON.stringify(f.texts);
  if (texts !== d.lastTexts) {
    d.lastTexts = texts;
    // Each character takes exactly one cell of the host's grid: the font,
    // as tall as a cell, is stretched to the cell's width. A line that would
    // then run past the screen's right edge (36 cells from half a cell in) is
    // narrowed just enough to end at the edge, so every glyph shows whole.
    const advance = fontAdvance(f.cellHeight);
    const cellScale = f.cellWidth / advance;
    const spans = f.texts.map(([x, y, colour, text]) => {
      const room = text.length > 0 ? (f.width - x) / (text.length * advance) : cellScale;
      const stretch = 'scaleX(' + Math.max(0, Math.min(cellScale, room)).toFixed(4) + ')';
      const s = document.createElement('span');
      s.textContent = text;
      s.style.left = x + 'px';
      s.style.top = y + 'px';
      s.style.color = cssColour(colour);
      s.style.fontSize = f.cellHeight + 'px';
      s.style.transform = stretch;
      return s;
    });
    d.page.replaceChildren(...spans);
  }
  const menu = JSON.stringify(f.menu);
  if (menu !== d.lastMenu) {
    d.lastMenu = menu;
    d.menu.replaceChildren(...f.menu.map(([line1, line2, key], i) => {
      const e = document.createElement('button');
      e.type = 'button';
      e.tabIndex = key.trim() ? 0 : -1;
      e.className = 'entry' + (i >= 6 ? ' right' : '');
      e.style.top = (f.height * BUTTON_SHARE(i)) + 'px';
      e.style[i < 6 ? 'left' : 'right'] = '8px';
      const sel = document.createElement('span');
      sel.className = 'sel';
      sel.textContent = key.trim() ? key + ' ' : '';
      e.append(sel, line1 + (line2 ? ' ' + line2 : ''));
      if (key.trim()) e.addEventListener('click', () => {
        closeMenu(d);
        act({ do: 'key', display: d.position, key });
      });
      e.addEventListener('keydown', ev => {
        if (ev.key === 'Escape') { ev.preventDefault(); closeMenu(d); }
        else if (ev.key !== 'Enter' && ev.key !== ' ') ev.stopPropagation();
      });
      return e;
    }));
  }
}

const advances = new Map();
function fontAdvance(size) {
  if (!advances.has(size)) {
    const c = document.createElement('canvas').getContext('2d');
    c.font = size + 'px "DejaVu Sans Mono", "Courier New", monospace';
    advances.set(size, c.measureText('M').width);
  }
  return advances.get(size);
}

// ---- Input boxes ----

function showBox(box) {
  const panel = $('box');
  if (!box) {
    if (!panel.hidden) {
      panel.hidden = true;
      boxKey = '';
      // Back where the pilot was: the button (or screen) that opened the box.
      const back = [boxOpener, lastScreen].find(e => e && e.isConnected && !e.disabled);
      if (back) back.focus();
    }
    return;
  }
  const key = box.count + '\u0000' + box.title;
  if (key === boxKey) return;
  const fresh = panel.hidden;
  boxKey = key;
  $('box-title').textContent = box.title;
  $('box-text').value = box.text;
  $('box-refused').textContent = '';
  panel.hidden = false;
  if (fresh || document.activeElement === document.body) $('box-text').focus();
}

$('box-form').addEventListener('submit', async e => {
  e.preventDefault();
  const text = $('box-text').value;
  const answer = await act({ do: 'type', text });
  if (answer.refused) {
    $('box-refused').textContent = 'Not accepted: "' + text + '". Type another or press Escape.';
    $('box-text').select();
  } else if (answer.status >= 400) {
    $('box-refused').textContent = answer.error || answer.message;
  } else {
    const taken = numberTaken(text);
    if (taken !== null) showStatus('"' + text.trim() + '" was read as ' + taken +
      ': an entry is read up to the first character that is not part of a number', false);
  }
});
// The number an entry is read as when it starts with one and goes on with
// something else ("1,5" is 1, "12abc" is 12); null when it is read whole or
// is no number at all.
function numberTaken(text) {
  const t = text.trim();
  const m = /^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?/.exec(t);
  return m && m[0].length < t.length ? String(Number(m[0])) : null;
}

$('box-text').addEventListener('keydown', e => {
  if (e.key === 'Escape') {
    e.preventDefault();
    act({ do: 'cancel' });
  }
});
$('box-cancel').addEventListener('click', () => act({ do: 'cancel' }));

// ---- Time, saving, second display ----

for (const w of WARPS) {
  const b = document.createElement('button');
  b.type = 'button';
  b.textContent = w.toLocaleString('en-US') + '\u00d7';
  b.dataset.warp = w;
  b.title = 'time acceleration ' + w.toLocaleString('en-US') + '\u00d7 ([ and ] step it)';
  b.addEventListener('click', () => act({ do: 'warp', factor: w }));
  $('warps').append(b);
}
$('run').addEventListener('click', () => act({ do: frame && frame.running ? 'pause' : 'run' }));
$('step').addEventListener('click', () => act({ do: 'step' }));
$('save').addEventListener('click', () => act({ do: 'save', name: $('save-name').value.trim() }));
$('fold').addEventListener('click', () => {
  const open = $('header').classList.toggle('open');
  $('fold').setAttribute('aria-expanded', String(open));
  $('fold').textContent = open ? 'Less' : 'More';
});
$('open-second').addEventListener('click', () => {
  const free = ['Right', 'Centre', 'Fourth'].find(p => !displays.has(p));
  if (free) act({ do: 'open', display: free });
});

// Shortcuts, anywhere but in a text field or on the display's screen (where
// letters are the page's keys): P runs or pauses, S steps, [ and ] change the warp.
function changeWarp(by) {
  const at = WARPS.indexOf(frame ? frame.warp : 1);
  const next = WARPS[Math.max(0, Math.min(WARPS.length - 1, at + by))];
  if (frame && next !== frame.warp) act({ do: 'warp', factor: next });
}
document.addEventListener('keydown', e => {
  if (e.ctrlKey || e.altKey || e.metaKey || e.repeat) return;
  const t = e.target;
  if (t instanceof HTMLInputElement || t instanceof HTMLTextAreaElement || (t.closest && t.closest('.screen, .bbutton'))) return;
  const shortcut = { p: () => $('run').click(), s: () => { if (!$('step').disabled) $('step').click(); },
                     '[': () => changeWarp(-1), ']': () => changeWarp(1) }[e.key.toLowerCase()];
  if (!shortcut) return;
  e.preventDefault();
  shortcut();
});

function elapsedText(seconds) {
  const s = Math.floor(seconds);
  const pad = n => String(n).padStart(2, '0');
  return Math.floor(s / 86400) + 'd ' + pad(Math.floor(s / 3600) % 24) + ':' + pad(Math.floor(s / 60) % 60) + ':' + pad(s % 60);
}

function drawChart(f) {
  chart.draw(f.chartOf ? (f.running ? 'waiting for the first sample' : 'no samples yet: run the simulation')
                       : 'no display shows the page');
}

function showFrame(f) {
  frame = f;
  $('date').textContent = f.date + ' UTC';
  $('elapsed').textContent = 'T+ ' + elapsedText(f.time);
  $('run').textContent = f.running ? 'Pause' : 'Run';
  $('run').classList.toggle('on', !f.running);
  for (const b of $('warps').children) b.classList.toggle('on', Number(b.dataset.warp) === f.warp);
  const rate = $('rate');
  // Paused, the note below the controls says so (and what Step does).
  rate.textContent = f.running ? Math.round(f.stepsPerSecond).toLocaleString('en-US') + ' steps/s' : '';
  rate.classList.toggle('behind', !!f.behind);
  if (f.behind) rate.textContent += ' (cannot keep pace)';
  const shown = new Set();
  for (const df of f.displays) {
    shown.add(df.position);
    drawDisplay(displays.get(df.position) || makeDisplay(df.position), df);
  }
  for (const [position, d] of displays)
    if (!shown.has(position)) { d.root.remove(); displays.delete(position); }
  $('open-second').disabled = !live || displays.size >= 4;
  showBox(f.box);
  if (f.saved) $('save').title = 'last saved: ' + f.saved;
  if (f.chartOf !== chartOf) {
    if (chartOf !== null) chart.reset([]);
    chartOf = f.chartOf;
  }
  if (f.sample) chart.add(f.sample);
  drawChart(f);
  $('chart-caption').textContent = f.chartOf ? f.chartOf + ': ' + chart.caption() :
    'Periapsis, apoapsis, propellant: none (no display shows the page)';
  orbit.draw(f.orbit, f.chartOf);
  $('orbit-caption').textContent = orbit.caption(f.orbit, f.vessel, f.body);
  $('step').disabled = !live || f.running;
  $('step-note').hidden = f.running;
}

// ---- The stream ----
// The browser reconnects a dropped stream by itself, but not one refused
// (503 when the cockpit has as many viewers as it takes): then the page tries
// again itself, waiting longer each time, and says why.

const RETRY_FIRST = 1000, RETRY_LONGEST = 8000;  // ms
let events = null;
let retryDelay = RETRY_FIRST;

function showViewers(count) {
  $('viewers').textContent = count === 1 ? '1 viewer' : count + ' viewers';
}

async function retryLater() {
  const wait = retryDelay;
  retryDelay = Math.min(retryDelay * 2, RETRY_LONGEST);
  let why = 'The live link is down';
  try {
    const v = await (await fetch(withToken('viewers'))).json();
    showViewers(v.viewers);
    if (v.viewers >= v.limit)
      why = 'The cockpit has ' + v.viewers + ' viewers, as many as it takes: close another tab or window';
  } catch (e) {
    why = 'The cockpit does not answer';
  }
  showStatus(why + '; trying again in ' + Math.round(wait / 1000) + ' s...', true);
  setTimeout(connect, wait);
}

// Without the stream the controls do nothing that shows: they wait for it.
function setLive(on) {
  live = on;
  for (const e of document.querySelectorAll('header button:not(#fold), header input, .mfd button')) e.disabled = !on;
  if (frame) {
    $('step').disabled = !on || frame.running;
    $('open-second').disabled = !on || displays.size >= 4;
  }
}

function connect() {
  events = new EventSource(withToken('events'));
  events.addEventListener('history', e => {
    retryDelay = RETRY_FIRST;
    chart.reset(JSON.parse(e.data));
  });
  events.addEventListener('frame', e => showFrame(JSON.parse(e.data)));
  events.addEventListener('viewers', e => showViewers(Number(e.data)));
  events.addEventListener('open', () => { setLive(true); showStatus('Connected.', false); });
  events.addEventListener('error', () => {
    setLive(false);
    if (events.readyState !== EventSource.CLOSED) {
      showStatus('Connection lost; trying again...', true);
      return;
    }
    events.close();
    retryLater();
  });
}
setLive(false);
connect();
// A phone turned or a window resized: the screen's size and the canvases follow.
addEventListener('resize', () => {
  if (!frame) return;
  for (const df of frame.displays) if (displays.has(df.position)) drawDisplay(displays.get(df.position), df);
  drawChart(frame);
  orbit.draw(frame.orbit, frame.chartOf);
});
window.zolkCockpit = { chart, orbit, get frame() { return frame; } };
