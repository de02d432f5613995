// The live cockpit in a real browser: Debian's Chromium, headless, driven by
// puppeteer-core. Starts `zolksim --serve` on a free port, flies the page as
// a pilot would and saves a screenshot.
// Usage: node cockpit_browser_test.mjs ZOLKSIM SCREENSHOT.png
import { spawn } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import puppeteer from 'puppeteer-core';

const [zolksim, screenshot] = process.argv.slice(2);
if (!zolksim || !screenshot) {
  console.error('usage: node cockpit_browser_test.mjs ZOLKSIM SCREENSHOT.png');
  process.exit(2);
}
const WAIT = { timeout: 60000, polling: 100 };  // generous: the machine may be busy

const scratch = mkdtempSync(join(tmpdir(), 'zolk-cockpit-'));
let server, browser;

function startCockpit(more = []) {
  return new Promise((resolve, reject) => {
    server = spawn(zolksim, ['--serve', '--port', '0', '--out', join(scratch, 'out'), ...more],
                   { stdio: ['ignore', 'pipe', 'inherit'] });
    let text = '';
    server.stdout.on('data', chunk => {
      text += chunk;
      const found = text.match(/http:\/\/(127\.0\.0\.1|localhost):\d+\/(\?token=[0-9a-f]+)?/);
      if (found) resolve(found[0]);
    });
    server.on('exit', code => reject(new Error('zolksim --serve ended early with status ' + code)));
  });
}

function stopCockpit() {
  return new Promise(resolve => {
    if (!server || server.exitCode !== null) return resolve(server ? server.exitCode : 0);
    server.removeAllListeners('exit');
    server.on('exit', code => resolve(code));
    server.kill('SIGINT');
  });
}

// The text the page draws just below `label` in its column: the label's value.
function valueBelow(label) {
  const spans = [...document.querySelectorAll('.mfd .page span')];
  const at = spans.find(s => s.textContent === label);
  if (!at) return null;
  const below = spans.filter(s => s.style.left === at.style.left && parseFloat(s.style.top) > parseFloat(at.style.top))
    .sort((a, b) => parseFloat(a.style.top) - parseFloat(b.style.top));
  return below.length ? below[0].textContent : null;
}

async function waitForValue(page, label, value) {
  await page.waitForFunction(`(${valueBelow})(${JSON.stringify(label)}) === ${JSON.stringify(value)}`, WAIT);
  console.log(`  ${label}: ${value}`);
}

async function clickButton(page, label) {
  const button = await page.waitForSelector(`xpath///button[contains(@class,"bbutton")][.//span[text()="${label}"]]`, WAIT);
  await button.click();
}

async function typeIntoBox(page, title, text) {
  await page.waitForFunction(t => !document.getElementById('box').hidden &&
    document.getElementById('box-title').textContent === t, WAIT, title);
  await page.click('#box-text', { clickCount: 3 });
  await page.keyboard.type(text);
  await page.keyboard.press('Enter');
}

