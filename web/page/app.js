// The page of the browser edition: the condition tabs built from the operations' declarations,
// the two panes, files, runs and recipes. Everything runs in this browser; nothing is sent.
'use strict';

const $ = (id) => document.getElementById(id);

const kMessages = {
  chooseOperation: '実行する条件を選択して下さい。',
  overwrite: '下部テキストボックスに文字または文字列があります、上書きされますがよろしいですか？',
  openFailed: 'ファイルを開けませんでした。',
  notText: '文字コードを判別できないため開けませんでした。文字コードを指定して開いて下さい。',
  upperEmpty: '上部テキストに文字、文字列がありません。',
  lowerEmpty: '下部テキストに文字、文字列がありません。',
  unmappable: (name) => `${name}で保存できない文字が含まれています、UTF-8で保存しますか？`,
  recipeLineBreak: '改行を含む値はレシピに書けません。',
  recipeEmpty: 'レシピに処理がありません。',
  busy: '実行中…',
};
const kEncodingNames = { 'cp932': 'Shift-JIS', 'utf-8': 'UTF-8', 'utf-8-bom': 'UTF-8(BOM付き)',
                         'utf-16le': 'UTF-16LE(BOM付き)', 'utf-16be': 'UTF-16BE(BOM付き)' };

// ---- The engine's worker: one call at a time, answered in order. Stop ends it and starts another.

class Engine {
  constructor() { this.start(); }
  start() {
    const url = URL.createObjectURL(new Blob([KIVO_WORKER_SOURCE], { type: 'text/javascript' }));
    this.worker = new Worker(url);
    URL.revokeObjectURL(url);
    this.pending = new Map();
    this.next = 0;
    this.worker.onmessage = (event) => {
      const { id, reply } = event.data;
      this.pending.get(id).resolve(reply);
      this.pending.delete(id);
    };
  }
  call(name, ...args) {
    return new Promise((resolve, reject) => {
      const id = this.next++;
      this.pending.set(id, { resolve, reject });
      this.worker.postMessage({ id, name, args });
    });
  }
  stop() {
    this.worker.terminate();
    for (const { reject } of this.pending.values()) reject(new Error('stopped'));
    this.start();
  }
}

const engine = new Engine();

// ---- Message boxes: one modal dialog with the buttons a message or question needs.

function showBox(text, buttons) {
  const dialog = $('message');
  $('message-text').textContent = text;
  const row = $('message-buttons');
  row.replaceChildren();
  return new Promise((resolve) => {
    for (const [value, caption] of buttons) {
      const button = document.createElement('button');
      button.value = value;
      button.textContent = caption;
      row.append(button);
    }
    dialog.onclose = () => resolve(dialog.returnValue || buttons[buttons.length - 1][0]);
    dialog.showModal();
    row.firstChild.focus();
  });
}
const inform = (text) => showBox(text, [['ok', 'OK']]);
const askYesNoCancel = (text) => showBox(text, [['yes', 'はい'], ['no', 'いいえ'], ['cancel', 'キャンセル']]);
const askYesNo = (text) => showBox(text, [['yes', 'はい'], ['no', 'いいえ']]);

// ---- The condition tabs, from the declarations.

const state = { operations: [], currentTab: 0, files: [null, null], running: false, kept: { upper: null, lower: null } };

// A pane keeps the text the program put there exactly (CrLf, a lone Cr) until the user edits it: a
// text box shows every line break as Lf.
function paneText(pane) {
  return state.kept[pane] ?? $(pane).value;
}
// Chromium takes minutes to lay out a text box of tens of megabytes: a longer text is kept whole
// and shown by its first lines, read-only, until it is replaced; runs, saves and copies take it whole.
const kShownLength = 1_000_000;

function shownEnd(text) {
  const lineEnd = text.lastIndexOf('\n', kShownLength);
  if (lineEnd > 0) return lineEnd + 1;
  const high = text.charCodeAt(kShownLength - 1);
  return high >= 0xd800 && high <= 0xdbff ? kShownLength - 1 : kShownLength;
}

function isPartial(pane) {
  return !$(`${pane}-note`).hidden;
}

function setPaneText(pane, text) {
  const partial = text.length > kShownLength;
  $(pane).value = partial ? text.slice(0, shownEnd(text)) : text;
  $(`${pane}-note`).hidden = !partial;
  $(pane).readOnly = partial || (pane === 'upper' && state.running);
  state.kept[pane] = text;
}

function captionText(caption) {
  return caption.replace(/\(&(.)\)/, '($1)');
}

