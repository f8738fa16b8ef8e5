// The page's own cost per program frame on one figure, in the system's
// headless Chromium with its software WebGL, as a person sees it: the
// figure opened from the computer, then play mode for a while. Prints one
// line of JSON: the main thread's busy time per program frame (the browser's
// own TaskDuration), program frames and shown frames a second, and the share
// of the main thread's samples that were drawing (the figure, the grid, the
// menu, and handing the batches to WebGL) and the step (the simulation).
// Usage: node page_frame_bench.mjs BUILD_WEB_DIR DOCUMENT SECONDS
// (puppeteer-core from tests/web/node_modules, which scripts/setup --tests installs)
import { readFile } from 'node:fs/promises';
import { createServer } from 'node:http';
import { createRequire } from 'node:module';
import { extname, join, normalize } from 'node:path';

const [buildDir, document, seconds] = process.argv.slice(2);
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
  // Open, the document from the computer, then the mode button: play
  await page.mouse.click(...await place(900, 590));
  await page.waitForSelector('#requester[open]', { timeout: 15000 });
  const [chooser] = await Promise.all([page.waitForFileChooser(), page.click('#requester-upload')]);
  await chooser.accept([document]);
  await page.waitForFunction(() => !document.querySelector('#requester[open]'), { timeout: 60000 });
  await settled();
  await page.mouse.click(...await place(900, 20));
  await settled();
  await sleep(1000);

  const cdp = await page.target().createCDPSession();
  await cdp.send('Performance.enable');
  await cdp.send('Profiler.enable');
  await cdp.send('Profiler.setSamplingInterval', { interval: 1000 });
  const busy = async () => (await cdp.send('Performance.getMetrics')).metrics.find(m => m.name === 'TaskDuration').value;
  const start = await frames(), busyStart = await busy();
  await cdp.send('Profiler.start');
  await sleep(Number(seconds) * 1000);
  const { profile } = await cdp.send('Profiler.stop');
  const end = await frames(), busyEnd = await busy();
  const made = end[0] - start[0], shown = end[1] - start[1], wall = (end[2] - start[2]) / 1000;

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
  const drawing = /draw_figure|draw_grid|menu\d*draw|button\d*draw|show_notice|gl_canvas|vertex_batch|oval_vertices|draw_oval|draw_poly|draw_line|draw_rect|draw_text|^_?gl[A-Z]|^_?emscripten_gl|present/;
  const count = { step: 0, drawing: 0, other: 0, idle: 0 };
  for (const id of profile.samples) {
    let kind = null;
    const leaf = nodes.get(id);
    if (leaf.callFrame.functionName === '(idle)') kind = 'idle';
    for (let n = leaf; n && !kind; n = nodes.get(parent.get(n.id))) {
      const name = nameOf(n);
      if (step.test(name)) kind = 'step';
      else if (drawing.test(name)) kind = 'drawing';
    }
    ++count[kind || 'other'];
  }
  const working = count.step + count.drawing + count.other;
  console.log(JSON.stringify({
    main_ms_per_frame: (busyEnd - busyStart) * 1000 / made,
    frames_per_second: made / wall,
    shown_per_second: shown / wall,
    drawing_share: count.drawing / working,
    step_share: count.step / working,
    named: names.size > 0,
  }));
} finally {
  await browser.close();
  server.close();
}
