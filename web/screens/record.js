// One record: the common fields and those of its book, each finding of the
// library shown at its field.
import { api } from '../api.js';
import { fieldLabel, lang, messageOf, t } from '../i18n.js';
import { announce, errorBox, h, textInput } from '../ui.js';
import { declarationLinks, declarationTrail } from './trail.js';

const BOOKS = ['E', 'F', 'R', 'S', 'I', 'J', 'U'];
let form = null;
const lookups = {};

async function lookup(kind) {
  const key = `${kind}.${lang()}`;
  if (!lookups[key]) lookups[key] = await api.get(`/api/lookups/${kind}?lang=${lang()}`);
  return lookups[key];
}

export async function render(view, ctx) {
  const [id, recordParam] = ctx.params;
  const isNew = recordParam === 'new';
  const keep = ctx.keep;
  form = form || await api.get('/api/form');
  const { crumbs } = await declarationTrail(id, { label: t('records'), href: `#/declarations/${id}/records` },
    { label: isNew ? t('newRecord') : t('record', recordParam) });
  ctx.setCrumbs(crumbs);
  if (!keep.fields) {
    if (isNew) {
      const book = BOOKS.includes(ctx.query.get('book')) ? ctx.query.get('book') : 'E';
      keep.fields = { CDTL: book };
    } else {
      keep.fields = (await api.get(`/api/declarations/${id}/records/${recordParam}`)).fields;
    }
    keep.findings = [];
  }
  const fields = keep.fields;
  const top = h('div');
  const body = h('div');
  const title = isNew ? t('newRecord') : t('record', recordParam);
  view.append(h('h1', {}, title), declarationLinks(h, id, 'records'), top, body);

  async function draw() {
    const book = fields.CDTL;
    const byField = {};
    const loose = [];
    for (const finding of keep.findings) {
      if (finding.field) (byField[finding.field] ||= []).push(finding);
      else loose.push(finding);
    }
    const lists = {};
    for (const kind of ['country', 'key', 'means']) lists[kind] = await lookup(kind);
    const datalists = Object.entries(lists).map(([kind, rows]) => h('datalist', { id: `list-${kind}` },
      rows.map((row) => h('option', { value: row.code }, `${row.code} · ${row.description}`))));

    const control = (def) => {
      const inputId = `field-${def.key}`;
      const found = byField[def.key] || [];
      const label = fieldLabel(def.key, book);
      let input;
      if (def.key === 'CDTL') {
        input = h('select', { name: 'CDTL', id: inputId },
          BOOKS.map((b) => h('option', { value: b }, t('books')[b])));
        input.value = book;
        input.addEventListener('change', () => { fields.CDTL = input.value; draw(); });
      } else {
        input = textInput(def.key, fields[def.key] ?? '', { id: inputId });
        if (def.kind === 'date') input.setAttribute('placeholder', 'AAAA-MM-DD');
        if (def.kind !== 'text') input.setAttribute('inputmode', 'decimal');
        if (def.lookup) input.setAttribute('list', `list-${def.lookup}`);
        input.addEventListener('input', () => { fields[def.key] = input.value; });
      }
      const messages = found.length
        ? h('span', { class: 'finding', id: `finding-${def.key}`, 'data-codes': found.map((f) => f.code).join(' ') },
          found.map((f) => (f.code !== null ? `${messageOf(f)} (${f.code})` : messageOf(f))).join(' · '))
        : null;
      if (found.length) {
        input.setAttribute('aria-invalid', 'true');
        input.setAttribute('aria-describedby', `finding-${def.key}`);
      }
      return h('div', { class: 'field' }, h('label', { for: inputId }, label), input, messages);
    };

    const buttons = h('div', { class: 'row' },
      h('button', { class: 'primary', type: 'submit' }, t('save')),
      isNew ? null : h('button', { type: 'button', class: 'danger', onclick: remove }, t('delete')),
      h('a', { class: 'button', href: `#/declarations/${id}/records?book=${book}` }, t('back')));
    const detail = form.books[book] || [];
    const editor = h('form', { class: 'panel', 'aria-label': title, novalidate: true },
      datalists,
      h('div', { class: 'grid-form' }, form.common.map(control)),
      detail.length ? h('h2', {}, t('books')[book]) : null,
      h('div', { class: 'grid-form' }, detail.map(control)),
      buttons);
    editor.addEventListener('submit', save);
    top.replaceChildren(keep.findings.length
      ? h('div', { class: 'error-box', role: 'alert' }, t('findings'),
        loose.length ? h('ul', {}, loose.map((f) => h('li', {}, `${messageOf(f)} (${f.code})`))) : null)
      : (keep.saved ? h('div', { class: 'ok-box', role: 'status' }, t('saved')) : ''));
    body.replaceChildren(editor);
  }

  async function save(event) {
    event.preventDefault();
    const book = fields.CDTL;
    const keys = [...form.common, ...(form.books[book] || [])].map((f) => f.key);
    const payload = Object.fromEntries(keys.map((k) => [k, fields[k] ?? '']));
    try {
      const saved = isNew
        ? await api.post(`/api/declarations/${id}/records`, { fields: payload })
        : await api.put(`/api/declarations/${id}/records/${recordParam}`, { fields: payload });
      announce(t('saved'));
      if (isNew) { location.hash = `#/declarations/${id}/records/${saved.id}`; return; }
      keep.fields = saved.fields;
      Object.assign(fields, saved.fields);
      keep.findings = [];
      keep.saved = true;
    } catch (error) {
      if (!error.body || !error.body.findings) { top.replaceChildren(errorBox(error)); return; }
      keep.findings = error.body.findings;
      keep.saved = false;
    }
    await draw();
    const first = body.querySelector('[aria-invalid=true]');
    if (first) first.focus();
  }

  async function remove() {
    if (!confirm(t('confirmDelete', title))) return;
    await api.del(`/api/declarations/${id}/records/${recordParam}`);
    announce(t('deleted'));
    location.hash = `#/declarations/${id}/records?book=${fields.CDTL}`;
  }

  await draw();
}
