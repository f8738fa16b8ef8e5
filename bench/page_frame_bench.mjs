// The page's own cost per program frame on one figure, in the system's
// headless Chromium with its software WebGL, as a person sees it: the
// figure opened from the computer (it opens in play mode), then play mode
// for a while: SECONDS timed, then SECONDS profiled. Prints one line of
// JSON: the main thread's busy time per program frame (the browser's own
// TaskDuration: wall-clock time, which grows while the thread waits for a
// core, as it does beside the GPU process's software drawing on a small
// machine) and its own processor time per program frame (ThreadTime),
// program frames and shown frames a second, the share of the main thread's
// samples that were drawing (the figure, the grid, the menu, and handing the
// batches to WebGL) and the step (the simulation), and how long a press on
// the mode button took to act, into draw mode and back to play: the frames
// shown, the program frames made (a page that is behind makes some frames
// without showing them) and the milliseconds from the press to the first
// moment the page sees the new mode (the worse of the two).
// Usage: node page_frame_bench.mjs BUILD_WEB_DIR DOCUMENT SECONDS [FUNCTIONS]
// With FUNCTIONS, the profile's first FUNCTIONS functions by their own
// samples (the share of the main thread's working samples, then the name) go
// to standard error: note that the program's entry point holds the frame loop
// and whatever of the frame the compiler inlined into it.
// (puppeteer-core from tests/web/node_modules, which scripts/setup --tests installs)
import { readFile } from 'node:fs/promises';
import { createServer } from 'node:http';
import { createRequire } from 'node:module';
import { extname, join, normalize } from 'node:path';

const [buildDir, document, seconds, functions] = process.argv.slice(2);
const require = createRequire(new URL('../tests/web/', import.meta.url));
const puppeteer = require('puppeteer-core');

