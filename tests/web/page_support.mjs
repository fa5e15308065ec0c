// What every test of the page needs, whichever browser drives it: the command line,
// the site served on the loopback interface, the native replay tool's pictures, the
// canvas compared with them byte for byte, the crispness rule, and the tally.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

export const here = path.dirname(fileURLToPath(import.meta.url));
export const GAME_WIDTH = 1024;
export const GAME_HEIGHT = 768;
// Debian's Chromium as every test and measurement starts it: no sandbox (the machine
// may run as root), no background chores that would compete with the page for the
// processor. Its headless mode still loads the address bar's drop-down, a browser
// page of its own, while the first page starts: as Puppeteer does by default, it is
// left off (it made the time to the first frame 60-180 ms longer and far less even).
export const CHROMIUM_ARGS = ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                              '--disable-background-networking', '--disable-component-update', '--disable-sync',
                              '--disable-features=WebUIOmniboxPopup,WebUIOmniboxAimPopup'];
// Chromium with an empty profile of its own (nothing cached from an earlier visit),
// which close() removes again; `options` go to the browser (viewport, deviceScaleFactor).
export async function OpenFreshChromium(chromium, options = {}) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'karnolt-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium', headless: true, args: CHROMIUM_ARGS, ...options });
  const page = context.pages()[0] || (await context.newPage());
  const close = async () => {
    await context.close();
    fs.rmSync(profile, { recursive: true, force: true });
  };
  return { context, page, close };
}
// "FPS: nn" at the top left changes with the real frame rate; nothing else may differ.
export const FPS_BOX = { width: 64, height: 16 };

// `tool: problem`, the usage line, exit 2.
export function Usage(tool, usage, problem) {
  console.error(`${tool}: ${problem}\nusage: ${usage}`);
  process.exit(2);
}

// Positional arguments, which must exist as files, and "--name VALUE" options.
// command.options maps each option's name to { key, initial, Parse, problem }: Parse(text)
// returns the value, or undefined when the text is not one, and problem says why.
export function ParseArguments(argv, command) {
  const options = { positional: [] };
  for (const option of Object.values(command.options)) options[option.key] = option.initial;
  for (let k = 0; k < argv.length; ++k) {
    const option = command.options[argv[k]];
    if (!option) {
      options.positional.push(argv[k]);
      continue;
    }
    if (k + 1 >= argv.length) Usage(command.tool, command.usage, `${argv[k]} needs a value`);
    const value = option.Parse(argv[++k]);
    if (value === undefined) Usage(command.tool, command.usage, option.problem);
    options[option.key] = value;
  }
  if (options.positional.length !== command.positional.length) {
    Usage(command.tool, command.usage, `${command.positional.join(', ').replace(/, ([^,]*)$/, ' and $1')} are needed`);
  }
  for (const file of options.positional) {
    if (!fs.existsSync(file)) Usage(command.tool, command.usage, `${file}: not found`);
  }
  return options;
}

// A module of the automation library as the lock file pins it, installed on first use.
export async function LoadPinnedModule(entry) {
  const file = path.join(here, 'node_modules', entry);
  if (!fs.existsSync(file)) {
    execFileSync('npm', ['ci', '--no-audit', '--no-fund'], { cwd: here, stdio: 'inherit' });
  }
  return import(file);
}

const TYPES = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
                '.svg': 'image/svg+xml', '.ico': 'image/x-icon', '.png': 'image/png', '.json': 'application/json' };

// The site as any static web server would serve it, on the loopback interface only.
// server.siteDir may change between visits (a new build at the same address), and
// while server.unreachable is set every request fails as over a lost network.
export async function ServeSite(siteDir) {
  const server = http.createServer((request, response) => {
    if (server.unreachable) {
      request.socket.destroy();
      return;
    }
    const name = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    const file = path.join(server.siteDir, name === '/' ? 'index.html' : name);
    if (!file.startsWith(server.siteDir + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'content-type': TYPES[path.extname(file)] || 'application/octet-stream' });
    response.end(fs.readFileSync(file));
  });
  server.siteDir = siteDir;
  server.unreachable = false;
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return server;
}

// A 24-bit bottom-up BMP as the replay tool writes it, as RGB rows top down.
export function ReadBmp(file) {
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

// The native replay tool's pictures of a script, by shot name without ".bmp".
export function RenderShots(replayTool, level, script, names) {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'karnolt-browser-test-'));
  try {
    execFileSync(replayTool, ['--level', level, '--out', work, script], { stdio: 'inherit' });
    return Object.fromEntries(names.map((name) => [name, ReadBmp(path.join(work, `${name}.bmp`))]));
  } finally {
    fs.rmSync(work, { recursive: true, force: true });
  }
}

let failures = 0;
let passes = 0;
export function Check(ok, what) {
  if (ok) {
    ++passes;
  } else {
    ++failures;
    console.log(`FAILED: ${what}`);
  }
  return ok;
}

// The tally, and the exit: a run that checked nothing fails.
export function Finish() {
  console.log(`${passes} passed, ${failures} failed`);
  process.exit(failures === 0 && passes > 0 ? 0 : 1);
}

// In the page: the game has shown its first picture and presented a few more frames.
export function PageStarted() {
  return window.karnoltPage && window.karnoltPage.firstFrame > 0 && window.karnoltPage.presented > 5;
}

// Whether a request the page made stays on its own site: its server, data: addresses,
// and the blob: addresses the page makes itself (its picture worker).
export function IsOwnRequest(url, origin) {
  return url.startsWith(origin) || url.startsWith('data:') || url.startsWith('blob:' + origin);
}

// The canvas's pixels as RGBA bytes, carried out of the page as base64. Both
// automation libraries evaluate a function in the page the same way.
export async function CanvasPixels(page) {
  const canvas = await page.evaluate(async () => {
    const pixels = await window.karnoltPage.readPixels();
    let text = '';
    for (let k = 0; k < pixels.data.length; k += 0x8000) {
      text += String.fromCharCode.apply(null, pixels.data.subarray(k, k + 0x8000));
    }
    return { width: pixels.width, height: pixels.height, data: btoa(text) };
  });
  canvas.data = new Uint8Array(Buffer.from(canvas.data, 'base64'));
  return canvas;
}

// What the screen shows, in device pixels as RGBA bytes: the browser's own scaling of
// the canvas, seen in a screenshot with the page's notices hidden. The PNG is decoded
// in the page.
export async function ScreenPixels(page) {
  await page.evaluate(() => { for (const id of ['hint', 'notice']) document.getElementById(id).hidden = true; });
  const png = (await page.screenshot({ type: 'png' })).toString('base64');
  const screen = await page.evaluate(async (text) => {
    const image = new Image();
    image.src = 'data:image/png;base64,' + text;
    await image.decode();
    const context = new OffscreenCanvas(image.width, image.height).getContext('2d');
    context.drawImage(image, 0, 0);
    const bytes = new Uint8Array(context.getImageData(0, 0, image.width, image.height).data.buffer);
    let binary = '';
    for (let k = 0; k < bytes.length; k += 0x8000) {
      binary += String.fromCharCode.apply(null, bytes.subarray(k, k + 0x8000));
    }
    return { width: image.width, height: image.height, data: btoa(binary) };
  }, png);
  screen.data = new Uint8Array(Buffer.from(screen.data, 'base64'));
  return screen;
}

// The canvas against a replay shot: every pixel outside the frame-rate reading.
export function CompareWithShot(canvas, shot, name) {
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
export function CheckCentredAndCrisp(canvas, shot, name) {
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
