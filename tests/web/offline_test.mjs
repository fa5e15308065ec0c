// The page as a home-screen app, in Debian's Chromium: the manifest and its icons, the
// site's size, and the service worker. After one visit the page must start, present
// frames and take input with no network; a rebuilt site must be what the next visit
// gets, and then what plays offline, with the older build's cache gone.
//
// node offline_test.mjs SITE_DIR REPLAY_TOOL LEVEL CMAKE WORKER_SCRIPT WORKER_TEMPLATE
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { CanvasPixels, Check, CompareWithShot, Finish, GAME_HEIGHT, GAME_WIDTH, IsOwnRequest, LoadPinnedModule,
         OpenFreshChromium, PageStarted, ParseArguments, RenderShots, ServeSite, here } from './page_support.mjs';

const ARGUMENTS = {
  tool: 'offline_test',
  usage: 'node offline_test.mjs SITE_DIR REPLAY_TOOL LEVEL CMAKE WORKER_SCRIPT WORKER_TEMPLATE',
  positional: ['SITE_DIR', 'REPLAY_TOOL', 'LEVEL', 'CMAKE', 'WORKER_SCRIPT', 'WORKER_TEMPLATE'],
  options: {},
};
const WORKER = 'service-worker.js';
const SITE_LIMIT = 400 * 1024;
const ICON_SIZES = [192, 512];
const PNG_SIGNATURE = Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]);

function SiteFiles(siteDir) {
  return fs.readdirSync(siteDir).filter((name) => fs.statSync(path.join(siteDir, name)).isFile()).sort();
}

// The worker as the build writes it, for the files now in siteDir.
function WriteWorker(tools, siteDir) {
  execFileSync(tools.cmake, [`-DSITE=${siteDir}`, `-DTEMPLATE=${tools.template}`, `-DWORKER=${WORKER}`,
                             '-P', tools.script], { stdio: 'inherit' });
}

function CacheName(siteDir) {
  const file = path.join(siteDir, WORKER);
  const match = fs.existsSync(file) && /const CACHE = '([^']+)'/.exec(fs.readFileSync(file, 'utf8'));
  return match ? match[1] : '';
}

// Width and height from a PNG's header chunk, or null when the file is no PNG.
function PngSize(file) {
  const bytes = fs.readFileSync(file);
  if (bytes.length < 24 || !bytes.subarray(0, 8).equals(PNG_SIGNATURE) ||
      bytes.toString('latin1', 12, 16) !== 'IHDR') return null;
  return { width: bytes.readUInt32BE(16), height: bytes.readUInt32BE(20) };
}

