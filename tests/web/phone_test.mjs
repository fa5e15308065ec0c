// The page as phones and tablets play it, in Debian's Chromium with touch and mobile
// emulation, played by touch alone through the automation protocol's touch events
// (no Pointer Lock, which real mobile browsers do not offer). At 1024 x 768, and on a
// phone's 844 x 390 screen at pixel ratio 3, the canvas must show after each step,
// byte for byte outside the frame-rate reading, what the native replay tool shows
// for the mouse input the touches become (touch.replay); on the phone no control may
// cover the picture, the page must neither scroll nor zoom, and held upright the
// phone is asked to turn. A desktop
// page must show nothing of this, and a display of 30 Hz must still run the game at
// 60-61 frames a second.
//
// node phone_test.mjs SITE_DIR REPLAY_TOOL LEVEL [--screenshot PNG] [--rates HZ,HZ,...]
// --rates measures the game frames a second at those display rates instead.
import path from 'node:path';
import { CHROMIUM_ARGS, CanvasPixels, Check, CompareWithShot, Finish, GAME_HEIGHT, GAME_WIDTH,
         LoadPinnedModule, PageStarted, ParseArguments, RenderShots, ServeSite, here } from './page_support.mjs';

const ARGUMENTS = {
  tool: 'phone_test',
  usage: 'node phone_test.mjs SITE_DIR REPLAY_TOOL LEVEL [--screenshot PNG] [--rates HZ,HZ,...]',
  positional: ['SITE_DIR', 'REPLAY_TOOL', 'LEVEL'],
  options: {
    '--screenshot': { key: 'screenshot', initial: '', Parse: (text) => path.resolve(text),
                      problem: '--screenshot needs a file name' },
    '--rates': { key: 'rates', initial: [],
                 Parse: (text) => {
                   const rates = text.split(',').map(Number);
                   return rates.every((rate) => rate >= 1 && rate <= 1000) ? rates : undefined;
                 },
                 problem: '--rates takes display rates in Hz, 1 to 1000, separated by commas' },
  },
};
const SHOTS = ['start', 'chain', 'ended', 'removed', 'stopped', 'framed', 'deleted', 'scrolled'];
const MIN_CONTROL_SIZE = 44;  // CSS pixels, for a finger
const SLOW_DISPLAY_HZ = 30;

// The page's own count of game frames; false when the game stopped running them.
async function WaitGameFrames(page, count) {
  const start = await page.evaluate(() => window.karnoltPage.gameFrames);
  return page.waitForFunction((target) => window.karnoltPage.gameFrames >= target, start + count,
                              { polling: 10, timeout: 10000 }).then(() => true, () => false);
}

// A phone or a tablet: the page with touch and mobile emulation, and a session of
// the automation protocol for its touch events.
async function OpenTouchPage(browser, origin, viewport, deviceScaleFactor) {
  const context = await browser.newContext({ viewport, deviceScaleFactor, isMobile: true, hasTouch: true });
  const page = await context.newPage();
  page.on('pageerror', (error) => Check(false, `page error: ${error.message}`));
  await page.goto(origin + '/');
  await page.waitForFunction(PageStarted, null, { timeout: 20000 });
  const cdp = await context.newCDPSession(page);
  const screen = await page.evaluate(() => ({ width: window.karnoltPage.screenWidth,
                                               height: window.karnoltPage.screenHeight }));
  // The game's rule for its picture: as large as fits, centred, in device pixels.
  const scale = Math.min(screen.width / GAME_WIDTH, screen.height / GAME_HEIGHT);
  const place = { width: Math.round(GAME_WIDTH * scale), height: Math.round(GAME_HEIGHT * scale) };
  place.x = Math.floor((screen.width - place.width) / 2);
  place.y = Math.floor((screen.height - place.height) / 2);
  return { context, page, cdp, place, ratio: deviceScaleFactor, viewport };
}

// The game pixel under the middle of a device pixel, as the back end finds it.
function GameCoordinate(device, start, size, gameSize) {
  return Math.floor(((2 * (device - start) + 1) * gameSize) / (2 * size));
}

// A whole CSS pixel whose touch lands on game point (x, y); the session's points
// are chosen so that one exists at every size tested.
function CssPointOf(session, x, y) {
  const find = (game, start, size, gameSize, cssSize) => {
    for (let css = 0; css < cssSize; ++css) {
      if (GameCoordinate(css * session.ratio, start, size, gameSize) === game) return css;
    }
    return -1;
  };
  const point = { x: find(x, session.place.x, session.place.width, GAME_WIDTH, session.viewport.width),
                  y: find(y, session.place.y, session.place.height, GAME_HEIGHT, session.viewport.height) };
  Check(point.x >= 0 && point.y >= 0, `no CSS pixel touches game point (${x}, ${y})`);
  return point;
}

