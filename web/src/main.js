// The page: the table, the answers, the run in a worker and what it found.

import { LEVELS, PROJECTS, cellOfStop, emptyTable, levelLabel, pasteInto, pastedRows, tableFromFile, tableToFile } from './table.js';
import { QUESTIONS, TRACE_FILE, allocateArguments, consoleCommand, drawSeed, expectedSteps, missingAnswers, shellWord } from './answers.js';
import { bestOf, individualsOf, maximumOf, optimumOfCsv, shortfallPercent, stopOf, text, traceOf } from './report.js';
import { drawConvergence, drawFrontier, drawProfitCurve, drawShares, drawnPoints } from './charts.js';
import { frontierOf, plannerArguments } from './planner.js';
import { CancelledError, Runner } from './runner.js';

const $ = (id) => document.getElementById(id);
const encoder = new TextEncoder();

function base64Bytes(id) {
  const binary = atob($(id).textContent.trim());
  const bytes = new Uint8Array(binary.length);
  for (let i = 0; i < binary.length; i += 1) bytes[i] = binary.charCodeAt(i);
  return bytes;
}

const modules = {
  allocate: WebAssembly.compile(base64Bytes('wasm-allocate')),
  optimum: WebAssembly.compile(base64Bytes('wasm-optimum')),
};
const workerSource = $('worker-source').textContent;
const checker = new Runner(workerSource);
const runner = new Runner(workerSource);

const state = {
  table: tableFromFile($('sample-table').textContent),
  check: null, // the latest check of the table: a promise of {optimum, stop, notes}
  running: false,
  cancelled: false, // Cancel came before the worker started
};

// ---- the table ----

const inputs = emptyTable().map(() => []);
const marks = emptyTable().map(() => []);

// A new row at the end of body, headed "Project N" for the project numbered from 0.
function projectRow(body, project) {
  const row = body.insertRow();
  const th = document.createElement('th');
  th.scope = 'row';
  th.textContent = `Project ${project + 1}`;
  row.appendChild(th);
  return row;
}

function buildTable() {
  const head = $('profits').tHead.rows[0];
  for (let level = 0; level < LEVELS; level += 1) {
    const th = document.createElement('th');
    th.scope = 'col';
    th.textContent = levelLabel(level);
    head.appendChild(th);
  }
  const body = $('profits').tBodies[0];
  for (let project = 0; project < PROJECTS; project += 1) {
    const row = projectRow(body, project);
    for (let level = 0; level < LEVELS; level += 1) {
      const td = row.insertCell();
      const input = document.createElement('input');
      input.type = 'text';
      input.inputMode = 'decimal';
      input.autocomplete = 'off';
      input.spellcheck = false;
      input.id = `cell-${project}-${level}`;
      input.setAttribute('aria-label', `Project ${project + 1}, share ${levelLabel(level)}`);
      input.dataset.project = project;
      input.dataset.level = level;
      const mark = document.createElement('span');
      mark.className = 'refusal';
      mark.id = `refusal-${project}-${level}`;
      mark.hidden = true;
      td.append(input, mark);
      inputs[project][level] = input;
      marks[project][level] = mark;
    }
  }
}

function showTable() {
  for (let p = 0; p < PROJECTS; p += 1) for (let l = 0; l < LEVELS; l += 1) inputs[p][l].value = state.table[p][l];
  checkTable();
}

function setTable(table, how) {
  state.table = table;
  showTable();
  $('table-status').textContent = how;
}

let checkTimer = 0;
function scheduleCheck() {
  clearTimeout(checkTimer);
  checkTimer = setTimeout(checkTable, 250);
}

// The check of the table as it stands now, started at once if an edit is waiting.
function currentCheck() {
  if (checkTimer !== 0) checkTable();
  return state.check;
}

