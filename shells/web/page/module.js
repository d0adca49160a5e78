// Loading the module, and texts across its border: UTF-8 with a
// terminating zero in the module's memory, JSON for anything with parts.
import createZifraModule from "./zifra.js";

// The module, built from the very bytes fetched, which the game checksums
// and sends with a score as the Windows game sends its file's checksum.
export async function loadModule() {
  const response = await fetch("zifra.wasm");
  if (!response.ok) throw new Error(`zifra.wasm: ${response.status} ${response.statusText}`);
  const bytes = new Uint8Array(await response.arrayBuffer());
  const module = await createZifraModule({ wasmBinary: bytes });
  return { module, bytes };
}

const decoder = new TextDecoder("utf-8");
const encoder = new TextEncoder();

// The text at `pointer`.
export function textAt(module, pointer) {
  const heap = module.HEAPU8;
  let end = pointer;
  while (heap[end] !== 0) ++end;
  return decoder.decode(heap.subarray(pointer, end));
}

export function jsonAt(module, pointer) {
  return JSON.parse(textAt(module, pointer));
}

// Copies `bytes` into the module's memory for the length of `use(pointer)`.
export function withBytes(module, bytes, use) {
  const pointer = module._malloc(bytes.length + 1);
  try {
    module.HEAPU8.set(bytes, pointer);
    module.HEAPU8[pointer + bytes.length] = 0;
    return use(pointer, bytes.length);
  } finally {
    module._free(pointer);
  }
}

// `texts` as UTF-8 in the module's memory for the length of `use(...pointers)`.
export function withTexts(module, texts, use) {
  const [first, ...rest] = texts;
  if (first === undefined) return use();
  return withBytes(module, encoder.encode(first), (pointer) =>
    withTexts(module, rest, (...pointers) => use(pointer, ...pointers)));
}