async function Touch(session, type, points) {
  await session.cdp.send('Input.dispatchTouchEvent', {
    type, touchPoints: points.map((point, id) => ({ x: point.x, y: point.y, id })) });
}

// A finger put down and lifted at once, on a game point or on a control.
async function Tap(session, point) {
  await Touch(session, 'touchStart', [point]);
  await Touch(session, 'touchEnd', []);
}
async function TapPicture(session, x, y) {
  await Tap(session, CssPointOf(session, x, y));
  Check(await WaitGameFrames(session.page, 14), `the game stopped after a tap at (${x}, ${y})`);
}
async function ControlCentre(session, selector) {
  const box = await session.page.locator(selector).boundingBox();
  return { x: box.x + box.width / 2, y: box.y + box.height / 2 };
}
async function TapControl(session, selector, frames = 14) {
  await Tap(session, await ControlCentre(session, selector));
  Check(await WaitGameFrames(session.page, frames), `the game stopped after a tap on ${selector}`);
}

// Every control shown, at least a finger's size, and none over the picture.
async function CheckControls(session, name, mayCover) {
  const boxes = await session.page.evaluate(() => Array.from(
    document.querySelectorAll('.touch-bar button'), (button) => {
      const box = button.getBoundingClientRect();
      return { label: button.textContent, x: box.x, y: box.y, width: box.width, height: box.height };
    }));
  Check(boxes.length === 9, `${name}: ${boxes.length} touch controls shown, not 9`);
  const picture = { x: session.place.x / session.ratio, y: session.place.y / session.ratio,
                    width: session.place.width / session.ratio, height: session.place.height / session.ratio };
  for (const box of boxes) {
    Check(box.width >= MIN_CONTROL_SIZE && box.height >= MIN_CONTROL_SIZE,
          `${name}: control "${box.label}" is ${box.width} x ${box.height} CSS pixels`);
    const covers = box.x < picture.x + picture.width && box.x + box.width > picture.x &&
                   box.y < picture.y + picture.height && box.y + box.height > picture.y;
    if (!mayCover) Check(!covers, `${name}: control "${box.label}" covers the picture`);
  }
}

// The page itself stays put: after the session, a pinch and a swipe over the black bars.
async function CheckPageStill(session, name) {
  const bar = { x: session.place.x / session.ratio / 2, y: session.viewport.height / 2 };
  if (session.place.x > 0) {
    await Touch(session, 'touchStart', [{ x: bar.x, y: bar.y - 20 }, { x: bar.x, y: bar.y + 20 }]);
    for (let k = 1; k <= 5; ++k) {
      await Touch(session, 'touchMove', [{ x: bar.x, y: bar.y - 20 - 20 * k }, { x: bar.x, y: bar.y + 20 + 20 * k }]);
    }
    await Touch(session, 'touchEnd', []);
    await Touch(session, 'touchStart', [{ x: bar.x, y: bar.y + 100 }]);
    for (let k = 1; k <= 5; ++k) await Touch(session, 'touchMove', [{ x: bar.x, y: bar.y + 100 - 40 * k }]);
    await Touch(session, 'touchEnd', []);
  }
  await WaitGameFrames(session.page, 3);
  const still = await session.page.evaluate(() => ({
    scrollX: window.scrollX, scrollY: window.scrollY, scale: window.visualViewport.scale,
    offsetLeft: window.visualViewport.offsetLeft, offsetTop: window.visualViewport.offsetTop,
    selected: String(window.getSelection()) }));
  Check(still.scrollX === 0 && still.scrollY === 0 && still.scale === 1 && still.offsetLeft === 0 &&
        still.offsetTop === 0 && still.selected === '', `${name}: the page moved: ${JSON.stringify(still)}`);
}

