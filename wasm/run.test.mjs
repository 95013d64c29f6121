// The runner as a shell meets it: the exit status is the module's, standard error carries
// nothing of Node's own, and a trap ends the run with 255 and a line. The modules are
// written out here byte by byte, so that each does one thing. Run by `make test-wasm`
// (node --test wasm/).
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { fileURLToPath } from 'node:url';

const runner = fileURLToPath(new URL('run.mjs', import.meta.url));

function unsigned(n) {
  const bytes = [];
  do {
    let byte = n & 0x7f;
    n >>>= 7;
    if (n !== 0) byte |= 0x80;
    bytes.push(byte);
  } while (n !== 0);
  return bytes;
}
function signed(n) {
  const bytes = [];
  for (;;) {
    const byte = n & 0x7f;
    n >>= 7;
    if ((n === 0 && (byte & 0x40) === 0) || (n === -1 && (byte & 0x40) !== 0)) {
      bytes.push(byte);
      return bytes;
    }
    bytes.push(byte | 0x80);
  }
}
const name = (text) => [...unsigned(text.length), ...Buffer.from(text)];
const section = (id, ...items) => {
  const body = [...unsigned(items.length), ...items.flat()];
  return [id, ...unsigned(body.length), ...body];
};

// A command whose _start runs `code` (instructions, then end), with WASI's proc_exit as
// function 0 and one page of memory, as a WASI command must export.
function command(code) {
  const body = [0x00, ...code, 0x0b];  // no locals
  return Uint8Array.from([
    0x00, 0x61, 0x73, 0x6d, 0x01, 0x00, 0x00, 0x00,
    ...section(1, [0x60, 0x01, 0x7f, 0x00], [0x60, 0x00, 0x00]),
    ...section(2, [...name('wasi_snapshot_preview1'), ...name('proc_exit'), 0x00, 0x00]),
    ...section(3, [0x01]),
    ...section(5, [0x00, 0x01]),
    ...section(7, [...name('_start'), 0x00, 0x01], [...name('memory'), 0x02, 0x00]),
    ...section(10, [...unsigned(body.length), ...body]),
  ]);
}
const exitWith = (status) => command([0x41, ...signed(status), 0x10, 0x00]);
const trap = () => command([0x00]);

function run(module, args = []) {
  const directory = mkdtempSync(join(tmpdir(), 'run-test-'));
  try {
    const path = join(directory, 'program.wasm');
    writeFileSync(path, module);
    const result = spawnSync(runner, [path, ...args], { cwd: directory, encoding: 'latin1' });
    return { ...result, name: join(directory, 'program') };
  } finally {
    rmSync(directory, { recursive: true, force: true });
  }
}

test('the exit status is the module\'s, with nothing of Node\'s on standard error', () => {
  for (const status of [0, 1, 64, 105, 255]) {
    const result = run(exitWith(status));
    assert.equal(result.status, status);
    assert.equal(result.stdout, '');
    assert.equal(result.stderr, '');
  }
});

test('a trap ends the run with 255 and one line naming the program', () => {
  const result = run(trap());
  assert.equal(result.status, 255);
  assert.equal(result.stdout, '');
  assert.match(result.stderr, /^(.*): trap: .+\n$/);
  assert.equal(result.stderr.split(': trap: ')[0], result.name);
});

test('without a module the runner says how to call it and ends with 64', () => {
  const result = spawnSync(runner, [], { encoding: 'latin1' });
  assert.equal(result.status, 64);
  assert.match(result.stderr, /^usage: run\.mjs MODULE\.wasm/);
});
