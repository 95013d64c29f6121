// allocate-optimum's planner options as the page gathers them: a budget in money, a floor
// and a cap per project, the split as it stands, and the frontier.

import { PROJECTS } from './table.js';

// The options, with values as typed (the program reads and judges them). Empty fields
// give no option; the current split is given when any of its 8 fields is filled.
export function plannerArguments({ budget = '', min = [], max = [], current = [], frontier = false }) {
  const args = [];
  if (budget.trim() !== '') args.push('--budget', budget.trim());
  for (let p = 0; p < PROJECTS; p += 1) {
    if ((min[p] ?? '').trim() !== '') args.push('--min', `${p + 1}=${min[p].trim()}`);
    if ((max[p] ?? '').trim() !== '') args.push('--max', `${p + 1}=${max[p].trim()}`);
  }
  const split = Array.from({ length: PROJECTS }, (_, p) => (current[p] ?? '').trim());
  if (split.some((s) => s !== '')) args.push('--current', split.join(','));
  if (frontier) args.push('--frontier');
  return args;
}

// allocate-optimum --frontier --csv: per total of ninths ("3/9"), the amount with --budget
// and the best profit, null where the bounds leave no allocation.
export function frontierOf(csv) {
  const [header, ...rows] = csv.split('\n').filter((line) => line !== '');
  const columns = (header ?? '').split(',');
  const at = (name) => columns.indexOf(name);
  if (at('total') < 0 || at('profit') < 0) return null;
  const frontier = { shares: [], amounts: at('amount') < 0 ? null : [], profits: [] };
  for (const row of rows) {
    const fields = row.split(',');
    const [ninths] = fields[at('total')].split('/');
    frontier.shares.push(Number(ninths) / 9);
    if (frontier.amounts) frontier.amounts.push(Number(fields[at('amount')]));
    frontier.profits.push(fields[at('profit')] === '' ? null : Number(fields[at('profit')]));
  }
  return frontier;
}