// The session of touch.replay. `Compare` checks the canvas against a shot after each step.
async function PlayByTouch(session, shots, Compare, screenshot) {
  const page = session.page;
  Check(await page.evaluate(() => window.karnoltPage.state === 'start' &&
                                  document.getElementById('hint-text').textContent.includes('Tippen')),
        `${session.name}: before the first touch the page tells how to play by touch`);
  const hintTop = await page.locator('#hint').boundingBox();
  await Tap(session, { x: session.viewport.width / 2, y: Math.min(hintTop.y / 2, 100) });
  await page.waitForFunction(() => window.karnoltPage.state === 'touch', null, { timeout: 5000 })
    .catch(() => {});
  Check(await WaitGameFrames(page, 5), `${session.name}: no frames after the first touch`);
  const started = await page.evaluate(() => ({ state: window.karnoltPage.state,
                                                locked: document.pointerLockElement !== null,
                                                hint: document.getElementById('hint').hidden }));
  Check(started.state === 'touch' && !started.locked && started.hint,
        `${session.name}: after the first touch: ${JSON.stringify(started)}`);
  await Compare(shots.start, 'start');
  await CheckControls(session, session.name, session.place.x === 0);

  for (const [x, y] of [[360, 400], [421, 400], [480, 380], [541, 400]]) await TapPicture(session, x, y);
  await Compare(shots.chain, 'chain');
  if (screenshot) await page.screenshot({ path: screenshot });
  await TapControl(session, '#mouse2', 1);
  Check(await page.evaluate(() => document.getElementById('mouse2').getAttribute('aria-pressed') === 'true'),
        `${session.name}: "Maus 2" does not show that it holds for the next touch`);
  await TapPicture(session, 600, 301);
  Check(await page.evaluate(() => document.getElementById('mouse2').getAttribute('aria-pressed') === 'false'),
        `${session.name}: "Maus 2" still held after the touch it was for`);
  await Compare(shots.ended, 'ended');
  await TapControl(session, '#mouse2', 1);
  await TapPicture(session, 480, 380);
  await Compare(shots.removed, 'removed');

  await TapControl(session, '[data-control="1"]', 20);
  const running = await CanvasPixels(page);
  await TapControl(session, '[data-control="1"]');
  await Compare(shots.stopped, 'stopped');
  const stopped = await CanvasPixels(page);
  let moved = 0;
  for (let k = 0; k < running.data.length; ++k) moved += running.data[k] !== stopped.data[k];
  Check(moved > 200, `${session.name}: the simulation did not run after "Enter" (${moved} values changed)`);

  await TapControl(session, '#mouse2', 1);
  await Touch(session, 'touchStart', [CssPointOf(session, 390, 360)]);
  await WaitGameFrames(page, 3);
  await Touch(session, 'touchMove', [CssPointOf(session, 421, 400)]);
  await WaitGameFrames(page, 2);
  await Touch(session, 'touchMove', [CssPointOf(session, 451, 431)]);
  await WaitGameFrames(page, 3);
  await Touch(session, 'touchEnd', []);
  Check(await WaitGameFrames(page, 14), `${session.name}: the game stopped after the drag`);
  await Compare(shots.framed, 'framed');
  await TapControl(session, '[data-control="0"]');
  await Compare(shots.deleted, 'deleted');
  await TapControl(session, '[data-control="3"]', 24);
  await TapControl(session, '[data-control="4"]', 24);
  await Compare(shots.scrolled, 'scrolled');

  await CheckPageStill(session, session.name);
  await TapControl(session, '#end', 5);
  Check(await page.evaluate(() => window.karnoltPage.state === 'touch' &&
                                  document.getElementById('end').textContent === 'Wirklich beenden?'),
        `${session.name}: one tap on "Beenden" must only ask`);
  await page.waitForTimeout(500);
  await Tap(session, await ControlCentre(session, '#end'));
  await page.waitForFunction(() => window.karnoltPage.state === 'ended', null, { timeout: 5000 })
    .catch(() => {});
  const ended = await page.evaluate(() => ({
    state: window.karnoltPage.state,
    notice: document.getElementById('notice').hidden ? '' : document.getElementById('notice').innerText }));
  Check(ended.state === 'ended' && ended.notice.includes('Spiel beendet'),
        `${session.name}: after "Wirklich beenden?": ${JSON.stringify(ended)}`);
}

// A desktop page whose display runs at `hertz`: requestAnimationFrame replaced,
// before the page's scripts run, by a timer that keeps that rate.
async function OpenAtDisplayRate(browser, origin, hertz) {
  const context = await browser.newContext({ viewport: { width: GAME_WIDTH, height: GAME_HEIGHT } });
  const page = await context.newPage();
  await page.addInitScript((rate) => {
    const period = 1000 / rate;
    const start = performance.now();
    let waiting = [];
    let next = 0;
    window.displayFrames = 0;
    const Tick = () => {
      ++window.displayFrames;
      const now = performance.now();
      const callbacks = waiting;
      waiting = [];
      for (const callback of callbacks) callback(now);
      ++next;
      setTimeout(Tick, Math.max(0, start + (next + 1) * period - performance.now()));
    };
    window.requestAnimationFrame = (callback) => waiting.push(callback);
    window.cancelAnimationFrame = () => {};
    setTimeout(Tick, period);
  }, hertz);
  await page.goto(origin + '/');
  await page.waitForFunction(PageStarted, null, { timeout: 20000 });
  return { context, page };
}

