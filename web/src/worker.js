// The worker that runs the programs, so the page stays responsive; the page ends a run by
// terminating it. One request at a time:
//   {module, name, args, files, outputs, watch}  ->  {type: 'progress', step} ...  then
//   {type: 'done', status, stdout, stderr, files}  or  {type: 'failed', message}.

import { runCommand } from './command.js';
import { lastTraceStep, text } from './report.js';

const PROGRESS_INTERVAL_MS = 100;

self.onmessage = async ({ data }) => {
  let trace = '';
  let reported = 0;
  const onWrite = (name, bytes) => {
    if (name !== data.watch) return;
    trace += text(bytes);
    const now = performance.now();
    if (now - reported < PROGRESS_INTERVAL_MS) return;
    reported = now;
    const step = lastTraceStep(trace);
    if (step !== null) self.postMessage({ type: 'progress', step });
  };
  try {
    const result = await runCommand(data.module, { ...data, onWrite });
    self.postMessage({ type: 'done', ...result });
  } catch (error) {
    self.postMessage({ type: 'failed', message: String(error && error.message ? error.message : error) });
  }
};