function CheckSite(siteDir, tools) {
  const sizes = SiteFiles(siteDir).map((name) => [name, fs.statSync(path.join(siteDir, name)).size]);
  const total = sizes.reduce((sum, [, size]) => sum + size, 0);
  console.log(`site: ${sizes.map(([name, size]) => `${name} ${size}`).join(', ')}; ${total} bytes in all`);
  Check(total <= SITE_LIMIT, `the site holds ${total} bytes, more than ${SITE_LIMIT}`);

  let manifest = {};
  try {
    manifest = JSON.parse(fs.readFileSync(path.join(siteDir, 'manifest.json'), 'utf8'));
  } catch (error) {
    Check(false, `manifest.json: ${error.message}`);
  }
  Check(manifest.name === 'Karnolt', `the manifest's name is ${manifest.name}`);
  Check(['fullscreen', 'standalone'].includes(manifest.display), `the manifest's display is ${manifest.display}`);
  Check(manifest.orientation === 'landscape', `the manifest's orientation is ${manifest.orientation}`);
  Check(/^#0{3}(0{3})?$/.test(manifest.theme_color || ''), `the manifest's theme colour is ${manifest.theme_color}`);
  for (const size of ICON_SIZES) {
    const icon = (manifest.icons || []).find((entry) => entry.sizes === `${size}x${size}`);
    if (!Check(icon && icon.type === 'image/png', `the manifest names no PNG icon of ${size} x ${size}`)) continue;
    const file = path.join(siteDir, icon.src);
    const png = fs.existsSync(file) ? PngSize(file) : null;
    Check(png && png.width === size && png.height === size,
          `${icon.src}: ${png ? `a PNG of ${png.width} x ${png.height}` : 'no PNG'}, ${size} x ${size} named`);
  }

  // The worker names the cache after this very build: written anew it is the same.
  const copy = fs.mkdtempSync(path.join(os.tmpdir(), 'karnolt-site-'));
  fs.cpSync(siteDir, copy, { recursive: true });
  WriteWorker(tools, copy);
  const built = path.join(siteDir, WORKER);
  Check(fs.existsSync(built) && fs.readFileSync(path.join(copy, WORKER)).equals(fs.readFileSync(built)),
        `${WORKER} is not the one the build writes for these files`);
  fs.rmSync(copy, { recursive: true, force: true });
}

// A copy of the site with a changed page and a changed game script, each marked so
// that the page can tell, its worker written as the build does.
function RebuiltSite(siteDir, tools) {
  const copy = fs.mkdtempSync(path.join(os.tmpdir(), 'karnolt-rebuilt-site-'));
  fs.cpSync(siteDir, copy, { recursive: true });
  const page = path.join(copy, 'index.html');
  const text = fs.readFileSync(page, 'utf8');
  fs.writeFileSync(page, text.replace('<head>', '<head>\n<meta name="rebuilt" content="yes">'));
  fs.appendFileSync(path.join(copy, 'karnolt.js'), '\nwindow.karnoltRebuilt = true;\n');
  WriteWorker(tools, copy);
  return copy;
}

async function WaitFrames(page, count) {
  const start = await page.evaluate(() => window.karnoltPage.presented);
  return page.waitForFunction((target) => window.karnoltPage.presented >= target, start + count,
                              { polling: 'raf', timeout: 10000 }).then(() => true, () => false);
}

async function Started(page) {
  return page.waitForFunction(PageStarted, null, { timeout: 20000 }).then(() => true, () => false);
}

// The page loaded anew and presenting frames.
async function Reloaded(page, name) {
  const error = await page.reload().then(() => '', (problem) => problem.message.split('\n')[0]);
  return Check(error === '', `${name}, the page did not load: ${error}`) &&
         Check(await Started(page), `${name}, the page presented no frames`);
}

// Once the worker controls the page, its cache holds every file and no other cache is
// left. Polled here: a wait in the page would not wait for the caches' promises.
async function WorkerReady(page, cacheName, files) {
  const Ready = async ([name, expected]) => {
    if (!navigator.serviceWorker.controller || !(await caches.has(name))) return false;
    const kept = await (await caches.open(name)).keys();
    return kept.length === expected && (await caches.keys()).length === 1;
  };
  for (const end = Date.now() + 20000; Date.now() < end; await new Promise((resolve) => setTimeout(resolve, 100))) {
    if (await page.evaluate(Ready, [cacheName, files.length])) return true;
  }
  return false;
}

// The page took input: the first click takes the pointer, and a chain of beams built
// with the mouse shows as the native replay tool shows it.
async function PlayOffline(page, shots, name) {
  const pointer = { x: GAME_WIDTH / 2, y: GAME_HEIGHT / 2 };
  await page.mouse.move(pointer.x, pointer.y);
  await page.mouse.click(pointer.x, pointer.y);
  const locked = await page.waitForFunction(() => document.pointerLockElement !== null, null, { timeout: 5000 })
    .then(() => true, () => false);
  if (!Check(locked, `${name}: the first click took no pointer`)) return;
  await WaitFrames(page, 12);
  CompareWithShot(await CanvasPixels(page), shots.start, `${name}, after the first click`);
  for (const [dx, dy, button] of [[-152, 16, 'left'], [60, 0, 'left'], [60, -20, 'left'], [60, 20, 'left'],
                                  [0, 0, 'right']]) {
    pointer.x += dx;
    pointer.y += dy;
    if (dx || dy) await page.mouse.move(pointer.x, pointer.y);
    await WaitFrames(page, 1);
    await page.mouse.down({ button });
    await WaitFrames(page, 3);
    await page.mouse.up({ button });
    await WaitFrames(page, 12);
  }
  CompareWithShot(await CanvasPixels(page), shots.built, `${name}, after building`);
}

async function Main() {
  const options = ParseArguments(process.argv.slice(2), ARGUMENTS);
  const [siteDir, replayTool, level, cmake, script, template] = options.positional.map((p) => path.resolve(p));
  const tools = { cmake, script, template };
  CheckSite(siteDir, tools);
  const shots = RenderShots(replayTool, level, path.join(here, 'actions.replay'), ['start', 'built']);
  const rebuilt = RebuiltSite(siteDir, tools);
  const [oldCache, newCache] = [CacheName(siteDir), CacheName(rebuilt)];
  Check(oldCache !== '' && newCache !== '' && oldCache !== newCache,
        `the rebuilt site's cache has a new name: ${oldCache} then ${newCache}`);

  const { chromium } = await LoadPinnedModule('playwright-core/index.mjs');
  const server = await ServeSite(siteDir);
  const origin = `http://127.0.0.1:${server.address().port}`;
  const { context, page, close } = await OpenFreshChromium(chromium,
                                                          { viewport: { width: GAME_WIDTH, height: GAME_HEIGHT } });
  const SetOffline = async (offline) => {
    server.unreachable = offline;
    await context.setOffline(offline);
  };
  try {
    const foreign = [];
    page.on('request', (request) => {
      if (!IsOwnRequest(request.url(), origin)) foreign.push(request.url());
    });
    page.on('pageerror', (error) => Check(false, `page error: ${error.message}`));
    const rebuiltMarks = () => [document.querySelector('meta[name="rebuilt"]') !== null,
                                window.karnoltRebuilt === true];

    await page.goto(origin + '/');
    Check(await Started(page), 'the first visit presented no frames');
    const head = await page.evaluate(() => ({
      manifest: document.querySelector('link[rel="manifest"]')?.getAttribute('href'),
      touchIcon: document.querySelector('link[rel="apple-touch-icon"]')?.getAttribute('href'),
      capable: document.querySelector('meta[name="apple-mobile-web-app-capable"]')?.content }));
    Check(head.manifest === 'manifest.json' && head.capable === 'yes' && /\.png$/.test(head.touchIcon || ''),
          `the page's head names the manifest and the home-screen icon: ${JSON.stringify(head)}`);
    const files = SiteFiles(siteDir).filter((name) => name !== WORKER);
    Check(await WorkerReady(page, oldCache, files), `the worker did not keep the ${files.length} files in ${oldCache}`);

    await SetOffline(true);
    if (await Reloaded(page, 'offline')) await PlayOffline(page, shots, 'offline');

    // The same address now serves the rebuilt site.
    server.siteDir = rebuilt;
    await SetOffline(false);
    await page.goto(origin + '/');
    Check(await Started(page), 'the rebuilt page presented no frames');
    Check(`${await page.evaluate(rebuiltMarks)}` === 'true,true',
          `the visit after the rebuild got an old file: new page and script ${await page.evaluate(rebuiltMarks)}`);
    Check(await WorkerReady(page, newCache, files),
          `the rebuilt site's worker did not take over with ${newCache} alone`);

    await SetOffline(true);
    if (await Reloaded(page, 'offline after the rebuild')) {
      Check(`${await page.evaluate(rebuiltMarks)}` === 'true,true',
            `offline after the rebuild, an old file came: new page and script ${await page.evaluate(rebuiltMarks)}`);
      await PlayOffline(page, shots, 'offline after the rebuild');
    }
    Check(foreign.length === 0, `the page asked other hosts: ${foreign.join(' ')}`);
  } finally {
    await close();
    server.close();
    fs.rmSync(rebuilt, { recursive: true, force: true });
  }
  Finish();
}

Main().catch((error) => {
  console.error(`offline_test: ${error.stack || error}`);
  process.exit(1);
});
