// Declarants: a search by tax-id prefix, the list, and the form to add or edit one.
import { api } from '../api.js';
import { t } from '../i18n.js';
import { announce, errorBox, field, h, select, table, textInput } from '../ui.js';

const FIELDS = ['taxId', 'name', 'streetType', 'street', 'number', 'letter', 'staircase', 'floor', 'door',
  'postalCode', 'municipality', 'phone', 'contact', 'contactPhone', 'representative'];

export async function render(view, ctx) {
  ctx.setCrumbs([{ label: t('declarants') }]);
  const keep = ctx.keep;
  const search = h('input', { type: 'search', name: 'prefix', value: keep.prefix || '', autocomplete: 'off' });
  const list = h('div');
  const formArea = h('div');
  view.append(h('h1', {}, t('declarants')),
    h('div', { class: 'panel row' },
      h('div', { class: 'field' }, field(t('searchTaxId'), search)),
      h('button', { class: 'primary', type: 'button', onclick: () => openForm(null) }, t('newDeclarant'))),
    formArea, list);

  async function refresh() {
    keep.prefix = search.value;
    const rows = await api.get(`/api/declarants?prefix=${encodeURIComponent(search.value.trim())}`);
    if (!rows.length) { list.replaceChildren(h('p', {}, t('none'))); return; }
    list.replaceChildren(table(
      [{ label: t('taxId') }, { label: t('name') }, { label: t('actions') }],
      rows.map((d) => h('tr', {},
        h('td', {}, d.taxId),
        h('td', {}, h('a', { href: `#/declarants/${d.id}` }, d.name || d.taxId)),
        h('td', { class: 'actions' },
          h('a', { class: 'button', href: `#/declarants/${d.id}` }, t('declarations')),
          h('button', { type: 'button', onclick: () => openForm(d.id), 'aria-label': `${t('edit')} ${d.taxId}` }, t('edit')),
          h('button', { type: 'button', class: 'danger', onclick: () => remove(d), 'aria-label': `${t('delete')} ${d.taxId}` }, t('delete')))))));
  }

  async function remove(d) {
    if (!confirm(t('confirmDelete', `${d.taxId} ${d.name}`))) return;
    await api.del(`/api/declarants/${d.id}`);
    announce(t('deleted'));
    await refresh();
  }

  async function openForm(id) {
    keep.editing = id === null ? 'new' : id;
    keep.values = id === null ? {} : await api.get(`/api/declarants/${id}`);
    await drawForm();
  }

  async function drawForm() {
    if (keep.editing === undefined) { formArea.replaceChildren(); return; }
    const values = keep.values || {};
    const streets = await api.get(`/api/lookups/street?lang=${document.documentElement.lang}`);
    const inputs = {};
    for (const name of FIELDS) {
      inputs[name] = name === 'streetType'
        ? select(name, [{ value: '', label: '' }, ...streets.map((s) => ({ value: s.code, label: `${s.code} · ${s.description}` }))], values[name] || '')
        : textInput(name, values[name] ?? '');
      inputs[name].addEventListener('input', () => { keep.values[name] = inputs[name].value; });
    }
    inputs.postalCode.setAttribute('inputmode', 'numeric');
    inputs.number.setAttribute('inputmode', 'numeric');
    const idHint = h('span', { class: 'hint', id: 'taxid-hint', 'aria-live': 'polite' });
    inputs.taxId.setAttribute('aria-describedby', 'taxid-hint');
    inputs.taxId.setAttribute('required', '');
    let checkTimer;
    const checkId = () => {
      clearTimeout(checkTimer);
      checkTimer = setTimeout(async () => {
        const id = inputs.taxId.value.trim();
        if (!id) { idHint.textContent = ''; inputs.taxId.removeAttribute('aria-invalid'); return; }
        const result = await api.get(`/api/check-id?id=${encodeURIComponent(id)}`);
        if (inputs.taxId.value.trim() !== id) return;
        const other = result.declarant && result.declarant !== keep.editing;
        idHint.textContent = !result.valid ? t('idInvalid') : other ? t('idExists') : t('idValid');
        idHint.className = `hint ${result.valid && !other ? 'good' : 'bad'}`;
        inputs.taxId.setAttribute('aria-invalid', result.valid ? 'false' : 'true');
      }, 150);
    };
    inputs.taxId.addEventListener('input', checkId);
    if (inputs.taxId.value) checkId();
    const problems = h('div');
    const form = h('form', { class: 'panel', 'aria-labelledby': 'declarant-form-title' },
      h('h2', { id: 'declarant-form-title' }, keep.editing === 'new' ? t('newDeclarant') : t('editDeclarant')),
      problems,
      h('div', { class: 'grid-form' },
        FIELDS.map((name) => field(t(name), inputs[name], name === 'taxId' ? idHint : null))),
      h('div', { class: 'row' },
        h('button', { class: 'primary', type: 'submit' }, t('save')),
        h('button', { type: 'button', onclick: () => { keep.editing = undefined; drawForm(); } }, t('cancel'))));
    form.addEventListener('submit', async (event) => {
      event.preventDefault();
      const body = Object.fromEntries(FIELDS.map((name) => [name, inputs[name].value]));
      try {
        if (keep.editing === 'new') await api.post('/api/declarants', body);
        else await api.put(`/api/declarants/${keep.editing}`, body);
        keep.editing = undefined;
        announce(t('saved'));
        await drawForm();
        await refresh();
      } catch (error) {
        problems.replaceChildren(errorBox(error));
        if (error.body && error.body.field && inputs[error.body.field]) {
          inputs[error.body.field].setAttribute('aria-invalid', 'true');
          inputs[error.body.field].focus();
        }
      }
    });
    formArea.replaceChildren(form);
    inputs.taxId.focus();
  }

  let searchTimer;
  search.addEventListener('input', () => { clearTimeout(searchTimer); searchTimer = setTimeout(refresh, 150); });
  await refresh();
  await drawForm();
}
