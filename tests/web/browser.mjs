// The game's page in a real browser: Debian's Chromium, headless with its software renderer
// (SwiftShader), driven by puppeteer-core, loads build-web/ from a local server and plays as a
// person would, checking what the canvas shows (its pixels, read back every frame) and what the
// page says (its state, which the program's exit sets).
//
//   node tests/web/browser.mjs BUILD_WEB | --url URL [--repeat N] [--screenshot FILE] [--figures]
//
// --repeat runs every case N times and fails unless all pass; --screenshot saves a picture of the
// page during a run (for the README); --figures prints the time from opening the page to the
// title screen. Nothing waits a fixed time: everything polls with a deadline.
import { copyFileSync, mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import puppeteer from 'puppeteer-core';
import { serve } from '../../web/serve.mjs';

// How long anything may take to show: the software renderer on a loaded machine is slow to compile
// shaders; waiting ends as soon as the thing shows.
const patience = 60000;

const options = { folder: null, url: null, repeat: 1, screenshot: null, figures: false };
{
  const args = process.argv.slice(2);
  for (let i = 0; i < args.length; i++) {
    if (args[i] === '--repeat' && /^\d+$/.test(args[i + 1] || '')) options.repeat = Number(args[++i]);
    else if (args[i] === '--screenshot' && args[i + 1]) options.screenshot = args[++i];
    else if (args[i] === '--figures') options.figures = true;
    else if (args[i] === '--url' && args[i + 1]) options.url = args[++i];
    else if (!options.folder && !args[i].startsWith('--')) options.folder = args[i];
    else {
      console.error('usage: node tests/web/browser.mjs BUILD_WEB | --url URL [--repeat N] [--screenshot FILE] [--figures]');
      process.exit(2);
    }
  }
  if (!options.folder === !options.url) {
    console.error('usage: node tests/web/browser.mjs BUILD_WEB | --url URL [--repeat N] [--screenshot FILE] [--figures]');
    process.exit(2);
  }
}

// ---- The browser -------------------------------------------------------------------------------

// Starts Chromium with a profile of its own. WebGL 2 comes from ANGLE on SwiftShader; the closed
// network refuses whatever Chromium would fetch by itself, so none of that is started.
async function launch(extra = []) {
  const profile = mkdtempSync(join(tmpdir(), 'taldrift-chromium-'));
  const args = ['--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-first-run',
                '--disable-background-networking', '--disable-component-update', '--disable-sync',
                '--disable-quic', '--disable-default-apps', '--mute-audio', ...extra];
  // Chromium refuses to run as root with its sandbox.
  if (process.getuid && process.getuid() === 0) args.push('--no-sandbox');
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium', headless: true, userDataDir: profile, args,
  });
  return { browser, close: async () => { await browser.close(); rmSync(profile, { recursive: true, force: true }); } };
}

