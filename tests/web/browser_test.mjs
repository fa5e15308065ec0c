// The page in Debian's Chromium, played with real mouse and key events through the
// automation protocol. At 1024 x 768 the canvas must show, byte for byte outside the
// frame-rate reading, what the native replay tool shows for the same actions
// (actions.replay); at 1920 x 1080 and at 1280 x 720 on a screen of pixel ratio 2
// the picture must be centred and crisp; Escape must end the game only the second
// time, and the page must say so.
//
// node browser_test.mjs SITE_DIR REPLAY_TOOL LEVEL [--screenshot PNG] [--loads N]
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const GAME_WIDTH = 1024;
const GAME_HEIGHT = 768;
// "FPS: nn" at the top left changes with the real frame rate; nothing else may differ.
const FPS_BOX = { width: 64, height: 16 };
const ESCAPE_GRACE_MS = 600;  // a little more than the page's

function Usage(problem) {
  console.error(`browser_test: ${problem}\nusage: node browser_test.mjs SITE_DIR REPLAY_TOOL LEVEL ` +
                '[--screenshot PNG] [--loads N]');
  process.exit(2);
}

function ParseArguments(argv) {
  const options = { positional: [], screenshot: '', loads: 1 };
  for (let k = 0; k < argv.length; ++k) {
    if (argv[k] === '--screenshot' || argv[k] === '--loads') {
      if (k + 1 >= argv.length) Usage(`${argv[k]} needs a value`);
      if (argv[k] === '--screenshot') options.screenshot = path.resolve(argv[++k]);
      else options.loads = Number(argv[++k]);
    } else {
      options.positional.push(argv[k]);
    }
  }
  if (options.positional.length !== 3) Usage('SITE_DIR, REPLAY_TOOL and LEVEL are needed');
  if (!(options.loads >= 1 && options.loads <= 100)) Usage('--loads takes 1 to 100');
  for (const file of options.positional) {
    if (!fs.existsSync(file)) Usage(`${file}: not found`);
  }
  return options;
}

// playwright-core as the lock file pins it, installed on first use.
async function LoadPlaywright() {
  const entry = path.join(here, 'node_modules', 'playwright-core', 'index.mjs');
  if (!fs.existsSync(entry)) {
    execFileSync('npm', ['ci', '--no-audit', '--no-fund'], { cwd: here, stdio: 'inherit' });
  }
  return (await import(entry)).chromium;
}

const TYPES = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
                '.svg': 'image/svg+xml', '.ico': 'image/x-icon' };

// The site as any static web server would serve it, on the loopback interface only.
async function ServeSite(siteDir) {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    const file = path.join(siteDir, name === '/' ? 'index.html' : name);
    if (!file.startsWith(siteDir + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'content-type': TYPES[path.extname(file)] || 'application/octet-stream' });
    response.end(fs.readFileSync(file));
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return server;
}

// A 24-bit bottom-up BMP as the replay tool writes it, as RGB rows top down.
function ReadBmp(file) {
  const bytes = fs.readFileSync(file);
  const offset = bytes.readUInt32LE(10);
  const width = bytes.readInt32LE(18);
  const height = bytes.readInt32LE(22);
  const pitch = Math.ceil((width * 3) / 4) * 4;
  const rgb = new Uint8Array(width * height * 3);
  for (let y = 0; y < height; ++y) {
    const row = offset + (height - 1 - y) * pitch;
    for (let x = 0; x < width; ++x) {
      rgb.set([bytes[row + x * 3 + 2], bytes[row + x * 3 + 1], bytes[row + x * 3]], (y * width + x) * 3);
    }
  }
  return { width, height, rgb };
}

let failures = 0;
let passes = 0;
function Check(ok, what) {
  if (ok) {
    ++passes;
  } else {
    ++failures;
    console.log(`FAILED: ${what}`);
  }
  return ok;
}

// The canvas's pixels as RGBA bytes, carried out of the page as base64.
async function CanvasPixels(page) {
  const canvas = await page.evaluate(() => {
    const c = window.karnoltPage.canvas;
    const bytes = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    let text = '';
    for (let k = 0; k < bytes.length; k += 0x8000) {
      text += String.fromCharCode.apply(null, bytes.subarray(k, k + 0x8000));
    }
    return { width: c.width, height: c.height, data: btoa(text) };
  });
  canvas.data = new Uint8Array(Buffer.from(canvas.data, 'base64'));
  return canvas;
}

