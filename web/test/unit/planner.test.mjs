import { test } from 'node:test';
import assert from 'node:assert/strict';
import { frontierOf, plannerArguments } from '../../src/planner.js';

test('the planner\'s fields become allocate-optimum\'s options, empty ones left out', () => {
  const rows = [
    { name: 'nothing', plan: {}, args: [] },
    {
      name: 'a budget, a floor and a cap, the frontier',
      plan: { budget: ' 9000 ', min: ['', '', '2000'], max: ['', '', '', '', '', '', '', '0.5'], frontier: true },
      args: ['--budget', '9000', '--min', '3=2000', '--max', '8=0.5', '--frontier'],
    },
    {
      name: 'a current split, empty fields kept in place for the program to judge',
      plan: { current: ['0.5', '', '0.5'] },
      args: ['--current', '0.5,,0.5,,,,,'],
    },
  ];
  for (const row of rows) assert.deepEqual(plannerArguments(row.plan), row.args, row.name);
});

test('the frontier is read by part of the budget, with gaps where the bounds leave none', () => {
  const shares = 'total,profit,share1,share2,share3,share4,share5,share6,share7,share8,next1\n0/9,,,,,,,,,,\n1/9,13.96,0,0,0,0,0,0,0,0.11111111,\n9/9,100.42,0.1,0.1,0.1,0.1,0.1,0.1,0.2,0.2,4.4\n';
  assert.deepEqual(frontierOf(shares), { shares: [0, 1 / 9, 1], amounts: null, profits: [null, 13.96, 100.42] });
  const amounts = 'total,amount,profit,share1\n0/9,0.00,0,0\n2/9,2000.00,17.8,0.22222222\n';
  assert.deepEqual(frontierOf(amounts), { shares: [0, 2 / 9], amounts: [0, 2000], profits: [0, 17.8] });
  assert.equal(frontierOf('individual,profit\n1,2\n'), null);
});