function today() {
  const d = new Date();
  return `${d.getFullYear()}/${String(d.getMonth() + 1).padStart(2, '0')}/${String(d.getDate()).padStart(2, '0')}`;
}

// A control for one option; it reads and sets the text the operation takes.
function optionControl(operation, param) {
  let element;
  switch (param.kind) {
    case 'list':
      element = document.createElement('select');
      for (const entry of param.entries) element.add(new Option(entry.text, entry.text));
      element.value = param.default;
      break;
    case 'count':
      element = document.createElement('input');
      element.type = 'number';
      element.min = param.min;
      element.max = param.max;
      element.value = param.default;
      break;
    case 'check':
      element = document.createElement('input');
      element.type = 'checkbox';
      element.checked = param.default === '1';
      break;
    case 'date':
      element = document.createElement('input');
      element.type = 'date';
      element.value = today().replaceAll('/', '-');
      break;
    default:
      element = document.createElement(param.multiLine ? 'textarea' : 'input');
      if (!param.multiLine) element.type = 'text';
      element.value = param.default;
  }
  element.dataset.option = param.option;
  element.setAttribute('aria-label', `${captionText(operation.caption)}：${param.option}`);
  return element;
}

function controlText(element) {
  if (element.type === 'checkbox') return element.checked ? '1' : '0';
  if (element.type === 'date') return element.value.replaceAll('-', '/');
  return element.value;
}

function setControlText(element, text) {
  if (element.type === 'checkbox') element.checked = text === '1';
  else if (element.type === 'date') element.value = text.replaceAll('/', '-');
  else element.value = text;
}

function operationRow(operation) {
  const row = document.createElement('div');
  row.className = 'operation';
  row.dataset.name = operation.name;
  const radio = document.createElement('input');
  radio.type = 'radio';
  radio.name = `tab${operation.tab}`;
  radio.id = `op-${operation.name}`;
  radio.value = operation.name;
  const caption = document.createElement('label');
  caption.className = 'caption';
  caption.htmlFor = radio.id;
  caption.textContent = captionText(operation.caption);
  caption.title = `${operation.description}\n例: ${operation.example.input} → ${operation.example.output}`;
  row.append(radio, caption);
  for (const param of operation.params) row.append(optionControl(operation, param));
  // Touching an option chooses its operation, as in the window.
  row.addEventListener('focusin', () => { radio.checked = true; });
  return row;
}

function buildTabs(operations) {
  const tabs = $('tabs');
  const pages = $('pages');
  const count = Math.max(...operations.map((op) => op.tab)) + 1;
  for (let tab = 0; tab < count; ++tab) {
    const button = document.createElement('button');
    button.type = 'button';
    button.role = 'tab';
    button.id = `tab-${tab}`;
    button.textContent = `条件${tab + 1}`;
    button.setAttribute('aria-controls', `page-${tab}`);
    button.onclick = () => showTab(tab);
    tabs.append(button);
    const page = document.createElement('div');
    page.role = 'tabpanel';
    page.id = `page-${tab}`;
    page.setAttribute('aria-labelledby', button.id);
    const group = document.createElement('fieldset');
    for (const operation of operations.filter((op) => op.tab === tab)) group.append(operationRow(operation));
    group.querySelector('input[type=radio]').checked = true;
    page.append(group);
    pages.append(page);
  }
  showTab(0);
}

function showTab(tab) {
  state.currentTab = tab;
  for (const button of $('tabs').children) button.setAttribute('aria-selected', button.id === `tab-${tab}`);
  for (const page of $('pages').children) page.hidden = page.id !== `page-${tab}`;
}

function selectedOperation() {
  const radio = document.querySelector(`#page-${state.currentTab} input[type=radio]:checked`);
  return radio && state.operations.find((op) => op.name === radio.value);
}

function optionsOf(operation) {
  const options = {};
  for (const element of document.querySelectorAll(`.operation[data-name="${operation.name}"] [data-option]`))
    options[element.dataset.option] = controlText(element);
  return options;
}

function setOptions(operation, changed) {
  for (const [option, text] of Object.entries(changed || {})) {
    const element = document.querySelector(`.operation[data-name="${operation.name}"] [data-option="${option}"]`);
    if (element) setControlText(element, text);
  }
}

// ---- Runs

function setBusy(busy) {
  state.running = busy;
  $('busy').textContent = busy ? kMessages.busy : '';
  $('stop').disabled = !busy;
  $('stop').classList.toggle('busy', busy);
  for (const id of ['execute', 'open', 'save-upper', 'save-lower', 'move-up', 'recipe-run', 'clear-upper'])
    $(id).disabled = busy;
  $('upper').readOnly = busy || isPartial('upper');
}

