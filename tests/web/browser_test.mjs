// The page in the system's headless Chromium with software WebGL: it draws,
// the figure moves, input, the requester and the browser's storage work, the
// examples keep 60 frames a second, and the simulation gives the same bits
// as on the machine at a bounded cost.
// Usage: node browser_test.mjs BUILD_WEB_DIR EXAMPLES_DIR NATIVE_PHYSICS_PROBE
import { execFileSync } from 'node:child_process';
import { readFile } from 'node:fs/promises';
import { createServer } from 'node:http';
import { extname, join, normalize } from 'node:path';
import puppeteer from 'puppeteer-core';

const [buildDir, examplesDir, nativeProbe] = process.argv.slice(2);
const failures = [];
function check(ok, what) {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
  if (!ok) failures.push(what);
}
// speeds are measured and shown, never judged here: they depend on the machine's load
function measured(what) {
  console.log(`     ${what}`);
}

// the build folder over HTTP on a free port of 127.0.0.1
const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.css': 'text/css',
                '.svg': 'image/svg+xml' };
const server = createServer(async (req, res) => {
  const path = normalize(decodeURIComponent(new URL(req.url, 'http://x').pathname)).replace(/^(\.\.[/\\])+/, '');
  try {
    const file = path.endsWith('/') ? path + 'index.html' : path;
    const body = await readFile(join(buildDir, file));
    res.writeHead(200, { 'Content-Type': types[extname(file)] || 'application/octet-stream' });
    res.end(body);
  } catch {
    // a folder without a page is a blank page, for the probe to run in
    res.writeHead(path.endsWith('/') ? 200 : 404, { 'Content-Type': 'text/html' });
    res.end(path.endsWith('/') ? '<!doctype html><title>Flopkin</title>' : '');
  }
});
await new Promise(resolve => server.listen(0, '127.0.0.1', resolve));
const origin = `http://127.0.0.1:${server.address().port}`;

const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium', headless: 'new',
  args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader'],
});
const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));