const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.css': 'text/css' };
const server = createServer(async (req, res) => {
  const path = normalize(decodeURIComponent(new URL(req.url, 'http://x').pathname)).replace(/^(\.\.[/\\])+/, '');
  const file = path.endsWith('/') ? path + 'index.html' : path;
  try {
    const body = await readFile(join(buildDir, file));
    res.writeHead(200, { 'Content-Type': types[extname(file)] || 'application/octet-stream' });
    res.end(body);
  } catch {
    res.writeHead(404);
    res.end();
  }
});
await new Promise(resolve => server.listen(0, '127.0.0.1', resolve));
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium', headless: 'new',
  args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader'],
});
const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 1100, height: 900, deviceScaleFactor: 1 });
  await page.goto(`http://127.0.0.1:${server.address().port}/site/`);
  await page.waitForFunction(() => window.Module && Module.flopkin && Module.flopkin.frames > 70, { timeout: 60000 });
  // a program pixel's place on the page
  const place = async (x, y) => {
    const b = await page.$eval('#canvas', c => { const r = c.getBoundingClientRect(); return [r.left, r.top, r.width]; });
    return [b[0] + x * b[2] / 1024, b[1] + y * b[2] / 1024];
  };
  const frames = () => page.evaluate(() => [Module.flopkin.frames, Module.flopkin.shown, performance.now()]);
  const settled = async () => {
    const now = (await frames())[0];
    await page.waitForFunction(n => Module.flopkin.frames > n + 2, { timeout: 120000 }, now);
  };
  // Open, the document from the computer
  await page.mouse.click(...await place(900, 590));
  await page.waitForSelector('#requester[open]', { timeout: 15000 });
  const [chooser] = await Promise.all([page.waitForFileChooser(), page.click('#requester-upload')]);
  await chooser.accept([document]);
  await page.waitForFunction(() => !document.querySelector('#requester[open]'), { timeout: 60000 });
  await settled();
  // the mode button pressed, timed from the page's own pointerdown to the
  // first moment the page sees the mode it leads to: draw, then play again
  const modeNow = () => page.evaluate(() => JSON.parse(Module.UTF8ToString(Module._flopkin_page_state())).mode);
  const pressMode = async () => {
    const from = await modeNow();
    await page.evaluate(() => document.getElementById('canvas').addEventListener('pointerdown', () => {
      window.pressedAt = [Module.flopkin.shown, Module.flopkin.frames, performance.now()];
    }, { capture: true, once: true }));
    await page.mouse.click(...await place(900, 20));
    return (await page.waitForFunction(from => {
      const mode = JSON.parse(Module.UTF8ToString(Module._flopkin_page_state())).mode;
      const [shown, made, at] = window.pressedAt;
      return mode !== from && [Module.flopkin.shown - shown, Module.flopkin.frames - made, performance.now() - at];
    }, { polling: 'raf', timeout: 120000 }, from)).jsonValue();
  };
  if (await modeNow() !== 'play') throw new Error('the figure did not open in play mode');
  const toDraw = await pressMode();
  await settled();
  const toPlay = await pressMode();
  if (await modeNow() !== 'play') throw new Error('the mode button did not lead back to play mode');
  await settled();
  await sleep(1000);

  const cdp = await page.target().createCDPSession();
  await cdp.send('Performance.enable');
  await cdp.send('Profiler.enable');
  await cdp.send('Profiler.setSamplingInterval', { interval: 1000 });
  // the main thread's wall-clock time in tasks and its processor time, in seconds
  const busy = async () => {
    const metrics = (await cdp.send('Performance.getMetrics')).metrics;
    return ['TaskDuration', 'ThreadTime'].map(name => metrics.find(m => m.name === name).value);
  };
  // the times first, then, for as long again, the profile: sampling costs the
  // main thread about a tenth of its time, which the times leave out
  const start = await frames(), busyStart = await busy();
  await sleep(Number(seconds) * 1000);
  const end = await frames(), busyEnd = await busy();
  const made = end[0] - start[0], shown = end[1] - start[1], wall = (end[2] - start[2]) / 1000;
  await cdp.send('Profiler.start');
  await sleep(Number(seconds) * 1000);
  const { profile } = await cdp.send('Profiler.stop');

  // each sample by what it was doing: the step, the drawing, or other work;
  // the page's functions carry their names (see the symbol map beside the program)
  const names = new Map();
  try {
    for (const line of (await readFile(join(buildDir, 'site', 'flopkin.js.symbols'), 'utf8')).split('\n')) {
      const at = line.indexOf(':');
      if (at > 0) names.set(Number(line.slice(0, at)), line.slice(at + 1));
    }
  } catch { /* no symbol map: the wasm's functions go to other work */ }
  const nodes = new Map(profile.nodes.map(n => [n.id, n]));
  const parent = new Map();
  for (const n of profile.nodes) for (const c of n.children || []) parent.set(c, n.id);
  const nameOf = n => {
    const f = n.callFrame.functionName;
    const wasm = /^\$?(?:func|wasm-function\[)(\d+)\]?$/.exec(f);
    return wasm ? names.get(Number(wasm[1])) || f : f;
  };
  const step = /simulation_step|drag_step|relax|begin_step|end_step/;
  const drawing = /draw_figure|draw_grid|menu\d*draw|button\d*draw|notice_line\d*show|gl_canvas|vertex_batch|oval_vertices|draw_oval|draw_poly|draw_line|draw_rect|draw_text|^_?gl[A-Z]|^_?emscripten_gl|present/;
  const count = { step: 0, drawing: 0, other: 0, idle: 0 };
  const own = new Map();
  for (const id of profile.samples) {
    let kind = null;
    const leaf = nodes.get(id);
    if (leaf.callFrame.functionName === '(idle)') kind = 'idle';
    else own.set(nameOf(leaf), (own.get(nameOf(leaf)) || 0) + 1);
    for (let n = leaf; n && !kind; n = nodes.get(parent.get(n.id))) {
      const name = nameOf(n);
      if (step.test(name)) kind = 'step';
      else if (drawing.test(name)) kind = 'drawing';
    }
    ++count[kind || 'other'];
  }
  const working = count.step + count.drawing + count.other;
  // the symbol map writes characters other than letters and digits as \xx escapes
  const readable = name => name.replace(/\\([0-9a-f]{2})/g, (_, hex) => String.fromCharCode(parseInt(hex, 16)));
  for (const [name, samples] of [...own].sort((a, b) => b[1] - a[1]).slice(0, Number(functions || 0)))
    console.error(`${(100 * samples / working).toFixed(1).padStart(5)} %  ${readable(name)}`);
  console.log(JSON.stringify({
    main_ms_per_frame: (busyEnd[0] - busyStart[0]) * 1000 / made,
    main_cpu_ms_per_frame: (busyEnd[1] - busyStart[1]) * 1000 / made,
    frames_per_second: made / wall,
    shown_per_second: shown / wall,
    drawing_share: count.drawing / working,
    step_share: count.step / working,
    named: names.size > 0,
    mode_press_shown: Math.max(toDraw[0], toPlay[0]),
    mode_press_frames: Math.max(toDraw[1], toPlay[1]),
    mode_press_ms: Math.max(toDraw[2], toPlay[2]),
  }));
} finally {
  await browser.close();
  server.close();
}
