// The page's way of running the programs (src/command.js, the browser WASI shim), here
// under Node against the native programs: the same bytes on every stream, the trace
// reported as it is written, the stops and their words.
//   ALLOCATE_WASM_DIR  the folder of allocate.wasm and allocate-optimum.wasm
//   ALLOCATE_PROGRAM, OPTIMUM_PROGRAM, ALLOCATE_SAMPLE  as for page.test.mjs
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { runCommand } from '../../src/command.js';
import { lastTraceStep, text } from '../../src/report.js';

const env = (name) => {
  if (!process.env[name]) throw new Error(`${name} is not set`);
  return process.env[name];
};
const SAMPLE = readFileSync(env('ALLOCATE_SAMPLE'));
const modules = {};
async function module(name) {
  modules[name] ??= WebAssembly.compile(readFileSync(join(env('ALLOCATE_WASM_DIR'), `${name}.wasm`)));
  return modules[name];
}

function native(program, args, table, stdin = '') {
  const dir = mkdtempSync(join(tmpdir(), 'allocate-command-'));
  try {
    writeFileSync(join(dir, 'function.txt'), table);
    const run = spawnSync(program, args, { cwd: dir, input: stdin });
    let trace = null;
    try {
      trace = readFileSync(join(dir, 'trace.csv'));
    } catch {}
    return { stdout: run.stdout, stderr: run.stderr, status: run.status, trace };
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
}

const bytes = (s) => new TextEncoder().encode(s);

test('allocate runs as on the console: every stream, the status and the trace the same', async () => {
  const rows = [
    { name: 'a long run with its trace', args: ['--seed', '11', '--individuals', '20', '--iterations', '4000', '--amplitude', '0.01', '--no-wait', '--trace', 'trace.csv'], table: SAMPLE },
    { name: 'typed answers from standard input', args: ['--seed', '5'], stdin: '3\n20\n0.1\n\n', table: SAMPLE },
    { name: 'a short table', args: ['--seed', '1', '--individuals', '4', '--iterations', '9', '--amplitude', '0.01', '--no-wait'], table: bytes('1 2 3') },
    { name: 'a refused entry', args: ['--seed', '1', '--individuals', '4', '--iterations', '9', '--amplitude', '0.01'], table: bytes('1 2 x3') },
    { name: 'a trace that cannot be written', args: ['--trace', 'no-folder/t.csv'], table: SAMPLE },
  ];
  for (const row of rows) {
    const stdin = bytes(row.stdin ?? '');
    const expected = native(env('ALLOCATE_PROGRAM'), row.args, row.table, stdin);
    const steps = [];
    const result = await runCommand(await module('allocate'), {
      name: 'allocate',
      args: row.args,
      stdin,
      files: { 'function.txt': row.table },
      outputs: ['trace.csv'],
      onWrite: (name, data) => steps.push(lastTraceStep(text(data))),
    });
    const address = (out) => text(out).replace(/(Runtime error \d+ at )[0-9A-F]{8}/, '$1ADDRESS');
    assert.equal(address(result.stdout), address(expected.stdout), row.name);
    assert.equal(text(result.stderr), text(expected.stderr), row.name);
    assert.equal(result.status, expected.status, row.name);
    if (expected.trace !== null) {
      assert.equal(text(result.files['trace.csv']), text(expected.trace), row.name);
      const rows = steps.filter((s) => s !== null);
      assert.ok(rows.length > 100, `${row.name}: the trace is reported row by row (${rows.length})`);
      assert.deepEqual(rows, [...rows].sort((a, b) => a - b), `${row.name}: steps rise`);
    }
  }
});

test('allocate-optimum names a refused entry in the words of the native program', async () => {
  for (const table of ['1 2 12abc', '1e39', '0 '.repeat(79) + '1,5', '\ufeff1 2']) {
    const file = bytes(table);
    const expected = native(env('OPTIMUM_PROGRAM'), [], file);
    const result = await runCommand(await module('allocate-optimum'), { name: 'allocate-optimum', args: [], files: { 'function.txt': file } });
    assert.equal(text(result.stderr), text(expected.stderr), table);
    assert.equal(result.status, expected.status, table);
    assert.notEqual(result.status, 0, table);
  }
});