// False when the game stopped presenting frames.
async function WaitFrames(page, count) {
  const start = await page.evaluate(() => window.karnoltPage.presented);
  return page.waitForFunction((target) => window.karnoltPage.presented >= target, start + count,
                              { polling: 'raf', timeout: 10000 }).then(() => true, () => false);
}

// The canvas against a replay shot: every pixel outside the frame-rate reading.
function CompareWithShot(canvas, shot, name) {
  if (!Check(canvas.width === shot.width && canvas.height === shot.height,
             `${name}: canvas ${canvas.width} x ${canvas.height}, shot ${shot.width} x ${shot.height}`)) return;
  let differing = 0;
  let first = '';
  for (let y = 0; y < shot.height; ++y) {
    for (let x = 0; x < shot.width; ++x) {
      if (x < FPS_BOX.width && y < FPS_BOX.height) continue;
      const c = (y * shot.width + x) * 4;
      const s = (y * shot.width + x) * 3;
      const same = canvas.data[c] === shot.rgb[s] && canvas.data[c + 1] === shot.rgb[s + 1] &&
                   canvas.data[c + 2] === shot.rgb[s + 2] && canvas.data[c + 3] === 255;
      if (!same && differing++ === 0) {
        first = `(${x}, ${y}) canvas ${canvas.data.slice(c, c + 4).join(',')} native ` +
                `${shot.rgb.slice(s, s + 3).join(',')}`;
      }
    }
  }
  Check(differing === 0, `${name}: ${differing} pixels differ from the native replay, first at ${first}`);
}

// One axis of the crispness rule, walked along `count` screen pixels: each run of
// equal game pixels shows as a run of screen pixels of exactly its own colour,
// about scale times as long, with at most one blended pixel before it.
// matches(o, i): screen pixel o shows game pixel i's colour; same(i, j): equal game pixels.
function CrispAxis(count, first, last, scale, matches, same) {
  let o = 0;
  for (let i = first; i < last;) {
    let j = i + 1;
    while (j < last && same(i, j)) ++j;
    if (o < count && !matches(o, i)) ++o;  // the one blended pixel
    let run = 0;
    while (o < count && matches(o, i)) ++o, ++run;
    // The first run may be cut by the part left out (the frame-rate reading).
    const expected = (j - i) * scale;
    if (run < 1 || (i !== first && Math.abs(run - expected) > 2)) {
      return `game pixels ${i}..${j - 1} show as ${run} screen pixels (about ${expected.toFixed(1)} due)`;
    }
    i = j;
  }
  return o === count ? '' : `${count - o} screen pixels left over`;
}

// The desktop's rule: as large as fits, centred between black bars, and crisp.
function CheckCentredAndCrisp(canvas, shot, name) {
  const scale = Math.min(canvas.width / GAME_WIDTH, canvas.height / GAME_HEIGHT);
  const width = Math.round(GAME_WIDTH * scale);
  const height = Math.round(GAME_HEIGHT * scale);
  const left = Math.floor((canvas.width - width) / 2);
  const top = Math.floor((canvas.height - height) / 2);
  const at = (x, y) => (y * canvas.width + x) * 4;
  let lit = 0;
  for (let y = 0; y < canvas.height; ++y) {
    for (let x = 0; x < canvas.width; ++x) {
      const inside = x >= left && x < left + width && y >= top && y < top + height;
      const p = at(x, y);
      if (!inside && (canvas.data[p] | canvas.data[p + 1] | canvas.data[p + 2]) !== 0) ++lit;
    }
  }
  Check(lit === 0, `${name}: ${lit} pixels lit in the black bars around ${width} x ${height} at ${left}, ${top}`);
  const sameGame = (y) => (a, b) =>
    shot.rgb[(y * GAME_WIDTH + a) * 3] === shot.rgb[(y * GAME_WIDTH + b) * 3] &&
    shot.rgb[(y * GAME_WIDTH + a) * 3 + 1] === shot.rgb[(y * GAME_WIDTH + b) * 3 + 1] &&
    shot.rgb[(y * GAME_WIDTH + a) * 3 + 2] === shot.rgb[(y * GAME_WIDTH + b) * 3 + 2];
  const rowMatches = (r, gy) => CrispAxis(width, 0, GAME_WIDTH, scale, (o, i) => {
    const p = at(left + o, top + r);
    const s = (gy * GAME_WIDTH + i) * 3;
    return canvas.data[p] === shot.rgb[s] && canvas.data[p + 1] === shot.rgb[s + 1] &&
           canvas.data[p + 2] === shot.rgb[s + 2];
  }, sameGame(gy)) === '';
  const rowsSame = (a, b) => {
    for (let x = 0; x < GAME_WIDTH; ++x) {
      if (!sameGame(0)(a * GAME_WIDTH + x, b * GAME_WIDTH + x)) return false;
    }
    return true;
  };
  // Rows below the frame-rate reading, from the first screen row of a game row clear of it.
  const firstGameRow = FPS_BOX.height + 2;
  const firstRow = Math.ceil(firstGameRow * scale);
  const problem = CrispAxis(height - firstRow, firstGameRow, GAME_HEIGHT, scale,
                            (o, gy) => rowMatches(firstRow + o, gy), rowsSame);
  Check(problem === '', `${name}: not crisp: ${problem}`);
}

