import { test } from 'node:test';
import assert from 'node:assert/strict';
import { allocateArguments, consoleCommand, drawSeed, expectedSteps, missingAnswers, shellWord } from '../../src/answers.js';

const ANSWERS = { individuals: '10', iterations: '1000', amplitude: '0.01' };

test('the answers go to allocate as typed, with the seed, no wait and the trace', () => {
  assert.deepEqual(allocateArguments({ ...ANSWERS, individuals: ' 10abc ' }, '7'), [
    '--seed', '7', '--individuals', '10abc', '--iterations', '1000', '--amplitude', '0.01', '--no-wait', '--trace', 'trace.csv',
  ]);
});

test('the console command repeats the run without the trace, quoted for a shell', () => {
  assert.equal(consoleCommand(ANSWERS, '42'), 'allocate --seed 42 --individuals 10 --iterations 1000 --amplitude 0.01 --no-wait');
  assert.equal(shellWord("10 it's"), `'10 it'\\''s'`);
  assert.equal(shellWord('$14'), `'$14'`);
});

test('an empty answer is asked for, not left to the program', () => {
  assert.deepEqual(missingAnswers({ individuals: ' ', iterations: '5', amplitude: '' }).map((q) => q.key), ['individuals', 'amplitude']);
});

test('seeds cover 0 to 4294967295', () => {
  assert.equal(drawSeed(() => 0), '0');
  assert.equal(drawSeed(() => 0.9999999999), '4294967295');
});

test('the steps of a plain decimal answer are its low 16 bits; other forms are not guessed', () => {
  const rows = [
    ['1000', 1000], ['65535', 65535], ['65536', 0], ['-1', 65535], ['10 abc', 10], ['$FF', null], ['1e3', null], ['', null],
  ];
  for (const [text, steps] of rows) assert.equal(expectedSteps(text), steps, text);
});