// Game frames and display frames a second over `seconds`, counted in the page.
async function MeasureRates(page, seconds) {
  const count = () => page.evaluate(() => [window.karnoltPage.gameFrames, window.displayFrames, performance.now()]);
  const [framesBefore, displayBefore, before] = await count();
  await page.waitForTimeout(seconds * 1000);
  const [framesAfter, displayAfter, after] = await count();
  return { game: ((framesAfter - framesBefore) * 1000) / (after - before),
           display: ((displayAfter - displayBefore) * 1000) / (after - before) };
}

// A desktop page with a mouse shows none of the touch controls; on a display of 30
// Hz the game still runs 60-61 frames a second, counted in the page.
async function CheckDesktopAtThirtyHertz(browser, origin) {
  const { context, page } = await OpenAtDisplayRate(browser, origin, SLOW_DISPLAY_HZ);
  const desktop = await page.evaluate(() => ({
    controls: Array.from(document.querySelectorAll('.touch-bar')).filter((bar) => bar.offsetWidth > 0).length,
    hint: document.getElementById('hint-text').textContent,
    turn: document.getElementById('turn').offsetWidth }));
  Check(desktop.controls === 0 && desktop.turn === 0 && desktop.hint.startsWith('Klick ins Bild'),
        `a desktop page shows touch play: ${JSON.stringify(desktop)}`);
  // Up to three windows of three seconds: a machine busy with other work can starve
  // the timer that stands in for the display, but a wrong pacing fails all three.
  const inRange = (rate) => rate.game >= 58 && rate.game <= 62;
  const rates = [];
  while (rates.length < 3 && !rates.some(inRange)) rates.push(await MeasureRates(page, 3));
  const text = rates.map((r) => `${r.game.toFixed(1)} (display ${r.display.toFixed(1)} Hz)`).join(', ');
  console.log(`game frames a second on a ${SLOW_DISPLAY_HZ} Hz display: ${text}`);
  Check(rates.some(inRange), `game frames a second on a ${SLOW_DISPLAY_HZ} Hz display: ${text}`);
  await context.close();
}

// --rates: only measures, for each display rate, the game frames a second.
async function PrintRates(browser, origin, rates) {
  for (const hertz of rates) {
    const { context, page } = await OpenAtDisplayRate(browser, origin, hertz);
    const rate = await MeasureRates(page, 5);
    console.log(`${hertz} Hz display (measured ${rate.display.toFixed(1)}): ${rate.game.toFixed(1)} game frames a second`);
    await context.close();
  }
}

async function Main() {
  const options = ParseArguments(process.argv.slice(2), ARGUMENTS);
  const [siteDir, replayTool, level] = options.positional.map((p) => path.resolve(p));
  const shots = RenderShots(replayTool, level, path.join(here, 'touch.replay'), SHOTS);
  const { chromium } = await LoadPinnedModule('playwright-core/index.mjs');
  const server = await ServeSite(siteDir);
  const origin = `http://127.0.0.1:${server.address().port}`;
  const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', headless: true,
                                          args: CHROMIUM_ARGS });
  try {
    if (options.rates.length > 0) {
      await PrintRates(browser, origin, options.rates);
      return;
    }
    const tablet = await OpenTouchPage(browser, origin, { width: GAME_WIDTH, height: GAME_HEIGHT }, 1);
    tablet.name = '1024 x 768';
    await PlayByTouch(tablet, shots, async (shot, step) =>
      CompareWithShot(await CanvasPixels(tablet.page), shot, `${tablet.name}, ${step}`));
    await tablet.context.close();

    const phone = await OpenTouchPage(browser, origin, { width: 844, height: 390 }, 3);
    phone.name = '844 x 390 at ratio 3';
    await PlayByTouch(phone, shots, async (shot, step) =>
      CompareWithShot(await CanvasPixels(phone.page), shot, `${phone.name}, ${step}`),
                      options.screenshot);
    // Held upright, the phone is asked to turn.
    await phone.page.setViewportSize({ width: 390, height: 844 });
    await phone.page.waitForFunction(() => window.innerHeight > window.innerWidth);
    const upright = await phone.page.evaluate(() => ({ width: document.getElementById('turn').offsetWidth,
                                                        text: document.getElementById('turn').innerText }));
    Check(upright.width === 390 && upright.text.includes('Bitte das Gerät quer halten'),
          `${phone.name} held upright: ${JSON.stringify(upright)}`);
    await phone.context.close();

    await CheckDesktopAtThirtyHertz(browser, origin);
  } finally {
    await browser.close();
    server.close();
  }
  if (options.rates.length === 0) Finish();
}

Main().catch((error) => {
  console.error(`phone_test: ${error.stack || error}`);
  process.exit(1);
});
