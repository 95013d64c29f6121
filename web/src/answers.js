// The run's answers as the programs' options, and the same run as a console command.

export const TRACE_FILE = 'trace.csv';

export const QUESTIONS = [
  { key: 'individuals', option: '--individuals', suggestion: '10', label: 'Number of individuals' },
  { key: 'iterations', option: '--iterations', suggestion: '1000', label: 'Iterations count' },
  { key: 'amplitude', option: '--amplitude', suggestion: '0.01', label: 'Mutation amplitude' },
];

// A seed the random source can start from: 0 .. 4294967295.
export function drawSeed(random = Math.random) {
  return String(Math.floor(random() * 4294967296));
}

// The questions left unanswered (an empty field): the page asks for them rather than let
// the program meet the end of its input.
export function missingAnswers(answers) {
  return QUESTIONS.filter((q) => answers[q.key].trim() === '');
}

// allocate's arguments (without the program's name). The answers go as typed: the program
// reads them by its own rules and refuses what it would refuse on the console.
export function allocateArguments(answers, seed, { trace = true } = {}) {
  const args = ['--seed', seed.trim()];
  for (const q of QUESTIONS) args.push(q.option, answers[q.key].trim());
  args.push('--no-wait');
  if (trace) args.push('--trace', TRACE_FILE);
  return args;
}

// A POSIX shell word for an argument: bare when it is safe, single-quoted otherwise.
export function shellWord(word) {
  if (/^[A-Za-z0-9_.,:=+\/-]+$/.test(word)) return word;
  return `'${word.replaceAll("'", `'\\''`)}'`;
}

// The console command that repeats the run in the folder of the saved function.txt.
export function consoleCommand(answers, seed) {
  return ['allocate', ...allocateArguments(answers, seed, { trace: false })].map(shellWord).join(' ');
}

// The number of steps a plain decimal iterations answer asks for (its low 16 bits, as the
// program takes it), or null when the page cannot tell without reading it the program's way.
export function expectedSteps(iterations) {
  const text = iterations.trim().split(/\s/)[0] ?? '';
  if (!/^-?\d{1,9}$/.test(text)) return null;
  return Number(text) & 0xffff;
}