// allocate-optimum judges the table: a stop names the refused entry in the program's own
// words; otherwise it gives the exact optimum, as its report and as CSV.
function checkTable() {
  clearTimeout(checkTimer);
  checkTimer = 0;
  const file = encoder.encode(tableToFile(state.table));
  const request = (args) => modules.optimum.then((module) =>
    checker.run({ module, name: 'allocate-optimum', args, files: { 'function.txt': file } }));
  const check = Promise.all([request([]), request(['--csv'])]).then(([report, csv]) => {
    const stdout = text(report.stdout);
    const stderr = text(report.stderr).trimEnd();
    const stop = stopOf(stdout);
    return {
      report: stdout,
      stop: stop === null ? null : { ...stop, words: stderr },
      notes: stop === null ? stderr : '',
      optimum: stop === null ? optimumOfCsv(text(csv.stdout)) : null,
      profit: maximumOf(stdout),
    };
  });
  state.check = check;
  check.then((result) => {
    if (state.check === check) showCheck(result);
  }, (error) => showFailure(error));
}

function showCheck(result) {
  for (let p = 0; p < PROJECTS; p += 1) {
    for (let l = 0; l < LEVELS; l += 1) {
      inputs[p][l].removeAttribute('aria-invalid');
      inputs[p][l].removeAttribute('aria-describedby');
      marks[p][l].hidden = true;
      marks[p][l].textContent = '';
    }
  }
  const cell = result.stop ? cellOfStop(result.stop.words) : null;
  if (cell !== null) {
    const input = inputs[cell.project][cell.level];
    const mark = marks[cell.project][cell.level];
    mark.textContent = cell.words;
    mark.hidden = false;
    input.setAttribute('aria-invalid', 'true');
    input.setAttribute('aria-describedby', mark.id);
  }
  $('table-check').textContent = result.stop
    ? `The program refuses this table: ${result.stop.words}`
    : result.notes || 'The program reads this table.';
  $('table-check').className = result.stop ? 'refused' : '';
}

function onCellInput(event) {
  const input = event.target;
  state.table[input.dataset.project][input.dataset.level] = input.value;
  scheduleCheck();
}

function onCellPaste(event) {
  const rows = pastedRows(event.clipboardData.getData('text/plain'));
  if (rows.length === 0 || (rows.length === 1 && rows[0].length === 1)) return;
  event.preventDefault();
  const input = event.target;
  setTable(pasteInto(state.table, Number(input.dataset.project), Number(input.dataset.level), rows), `Pasted ${rows.flat().length} entries.`);
}

// Arrow keys up and down, and Enter, move between projects as in a spreadsheet.
function onCellKey(event) {
  const input = event.target;
  const project = Number(input.dataset.project);
  const level = Number(input.dataset.level);
  const moves = { ArrowUp: -1, ArrowDown: 1, Enter: 1 };
  if (!(event.key in moves)) return;
  const next = project + moves[event.key];
  if (next < 0 || next >= PROJECTS) return;
  event.preventDefault();
  inputs[next][level].focus();
}

async function loadFile(file) {
  const bytes = new Uint8Array(await file.arrayBuffer());
  const content = new TextDecoder('utf-8', { ignoreBOM: true }).decode(bytes);
  setTable(tableFromFile(content), `Loaded ${file.name}.`);
}

function saveTable() {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([tableToFile(state.table)], { type: 'text/plain' }));
  link.download = 'function.txt';
  document.body.appendChild(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 1000);
  $('table-status').textContent = 'Saved as function.txt.';
}

// ---- the answers and the run ----

function answers() {
  return Object.fromEntries(QUESTIONS.map((q) => [q.key, $(q.key).value]));
}

function showCommand() {
  $('command').textContent = consoleCommand(answers(), $('seed').value);
}

function setRunning(running) {
  state.running = running;
  $('run').disabled = running;
  $('cancel').disabled = !running;
  $('progress').hidden = !running;
}