// What a finger and an eye need on a phone (the page at 390x844 now).
async function checkPhone(page) {
  const measure = () => page.evaluate(() => {
    const visible = e => {
      const r = e.getBoundingClientRect();
      return r.width > 0 && r.height > 0 && getComputedStyle(e).visibility !== 'hidden' && !e.closest('[hidden]');
    };
    const zoomOf = e => { let z = 1; for (let a = e; a; a = a.parentElement) z *= parseFloat(getComputedStyle(a).zoom) || 1; return z; };
    const small = [...document.querySelectorAll('button, input, .screen')].filter(visible)
      .map(e => [e.id || e.getAttribute('aria-label') || e.textContent.trim(), e.getBoundingClientRect()])
      .filter(([, r]) => r.width < 44 || r.height < 44).map(([n, r]) => `${n} ${r.width.toFixed(0)}x${r.height.toFixed(0)}`);
    const tiny = [...document.querySelectorAll('body *')].filter(e => visible(e) &&
      [...e.childNodes].some(n => n.nodeType === Node.TEXT_NODE && n.textContent.trim()))
      .map(e => [e.textContent.trim().slice(0, 20), parseFloat(getComputedStyle(e).fontSize) * zoomOf(e)])
      .filter(([, px]) => px < 11 - 0.01).map(([t, px]) => `"${t}" ${px.toFixed(1)} px`);
    const canvases = [...document.querySelectorAll('canvas')]
      .filter(c => c.width !== Math.round(c.clientWidth * devicePixelRatio)).map(c => c.id);
    return { small, tiny, canvases, header: document.querySelector('header').getBoundingClientRect().height,
             display: document.querySelector('.mfd').getBoundingClientRect().width, scrolls: document.documentElement.scrollWidth };
  });
  let m = await measure();
  if (m.small.length) problems.push('at 390x844 targets under 44 px: ' + m.small.join(', '));
  if (m.tiny.length) problems.push('at 390x844 text under 11 px: ' + m.tiny.join(', '));
  if (m.canvases.length) problems.push('at 390x844 canvases not at the pixel ratio: ' + m.canvases.join(', '));
  if (m.header > 844 / 5) problems.push(`at 390x844 the folded header takes ${m.header} px`);
  if (m.display < 390 - 12) problems.push(`at 390x844 the display is ${m.display} px wide`);
  const folded = m.header;
  // The header unfolded: the rest of the controls, as large.
  await page.click('#fold');
  m = await measure();
  if (m.small.length) problems.push('at 390x844, unfolded, targets under 44 px: ' + m.small.join(', '));
  if (m.scrolls > 390 + 1) problems.push('at 390x844, unfolded, the page is wider than the screen');
  await page.screenshot({ path: screenshotPath.replace(/\.png$/, '-390x844-unfolded.png') });
  await page.click('#fold');
  console.log(`  at 390x844: header ${folded.toFixed(0)} px folded, ${m.header.toFixed(0)} px unfolded, ` +
    `display ${m.display.toFixed(0)} px wide`);
}

// With no display open the captions say so, not " about : ...".
async function checkNoDisplay(page) {
  await page.setViewport({ width: 1280, height: 800 });
  await page.click('.mfd .close');
  await page.waitForFunction(() => window.zolkCockpit.frame.displays.length === 0, WAIT);
  const captions = await page.evaluate(() => [document.getElementById('orbit-caption').textContent,
    document.getElementById('chart-caption').textContent]);
  for (const c of captions)
    if (!c.includes('no display shows the page') || c.includes(' about ')) problems.push('with no display the caption reads: ' + c);
  console.log('  with no display: ' + captions.join(' | '));
}

