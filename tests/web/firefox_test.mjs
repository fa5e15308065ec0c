// The page in Debian's Firefox ESR, driven over WebDriver BiDi: the mouse session of
// actions.replay played line by line with real mouse and key events, the canvas equal
// byte for byte, outside the frame-rate reading, to the native replay tool's pictures.
//
// node firefox_test.mjs SITE_DIR REPLAY_TOOL LEVEL
import fs from 'node:fs';
import path from 'node:path';
import { CanvasPixels, Check, CompareWithShot, Finish, GAME_HEIGHT, GAME_WIDTH, LoadPinnedModule,
         PageStarted, ParseArguments, RenderShots, ServeSite, here } from './page_support.mjs';

const ARGUMENTS = {
  tool: 'firefox_test',
  usage: 'node firefox_test.mjs SITE_DIR REPLAY_TOOL LEVEL',
  positional: ['SITE_DIR', 'REPLAY_TOOL', 'LEVEL'],
  options: {},
};
const FIREFOX = '/usr/bin/firefox-esr';
const SCRIPT = path.join(here, 'actions.replay');
const BUTTONS = { 1: 'left', 2: 'right' };
const KEYS = { return: 'Enter', delete: 'Delete' };

// False when the game stopped presenting frames.
async function WaitFrames(page, count) {
  const start = await page.evaluate(() => window.karnoltPage.presented);
  return page.waitForFunction((target) => window.karnoltPage.presented >= target,
                              { polling: 'raf', timeout: 10000 }, start + count).then(() => true, () => false);
}

// Firefox reports a move under a pointer lock as the distance from the lock's centre,
// not from the previous move: a relative move goes out from the centre and back, and
// the way back reports none.
async function MoveBy(page, centre, dx, dy) {
  await page.mouse.move(centre.x + dx, centre.y + dy);
  await page.mouse.move(centre.x, centre.y);
}

// One line of the replay script as the page's events; shots are compared, not written.
async function PlayLine(page, centre, shots, line) {
  const [command, ...words] = line.split(/\s+/);
  if (command === 'frames') {
    Check(await WaitFrames(page, Number(words[0])), `the game stopped presenting frames at "${line}"`);
  } else if (command === 'mouse') {
    await MoveBy(page, centre, Number(words[0]), Number(words[1]));
  } else if ((command === 'press' || command === 'release') && BUTTONS[words[0]]) {
    await page.mouse[command === 'press' ? 'down' : 'up']({ button: BUTTONS[words[0]] });
  } else if ((command === 'keydown' || command === 'keyup') && KEYS[words[0]]) {
    await page.keyboard[command === 'keydown' ? 'down' : 'up'](KEYS[words[0]]);
  } else if (command === 'shot') {
    const name = path.basename(words[0], '.bmp');
    CompareWithShot(await CanvasPixels(page), shots[name], `after "${line}"`);
  } else {
    throw new Error(`${SCRIPT}: "${line}" has no event in the page`);
  }
}

async function Main() {
  const options = ParseArguments(process.argv.slice(2), ARGUMENTS);
  const [siteDir, replayTool, level] = options.positional.map((p) => path.resolve(p));
  if (!fs.existsSync(FIREFOX)) {
    console.error(`firefox_test: ${FIREFOX}: not found (scripts/install-deps.sh web installs firefox-esr)`);
    process.exit(1);
  }
  const lines = fs.readFileSync(SCRIPT, 'utf8').split('\n').map((line) => line.trim())
    .filter((line) => line !== '' && !line.startsWith('#'));
  const shotNames = lines.filter((line) => line.startsWith('shot '))
    .map((line) => path.basename(line.slice(5), '.bmp'));
  const shots = RenderShots(replayTool, level, SCRIPT, shotNames);
  // puppeteer-core as the lock file pins it.
  const puppeteer = (await LoadPinnedModule('puppeteer-core/lib/esm/puppeteer/puppeteer-core.js')).default;
  const server = await ServeSite(siteDir);
  const origin = `http://127.0.0.1:${server.address().port}`;
  const browser = await puppeteer.launch({ browser: 'firefox', executablePath: FIREFOX, headless: true,
                                           defaultViewport: { width: GAME_WIDTH, height: GAME_HEIGHT } });
  try {
    const page = await browser.newPage();
    const foreign = [];
    page.on('request', (request) => {
      if (!request.url().startsWith(origin) && !request.url().startsWith('data:')) foreign.push(request.url());
    });
    page.on('pageerror', (error) => Check(false, `page error: ${error.message}`));
    await page.goto(origin + '/');
    await page.waitForFunction(PageStarted, { timeout: 20000 });
    const canvas = await page.evaluate(() => [window.karnoltPage.pictureWidth, window.karnoltPage.pictureHeight]);
    Check(canvas[0] === GAME_WIDTH && canvas[1] === GAME_HEIGHT, `the canvas is ${canvas.join(' x ')}`);
    // The first click takes the pointer and does not reach the game; the lock's
    // centre is where the game's pointer starts.
    const centre = { x: GAME_WIDTH / 2, y: GAME_HEIGHT / 2 };
    await page.mouse.move(centre.x, centre.y);
    await page.mouse.click(centre.x, centre.y);
    const locked = await page.waitForFunction(() => document.pointerLockElement !== null, { timeout: 5000 })
      .then(() => true, () => false);
    if (Check(locked, 'the first click took no pointer')) {
      await WaitFrames(page, 12);
      for (const line of lines) await PlayLine(page, centre, shots, line);
    }
    Check(foreign.length === 0, `the page asked other hosts: ${foreign.join(' ')}`);
  } finally {
    await browser.close();
    server.close();
  }
  Finish();
}

Main().catch((error) => {
  console.error(`firefox_test: ${error.stack || error}`);
  process.exit(1);
});