const BROWSER_ARGS = ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                      '--disable-background-networking', '--disable-component-update', '--disable-sync'];

async function OpenPage(chromium, origin, viewport, deviceScaleFactor) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'karnolt-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium', headless: true, args: BROWSER_ARGS, viewport, deviceScaleFactor });
  const page = context.pages()[0] || (await context.newPage());
  const foreign = [];
  page.on('request', (request) => {
    if (!request.url().startsWith(origin) && !request.url().startsWith('data:')) foreign.push(request.url());
  });
  page.on('pageerror', (error) => Check(false, `page error: ${error.message}`));
  await page.goto(origin + '/');
  await page.waitForFunction(() => window.karnoltPage && window.karnoltPage.presented > 5, null,
                             { timeout: 20000 });
  const firstFrame = await page.evaluate(() => window.karnoltPage.firstFrame);
  return { context, page, foreign, firstFrame, profile };
}

async function ClosePage(opened) {
  Check(opened.foreign.length === 0, `the page asked other hosts: ${opened.foreign.join(' ')}`);
  await opened.context.close();
  fs.rmSync(opened.profile, { recursive: true, force: true });
}

// The actions of actions.replay, on the page with a locked pointer. The automation's
// pointer follows the game's (which starts at 512, 384), so relative motions match.
async function Play(page, shots) {
  const pointer = { x: 512, y: 384 };
  const move = async (dx, dy) => {
    pointer.x += dx;
    pointer.y += dy;
    await page.mouse.move(pointer.x, pointer.y);
    await WaitFrames(page, 1);
  };
  const click = async (button) => {
    await page.mouse.down({ button });
    await WaitFrames(page, 3);
    await page.mouse.up({ button });
    await WaitFrames(page, 12);
  };
  const key = async (name, frames) => {
    await page.keyboard.down(name);
    await WaitFrames(page, frames);
    await page.keyboard.up(name);
    await WaitFrames(page, 12);
  };
  Check(await page.evaluate(() => window.karnoltPage.state === 'start' &&
                                  !document.getElementById('hint').hidden),
        'before the first click the page tells how to start');
  // The first click takes the pointer and does not reach the game.
  await page.mouse.move(pointer.x, pointer.y);
  await page.mouse.click(pointer.x, pointer.y);
  await page.waitForFunction(() => document.pointerLockElement !== null, null, { timeout: 5000 });
  await WaitFrames(page, 12);
  Check(await page.evaluate(() => document.getElementById('hint').hidden), 'the hint hides once playing');
  CompareWithShot(await CanvasPixels(page), shots.start, 'after the first click');
  await move(-152, 16);
  await click('left');
  await move(60, 0);
  await click('left');
  await move(60, -20);
  await click('left');
  await move(60, 20);
  await click('left');
  await click('right');
  CompareWithShot(await CanvasPixels(page), shots.built, 'after building');
  await key('Enter', 3);
  await WaitFrames(page, 18);
  const running = await CanvasPixels(page);
  let moved = 0;
  for (let k = 0; k < running.data.length; k += 4) moved += running.data[k] !== shots.built.rgb[(k / 4) * 3];
  Check(moved > 1000, `the simulation did not run after Enter (${moved} values changed)`);
  await key('Enter', 3);
  await move(-90, -60);
  await page.mouse.down({ button: 'right' });
  await WaitFrames(page, 3);
  await move(140, 100);
  await WaitFrames(page, 2);
  await page.mouse.up({ button: 'right' });
  await WaitFrames(page, 12);
  await key('Delete', 6);
  CompareWithShot(await CanvasPixels(page), shots.deleted, 'after the deletion');
  // A page without the focus is an inactive window: nothing is drawn until it is back.
  await page.evaluate(() => window.dispatchEvent(new Event('blur')));
  await page.waitForTimeout(50);  // the frame under way may still go up
  const before = await page.evaluate(() => window.karnoltPage.presented);
  await page.waitForTimeout(300);
  Check(await page.evaluate(() => window.karnoltPage.presented) === before,
        'frames were presented while the page had lost the focus');
  await page.evaluate(() => window.dispatchEvent(new Event('focus')));
  Check(await WaitFrames(page, 5), 'no frames once the focus was back');
}