// A run that stops at a question shows it and runs again with its answer, until it ends.
async function runAnswering(call, request) {
  const answers = [];
  for (;;) {
    const reply = await engine.call(call, { ...request, answers });
    if (reply.question === undefined) return reply;
    const answer = await askYesNoCancel(reply.question);
    answers.push(answer);
  }
}

async function showReply(reply, operation) {
  if (reply.error) await inform(reply.error);
  for (const message of reply.messages || [])
    if (message.icon !== 'question') await inform(message.text);
  if (operation) setOptions(operation, reply.changed);
  if (reply.result !== undefined) {
    setPaneText('lower', reply.result);
    // The result is written as the text it came from was.
    state.files[1] = state.files[0] && { ...state.files[0], name: null };
  } else if (reply.concerned) {
    const upper = $('upper');
    upper.focus();
    upper.setSelectionRange(reply.concerned.start, reply.concerned.start + reply.concerned.length);
  }
  updateCounts();
}

async function run(call, request, operation) {
  if (paneText('lower') !== '' && (await askYesNo(kMessages.overwrite)) !== 'yes') return;
  setBusy(true);
  try {
    await showReply(await runAnswering(call, request), operation);
  } catch (stopped) {
    // Stop: no result, as in the window.
  } finally {
    setBusy(false);
  }
}

async function execute() {
  const operation = selectedOperation();
  if (!operation) return inform(kMessages.chooseOperation);
  await run('run', { operation: operation.name, options: optionsOf(operation), text: paneText('upper') }, operation);
}

function stop() {
  if (!state.running) return;
  engine.stop();
  setBusy(false);
}

// ---- Files

function readFile(input) {
  return new Promise((resolve) => {
    const file = input.files[0];
    input.value = '';
    if (!file) return resolve(null);
    file.arrayBuffer().then((buffer) => resolve({ name: file.name, bytes: new Uint8Array(buffer) }),
                            () => resolve({ name: file.name, bytes: null }));
  });
}

async function openFile() {
  const file = await readFile($('open-file'));
  if (!file) return;
  if (!file.bytes) return inform(kMessages.openFailed);
  if (file.bytes.length === 0) return;
  setBusy(true);
  try {
    const opened = await engine.call('decode', file.bytes, $('open-encoding').value);
    if (opened.error) return await inform(opened.error === 'not text' ? kMessages.notText : kMessages.openFailed);
    setPaneText('upper', opened.text);
    state.files[0] = { name: file.name, encoding: opened.encoding, lineBreak: opened.lineBreak, guessed: opened.guessed };
    showFileFormat();
  } finally {
    setBusy(false);
    updateCounts();
  }
}

function showFileFormat() {
  const file = state.files[0];
  document.title = file ? `${file.name} - Kivoオートフィル` : 'Kivoオートフィル';
  $('status').dataset.format = file
    ? `${kEncodingNames[file.encoding] || file.encoding}${file.guessed ? '（推定）' : ''}・${file.lineBreak === 'lf' ? 'Lf' : 'CrLf'}`
    : '';
  showStatus();
}

function download(name, bytes) {
  const url = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
  const link = document.createElement('a');
  link.href = url;
  link.download = name;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 60000);
}

// Saves a pane as the window does: in its file's encoding and line break (Shift-JIS and CrLf for a
// text from no file), asking before "?" would stand for what the encoding cannot hold.
async function save(pane) {
  const text = paneText(pane === 0 ? 'upper' : 'lower');
  if (text === '') return inform(pane === 0 ? kMessages.upperEmpty : kMessages.lowerEmpty);
  const file = state.files[pane] || { encoding: 'cp932', lineBreak: /\r\n/.test(text) || !/\n/.test(text) ? 'crlf' : 'lf' };
  const request = { text, encoding: file.encoding, lineBreak: file.lineBreak };
  let encoded = await engine.call('encode', request);
  if (encoded.unmappable !== undefined) {
    const answer = await askYesNoCancel(kMessages.unmappable(kEncodingNames[file.encoding] || file.encoding));
    if (answer === 'cancel') return;
    encoded = await engine.call('encode', answer === 'yes'
      ? { ...request, encoding: 'utf-8-bom' } : { ...request, questionMarks: true });
  }
  download(file.name || (pane === 0 ? '上部テキスト.txt' : '結果.txt'), encoded.bytes);
}

// ---- Counts of the focused pane, after a pause, when the engine is free

