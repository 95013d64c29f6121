// A WASI module run as a console command: its arguments, a working directory holding the
// given files, standard input, output and error collected as bytes, and its exit status.

import { WASI, File, OpenFile, PreopenDirectory, Fd, wasi } from '@bjorn3/browser_wasi_shim';

// Standard output or error: a regular file to the program (as when redirected on the
// console, so it writes in blocks), whose bytes are kept.
class Collector extends Fd {
  constructor() {
    super();
    this.chunks = [];
  }
  fd_write(data) {
    this.chunks.push(data.slice());
    return { ret: wasi.ERRNO_SUCCESS, nwritten: data.byteLength };
  }
  fd_fdstat_get() {
    return { ret: 0, fdstat: new wasi.Fdstat(wasi.FILETYPE_REGULAR_FILE, 0) };
  }
  fd_filestat_get() {
    return { ret: 0, filestat: new wasi.Filestat(0n, wasi.FILETYPE_REGULAR_FILE, 0n) };
  }
  bytes() {
    return concat(this.chunks);
  }
}

function concat(chunks) {
  const all = new Uint8Array(chunks.reduce((n, c) => n + c.byteLength, 0));
  let at = 0;
  for (const c of chunks) {
    all.set(c, at);
    at += c.byteLength;
  }
  return all;
}

// A file the program creates or writes; every write is reported as it happens.
class WatchedFile extends File {
  constructor(name, onWrite) {
    super(new ArrayBuffer(0));
    this.name = name;
    this.onWrite = onWrite;
  }
  path_open(oflags, rights, fdflags) {
    const opened = super.path_open(oflags, rights, fdflags);
    if (opened.fd_obj === null) return opened;
    const file = this;
    const fd = opened.fd_obj;
    const write = fd.fd_write.bind(fd);
    fd.fd_write = (data) => {
      const result = write(data);
      file.onWrite(file.name, data);
      return result;
    };
    return opened;
  }
}

// Runs the module; `files` maps names in the working directory to their bytes (read only),
// `outputs` names the files the program may write, reported through onWrite(name, bytes).
export async function runCommand(module, { name, args, files = {}, outputs = [], stdin = new Uint8Array(0), onWrite = () => {} }) {
  const stdout = new Collector();
  const stderr = new Collector();
  const contents = new Map();
  for (const [file, bytes] of Object.entries(files)) contents.set(file, new File(bytes, { readonly: true }));
  for (const file of outputs) contents.set(file, new WatchedFile(file, onWrite));
  const fds = [new OpenFile(new File(stdin, { readonly: true })), stdout, stderr, new PreopenDirectory('.', contents)];
  const shim = new WASI([name, ...args], [], fds, { debug: false });
  const instance = await WebAssembly.instantiate(module, { wasi_snapshot_preview1: shim.wasiImport });
  const status = shim.start(instance);
  const written = {};
  for (const file of outputs) written[file] = contents.get(file).data;
  return { status, stdout: stdout.bytes(), stderr: stderr.bytes(), files: written };
}
