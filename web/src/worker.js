// The worker that runs the programs, so the page stays responsive; the page ends a run by
// terminating it. One request at a time:
//   {module, name, args, files, outputs, watch}  ->  {type: 'progress', step} ...  then
//   {type: 'done', status, stdout, stderr, files}  or  {type: 'failed', message}.

import { runCommand } from './command.js';
import { lastTraceStep, text } from './report.js';

const PROGRESS_INTERVAL_MS = 100;

self.onmessage = async ({ data }) => {
  let trace = '';
  let reported = -Infinity;
  const onWrite = (name, bytes) => {
    if (name !== data.watch) return;
    trace += text(bytes);
    const now = performance.now();
    if (now - reported < PROGRESS_INTERVAL_MS) return;
    // The first step past 0 is shown at once, so that a run shorter than the interval
    // still moves the bar before it ends; after it, ten updates a second at most.
    const step = lastTraceStep(trace);
    if (step === null || step === 0) return;
    reported = now;
    self.postMessage({ type: 'progress', step });
  };
  try {
    const result = await runCommand(data.module, { ...data, onWrite });
    self.postMessage({ type: 'done', ...result });
  } catch (error) {
    self.postMessage({ type: 'failed', message: String(error && error.message ? error.message : error) });
  }
};
