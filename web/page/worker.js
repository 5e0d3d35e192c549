// The engine runs here, off the page's thread: the page stays responsive however long a run takes,
// and Stop ends a run at once by ending this worker. Every message is one call of the engine.
'use strict';

const ready = createKivoEngine();

const encoder = new TextEncoder();

// Passes each text through the engine's heap: ccall would copy a string argument onto the engine's
// stack, which a text of a few megabytes overflows.
function call(engine, name, ...args) {
  const pointers = args.map((text) => {
    const bytes = encoder.encode(text);
    const at = engine._malloc(bytes.length + 1);
    engine.HEAPU8.set(bytes, at);
    engine.HEAPU8[at + bytes.length] = 0;
    return at;
  });
  try {
    return JSON.parse(engine.ccall(name, 'string', args.map(() => 'number'), pointers));
  } finally {
    pointers.forEach((at) => engine._free(at));
  }
}

const calls = {
  describe: (engine) => call(engine, 'kivo_describe'),
  run: (engine, request) => call(engine, 'kivo_run', JSON.stringify(request)),
  runRecipe: (engine, request) => call(engine, 'kivo_run_recipe', JSON.stringify(request)),
  counts: (engine, text) => call(engine, 'kivo_counts', text),
  decode(engine, bytes, encoding) {
    const at = engine._malloc(Math.max(bytes.length, 1));
    const name = encoder.encode(encoding + '\0');
    const nameAt = engine._malloc(name.length);
    try {
      engine.HEAPU8.set(bytes, at);
      engine.HEAPU8.set(name, nameAt);
      return JSON.parse(engine.ccall('kivo_decode_file', 'string', ['number', 'number', 'number'],
                                     [at, bytes.length, nameAt]));
    } finally {
      engine._free(at);
      engine._free(nameAt);
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
