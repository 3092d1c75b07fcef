// Small helpers that build the screens' elements.
import { t } from './i18n.js';

// h('button', {class: 'primary', onclick: f}, 'text', child...)
export function h(tag, attributes = {}, ...children) {
  const element = document.createElement(tag);
  for (const [name, value] of Object.entries(attributes)) {
    if (value === undefined || value === null || value === false) continue;
    if (name.startsWith('on')) element.addEventListener(name.slice(2), value);
    else if (name === 'value') element.value = value;
    else if (name === 'checked') element.checked = value;
    else element.setAttribute(name, value === true ? '' : value);
  }
  for (const child of children.flat()) {
    if (child === null || child === undefined || child === false) continue;
    element.append(child instanceof Node ? child : String(child));
  }
  return element;
}

let nextId = 0;
export function uid(prefix) {
  nextId += 1;
  return `${prefix}-${nextId}`;
}

// A labelled input; `extra` goes below it (hints, findings).
export function field(labelText, input, ...extra) {
  if (!input.id) input.id = uid('f');
  const wrap = h('div', { class: 'field' }, h('label', { for: input.id }, labelText), input, ...extra);
  return wrap;
}

export function textInput(name, value = '', attributes = {}) {
  return h('input', { type: 'text', name, value, autocomplete: 'off', ...attributes });
}

export function select(name, options, value) {
  const element = h('select', { name });
  for (const option of options) {
    element.append(h('option', { value: option.value }, option.label));
  }
  element.value = value ?? '';
  return element;
}

export function table(headers, rows) {
  const head = h('tr', {}, headers.map((x) => h('th', { scope: 'col', class: x.class }, x.label)));
  return h('div', { class: 'table-wrap' }, h('table', {}, h('thead', {}, head), h('tbody', {}, rows)));
}

export function errorBox(error) {
  return h('div', { class: 'error-box', role: 'alert' }, error.message || String(error));
}

let statusTimer;
export function announce(text) {
  const status = document.getElementById('status');
  status.textContent = text;
  status.classList.add('shown');
  clearTimeout(statusTimer);
  statusTimer = setTimeout(() => status.classList.remove('shown'), 2500);
}

export function money(text) {
  const n = Number(text);
  if (!Number.isFinite(n)) return text;
  return n.toLocaleString(t('locale'), { minimumFractionDigits: 2, maximumFractionDigits: 2 });
}