let countsPane = 'upper';
let countsTimer = 0;
function updateCounts() {
  clearTimeout(countsTimer);
  countsTimer = setTimeout(async () => {
    if (state.running) return updateCounts();
    const counts = await engine.call('counts', paneText(countsPane)).catch(() => null);
    if (!counts) return;
    const number = (n) => n.toLocaleString('ja-JP');
    $('status').dataset.counts = `${countsPane === 'upper' ? '上部' : '下部'}：${number(counts.characters)}文字　` +
      `${number(counts.lines)}行　${number(counts.bytes)}バイト(Shift-JIS)`;
    showStatus();
  }, 300);
}

function showStatus() {
  const status = $('status');
  status.textContent = [status.dataset.counts, status.dataset.format].filter(Boolean).join('　　');
}

// ---- Recipes: the command line's recipe text, edited, run and saved here

function shellWord(word) {
  return /^[A-Za-z0-9_.,:/+=@%-]+$/.test(word) ? word : `'${word.replaceAll("'", "'\\''")}'`;
}

async function addToRecipe() {
  const operation = selectedOperation();
  if (!operation) return inform(kMessages.chooseOperation);
  const options = optionsOf(operation);
  const words = [operation.name];
  for (const param of operation.params) {
    let value = options[param.option];
    const fallback = param.kind === 'date' ? null : param.default;
    if (value === fallback) continue;
    if (/[\r\n]/.test(value)) return inform(kMessages.recipeLineBreak);
    if (param.kind === 'list') value = param.entries.find((e) => e.text === value)?.alias || value;
    if (param.kind === 'check') value = value === '1' ? 'yes' : 'no';
    words.push(shellWord(`--${param.option}=${value}`));
  }
  const recipe = $('recipe');
  recipe.value += (recipe.value === '' || recipe.value.endsWith('\n') ? '' : '\n') + words.join(' ') + '\n';
}

async function runRecipe() {
  if ($('recipe').value.trim() === '') return inform(kMessages.recipeEmpty);
  await run('runRecipe', { recipe: $('recipe').value, text: paneText('upper') }, null);
}

async function openRecipe() {
  const file = await readFile($('recipe-file'));
  if (!file || !file.bytes) return;
  const opened = await engine.call('decode', file.bytes, 'auto');
  if (opened.error) return inform(kMessages.notText);
  $('recipe').value = opened.text.replaceAll('\r\n', '\n');
}

function saveRecipe() {
  download('recipe.txt', new TextEncoder().encode($('recipe').value));
}

// ---- Wiring

async function main() {
  const described = await engine.call('describe');
  state.operations = described.operations;
  window.kivoOperations = state.operations;
  buildTabs(state.operations);
  $('execute').onclick = execute;
  $('stop').onclick = stop;
  $('open').onclick = () => $('open-file').click();
  $('open-file').onchange = openFile;
  $('save-upper').onclick = () => save(0);
  $('save-lower').onclick = () => save(1);
  for (const [button, pane] of [['copy-upper', 'upper'], ['copy-lower', 'lower']])
    $(button).onclick = () => navigator.clipboard.writeText(paneText(pane));
  $('clear-upper').onclick = () => { setPaneText('upper', ''); state.files[0] = null; showFileFormat(); updateCounts(); };
  $('clear-lower').onclick = () => { setPaneText('lower', ''); state.files[1] = null; updateCounts(); };
  $('move-up').onclick = () => {
    if (paneText('lower') === '') return;
    setPaneText('upper', paneText('lower'));
    setPaneText('lower', '');
    state.files[0] = state.files[1] && { ...state.files[1], name: state.files[0]?.name };
    state.files[1] = null;
    showFileFormat();
    updateCounts();
  };
  $('recipe-add').onclick = addToRecipe;
  $('recipe-run').onclick = runRecipe;
  $('recipe-open').onclick = () => $('recipe-file').click();
  $('recipe-file').onchange = openRecipe;
  $('recipe-save').onclick = saveRecipe;
  for (const pane of ['upper', 'lower']) {
    $(pane).addEventListener('input', () => { state.kept[pane] = null; updateCounts(); });
    $(pane).addEventListener('focus', () => { countsPane = pane; updateCounts(); });
  }
  document.addEventListener('keydown', (event) => {
    if (event.altKey && event.key === 'z') execute();
    if (event.key === 'Escape' && state.running) stop();
  });
  updateCounts();
  document.body.dataset.ready = 'true';
}

main();

// Installable where the page is served (a manifest and a service worker need http or https): it
// then works offline from the files it keeps. Opened from a file, it asks for neither.
if (location.protocol.startsWith('http')) {
  const manifest = document.createElement('link');
  manifest.rel = 'manifest';
  manifest.href = 'manifest.json';
  document.head.append(manifest);
  if ('serviceWorker' in navigator) navigator.serviceWorker.register('sw.js');
}
