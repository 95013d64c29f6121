// The built page in headless Chromium, against the native programs of the same tree:
//   ALLOCATE_SITE      the folder with index.html
//   ALLOCATE_PROGRAM   the native allocate;  OPTIMUM_PROGRAM  the native allocate-optimum
//   ALLOCATE_SAMPLE    examples/function.txt; ALLOCATE_SHOTS  where the screenshots go
//   CHROMIUM           the browser (/usr/bin/chromium)
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { existsSync, mkdtempSync, mkdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import puppeteer from 'puppeteer-core';
import { serve } from '../../serve.mjs';

const env = (name) => {
  const value = process.env[name];
  if (!value) throw new Error(`${name} is not set`);
  return value;
};
const SITE = resolve(env('ALLOCATE_SITE'));
const SHOTS = resolve(env('ALLOCATE_SHOTS'));
const SAMPLE = readFileSync(env('ALLOCATE_SAMPLE'));
const RUN_TIMEOUT = 120000;
const WASM_ADDRESS = '00000001'; // the WebAssembly build's report-line address

// The native program in a fresh folder holding `table` as function.txt.
function native(program, args, table = SAMPLE) {
  const dir = mkdtempSync(join(tmpdir(), 'allocate-web-'));
  try {
    writeFileSync(join(dir, 'function.txt'), table);
    const run = spawnSync(program, args, { cwd: dir, input: '', encoding: 'latin1' });
    let trace = null;
    try {
      trace = readFileSync(join(dir, 'trace.csv'), 'latin1');
    } catch {}
    return { stdout: run.stdout, stderr: run.stderr, status: run.status, trace };
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
}
const allocate = (args, table) => native(env('ALLOCATE_PROGRAM'), args, table);
const optimum = (args, table) => native(env('OPTIMUM_PROGRAM'), args, table);

let browser;
let server;

before(async () => {
  browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox', '--headless=new', '--disable-background-networking', '--disable-component-update',
      '--disable-sync', '--no-first-run', '--disable-gpu'],
  });
  server = await serve(SITE, 0);
  mkdirSync(SHOTS, { recursive: true });
});

after(async () => {
  await browser?.close();
  server?.server.close();
});

// A page with every console error, page error and request that leaves this computer kept.
async function open(url, width = 1280) {
  const page = await browser.newPage();
  await page.setViewport({ width, height: 900 });
  const problems = [];
  page.on('console', (message) => {
    if (message.type() === 'error' || message.type() === 'warn') problems.push(`console ${message.type()}: ${message.text()}`);
  });
  page.on('pageerror', (error) => problems.push(`page error: ${error.message}`));
  page.on('requestfailed', (request) => problems.push(`request failed: ${request.url()}`));
  page.on('request', (request) => {
    const address = request.url();
    const local = /^(file:|data:|blob:)/.test(address) || address.startsWith(server.url);
    if (!local) problems.push(`network: ${address}`);
  });
  await page.goto(url, { waitUntil: 'load' });
  await page.waitForSelector('body[data-ready="true"]');
  await page.waitForFunction(() => document.getElementById('table-check').textContent !== '');
  return { page, problems };
}

const fileUrl = () => pathToFileURL(join(SITE, 'index.html')).href;

async function fill(page, id, value) {
  await page.$eval(`#${id}`, (input, text) => {
    input.value = text;
    input.dispatchEvent(new Event('input', { bubbles: true }));
  }, value);
}

// Runs with the answers; resolves with the report's text once the run has ended.
async function runOnPage(page, { individuals, iterations, amplitude, seed }) {
  await fill(page, 'individuals', individuals);
  await fill(page, 'iterations', iterations);
  await fill(page, 'amplitude', amplitude);
  await fill(page, 'seed', seed);
  await page.focus('#run');
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => ['done', 'failed'].includes(document.body.dataset.run), { timeout: RUN_TIMEOUT });
  assert.equal(await page.$eval('body', (b) => b.dataset.run), 'done', await page.$eval('#run-status', (s) => s.textContent));
  return page.$eval('#report', (pre) => pre.textContent);
}

