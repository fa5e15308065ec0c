// How fast the page is in Debian's Chromium, a measurement and not a test: game frames
// and pictures shown a second, idle and while the view scrolls, at 1024 x 768 (ratio 1), at a phone's
// 844 x 390 at ratio 3 (a 2532 x 1170 canvas) and at 3840 x 2160, with the page's
// processor slowed by the automation protocol as on a slow phone; and the time from
// loading the page to its first frame, over cold loads in fresh browsers.
//
// node bench/page_speed.mjs SITE_DIR [--loads N] [--seconds S] [--runs N] [--screen WIDTH]
//
// Build the page first (make web). The figures move with the machine's load: run it
// on a quiet machine, and compare runs made side by side.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { LoadPinnedModule, OpenFreshChromium, ParseArguments, ServeSite } from '../tests/web/page_support.mjs';

const CountOption = (name, low, high, initial, key) => ({
  key, initial, problem: `${name} takes ${low} to ${high}`,
  Parse: (text) => (Number.isInteger(Number(text)) && Number(text) >= low && Number(text) <= high
    ? Number(text) : undefined),
});
const ARGUMENTS = {
  tool: 'page_speed',
  usage: 'node bench/page_speed.mjs SITE_DIR [--loads N] [--seconds S] [--runs N] [--screen WIDTH]',
  positional: ['SITE_DIR'],
  options: {
    '--loads': CountOption('--loads', 1, 100, 10, 'loads'),
    '--seconds': CountOption('--seconds', 1, 60, 4, 'seconds'),
    '--runs': CountOption('--runs', 1, 10, 1, 'runs'),
    // Only the screen of this width in CSS pixels (1024, 844 or 3840); 0 measures only the loads.
    '--screen': { key: 'screen', initial: -1, problem: '--screen takes 1024, 844, 3840 or 0',
                  Parse: (text) => ([0, 1024, 844, 3840].includes(Number(text)) ? Number(text) : undefined) },
  },
};

// Each screen with the processor slowdowns it is measured at.
const SCREENS = [
  { name: '1024 x 768, ratio 1', viewport: { width: 1024, height: 768 }, ratio: 1, slowdowns: [1, 4, 6] },
  { name: '844 x 390, ratio 3', viewport: { width: 844, height: 390 }, ratio: 3, slowdowns: [1, 4, 6] },
  { name: '3840 x 2160, ratio 1', viewport: { width: 3840, height: 2160 }, ratio: 1, slowdowns: [1] },
];

// A fresh browser with an empty profile (nothing cached), its processor slowed before
// the page loads.
async function OpenFreshPage(chromium, url, viewport, ratio, slowdown) {
  const { context, page, close } = await OpenFreshChromium(chromium, { viewport, deviceScaleFactor: ratio });
  const session = await context.newCDPSession(page);
  await session.send('Emulation.setCPUThrottlingRate', { rate: slowdown });
  await page.goto(url);
  await page.waitForFunction(() => window.karnoltPage && window.karnoltPage.firstFrame > 0, null,
                             { timeout: 60000 });
  return { page, close };
}

// Game frames and pictures shown a second over the next `seconds`, counted and timed by
// the page itself. A display frame that comes late runs the game frames due, but
// shows only the last: the game keeps its speed while the picture falls behind.
function FramesPerSecond(page, seconds) {
  return page.evaluate(async (milliseconds) => {
    const count = () => [window.karnoltPage.gameFrames, window.karnoltPage.presented, performance.now()];
    const start = count();
    await new Promise((resolve) => setTimeout(resolve, milliseconds));
    const end = count();
    const perSecond = (k) => (end[k] - start[k]) * 1000 / (end[2] - start[2]);
    return { game: perSecond(0), pictures: perSecond(1) };
  }, seconds * 1000);
}

// Idle, then scrolling: the first click takes the pointer, and a pointer held against
// the left edge scrolls the view by a step every frame.
async function MeasureScreen(chromium, url, screen, slowdown, seconds) {
  const opened = await OpenFreshPage(chromium, url, screen.viewport, screen.ratio, slowdown);
  try {
    const { page } = opened;
    const centre = { x: screen.viewport.width / 2, y: screen.viewport.height / 2 };
    await page.mouse.click(centre.x, centre.y);
    await page.waitForFunction(() => document.pointerLockElement !== null, null, { timeout: 10000 });
    await page.waitForTimeout(1000);
    const idle = await FramesPerSecond(page, seconds);
    await page.mouse.move(centre.x - 4000, centre.y);
    await page.waitForTimeout(500);
    const scrolling = await FramesPerSecond(page, seconds);
    return { idle, scrolling };
  } finally {
    await opened.close();
  }
}

async function LoadToFirstFrame(chromium, url, slowdown) {
  const opened = await OpenFreshPage(chromium, url, { width: 1024, height: 768 }, 1, slowdown);
  try {
    return await opened.page.evaluate(() => window.karnoltPage.firstFrame);
  } finally {
    await opened.close();
  }
}

function Median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = Math.floor(sorted.length / 2);
  return sorted.length % 2 === 1 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
}

async function Main() {
  const options = ParseArguments(process.argv.slice(2), ARGUMENTS);
  const siteDir = path.resolve(options.positional[0]);
  const { chromium } = await LoadPinnedModule('playwright-core/index.mjs');
  const server = await ServeSite(siteDir);
  const url = `http://127.0.0.1:${server.address().port}/`;
  const pageBytes = fs.readdirSync(siteDir).reduce((sum, name) => sum + fs.statSync(path.join(siteDir, name)).size, 0);
  try {
    console.log(`page: ${(pageBytes / 1024).toFixed(0)} KB; load average ${os.loadavg().map((l) => l.toFixed(1)).join(' ')}`);
    console.log('a second: game frames (pictures shown)    slowed        idle     scrolling');
    for (const screen of SCREENS) {
      if (options.screen >= 0 && options.screen !== screen.viewport.width) continue;
      for (const slowdown of screen.slowdowns) {
        for (let run = 0; run < options.runs; ++run) {
          const { idle, scrolling } = await MeasureScreen(chromium, url, screen, slowdown, options.seconds);
          const figure = (rate) => `${rate.game.toFixed(1)} (${rate.pictures.toFixed(1)})`.padStart(13);
          console.log(`${screen.name.padEnd(38)} ${`${slowdown}x`.padStart(7)} ${figure(idle)} ${figure(scrolling)}`);
        }
      }
    }
    for (const slowdown of options.screen > 0 ? [] : [1, 4]) {
      const times = [];
      for (let k = 0; k < options.loads; ++k) times.push(await LoadToFirstFrame(chromium, url, slowdown));
      console.log(`load to first frame, slowed ${slowdown}x (ms): median ${Median(times).toFixed(0)}, ` +
                  `${times.map((t) => t.toFixed(0)).join(' ')}`);
    }
  } finally {
    server.close();
  }
}

Main().catch((error) => {
  console.error(`page_speed: ${error.stack || error}`);
  process.exit(1);
});
