// The page in Debian's Chromium, played with real mouse and key events through the
// automation protocol. At 1024 x 768 the canvas must show, byte for byte outside the
// frame-rate reading, what the native replay tool shows for the same actions
// (actions.replay); at 1920 x 1080, at 1280 x 720 on a screen of pixel ratio 2 and
// at a phone's 844 x 390 at ratio 3 the canvas must hold the same picture and the
// screen show it centred and crisp; the first picture, before another display frame,
// must be the native one too; Escape must
// end the game only the second time, and the page must say so; a key held when the page loses the focus is let go;
// a page without its karnolt.wasm says that the game cannot start, and why.
//
// node browser_test.mjs SITE_DIR REPLAY_TOOL LEVEL [--screenshot PNG] [--loads N]
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { CanvasPixels, Check, CheckCentredAndCrisp, CompareWithShot, FPS_BOX, Finish, GAME_HEIGHT, GAME_WIDTH,
         IsOwnRequest, LoadPinnedModule, OpenFreshChromium, PageStarted, ParseArguments, RenderShots, ScreenPixels,
         ServeSite, here } from './page_support.mjs';

const ESCAPE_GRACE_MS = 600;  // a little more than the page's
const ARGUMENTS = {
  tool: 'browser_test',
  usage: 'node browser_test.mjs SITE_DIR REPLAY_TOOL LEVEL [--screenshot PNG] [--loads N]',
  positional: ['SITE_DIR', 'REPLAY_TOOL', 'LEVEL'],
  options: {
    '--screenshot': { key: 'screenshot', initial: '', Parse: (text) => path.resolve(text) },
    '--loads': { key: 'loads', initial: 1, problem: '--loads takes 1 to 100',
                 Parse: (text) => (Number(text) >= 1 && Number(text) <= 100 ? Number(text) : undefined) },
  },
};

// False when the game stopped presenting frames.
async function WaitFrames(page, count) {
  const start = await page.evaluate(() => window.karnoltPage.presented);
  return page.waitForFunction((target) => window.karnoltPage.presented >= target, start + count,
                              { polling: 'raf', timeout: 10000 }).then(() => true, () => false);
}

// withoutWorker: as in a browser that cannot hand a canvas to a worker. whileLoading(page):
// run before the game has started, with karnolt.wasm held back for LATE_GAME_MS.
const LATE_GAME_MS = 2500;
async function OpenPage(chromium, origin, viewport, deviceScaleFactor, { withoutWorker = false, whileLoading } = {}) {
  const { page, close } = await OpenFreshChromium(chromium, { viewport, deviceScaleFactor });
  const foreign = [];
  page.on('request', (request) => {
    if (!IsOwnRequest(request.url(), origin)) foreign.push(request.url());
  });
  page.on('pageerror', (error) => Check(false, `page error: ${error.message}`));
  if (withoutWorker) await page.addInitScript(() => { delete HTMLCanvasElement.prototype.transferControlToOffscreen; });
  if (whileLoading) {
    await page.route('**/karnolt.wasm', (route) => { setTimeout(() => route.continue(), LATE_GAME_MS); });
  }
  await page.goto(origin + '/');
  if (whileLoading) await whileLoading(page);
  await page.waitForFunction(PageStarted, null, { timeout: 20000 });
  const firstFrame = await page.evaluate(() => window.karnoltPage.firstFrame);
  return { page, foreign, firstFrame, close };
}

async function ClosePage(opened) {
  Check(opened.foreign.length === 0, `the page asked other hosts: ${opened.foreign.join(' ')}`);
  await opened.close();
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
  // A page without the focus is an inactive window: nothing is drawn until it is back,
  // and a key held when it went is let go, as its release goes elsewhere. Enter let go
  // that way starts the simulation, which the heads-up display then says.
  const stopped = await CanvasPixels(page);
  await page.keyboard.down('Enter');
  await WaitFrames(page, 3);
  await page.evaluate(() => window.dispatchEvent(new Event('blur')));
  await page.waitForTimeout(50);  // the frame under way may still go up
  const before = await page.evaluate(() => window.karnoltPage.presented);
  await page.waitForTimeout(300);
  Check(await page.evaluate(() => window.karnoltPage.presented) === before,
        'frames were presented while the page had lost the focus');
  await page.evaluate(() => window.dispatchEvent(new Event('focus')));
  Check(await WaitFrames(page, 5), 'no frames once the focus was back');
  Check(CountChangesOutsideFps(stopped, await CanvasPixels(page)) > 0,
        'Enter held when the page lost the focus was not let go');
  await page.keyboard.up('Enter');
}