async function run(event) {
  event.preventDefault();
  if (state.running) return;
  const missing = missingAnswers(answers());
  for (const q of QUESTIONS) $(q.key).removeAttribute('aria-invalid');
  if (missing.length > 0) {
    for (const q of missing) $(q.key).setAttribute('aria-invalid', 'true');
    $('answers-status').textContent = `Answer ${missing.map((q) => `"${q.label}" (suggested: ${q.suggestion})`).join(', ')}.`;
    $(missing[0].key).focus();
    return;
  }
  if ($('seed').value.trim() === '') $('seed').value = drawSeed();
  $('answers-status').textContent = '';
  showCommand();
  const steps = expectedSteps($('iterations').value);
  const progress = $('progress');
  if (steps === null || steps === 0) progress.removeAttribute('value');
  else progress.value = 0;
  clearResult();
  setRunning(true);
  $('run-status').textContent = 'Running…';
  document.body.dataset.run = 'running';
  const check = currentCheck();
  const file = encoder.encode(tableToFile(state.table));
  state.cancelled = false;
  try {
    const module = await modules.allocate;
    if (state.cancelled) throw new CancelledError();
    const result = await runner.run(
      { module, name: 'allocate', args: allocateArguments(answers(), $('seed').value), files: { 'function.txt': file }, outputs: [TRACE_FILE], watch: TRACE_FILE },
      (step) => {
        if (steps) progress.value = Math.min(step / steps, 1);
      },
    );
    await showResult(result, await check);
    $('run-status').textContent = result.status === 0 ? 'Done.' : `Stopped with exit status ${result.status}.`;
    document.body.dataset.run = 'done';
  } catch (error) {
    if (error instanceof CancelledError) {
      $('run-status').textContent = 'Cancelled.';
      document.body.dataset.run = 'cancelled';
    } else {
      showFailure(error);
    }
  } finally {
    setRunning(false);
  }
}

function cancel() {
  state.cancelled = true;
  runner.cancel();
}

// Nothing of an earlier run stays on show while another runs, or after it is cancelled.
function clearResult() {
  for (const id of ['report', 'stderr', 'stop-line', 'stop-words']) $(id).textContent = '';
  for (const id of ['stderr', 'stop', 'outcome', 'charts-area']) $(id).hidden = true;
}

function formatPercent(value) {
  return value === null ? 'not defined (the optimum is 0)' : `${value.toFixed(2)} %`;
}

async function showResult(result, check) {
  const stdout = text(result.stdout);
  const stderr = text(result.stderr).trimEnd();
  $('report').textContent = stdout;
  $('report').dataset.status = result.status;
  $('stderr').textContent = stderr;
  $('stderr').hidden = stderr === '';
  const stop = stopOf(stdout);
  $('stop').hidden = stop === null && result.status === 0;
  $('stop-line').textContent = stop === null ? `exit status ${result.status}` : stop.line;
  $('stop-words').textContent = stderr;
  if (!$('stop').hidden) return;
  $('outcome').hidden = false;
  $('charts-area').hidden = false;

  const best = bestOf(individualsOf(stdout));
  const optimum = check.optimum;
  $('optimum-profit').textContent = check.profit ?? '–';
  $('found-profit').textContent = maximumOf(stdout) ?? '–';
  $('shortfall').textContent = optimum && best ? formatPercent(shortfallPercent(optimum.profit, best.profit)) : '–';
  $('optimum-report').textContent = check.report;
  drawShares($('shares-chart'), best ? best.shares : null, optimum ? optimum.shares : null);
  const trace = traceOf(text(result.files[TRACE_FILE] ?? new Uint8Array(0)));
  drawConvergence($('convergence-chart'), trace);
  $('convergence-chart').dataset.rows = trace.steps.length;
  drawCurves(best, optimum);
}

function drawCurves(best, optimum) {
  const host = $('curves');
  host.replaceChildren();
  for (let p = 0; p < PROJECTS; p += 1) {
    const levels = state.table[p].map((cell) => Number(cell.trim() === '' ? 0 : cell));
    if (levels.some((v) => !Number.isFinite(v))) continue;
    const figure = document.createElement('figure');
    const holder = document.createElement('div');
    holder.className = 'chart small';
    const canvas = document.createElement('canvas');
    canvas.setAttribute('role', 'img');
    const found = best ? best.shares[p] : null;
    const exact = optimum ? optimum.shares[p] : null;
    canvas.setAttribute('aria-label', `Profit of project ${p + 1} by its share; best found ${found ?? 'none'}, exact optimum ${exact === null ? 'none' : exact.toFixed(3)}`);
    const caption = document.createElement('figcaption');
    caption.textContent = `Project ${p + 1}`;
    holder.appendChild(canvas);
    figure.append(caption, holder);
    host.appendChild(figure);
    drawProfitCurve(canvas, p, levels, found, exact);
  }
}

function showFailure(error) {
  $('run-status').textContent = `The page could not run the program: ${error.message}`;
  document.body.dataset.run = 'failed';
}