// Escape frees the pointer and leaves the game running; only Escape again ends it.
async function EndWithEscape(page) {
  await page.keyboard.press('Escape');
  Check(await WaitFrames(page, 10), 'the game stopped after the first Escape');
  const paused = await page.evaluate(() => ({
    state: window.karnoltPage.state, locked: document.pointerLockElement !== null,
    hint: document.getElementById('hint').hidden ? '' : document.getElementById('hint-text').textContent }));
  Check(paused.state === 'paused' && !paused.locked, `after the first Escape: ${JSON.stringify(paused)}`);
  Check(paused.hint.includes('Escape noch einmal beendet das Spiel'), `the hint says: "${paused.hint}"`);
  await page.waitForTimeout(ESCAPE_GRACE_MS);
  Check(await WaitFrames(page, 5), 'the game stopped before the second Escape');
  await page.keyboard.press('Escape');
  await page.waitForFunction(() => window.karnoltPage.state === 'ended', null, { timeout: 5000 })
    .catch(() => {});
  const ended = await page.evaluate(() => ({
    state: window.karnoltPage.state, presented: window.karnoltPage.presented,
    notice: document.getElementById('notice').hidden ? '' : document.getElementById('notice').innerText,
    again: !document.getElementById('again').hidden }));
  Check(ended.state === 'ended' && ended.notice.includes('Spiel beendet') && ended.again,
        `after the second Escape: ${JSON.stringify(ended)}`);
  await page.waitForTimeout(200);
  Check(await page.evaluate(() => window.karnoltPage.presented) === ended.presented,
        'frames still presented after the end');
}

async function Main() {
  const options = ParseArguments(process.argv.slice(2));
  const [siteDir, replayTool, level] = options.positional.map((p) => path.resolve(p));
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'karnolt-browser-test-'));
  execFileSync(replayTool, ['--level', level, '--out', work, path.join(here, 'actions.replay')],
               { stdio: 'inherit' });
  const shots = Object.fromEntries(['start', 'built', 'deleted'].map(
    (name) => [name, ReadBmp(path.join(work, `${name}.bmp`))]));
  const chromium = await LoadPlaywright();
  const server = await ServeSite(siteDir);
  const origin = `http://127.0.0.1:${server.address().port}`;
  const firstFrames = [];
  try {
    for (let k = 0; k < options.loads; ++k) {
      const opened = await OpenPage(chromium, origin, { width: GAME_WIDTH, height: GAME_HEIGHT }, 1);
      firstFrames.push(opened.firstFrame);
      if (k === 0) {
        Check(await opened.page.title() === 'Karnolt', 'the window title is Karnolt');
        await Play(opened.page, shots);
        await EndWithEscape(opened.page);
      }
      await ClosePage(opened);
    }
    for (const [viewport, ratio] of [[{ width: 1920, height: 1080 }, 1], [{ width: 1280, height: 720 }, 2]]) {
      const opened = await OpenPage(chromium, origin, viewport, ratio);
      firstFrames.push(opened.firstFrame);
      const name = `${viewport.width} x ${viewport.height} at ratio ${ratio}`;
      const canvas = await CanvasPixels(opened.page);
      Check(canvas.width === viewport.width * ratio && canvas.height === viewport.height * ratio,
            `${name}: canvas ${canvas.width} x ${canvas.height} is not the window's device pixels`);
      CheckCentredAndCrisp(canvas, shots.start, name);
      if (options.screenshot && ratio === 1) await opened.page.screenshot({ path: options.screenshot });
      await ClosePage(opened);
    }
  } finally {
    server.close();
    fs.rmSync(work, { recursive: true, force: true });
  }
  console.log(`load to first frame (ms): ${firstFrames.map((t) => t.toFixed(1)).join(', ')}`);
  console.log(`${passes} passed, ${failures} failed`);
  process.exit(failures === 0 && passes > 0 ? 0 : 1);
}

Main().catch((error) => {
  console.error(`browser_test: ${error.stack || error}`);
  process.exit(1);
});