// Watches every frame the game draws: installed before the page's own scripts, it reads the
// canvas back right after the frame is drawn (before the browser presents it) and keeps what the
// checks ask about. Coordinates are the canvas's, 640x480, y down.
function frameProbe() {
  // The C library's clock, which seeds every run's level, reads Date.now. Held at one second, it
  // makes every run play seed 6's level, on which tapping X at random ends a run within twenty
  // seconds of play (a hundred random tappings in the simulator all fell within 1,117 updates).
  Date.now = () => 6500;
  const probe = { frame: 0, titleAt: null, seen: null };
  window.taldriftProbe = probe;
  let context = null;
  window.taldriftOnFrame = (canvas) => {
    const w = canvas.width;
    const h = canvas.height;
    if (context === null || context.canvas.width !== w || context.canvas.height !== h) {
      const copy = document.createElement('canvas');
      copy.width = w;
      copy.height = h;
      context = copy.getContext('2d', { willReadFrequently: true });
    }
    context.drawImage(canvas, 0, 0);
    const pixels = context.getImageData(0, 0, w, h).data;
    const grey = (x, y) => {
      const i = 4 * (y * w + x);
      return (pixels[i] + pixels[i + 1] + pixels[i + 2]) / 3;
    };
    // Near-white pixels (text) and the brightest grey in a rectangle.
    const white = (x0, y0, rw, rh) => {
      let n = 0;
      for (let y = y0; y < y0 + rh; y++) {
        for (let x = x0; x < x0 + rw; x++) {
          const i = 4 * (y * w + x);
          if (pixels[i] > 240 && pixels[i + 1] > 240 && pixels[i + 2] > 240) n++;
        }
      }
      return n;
    };
    const brightest = (x0, y0, rw, rh) => {
      let most = 0;
      for (let y = y0; y < y0 + rh; y++) for (let x = x0; x < x0 + rw; x++) most = Math.max(most, grey(x, y));
      return most;
    };
    // The camera keeps the runner's feet on row 271 with x 256 through its middle: the gap down to
    // the first black under it (a platform) tells standing from flying; 999 when there is none.
    let gap = 999;
    for (let y = 272; y < h; y++) {
      if (grey(256, y) < 20) {
        gap = y - 272;
        break;
      }
    }
    const seen = {
      // The title screen is white text on black: its first line, "Controls:", at 48..263 x 68..91.
      title: brightest(48, 68, 216, 24) > 240 && brightest(0, 0, 40, 40) < 10,
      // "Score: N" at the top left: some thousand white pixels in 32-unit glyphs.
      score: white(0, 0, 224, 43) > 300,
      // The game-over texts in the middle, no score at the top.
      over: white(0, 0, 224, 43) === 0 && white(64, 168, 512, 192) > 2000,
      // The play screen's background fills the corner the title screen leaves black.
      background: brightest(0, 0, 40, 40) > 10,
      gap,
    };
    probe.frame += 1;
    probe.seen = seen;
    if (seen.title && probe.titleAt === null) probe.titleAt = performance.now();
  };
}

// Opens the page in a new tab with the probe installed; resolves to the tab and what it logged.
async function openPage(browser, url, { touch = false } = {}) {
  const page = await browser.newPage();
  const log = [];
  page.on('console', (message) => log.push(message.text()));
  page.on('pageerror', (error) => log.push(`page error: ${error.message}`));
  await page.setViewport({ width: 700, height: 760, hasTouch: touch });
  await page.evaluateOnNewDocument(frameProbe);
  await page.goto(url, { waitUntil: 'load' });
  return { page, log };
}

class Failure extends Error {}

// Polls check (run in the page, given arg) until it returns something true, for up to patience
// milliseconds; fails with what was asked and what the page showed last.
async function waitFor(page, what, check, arg) {
  const deadline = Date.now() + patience;
  for (;;) {
    const result = await page.evaluate(check, arg);
    if (result) return result;
    if (Date.now() > deadline) {
      const state = await page.evaluate(() => JSON.stringify({ page: window.taldrift, probe: window.taldriftProbe }));
      throw new Failure(`no ${what} within ${patience / 1000} s; the page: ${state}`);
    }
    // Another frame has to come before anything can change.
    await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => done())));
  }
}

// Waits for the probe to see something in a frame drawn after the call.
async function waitForFrame(page, what, test) {
  const after = await page.evaluate(() => window.taldriftProbe.frame);
  return waitFor(page, what, ([after, source]) => {
    const probe = window.taldriftProbe;
    // eslint-disable-next-line no-new-func
    return probe.frame > after && probe.seen !== null && new Function('seen', `return ${source}`)(probe.seen);
  }, [after, test]);
}

// Waits until the runner has stood on a platform in two frames running.
async function waitForStanding(page) {
  return waitFor(page, 'runner standing on the ground', () => {
    const probe = window.taldriftProbe;
    if (probe.seen === null) return false;
    const standing = probe.seen.gap <= 6;
    const before = probe.standingFrame;
    if (!standing) {
      probe.standingFrame = null;
      return false;
    }
    if (before == null) probe.standingFrame = probe.frame;
    return before != null && probe.frame > before;
  });
}