try {
  const page = await browser.newPage();
  // room for the canvas at one device pixel per program pixel
  await page.setViewport({ width: 1100, height: 900, deviceScaleFactor: 1 });
  const errors = [];
  page.on('console', m => { if (m.type() === 'error') errors.push(m.text()); });
  page.on('pageerror', e => errors.push(String(e)));

  // the canvas's pixels as RGBA in program pixels, decoded by the browser itself
  async function shot() {
    const box = await page.$eval('#canvas', c => { const r = c.getBoundingClientRect(); return [r.left, r.top]; });
    const png = await page.screenshot({ clip: { x: box[0], y: box[1], width: 1024, height: 768 }, encoding: 'base64' });
    return page.evaluate(async data => {
      const image = await createImageBitmap(await (await fetch('data:image/png;base64,' + data)).blob());
      const c = new OffscreenCanvas(image.width, image.height).getContext('2d');
      c.drawImage(image, 0, 0);
      return Array.from(c.getImageData(0, 0, image.width, image.height).data);
    }, png);
  }
  const at = (pixels, x, y) => pixels.slice((y * 1024 + x) * 4, (y * 1024 + x) * 4 + 3);
  // pixels of the figure's area (left of the panel) that differ
  function changed(a, b) {
    let n = 0;
    for (let y = 0; y < 768; ++y)
      for (let x = 0; x < 780; ++x) {
        const i = (y * 1024 + x) * 4;
        if (a[i] !== b[i] || a[i + 1] !== b[i + 1] || a[i + 2] !== b[i + 2]) ++n;
      }
    return n;
  }
  async function click(x, y) {
    const box = await page.$eval('#canvas', c => { const r = c.getBoundingClientRect(); return [r.left, r.top]; });
    await page.mouse.click(box[0] + x, box[1] + y, { delay: 60 });
    await sleep(150);
  }
  const frames = () => page.evaluate(() => [Module.flopkin.frames, Module.flopkin.shown]);
  // past the first second's frames, which time the display before the loop starts
  async function started() {
    await page.waitForFunction(() => window.Module && Module.flopkin && Module.flopkin.frames > 70, { timeout: 30000 });
  }
  // the menu's buttons, at the middle of each
  const button = { mode: [900, 20], clearAll: [900, 170], open: [900, 590], saveAs: [900, 710], quit: [900, 750] };
  async function requester(prompt) {
    await page.waitForSelector('#requester[open]', { timeout: 15000 });
    check(await page.$eval('#requester-prompt', h => h.textContent) === prompt, `the requester asks "${prompt}"`);
  }
  async function stored() { return page.$$eval('#requester-documents li', items => items.map(li => li.textContent)); }

  await page.goto(`${origin}/site/`);
  await started();
  const first = await shot();
  check(String(at(first, 900, 100)) === '222,222,222', 'the panel is drawn in colour 222');
  await sleep(300);
  check(changed(first, await shot()) > 50, 'the start-up figure falls');

  // draw mode on an empty canvas: a click places a ball
  await click(...button.clearAll);
  const empty = await shot();
  await click(300, 300);
  const placed = await shot();
  check(changed(empty, placed) > 100 && String(at(placed, 300, 300)) !== String(at(empty, 300, 300)),
        'a click on the empty canvas places a ball');

  // Save as into the browser's storage, survive a reload, open it again
  await click(...button.saveAs);
  await requester('Save as:');
  await page.$eval('#requester-name', input => { input.value = ''; });
  await page.type('#requester-name', 'one ball.fkn');
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => !document.querySelector('#requester[open]'));
  await sleep(500);
  await page.waitForFunction(() => !Module.flopkin.writing());
  await page.reload();
  await started();
  // Escape cancels the requester and reaches the program no more than other keys
  await click(...button.open);
  await requester('Open file:');
  await page.keyboard.press('Escape');
  await page.waitForFunction(() => !document.querySelector('#requester[open]'), { timeout: 2000 });
  const running = (await frames())[0];
  await sleep(300);
  check((await frames())[0] > running && await page.$eval('#ended', e => e.hidden),
        'Escape cancels the requester and the run goes on');
  await click(...button.clearAll);
  const cleared = await shot();
  await click(...button.open);
  await requester('Open file:');
  check((await stored()).includes('one ball.fkn'), 'the saved document is in the browser after a reload');
  await page.$$eval('#requester-documents li', items => items.find(li => li.textContent === 'one ball.fkn').click());
  await page.click('#requester-ok');
  await sleep(300);
  check(changed(cleared, await shot()) > 100, 'Open brings the saved figure back');

  // every example through the file picker; each one keeps the frame rate
  for (const name of ['stick-figure.fkn', 'chain-bridge.fkn', 'crowd.fkn', 'soft-blob.fkn']) {
    await click(...button.clearAll);
    const before = await shot();
    await click(...button.open);
    await requester('Open file:');
    const [chooser] = await Promise.all([page.waitForFileChooser(), page.click('#requester-upload')]);
    await chooser.accept([join(examplesDir, name)]);
    await page.waitForFunction(() => !document.querySelector('#requester[open]'));
    await sleep(300);
    check(changed(before, await shot()) > 100, `${name} opens from the file picker`);
    // in play mode, where the simulation runs
    if (name !== 'stick-figure.fkn') {
      const start = await frames(), t0 = Date.now();
      await sleep(3000);
      const end = await frames(), seconds = (Date.now() - t0) / 1000;
      const rate = (end[0] - start[0]) / seconds;
      // never faster than 60 a second, however the display runs
      check(rate > 0 && rate <= 65, `${name} runs at ${rate.toFixed(1)} frames a second ` +
            `(${((end[1] - start[1]) / seconds).toFixed(1)} shown)`);
    }
  }

  // Quit ends the run and offers a new one
  await click(...button.quit);
  await page.waitForSelector('#ended:not([hidden])', { timeout: 5000 });
  check(true, 'Quit ends the run with an offer to start again');

  // a 120 Hz display does not make the figure move twice as fast
  const fast = await browser.newPage();
  fast.on('console', m => { if (m.type() === 'error') errors.push(m.text()); });
  fast.on('pageerror', e => errors.push(String(e)));
  await fast.evaluateOnNewDocument(() => {
    window.requestAnimationFrame = cb => setTimeout(() => cb(performance.now()), 1000 / 120);
  });
  await fast.goto(`${origin}/site/`);
  await fast.waitForFunction(() => window.Module && Module.flopkin && Module.flopkin.frames > 70, { timeout: 30000 });
  const count = () => fast.evaluate(() => [Module.flopkin.frames, Module.flopkin.shown]);
  const before = await count(), t0 = Date.now();
  await sleep(3000);
  const after = await count(), seconds = (Date.now() - t0) / 1000;
  const rate = (after[0] - before[0]) / seconds;
  check(rate > 0 && rate <= 65, `with animation frames at 120 Hz the page makes ${rate.toFixed(1)} frames a second ` +
        `(${((after[1] - before[1]) / seconds).toFixed(1)} animation frames)`);
  await fast.close();
  check(errors.length === 0, `no errors in the console${errors.length ? ': ' + errors.join(' | ') : ''}`);

  // the simulation alone: the same bits as on the machine, and its cost,
  // each side's best of runs taken in turn, so both meet the same load,
  // with no other page running
  await page.close();
  const probe = await browser.newPage();
  await probe.goto(`${origin}/probe/`);
  const runs = { web: [], native: [] };
  for (let run = 0; run < 5; ++run) {
    runs.native.push(JSON.parse(execFileSync(nativeProbe, { encoding: 'utf8' })));
    await probe.reload();
    runs.web.push(JSON.parse(await probe.evaluate(() => new Promise(resolve => {
      window.Module = { print: resolve };
      const s = document.createElement('script');
      s.src = 'web_physics_probe.js';
      document.body.appendChild(s);
    }))));
  }
  const best = list => list.reduce((a, b) => (b.mesh_step_ms < a.mesh_step_ms ? b : a));
  const web = best(runs.web), native = best(runs.native);
  check(runs.web.every(r => r.golden === native.golden) && runs.native.every(r => r.golden === native.golden),
        `the golden hash after 200 frames is ${web.golden} (machine: ${native.golden})`);
  const ratio = web.mesh_step_ms / native.mesh_step_ms;
  measured(`a step of the ${web.mesh_balls}-ball mesh on one thread takes ${web.mesh_step_ms.toFixed(2)} ms ` +
        `in the browser, ${native.mesh_step_ms.toFixed(2)} ms on the machine (${ratio.toFixed(2)}x)`);
} finally {
  await browser.close();
  server.close();
}
if (failures.length) {
  console.log(`${failures.length} failed`);
  process.exit(1);
}