// ---- the plan: allocate-optimum with the planner's options ----

function buildBounds() {
  const body = $('bounds').tBodies[0];
  for (let project = 0; project < PROJECTS; project += 1) {
    const row = projectRow(body, project);
    for (const [kind, words] of [['min', 'lowest'], ['max', 'highest'], ['current', 'current']]) {
      const input = document.createElement('input');
      input.type = 'text';
      input.inputMode = 'decimal';
      input.autocomplete = 'off';
      input.id = `${kind}-${project}`;
      input.setAttribute('aria-label', `Project ${project + 1}, ${words} share or amount`);
      row.insertCell().appendChild(input);
    }
  }
}

function plan() {
  const field = (kind) => Array.from({ length: PROJECTS }, (_, p) => $(`${kind}-${p}`).value);
  return { budget: $('budget').value, min: field('min'), max: field('max'), current: field('current'), frontier: $('frontier').checked };
}

function showPlanCommand() {
  $('plan-command').textContent = ['allocate-optimum', ...plannerArguments(plan())].map(shellWord).join(' ');
}

async function runPlan(event) {
  event.preventDefault();
  const args = plannerArguments(plan());
  const file = encoder.encode(tableToFile(state.table));
  $('plan-status').textContent = 'Planning…';
  document.body.dataset.plan = 'running';
  try {
    const module = await modules.optimum;
    const request = (extra) => checker.run({ module, name: 'allocate-optimum', args: [...args, ...extra], files: { 'function.txt': file } });
    const report = await request([]);
    const stdout = text(report.stdout);
    const stderr = text(report.stderr).trimEnd();
    $('plan-report').textContent = stdout;
    $('plan-stop').hidden = report.status === 0;
    $('plan-words').textContent = report.status === 0 ? '' : stderr;
    const frontier = report.status === 0 && args.includes('--frontier') ? frontierOf(text((await request(['--csv'])).stdout)) : null;
    $('frontier-figure').hidden = frontier === null;
    if (frontier !== null) drawFrontier($('frontier-chart'), frontier);
    $('plan-status').textContent = report.status === 0 ? 'Done.' : `Stopped with exit status ${report.status}.`;
    document.body.dataset.plan = 'done';
  } catch (error) {
    $('plan-status').textContent = `The page could not run the program: ${error.message}`;
    document.body.dataset.plan = 'failed';
  }
}

// ---- start ----

function start() {
  buildTable();
  const body = $('profits').tBodies[0];
  body.addEventListener('input', onCellInput);
  body.addEventListener('paste', onCellPaste);
  body.addEventListener('keydown', onCellKey);
  $('load').addEventListener('change', (event) => {
    if (event.target.files.length > 0) loadFile(event.target.files[0]);
    event.target.value = '';
  });
  $('load-button').addEventListener('click', () => $('load').click());
  $('save').addEventListener('click', saveTable);
  $('sample').addEventListener('click', () => setTable(tableFromFile($('sample-table').textContent), 'The sample table.'));
  const zone = $('drop-zone');
  zone.addEventListener('dragover', (event) => {
    event.preventDefault();
    zone.classList.add('dropping');
  });
  zone.addEventListener('dragleave', () => zone.classList.remove('dropping'));
  zone.addEventListener('drop', (event) => {
    event.preventDefault();
    zone.classList.remove('dropping');
    if (event.dataTransfer.files.length > 0) loadFile(event.dataTransfer.files[0]);
  });
  $('seed').value = drawSeed();
  $('new-seed').addEventListener('click', () => {
    $('seed').value = drawSeed();
    showCommand();
  });
  $('answers').addEventListener('input', showCommand);
  $('answers').addEventListener('submit', run);
  $('cancel').addEventListener('click', cancel);
  buildBounds();
  $('plan-form').addEventListener('input', showPlanCommand);
  $('plan-form').addEventListener('change', showPlanCommand);
  $('plan-form').addEventListener('submit', runPlan);
  showTable();
  showCommand();
  showPlanCommand();
  document.body.dataset.ready = 'true';
}

// For the page's tests.
window.allocatePage = { drawnPoints: (id) => drawnPoints($(id)), check: currentCheck };

start();
