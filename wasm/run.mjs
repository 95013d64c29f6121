#!/usr/bin/env node
// Runs a WASI command module as its native program runs from a shell:
//
//   wasm/run.mjs build-wasm/allocate.wasm --seed 7 <answers.txt >report.txt
//
// The module gets the arguments after its path (its own name first, the path without
// ".wasm", as the native program would be named), the environment with PWD set to the
// working directory, the whole file system (its relative names are taken from that
// directory), standard input, output and error as they are, and the exit status it ends
// with. A trap of the engine (a bad memory access, an exhausted stack) ends it with 255
// and a line on standard error.

// The global process, never `import process from 'node:process'`: importing it reads every
// property, and reading process.stdin turns a piped standard input non-blocking.
import { readFileSync, writeSync } from 'node:fs';

// Node announces WASI as experimental on standard error, which belongs to the program.
const emitWarning = process.emitWarning;
process.emitWarning = function (warning, ...rest) {
  const type = typeof rest[0] === 'string' ? rest[0] : rest[0]?.type;
  if (type === 'ExperimentalWarning' && String(warning).includes('WASI')) return;
  return emitWarning.call(this, warning, ...rest);
};
const { WASI } = await import('node:wasi');

const [modulePath, ...args] = process.argv.slice(2);
if (modulePath === undefined) {
  writeSync(2, 'usage: run.mjs MODULE.wasm [ARGUMENT...]\n');
  process.exit(64);
}
const name = modulePath.endsWith('.wasm') ? modulePath.slice(0, -'.wasm'.length) : modulePath;

const wasi = new WASI({
  version: 'preview1',
  args: [name, ...args],
  env: { ...process.env, PWD: process.cwd() },
  preopens: { '/': '/' },
  returnOnExit: true,
});
let status;
try {
  const module = new WebAssembly.Module(readFileSync(modulePath));
  const instance = new WebAssembly.Instance(module, wasi.getImportObject());
  status = wasi.start(instance);
} catch (error) {
  // Standard error is written directly: a stream of Node's own would change its mode.
  writeSync(2, `${name}: ${error instanceof WebAssembly.RuntimeError ? 'trap: ' : ''}${error.message}\n`);
  status = 255;
}
process.exit(status);