function expect(condition, message) {
  if (!condition) throw new Failure(message);
}

// The OpenGL errors the engine reports, other than its start-up line's GL_NO_ERROR.
function glErrors(log) {
  return log.filter((line) => line.includes('OpenGL error') && !line.includes('GL_NO_ERROR'));
}

// ---- The cases ---------------------------------------------------------------------------------

// A whole game at the keyboard: title, a run, a jump, a fall, a new run, Escape.
async function keyboardGame(browser, url, figures) {
  const { page, log } = await openPage(browser, url);
  await waitForFrame(page, 'title screen', 'seen.title');
  figures.titleMs = await page.evaluate(() => window.taldriftProbe.titleAt);
  expect(await page.evaluate(() => window.taldrift.state) === 'running', 'the page does not say the game runs');
  expect(await page.$eval('#touch', (e) => e.hidden), 'the touch buttons show without a touch screen');

  await page.keyboard.press('c');
  await waitForFrame(page, '"Score:" after C', 'seen.score && seen.background');
  await waitForStanding(page);
  await page.keyboard.down('x');
  await waitForFrame(page, 'runner in the air after X', 'seen.score && seen.gap >= 40');
  await page.keyboard.up('x');
  if (options.screenshot) {
    const stage = await (await page.$('#stage')).boundingBox();
    await page.screenshot({ path: options.screenshot,
                            clip: { x: 0, y: 0, width: stage.x * 2 + stage.width, height: stage.y + stage.height + stage.x } });
  }

  // Jumps of random lengths at random moments, paced as a player's hand would be, soon drop the
  // runner into a gap of seed 6's level (see frameProbe).
  const deadline = Date.now() + patience;
  const pause = (ms) => new Promise((done) => setTimeout(done, ms));
  for (;;) {
    const over = await page.evaluate(() => window.taldriftProbe.seen.over);
    if (over) break;
    expect(Date.now() < deadline, `no "Game over" within ${patience / 1000} s of jumping`);
    await page.keyboard.down('x');
    await pause(50 + 250 * Math.random());
    await page.keyboard.up('x');
    await pause(150 + 950 * Math.random());
  }
  await waitForFrame(page, '"Game over"', 'seen.over');
  await page.keyboard.press('c');
  await waitForFrame(page, '"Score:" of a new run after C', 'seen.score && !seen.over');

  await page.keyboard.press('Escape');
  await waitFor(page, 'end of the game after Escape', () => window.taldrift.state === 'ended');
  expect(await page.evaluate(() => window.taldrift.exitCode) === 0, 'Escape did not end the game with exit code 0');
  const said = await page.$eval('#ended', (e) => (e.hidden ? '' : e.innerText));
  expect(said.includes('The game has ended') && said.includes('play again'), `the page says "${said}" after Escape`);
  expect(await page.$eval('#canvas', (e) => e.hidden), 'the stopped canvas still shows');
  expect(glErrors(log).length === 0, `OpenGL errors: ${glErrors(log).slice(0, 3).join('; ')}`);
  await page.close();
}

// Touch buttons: they show, C's starts a run and X's, held, makes the runner jump.
async function touchGame(browser, url) {
  const { page, log } = await openPage(browser, url, { touch: true });
  await waitForFrame(page, 'title screen', 'seen.title');
  expect(!(await page.$eval('#touch', (e) => e.hidden)), 'no touch buttons on a touch screen');
  const centre = async (selector) => {
    const box = await (await page.$(selector)).boundingBox();
    return { x: box.x + box.width / 2, y: box.y + box.height / 2 };
  };
  const c = await centre('#touch-c');
  const x = await centre('#touch-x');
  await page.touchscreen.tap(c.x, c.y);
  await waitForFrame(page, '"Score:" after touching C', 'seen.score && seen.background');
  await waitForStanding(page);
  await page.touchscreen.touchStart(x.x, x.y);
  await waitForFrame(page, 'runner in the air while X is touched', 'seen.score && seen.gap >= 40');
  await page.touchscreen.touchEnd();
  expect(glErrors(log).length === 0, `OpenGL errors: ${glErrors(log).slice(0, 3).join('; ')}`);
  await page.close();
}