// The accessibility rules of axe-core (labels, names, roles, contrast, ...), run in the page.
const AXE = readFileSync(new URL('../../node_modules/axe-core/axe.min.js', import.meta.url), 'utf8');
async function accessibilityViolations(page) {
  await page.addScriptTag({ content: AXE });
  return page.evaluate(async () => (await window.axe.run()).violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`));
}

const argsOf = ({ individuals, iterations, amplitude, seed }) =>
  ['--seed', seed, '--individuals', individuals, '--iterations', iterations, '--amplitude', amplitude, '--no-wait'];

describe('the page', () => {
  test('opens from a local folder and over HTTP with no console error and nothing fetched', async () => {
    for (const url of [fileUrl(), server.url]) {
      const { page, problems } = await open(url);
      assert.equal(await page.$$eval('#profits tbody input', (inputs) => inputs.length), 80);
      assert.deepEqual(await page.$$eval('#profits thead th', (ths) => ths.map((th) => th.textContent)),
        ['Project', '0', '1/9', '2/9', '3/9', '4/9', '5/9', '6/9', '7/9', '8/9', '1']);
      assert.equal(await page.$eval('#cell-0-1', (input) => input.value), '10.87', 'the sample table');
      await runOnPage(page, { individuals: '10', iterations: '100', amplitude: '0.01', seed: '5' });
      assert.deepEqual(problems, [], url);
      await page.close();
    }
  });

  test('the report is the native program\'s standard output, byte for byte, and a stop shows its words', { timeout: 4 * RUN_TIMEOUT }, async () => {
    const { page, problems } = await open(fileUrl());
    const settings = [
      { individuals: '10', iterations: '1000', amplitude: '0.01', seed: '42' },
      { individuals: '20', iterations: '3000', amplitude: '0.05', seed: '4294967295' },
      { individuals: '$5', iterations: '0', amplitude: '1e-3', seed: '0' },
      { individuals: '10', iterations: '10', amplitude: '0.01', seed: '-1' },
      { individuals: '21', iterations: '10', amplitude: '0.01', seed: '3' },
      { individuals: '10abc', iterations: '10', amplitude: '0.01', seed: '3' },
      { individuals: '5', iterations: '10', amplitude: '1e39', seed: '3' },
    ];
    for (const setting of settings) {
      const expected = allocate(argsOf(setting));
      const report = await runOnPage(page, setting);
      // A report line's address names a place in the code: WebAssembly has no code address
      // a program can read, and its build gives one fixed value there instead.
      const [native, wasm] = [expected.stdout, report].map((out) => out.replace(/(Runtime error \d+ at )[0-9A-F]{8}/, '$1ADDRESS'));
      assert.equal(wasm, native, JSON.stringify(setting));
      if (!/Runtime error/.test(expected.stdout)) assert.equal(report, expected.stdout, 'byte for byte');
      else assert.match(report, new RegExp(`Runtime error ${expected.status} at ${WASM_ADDRESS}\0\r\n$`));
      const stopped = expected.status !== 0;
      assert.equal(await page.$eval('#stop', (box) => box.hidden), !stopped);
      assert.equal(await page.$eval('#charts-area', (area) => area.hidden), stopped, 'no charts after a stop');
      if (stopped) {
        const line = /Runtime error \d+ at [0-9A-F]{8}/.exec(report)?.[0] ?? `exit status ${expected.status}`;
        assert.equal(await page.$eval('#stop-line', (pre) => pre.textContent), line);
        assert.equal(await page.$eval('#stop-words', (p) => p.textContent), expected.stderr.trimEnd());
      }
    }
    assert.deepEqual(await accessibilityViolations(page), [], 'after a stop');
    assert.deepEqual(problems, []);
    await page.close();
  });

  test('the optimum, the shortfall and the charts follow the programs', { timeout: 2 * RUN_TIMEOUT }, async () => {
    const { page } = await open(fileUrl());
    const setting = { individuals: '12', iterations: '2500', amplitude: '0.02', seed: '99' };
    await runOnPage(page, setting);
    const exact = /Maximum profit:\s*(\S+)/.exec(optimum([]).stdout)[1];
    assert.equal(await page.$eval('#optimum-profit', (dd) => dd.textContent), exact);
    assert.equal(await page.$eval('#optimum-report', (pre) => pre.textContent), optimum([]).stdout);
    const expected = allocate([...argsOf(setting), '--trace', 'trace.csv']);
    const found = /Maximum profit:\s*(\S+)/.exec(expected.stdout)[1];
    assert.equal(await page.$eval('#found-profit', (dd) => dd.textContent), found);
    const shortfall = ((Number(exact) - Number(found)) / Math.abs(Number(exact))) * 100;
    assert.equal(await page.$eval('#shortfall', (dd) => dd.textContent), `${shortfall.toFixed(2)} %`);
    assert.deepEqual(await page.evaluate(() => window.allocatePage.drawnPoints('shares-chart')), [8, 8]);
    const rows = expected.trace.trimEnd().split('\n').length - 1;
    assert.equal(rows, 1000);
    assert.deepEqual(await page.evaluate(() => window.allocatePage.drawnPoints('convergence-chart')), [rows, rows]);
    assert.equal(await page.$$eval('#curves canvas', (c) => c.length), 8);
    assert.deepEqual(await page.$eval('#curves canvas', (c) => window.allocatePage.drawnPoints(c.id || (c.id = 'curve-1'))), [10, 1, 1]);
    await page.screenshot({ path: join(SHOTS, 'page-desktop.png'), fullPage: true });
    await page.close();
  });

  test('an entry the program refuses is marked in its cell, in its words, before any run', async () => {
    const { page } = await open(fileUrl());
    await fill(page, 'cell-2-4', '12abc');
    await page.waitForSelector('#cell-2-4[aria-invalid="true"]');
    const table = SAMPLE.toString('latin1').split('\n');
    const entries = table[2].trim().split(/\s+/);
    entries[4] = '12abc';
    table[2] = entries.join(' ');
    const words = optimum([], table.join('\n')).stderr.trimEnd();
    const mark = await page.$eval('#refusal-2-4', (span) => span.textContent);
    assert.ok(words.endsWith(`project 3, level 4: ${mark}`), `${words} / ${mark}`);
    assert.equal(await page.$eval('#cell-2-4', (input) => input.getAttribute('aria-describedby')), 'refusal-2-4');
    assert.equal(await page.$eval('body', (b) => b.dataset.run), undefined, 'nothing ran');
    await fill(page, 'cell-2-4', '12');
    await page.waitForSelector('#cell-2-4:not([aria-invalid])');
    await page.close();
  });

  test('a table is loaded from a file and pasted from a spreadsheet', async () => {
    const { page } = await open(fileUrl());
    const dir = mkdtempSync(join(tmpdir(), 'allocate-web-'));
    const file = join(dir, 'function.txt');
    writeFileSync(file, '1 2 3\n4 5');
    const picker = await page.$('#load');
    await picker.uploadFile(file);
    await page.waitForFunction(() => document.getElementById('cell-0-4').value === '5');
    assert.equal(await page.$eval('#cell-0-5', (input) => input.value), '');
    rmSync(dir, { recursive: true, force: true });
    assert.equal(await page.$eval('#table-status', (p) => p.textContent), 'Loaded function.txt.');

    await page.$eval('#cell-1-8', (input) => {
      const data = new DataTransfer();
      data.setData('text/plain', '7\t8\t9\r\n10\t11\t12\r\n');
      input.dispatchEvent(new ClipboardEvent('paste', { clipboardData: data, bubbles: true, cancelable: true }));
    });
    assert.deepEqual(await page.$$eval('#cell-1-8, #cell-1-9, #cell-2-8, #cell-2-9', (inputs) => inputs.map((i) => i.value)), ['7', '8', '10', '11']);

    // Dropped on the table: the sample again.
    await page.$eval('#drop-zone', (zone, content) => {
      const data = new DataTransfer();
      data.items.add(new File([content], 'spring.txt', { type: 'text/plain' }));
      zone.dispatchEvent(new DragEvent('drop', { dataTransfer: data, bubbles: true, cancelable: true }));
    }, SAMPLE.toString('latin1'));
    await page.waitForFunction(() => document.getElementById('table-status').textContent === 'Loaded spring.txt.');
    assert.equal(await page.$eval('#cell-7-9', (input) => input.value), '32.77');

    // Saved as function.txt, edited first: the console programs read what the page shows.
    await fill(page, 'cell-6-3', '99.5');
    const downloads = mkdtempSync(join(tmpdir(), 'allocate-web-'));
    const session = await page.createCDPSession();
    await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
    await page.click('#save');
    const saved = join(downloads, 'function.txt');
    for (let waited = 0; waited < 100 && !existsSync(saved); waited += 1) await new Promise((r) => setTimeout(r, 100));
    const savedTable = readFileSync(saved);
    rmSync(downloads, { recursive: true, force: true });
    const check = await page.evaluate(async () => (await window.allocatePage.check()).report);
    assert.equal(check, optimum([], savedTable).stdout, 'the page checks the table it saves');
    assert.match(check, /H:1 F:\s*\S+ W:/);
    assert.equal(savedTable.toString('latin1').split('\n')[6].split(' ')[3], '99.5');
    await page.close();
  });

  test('Cancel ends a long run, and the next run starts cleanly', { timeout: 2 * RUN_TIMEOUT }, async () => {
    const { page, problems } = await open(fileUrl());
    await runOnPage(page, { individuals: '3', iterations: '5', amplitude: '0.01', seed: '2' });
    await fill(page, 'individuals', '20');
    await fill(page, 'iterations', '65535');
    await fill(page, 'amplitude', '0.01');
    // The largest run takes about a second here: slowed down, it runs long enough to show
    // its progress, and Cancel is pressed from inside the page as soon as it does.
    await page.emulateCPUThrottling(4);
    const progressAtCancel = await page.evaluate(() => new Promise((resolve) => {
      // The progress bar's value is an attribute: its first change past 0 is seen at once,
      // with no timer that a busy or hidden page could hold back.
      const progress = document.getElementById('progress');
      const watch = new MutationObserver(() => {
        if (!(progress.value > 0)) return;
        watch.disconnect();
        const value = progress.value;
        document.getElementById('cancel').click();
        resolve(value);
      });
      watch.observe(progress, { attributes: true, attributeFilter: ['value'] });
      // A run that ends without showing progress fails here at once, not at the timeout.
      const end = new MutationObserver(() => {
        if (document.body.dataset.run !== 'done') return;
        end.disconnect();
        watch.disconnect();
        resolve(null);
      });
      end.observe(document.body, { attributes: true, attributeFilter: ['data-run'] });
      document.getElementById('run').click();
    }));
    assert.ok(progressAtCancel > 0 && progressAtCancel < 1, `progress ${progressAtCancel}`);
    await page.waitForFunction(() => document.body.dataset.run === 'cancelled');
    await page.emulateCPUThrottling(null);
    assert.equal(await page.$eval('#report', (pre) => pre.textContent), '', 'no report from the cancelled run, nor the one before');
    assert.equal(await page.$eval('#charts-area', (area) => area.hidden), true);
    assert.equal(await page.$eval('#run', (b) => b.disabled), false);
    assert.equal(await page.$eval('#progress', (p) => p.hidden), true);
    const setting = { individuals: '4', iterations: '50', amplitude: '0.01', seed: '8' };
    assert.equal(await runOnPage(page, setting), allocate(argsOf(setting)).stdout);
    assert.deepEqual(problems, []);
    await page.close();
  });

  test('a plan is allocate-optimum\'s report with the planner\'s options, the frontier as a chart', async () => {
    const { page, problems } = await open(fileUrl());
    const plans = [
      { fields: { budget: '9000', 'min-0': '2000', 'max-6': '1000' }, frontier: true,
        args: ['--budget', '9000', '--min', '1=2000', '--max', '7=1000', '--frontier'] },
      { fields: { 'current-0': '0.5', 'current-1': '0.5', 'current-2': '0', 'current-3': '0', 'current-4': '0', 'current-5': '0', 'current-6': '0', 'current-7': '0' }, frontier: false,
        args: ['--current', '0.5,0.5,0,0,0,0,0,0'] },
      { fields: { 'min-2': '0.6', 'min-3': '0.6' }, frontier: false, args: ['--min', '3=0.6', '--min', '4=0.6'] },
    ];
    for (const plan of plans) {
      await page.$$eval('#plan-form input[type=text], #budget', (inputs) => inputs.forEach((input) => { input.value = ''; }));
      for (const [id, value] of Object.entries(plan.fields)) await fill(page, id, value);
      if (await page.$eval('#frontier', (box) => box.checked) !== plan.frontier) await page.click('#frontier');
      assert.equal(await page.$eval('#plan-command', (code) => code.textContent), ['allocate-optimum', ...plan.args].join(' '));
      await page.click('#plan');
      await page.waitForFunction(() => document.body.dataset.plan === 'done');
      const expected = optimum(plan.args);
      assert.equal(await page.$eval('#plan-report', (pre) => pre.textContent), expected.stdout, plan.args.join(' '));
      assert.equal(await page.$eval('#plan-stop', (box) => box.hidden), expected.status === 0);
      if (expected.status !== 0) assert.equal(await page.$eval('#plan-words', (p) => p.textContent), expected.stderr.trimEnd());
      assert.equal(await page.$eval('#frontier-figure', (figure) => figure.hidden), !plan.frontier);
      if (plan.frontier) assert.deepEqual(await page.evaluate(() => window.allocatePage.drawnPoints('frontier-chart')), [10]);
      await page.evaluate(() => { delete document.body.dataset.plan; });
    }
    assert.deepEqual(problems, []);
    await page.close();
  });

  test('at 360 pixels nothing but the table scrolls sideways, and every field is labelled, by axe-core too', { timeout: RUN_TIMEOUT }, async () => {
    const { page, problems } = await open(fileUrl(), 360);
    await runOnPage(page, { individuals: '10', iterations: '1000', amplitude: '0.01', seed: '42' });
    const width = await page.evaluate(() => document.documentElement.scrollWidth);
    assert.ok(width <= 360, `the page is ${width} px wide`);
    const unlabelled = await page.$$eval('input:not([type=file]), button, progress', (elements) =>
      elements.filter((e) => !(e.labels?.length || e.getAttribute('aria-label') || e.textContent.trim())).map((e) => e.id));
    assert.deepEqual(unlabelled, []);
    assert.deepEqual(await accessibilityViolations(page), []);
    await page.screenshot({ path: join(SHOTS, 'page-360.png'), fullPage: true });
    assert.deepEqual(problems, []);
    await page.close();
  });
});
