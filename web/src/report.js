// What the page reads back from the programs' output: the report's lines, a stop's report
// line, allocate-optimum's CSV line and the convergence trace.

const decoder = new TextDecoder('utf-8');

export function text(bytes) {
  return decoder.decode(bytes);
}

// "Runtime error 106 at 0000A1F3" (followed by a zero byte and CR LF).
export function stopOf(stdout) {
  const match = /Runtime error (\d+) at ([0-9A-F]{8})/.exec(stdout);
  return match === null ? null : { code: Number(match[1]), address: match[2], line: match[0] };
}

// The individuals of a report: "H:3 F: 41.250 W:0.125 ... " lines, as printed.
export function individualsOf(stdout) {
  const individuals = [];
  const pattern = /^H:(\d+) F:\s*(\S+) W:((?:\s*\S+){8}) \r$/gm;
  for (const match of stdout.matchAll(pattern)) {
    individuals.push({
      number: Number(match[1]),
      profit: Number(match[2]),
      shares: match[3].trim().split(/\s+/).map(Number),
    });
  }
  return individuals;
}

// The individual with the highest profit (the first among equals), or null.
export function bestOf(individuals) {
  let best = null;
  for (const individual of individuals) {
    if (best === null || individual.profit > best.profit) best = individual;
  }
  return best;
}

// The number on the "  Maximum profit: " line, as printed (text), or null.
export function maximumOf(stdout) {
  const match = /^ {2}Maximum profit:\s*(\S+)\r$/m.exec(stdout);
  return match === null ? null : match[1];
}

// allocate-optimum --csv: a header, then "1,profit,share1,...,share8".
export function optimumOfCsv(csv) {
  const lines = csv.split('\n').filter((line) => line !== '');
  if (lines.length < 2) return null;
  const fields = lines[1].split(',').map(Number);
  if (fields.length !== 10 || fields.some(Number.isNaN)) return null;
  return { profit: fields[1], shares: fields.slice(2) };
}

// How far the best found lies below the optimum, in percent of the optimum's size;
// null when the optimum is 0 (no percentage means anything there).
export function shortfallPercent(optimum, found) {
  if (optimum === 0) return null;
  return ((optimum - found) / Math.abs(optimum)) * 100;
}

// The trace: a header "step,best,mean", then one row per sampled step.
export function traceOf(csv) {
  const rows = csv.split('\n').slice(1).filter((line) => line !== '');
  const trace = { steps: [], best: [], mean: [] };
  for (const row of rows) {
    const [step, best, mean] = row.split(',');
    trace.steps.push(Number(step));
    trace.best.push(best === '' ? null : Number(best));
    trace.mean.push(mean === '' ? null : Number(mean));
  }
  return trace;
}

// The step of the last complete row of a trace written so far, or null.
export function lastTraceStep(partial) {
  const end = partial.lastIndexOf('\n');
  if (end < 0) return null;
  const start = partial.lastIndexOf('\n', end - 1) + 1;
  const step = Number.parseInt(partial.slice(start, end), 10);
  return Number.isNaN(step) ? null : step;
}

// The profit of a project at share x (0..1), joining its 10 levels by straight lines as the
// program does; used only to place a marker on the drawn curve.
export function profitAt(levels, x) {
  const position = Math.min(Math.max(x, 0), 1) * 9;
  const low = Math.min(Math.floor(position), 8);
  return levels[low] + (levels[low + 1] - levels[low]) * (position - low);
}