// A browser without WebGL 2: the page shows the start-up failure and the program's exit code 1.
async function withoutWebGl2(url) {
  const { browser, close } = await launch(['--disable-webgl2']);
  try {
    const { page, log } = await openPage(browser, url);
    const webgl2 = await page.evaluate(() => document.createElement('canvas').getContext('webgl2') !== null);
    expect(!webgl2, 'this browser still offers WebGL 2');
    await waitFor(page, 'start-up failure', () => window.taldrift.state === 'failed' && window.taldrift.exitCode !== null);
    expect(await page.evaluate(() => window.taldrift.exitCode) === 1, 'the failed start did not end with exit code 1');
    const said = await page.$eval('#failure', (e) => (e.hidden ? '' : e.innerText));
    expect(said.includes('Initialization Error') && said.includes('Unable to create renderer!'),
           `the page says "${said}"`);
    const reason = await page.evaluate(() => window.taldrift.failure.reason);
    expect(reason.includes('no WebGL 2'), `the failure's reason "${reason}" does not say what is missing`);
    expect(log.some((line) => line.startsWith('Initialization Error: Unable to create renderer!')),
           'no "Initialization Error" line on standard error');
    await page.close();
  } finally {
    await close();
  }
}

// A page whose packed resources are missing says so instead of loading for ever.
async function withoutResources(browser, folder) {
  const partial = mkdtempSync(join(tmpdir(), 'taldrift-page-'));
  for (const file of ['index.html', 'taldrift.js', 'taldrift.wasm']) copyFileSync(join(folder, file), join(partial, file));
  const server = await serve(partial, 0);
  try {
    const { page } = await openPage(browser, `http://127.0.0.1:${server.address().port}/`);
    await waitFor(page, 'failure without taldrift.data', () => window.taldrift.state === 'failed');
    const said = await page.$eval('#failure', (e) => (e.hidden ? '' : e.innerText));
    expect(said.includes('Initialization Error') && said.includes('taldrift.data'), `the page says "${said}"`);
    await page.close();
  } finally {
    server.close();
    rmSync(partial, { recursive: true, force: true });
  }
}

// ---- Running them ------------------------------------------------------------------------------

// A server of its own on a free port, or the one at --url (scripts/web --serve, say).
const server = options.url ? null : await serve(options.folder, 0);
const url = options.url || `http://127.0.0.1:${server.address().port}/`;
const cases = [
  ['keyboard game', (b, f) => keyboardGame(b, url, f)],
  ['touch buttons', (b) => touchGame(b, url)],
  ['no WebGL 2', () => withoutWebGl2(url)],
];
// Only with the page's files at hand.
if (options.folder) cases.push(['no resources', (b) => withoutResources(b, options.folder)]);
const passed = new Map(cases.map(([name]) => [name, 0]));
const titleTimes = [];
let failed = 0;
const { browser, close } = await launch();
try {
  for (let round = 1; round <= options.repeat; round++) {
    for (const [name, run] of cases) {
      const figures = {};
      try {
        await run(browser, figures);
        passed.set(name, passed.get(name) + 1);
        if (figures.titleMs != null) titleTimes.push(figures.titleMs);
      } catch (error) {
        failed++;
        console.error(`FAIL (round ${round}) ${name}: ${error instanceof Failure ? error.message : error.stack}`);
      }
    }
  }
} finally {
  await close();
  if (server) server.close();
}
for (const [name, count] of passed) console.log(`${name}: ${count} of ${options.repeat} passed`);
if (options.figures && titleTimes.length > 0) {
  titleTimes.sort((a, b) => a - b);
  console.log(`opening the page to the title screen: best ${titleTimes[0].toFixed(0)} ms, ` +
              `median ${titleTimes[Math.floor(titleTimes.length / 2)].toFixed(0)} ms of ${titleTimes.length}`);
}
process.exit(failed === 0 ? 0 : 1);
