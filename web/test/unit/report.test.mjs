import { test } from 'node:test';
import assert from 'node:assert/strict';
import { bestOf, individualsOf, lastTraceStep, maximumOf, optimumOfCsv, profitAt, shortfallPercent, stopOf, traceOf } from '../../src/report.js';

const REPORT = [
  'Optimal solution:',
  'H:1 F: 99.595 W:0.116 0.168 0.103 0.120 0.115 0.121 0.138 0.119 ',
  'H:2 F:100.220 W:0.111 0.171 0.111 0.119 0.118 0.110 0.138 0.121 ',
  'H:10 F:100.220 W:0.100 0.171 0.111 0.119 0.118 0.110 0.138 0.133 ',
  '  Maximum profit: 100.220',
  '',
].join('\r\n');

test('the report\'s individuals are read with their profits and shares', () => {
  const individuals = individualsOf(REPORT);
  assert.deepEqual(individuals.map((i) => i.number), [1, 2, 10]);
  assert.equal(individuals[0].profit, 99.595);
  assert.deepEqual(individuals[1].shares, [0.111, 0.171, 0.111, 0.119, 0.118, 0.11, 0.138, 0.121]);
  assert.equal(bestOf(individuals).number, 2, 'the first of equal profits');
  assert.equal(maximumOf(REPORT), '100.220');
});

test('a wide profit field and an empty report are read too', () => {
  const wide = 'H:1 F:258249616.000 W:0.125 0.125 0.125 0.125 0.125 0.125 0.125 0.125 \r\n';
  assert.equal(individualsOf(wide)[0].profit, 258249616);
  assert.equal(bestOf(individualsOf('Optimal solution:\r\n')), null);
});

test('a stop is found by its report line', () => {
  assert.deepEqual(stopOf('H:1 F:...\r\nRuntime error 201 at 0000A1F3\0\r\n'), { code: 201, address: '0000A1F3', line: 'Runtime error 201 at 0000A1F3' });
  assert.equal(stopOf(REPORT), null);
});

test('the optimum is read from allocate-optimum --csv', () => {
  const csv = 'individual,profit,share1,share2,share3,share4,share5,share6,share7,share8\n1,100.42,0.11111111,0.11111111,0.11111111,0.11111111,0.11111111,0.11111111,0.22222222,0.11111111\n';
  const optimum = optimumOfCsv(csv);
  assert.equal(optimum.profit, 100.42);
  assert.equal(optimum.shares.length, 8);
  assert.equal(optimum.shares[6], 0.22222222);
  assert.equal(optimumOfCsv('individual,profit\n'), null);
});

test('the shortfall is a percentage of the optimum\'s size', () => {
  const rows = [
    { optimum: 100.42, found: 100.22, percent: 0.19916 },
    { optimum: 100, found: 100, percent: 0 },
    { optimum: -10, found: -12, percent: 20 },
    { optimum: 0, found: -1, percent: null },
  ];
  for (const row of rows) {
    const got = shortfallPercent(row.optimum, row.found);
    if (row.percent === null) assert.equal(got, null);
    else assert.ok(Math.abs(got - row.percent) < 1e-4, `${row.optimum}, ${row.found}: ${got}`);
  }
});

test('the trace is read by step, an empty population as gaps', () => {
  const trace = traceOf('step,best,mean\n0,97.2,91.5\n1,98,92\n');
  assert.deepEqual(trace, { steps: [0, 1], best: [97.2, 98], mean: [91.5, 92] });
  assert.deepEqual(traceOf('step,best,mean\n0,,\n').best, [null]);
});

test('progress is the step of the last complete row written so far', () => {
  const rows = [
    { partial: '', step: null },
    { partial: 'step,best,mean\n', step: null },
    { partial: 'step,best,mean\n0,1,1\n65,2,2\n131,2', step: 65 },
    { partial: 'step,best,mean\n0,1,1\n', step: 0 },
  ];
  for (const row of rows) assert.equal(lastTraceStep(row.partial), row.step, JSON.stringify(row.partial));
});

test('a marker sits on the straight line between two levels', () => {
  const levels = [0, 9, 18, 18, 18, 18, 18, 18, 18, 27];
  assert.equal(profitAt(levels, 0), 0);
  assert.equal(profitAt(levels, 1 / 18), 4.5);
  assert.equal(profitAt(levels, 1), 27);
  assert.equal(profitAt(levels, 17 / 18), 22.5);
});
