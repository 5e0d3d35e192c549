// The engine runs here, off the page's thread: the page stays responsive however long a run takes,
// and Stop ends a run at once by ending this worker. Every message is one call of the engine.
'use strict';

const ready = createKivoEngine();

function call(engine, name, ...args) {
  return JSON.parse(engine.ccall(name, 'string', args.map(() => 'string'), args));
}

const calls = {
  describe: (engine) => call(engine, 'kivo_describe'),
  run: (engine, request) => call(engine, 'kivo_run', JSON.stringify(request)),
  runRecipe: (engine, request) => call(engine, 'kivo_run_recipe', JSON.stringify(request)),
  counts: (engine, text) => call(engine, 'kivo_counts', text),
  decode(engine, bytes, encoding) {
    const at = engine._malloc(Math.max(bytes.length, 1));
    try {
      engine.HEAPU8.set(bytes, at);
      return JSON.parse(engine.ccall('kivo_decode_file', 'string', ['number', 'number', 'string'],
                                     [at, bytes.length, encoding]));
    } finally {
      engine._free(at);
    }
  },
  encode(engine, request) {
    const reply = call(engine, 'kivo_encode_file', JSON.stringify(request));
    if (reply.bytes === undefined) return reply;
    return { bytes: engine.HEAPU8.slice(reply.at, reply.at + reply.bytes) };
  },
};

onmessage = async (event) => {
  const { id, name, args } = event.data;
  const engine = await ready;
  let reply;
  try {
    reply = calls[name](engine, ...args);
  } catch (error) {
    reply = { error: String(error) };
  }
  postMessage({ id, reply });
};