const screenshotPath = screenshot;
let cockpitStopped = false;
const problems = [];
try {
  const address = await startCockpit();
  console.log('cockpit at ' + address);
  browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    userDataDir: join(scratch, 'profile'),
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    defaultViewport: { width: 1280, height: 800 },
  });
  const page = await browser.newPage();
  // A stream refused while the cockpit is full (503) is expected in the reload storm below.
  page.on('console', m => {
    if (m.type() === 'error' && !/status of 503/.test(m.text()) && !cockpitStopped) problems.push('console: ' + m.text());
  });
  page.on('pageerror', e => problems.push('page error: ' + e.message));
  page.on('requestfailed', r => {
    // The event stream is cut when the browser closes; anything else is a fault.
    if (!r.url().endsWith('/events') && !cockpitStopped) problems.push('request failed: ' + r.url());
  });

  await page.goto(address, { waitUntil: 'load' });
  await page.waitForFunction(() => [...document.querySelectorAll('.mfd .page span')]
    .some(s => s.textContent === 'Z.O.L.K. MFD'), WAIT);
  console.log('  the page shows Z.O.L.K. MFD');

  // The pilot works the page paused (commands are carried out all the same),
  // so that nothing flies with the trial thrust below.
  await page.click('#run');
  await page.waitForFunction(() => window.zolkCockpit.frame && !window.zolkCockpit.frame.running, WAIT);
  // Paused is said once, by the note on what Step does, not again by the rate.
  await page.waitForFunction(() => !document.getElementById('step-note').hidden, WAIT);
  const header = await page.evaluate(() => document.querySelector('header').innerText);
  if ((header.match(/paused/gi) || []).length !== 1) throw new Error('the header does not say paused once: ' + header);

  // Twenty reloads of the paused cockpit: each reload's stream takes a place
  // the one before must give up; the last page still shows the display.
  for (let i = 0; i < 20; i++) await page.reload({ waitUntil: 'domcontentloaded' });
  await page.waitForFunction(() => [...document.querySelectorAll('.mfd .page span')]
    .some(s => s.textContent === 'Z.O.L.K. MFD'), WAIT);
  console.log('  after twenty reloads the page shows the display, ' +
    await page.evaluate(() => document.getElementById('viewers').textContent));

  // Keyboard only: Tab to ATT and press Space; Tab on to ENG, Space, type
  // into the box it opens, Enter. Unlabelled buttons are not Tab stops.
  await page.evaluate(() => document.activeElement && document.activeElement.blur());
  const tabTo = async name => {
    for (let i = 0; i < 40; i++) {
      await page.keyboard.press('Tab');
      const at = await page.evaluate(() => document.activeElement.getAttribute('aria-label') ||
                                           document.activeElement.textContent);
      if (at === 'unlabelled button') throw new Error('Tab stopped on an unlabelled button');
      if (at === name) return;
    }
    throw new Error('Tab never reached ' + name);
  };
  await tabTo('ATT button');
  await page.keyboard.press('Space');
  await waitForValue(page, 'Attitude Hold', 'Off');
  await tabTo('ENG button');
  await page.keyboard.press('Space');
  await page.waitForFunction(() => document.activeElement === document.getElementById('box-text'), WAIT);
  // The open box leaves the time controls in sight and in reach.
  const covered = await page.evaluate(() => ['run', 'step'].filter(id => {
    const r = document.getElementById(id).getBoundingClientRect();
    return document.elementFromPoint(r.x + r.width / 2, r.y + r.height / 2) !== document.getElementById(id);
  }));
  if (covered.length) problems.push('the input box covers ' + covered.join(', '));
  // An entry the module reads only in part ("1,5" is 1): the page says what it became.
  await page.keyboard.type('1,5');
  await page.keyboard.press('Enter');
  await waitForValue(page, 'Main Eng.Max Thrust', '1.000 N');
  await page.waitForFunction(() => document.getElementById('status').textContent.includes('"1,5" was read as 1'), WAIT);
  await page.waitForFunction(() => document.getElementById('box').hidden, WAIT);
  // The box gone, the focus is back on the button that opened it, and a
  // letter typed there is the page's key.
  await page.waitForFunction(() => document.activeElement.getAttribute('aria-label') === 'ENG button', WAIT);
  await page.keyboard.press('Space');
  await page.waitForFunction(() => document.activeElement === document.getElementById('box-text'), WAIT);
  await page.keyboard.press('Escape');
  await page.waitForFunction(() => document.activeElement.getAttribute('aria-label') === 'ENG button', WAIT);
  console.log('  "1,5" shown as read as 1; Escape returned the focus to ENG');
  await page.keyboard.press('KeyK');
  await waitForValue(page, 'Auto Burn 1/3 Orbit Around Periapsis', 'Off');
  await page.keyboard.press('KeyK');
  await waitForValue(page, 'Auto Burn 1/3 Orbit Around Periapsis', 'On');
  await tabTo('ENG button');
  await page.keyboard.press('Space');
  await page.waitForFunction(() => document.activeElement === document.getElementById('box-text'), WAIT);
  await page.keyboard.type('4');
  await page.keyboard.press('Enter');
  await waitForValue(page, 'Main Eng.Max Thrust', '4.000 N');
  await page.waitForFunction(() => document.getElementById('box').hidden, WAIT);
  // MNU opens the page's menu with its first entry in focus; Escape closes it.
  await tabTo('MNU');
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => document.activeElement.classList.contains('entry'), WAIT);
  await page.keyboard.press('Escape');
  await page.waitForFunction(() => document.activeElement.classList.contains('mnu'), WAIT);
  // P runs and pauses from anywhere but a text field or the screen; the
  // paused note comes and goes without moving the page below.
  const mainTop = () => page.evaluate(() => document.querySelector('main').getBoundingClientRect().top);
  const pausedTop = await mainTop();
  await page.keyboard.press('p');
  await page.waitForFunction(() => window.zolkCockpit.frame.running, WAIT);
  await page.waitForFunction(() => document.getElementById('step-note').hidden, WAIT);
  const runningTop = await mainTop();
  if (runningTop !== pausedTop) problems.push(`the paused note moves the page by ${pausedTop - runningTop} px`);
  await page.keyboard.press('p');
  await page.waitForFunction(() => !window.zolkCockpit.frame.running, WAIT);
  console.log('  flown by keyboard: ATT, ENG and its box, MNU, P');

  // Keys go to the display once it has the focus.
  await page.click('.mfd .screen');
  await page.keyboard.press('KeyK');
  await waitForValue(page, 'Auto Burn 1/3 Orbit Around Periapsis', 'Off');
  await page.keyboard.press('KeyK');
  await waitForValue(page, 'Auto Burn 1/3 Orbit Around Periapsis', 'On');

  // A refused entry keeps the box open and says so; a number is taken.
  await clickButton(page, 'ENG');
  await typeIntoBox(page, 'Enter Main.Eng.Max Thrust Total(N)', 'fast');
  await page.waitForFunction(() => document.getElementById('box-refused').textContent.includes('Not accepted'), WAIT);
  console.log('  "fast" refused, the box still open');
  await typeIntoBox(page, 'Enter Main.Eng.Max Thrust Total(N)', '250000');
  await waitForValue(page, 'Main Eng.Max Thrust', '250000.000 N');
  await page.waitForFunction(() => document.getElementById('box').hidden, WAIT);

  // Escape cancels a box.
  await page.click('.mfd .screen');
  await page.keyboard.press('KeyM');
  await page.waitForFunction(() => !document.getElementById('box').hidden, WAIT);
  await page.keyboard.press('Escape');
  await page.waitForFunction(() => document.getElementById('box').hidden, WAIT);
  await page.waitForFunction(() => document.activeElement.classList.contains('screen'), WAIT);
  console.log('  Escape closed the ISP box, the screen has the keys again');

  // At 1280x800 the orbit view stands beside the display, in sight, however
  // long its caption and however many displays are open.
  const orbitBeside = () => page.evaluate(() => {
    const o = document.getElementById('orbit').getBoundingClientRect();
    const d = document.querySelector('.mfd').getBoundingClientRect();
    return o.top >= 0 && o.bottom <= innerHeight && o.right <= innerWidth && o.left >= d.right && o.top < d.bottom;
  });
  await page.evaluate(() => {
    document.getElementById('orbit-caption').textContent =
      'Lander about Earth: Pe 12,396.6 km  Ap 50,289,464.4 km, e 0.9995, escaping soon, burning hard for a long while';
    document.getElementById('chart-caption').textContent = 'Lander about Earth: ' + 'Pe 12,396.6 km  '.repeat(6);
  });
  if (!await orbitBeside()) problems.push('a long caption moves the orbit view from beside the display');
  await page.click('#open-second');
  await page.waitForFunction(() => document.querySelectorAll('.mfd').length === 2, WAIT);
  if (!await orbitBeside()) problems.push('a second display moves the orbit view from beside the first');
  await page.click('.mfd:nth-child(2) .close');
  await page.waitForFunction(() => document.querySelectorAll('.mfd').length === 1, WAIT);
  console.log('  the orbit view stays beside the display with a long caption and with two displays');

  // 250 kN would fling the tug out of orbit in one pass; the mission's own
  // 3 N lifts the apoapsis steadily, which the chart should show.
  await clickButton(page, 'ENG');
  await typeIntoBox(page, 'Enter Main.Eng.Max Thrust Total(N)', '3');
  await waitForValue(page, 'Main Eng.Max Thrust', '3.000 N');

  const before = await page.evaluate(() => window.zolkCockpit.chart.latest()[2]);
  await page.click('button[data-warp="10000"]');
  await page.click('#run');
  await page.waitForFunction(from => {
    const last = window.zolkCockpit.chart.latest();
    return last[2] !== null && last[2] > from + 200000;
  }, WAIT, before);
  const rise = await page.evaluate(from => [(from / 1000).toFixed(1),
    (window.zolkCockpit.chart.latest()[2] / 1000).toFixed(1)], before);
  console.log(`  at 10,000x the apoapsis rose from ${rise[0]} km to ${rise[1]} km`);

  // The picture: paused while the engines burn, so the thrust shows.
  // A frame may pass between seeing the burn and the pause taking hold: try again then.
  for (let attempt = 0; attempt < 20; attempt++) {
    await page.waitForFunction(() => window.zolkCockpit.frame.orbit && window.zolkCockpit.frame.orbit.burning, WAIT);
    await page.click('#run');
    await page.waitForFunction(() => !window.zolkCockpit.frame.running, WAIT);
    if (await page.evaluate(() => window.zolkCockpit.frame.orbit.burning)) break;
    await page.click('#run');
    await page.waitForFunction(() => window.zolkCockpit.frame.running, WAIT);
  }
  await page.screenshot({ path: screenshot });
  console.log('  screenshot: ' + screenshot);
  // The same at a small laptop's size and a phone's: the display and the
  // orbit view both in sight at 800x600; stacked on the phone.
  for (const [width, height] of [[800, 600], [390, 844]]) {
    await page.setViewport({ width, height, deviceScaleFactor: width < 600 ? 3 : 1 });
    await new Promise(resolve => setTimeout(resolve, 300));
    const fits = await page.evaluate(() => {
      const seen = e => { const r = e.getBoundingClientRect(); return r.right <= innerWidth + 1 && r.width > 0; };
      return seen(document.querySelector('.mfd')) && seen(document.getElementById('orbit')) &&
        document.documentElement.scrollWidth <= innerWidth + 1;
    });
    if (!fits) problems.push(`at ${width}x${height} the page is wider than the screen`);
    const path = screenshot.replace(/\.png$/, `-${width}x${height}.png`);
    await page.screenshot({ path });
    console.log('  screenshot: ' + path);
  }
  await checkPhone(page);
  await checkNoDisplay(page);

  // The cockpit gone: the controls wait, greyed out, for the link to come back.
  cockpitStopped = true;
  await stopCockpit();
  await page.waitForFunction(() => document.getElementById('run').disabled &&
    document.getElementById('save').disabled && !document.getElementById('fold').disabled, WAIT);
  console.log('  with the cockpit stopped the controls are disabled');

  // Served on every address: the printed address carries the token, and the
  // page, its files (by the cookie) and its commands get in with it.
  const everywhere = await startCockpit(['--listen', '0.0.0.0']);
  if (!everywhere.startsWith('http://localhost:') || !everywhere.includes('?token='))
    throw new Error('listening on every address, the address printed is ' + everywhere);
  cockpitStopped = false;
  await page.goto(everywhere, { waitUntil: 'load' });
  await page.waitForFunction(() => [...document.querySelectorAll('.mfd .page span')]
    .some(s => s.textContent === 'Z.O.L.K. MFD'), WAIT);
  await clickButton(page, 'ATT');
  await waitForValue(page, 'Attitude Hold', 'Off');
  const bare = await page.evaluate(async () => (await fetch('/frame')).status);
  const stranger = await (await fetch(everywhere.replace(/\?token=.*/, 'frame'))).status;
  if (stranger !== 403) problems.push('without the token /frame answered ' + stranger);
  console.log(`  on every address: ${everywhere.replace(/token=.*/, 'token=...')} flies; the page's own ` +
    `fetch with the cookie ${bare}, another client without the token ${stranger}`);
} catch (e) {
  problems.push(e.stack || String(e));
} finally {
  if (browser) await browser.close();
  const status = await stopCockpit();
  if (status !== 0) problems.push('zolksim --serve ended with status ' + status + ' on Ctrl+C');
  rmSync(scratch, { recursive: true, force: true });
}

if (problems.length) {
  console.error('FAILED:\n' + problems.join('\n'));
  process.exit(1);
}
console.log('browser test passed');
