// A worker that runs the programs, one request at a time, each answered by a promise. The
// worker's code travels as text and starts from a Blob URL: a page opened from a local
// folder may not start a worker from a file.

export class Runner {
  constructor(source) {
    this.url = URL.createObjectURL(new Blob([source], { type: 'text/javascript' }));
    this.worker = null;
    this.queue = Promise.resolve();
  }

  // Runs one command after those already asked for; onProgress(step) while it runs.
  run(request, onProgress = () => {}) {
    const result = this.queue.then(() => this.#send(request, onProgress));
    this.queue = result.catch(() => {});
    return result;
  }

  #send(request, onProgress) {
    if (this.worker === null) this.worker = new Worker(this.url);
    const worker = this.worker;
    return new Promise((resolve, reject) => {
      this.reject = reject;
      worker.onmessage = ({ data }) => {
        if (data.type === 'progress') return onProgress(data.step);
        this.reject = null;
        if (data.type === 'done') resolve(data);
        else reject(new Error(data.message));
      };
      worker.onerror = (event) => {
        event.preventDefault();
        this.reject = null;
        reject(new Error(event.message || 'the worker failed'));
      };
      worker.postMessage(request);
    });
  }

  // Stops whatever runs now; the next request starts a fresh worker.
  cancel() {
    if (this.worker !== null) this.worker.terminate();
    this.worker = null;
    if (this.reject) this.reject(new CancelledError());
    this.reject = null;
  }
}

export class CancelledError extends Error {
  constructor() {
    super('cancelled');
    this.name = 'CancelledError';
  }
}