// Bytes that differ between two canvases of one size, the frame-rate reading left out.
function CountChangesOutsideFps(a, b) {
  let changes = 0;
  for (let k = 0; k < a.data.length; ++k) {
    const pixel = k >> 2;
    const inFps = pixel % a.width < FPS_BOX.width && Math.floor(pixel / a.width) < FPS_BOX.height;
    changes += !inFps && a.data[k] !== b.data[k];
  }
  return changes;
}

// A page whose game cannot be had says so, with the reason, instead of staying blank.
async function CheckStartUpFailure(chromium, siteDir) {
  const broken = fs.mkdtempSync(path.join(os.tmpdir(), 'karnolt-broken-site-'));
  fs.cpSync(siteDir, broken, { recursive: true });
  fs.rmSync(path.join(broken, 'karnolt.wasm'));
  const server = await ServeSite(broken);
  const { page, close } = await OpenFreshChromium(chromium);
  try {
    await page.goto(`http://127.0.0.1:${server.address().port}/`);
    await page.waitForFunction(() => window.karnoltPage.state === 'failed', null, { timeout: 20000 })
      .catch(() => {});
    const shown = await page.evaluate(() => ({
      title: document.getElementById('notice').hidden ? '' : document.getElementById('notice-title').textContent,
      text: document.getElementById('notice-text').textContent }));
    Check(shown.title === 'Karnolt kann nicht starten' && shown.text.length > 0,
          `without karnolt.wasm the page shows: ${JSON.stringify(shown)}`);
  } finally {
    await close();
    server.close();
    fs.rmSync(broken, { recursive: true, force: true });
  }
}

// The first picture by itself, as the game sends it before any display frame has run
// another: the page's animation frames are held back, so it stays on the canvas.
async function CheckFirstPicture(chromium, origin, shot) {
  const { page, close } = await OpenFreshChromium(chromium, { viewport: { width: GAME_WIDTH, height: GAME_HEIGHT } });
  try {
    await page.addInitScript(() => { window.requestAnimationFrame = () => 0; });
    await page.goto(origin + '/');
    await page.waitForFunction(() => window.karnoltPage.firstFrame > 0, null, { timeout: 20000 });
    Check(await page.evaluate(() => window.karnoltPage.presented) === 1, 'one picture before any display frame');
    CompareWithShot(await CanvasPixels(page), shot, 'the first picture');
  } finally {
    await close();
  }
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
  const options = ParseArguments(process.argv.slice(2), ARGUMENTS);
  const [siteDir, replayTool, level] = options.positional.map((p) => path.resolve(p));
  const shots = RenderShots(replayTool, level, path.join(here, 'actions.replay'), ['start', 'built', 'deleted']);
  // playwright-core as the lock file pins it.
  const { chromium } = await LoadPinnedModule('playwright-core/index.mjs');
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
    for (const [viewport, ratio] of [[{ width: 1920, height: 1080 }, 1], [{ width: 1280, height: 720 }, 2],
                                     [{ width: 844, height: 390 }, 3]]) {
      // At ratio 2 the page draws the canvas itself, without a worker.
      const opened = await OpenPage(chromium, origin, viewport, ratio, { withoutWorker: ratio === 2 });
      firstFrames.push(opened.firstFrame);
      const name = `${viewport.width} x ${viewport.height} at ratio ${ratio}`;
      Check(await opened.page.evaluate(() => window.karnoltPage.pictureOnWorker) === (ratio !== 2),
            `${name}: the canvas is drawn ${ratio === 2 ? 'on' : 'off'} a worker`);
      CompareWithShot(await CanvasPixels(opened.page), shots.start, name);
      if (options.screenshot && ratio === 1) await opened.page.screenshot({ path: options.screenshot });
      const screen = await ScreenPixels(opened.page);
      Check(screen.width === viewport.width * ratio && screen.height === viewport.height * ratio,
            `${name}: the screen is ${screen.width} x ${screen.height} device pixels`);
      CheckCentredAndCrisp(screen, shots.start, name);
      await ClosePage(opened);
    }
    // The page shows no text before the game's first picture, unless the game is late.
    await ClosePage(await OpenPage(chromium, origin, { width: GAME_WIDTH, height: GAME_HEIGHT }, 1, {
      whileLoading: async (page) => {
        const said = await page.waitForFunction(() => !document.getElementById('hint').hidden, null,
                                                { timeout: LATE_GAME_MS })
          .then(() => page.evaluate(() => document.getElementById('hint-text').textContent), () => '');
        Check(said === 'Karnolt wird geladen …', `while the game is late the page says: "${said}"`);
      } }));
    await CheckFirstPicture(chromium, origin, shots.start);
    await CheckStartUpFailure(chromium, siteDir);
  } finally {
    server.close();
  }
  console.log(`load to first frame (ms): ${firstFrames.map((t) => t.toFixed(1)).join(', ')}`);
  Finish();
}

Main().catch((error) => {
  console.error(`browser_test: ${error.stack || error}`);
  process.exit(1);
});
