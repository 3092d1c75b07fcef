// The declarations of one declarant: list, add, duplicate, delete.
import { api } from '../api.js';
import { t } from '../i18n.js';
import { announce, errorBox, field, h, select, table, textInput } from '../ui.js';
import { exportButton } from './export.js';

export const PERIODS = [
  ...Array.from({ length: 12 }, (_, i) => String(i + 1).padStart(2, '0')),
  '1T', '2T', '3T', '4T',
];

export async function render(view, ctx) {
  const id = ctx.params[0];
  const declarant = await api.get(`/api/declarants/${id}`);
  ctx.setCrumbs([{ label: t('declarants'), href: '#/declarants' }, { label: declarant.name || declarant.taxId }]);
  const keep = ctx.keep;
  const list = h('div');
  const problems = h('div');
  const year = textInput('year', keep.year ?? String(new Date().getFullYear()), { inputmode: 'numeric', maxlength: 4 });
  const period = select('period', PERIODS.map((p) => ({ value: p, label: p })), keep.period || '01');
  const complementary = h('input', { type: 'checkbox', name: 'complementary', checked: !!keep.complementary });
  const substitutive = h('input', { type: 'checkbox', name: 'substitutive', checked: !!keep.substitutive });
  const previous = textInput('previous', keep.previous || '', { inputmode: 'numeric' });
  for (const [name, input] of Object.entries({ year, period, previous })) input.addEventListener('input', () => { keep[name] = input.value; });
  complementary.addEventListener('change', () => { keep.complementary = complementary.checked; });
  substitutive.addEventListener('change', () => { keep.substitutive = substitutive.checked; });
  const checkbox = (label, input) => {
    input.id = `chk-${input.name}`;
    return h('div', { class: 'field check' }, input, h('label', { for: input.id }, label));
  };
  const form = h('form', { class: 'panel', 'aria-labelledby': 'new-declaration' },
    h('h2', { id: 'new-declaration' }, t('newDeclaration')), problems,
    h('div', { class: 'grid-form' },
      field(t('year'), year), field(t('period'), period), field(t('previous'), previous),
      checkbox(t('complementary'), complementary), checkbox(t('substitutive'), substitutive)),
    h('div', { class: 'row' }, h('button', { class: 'primary', type: 'submit' }, t('newDeclaration'))));
  form.addEventListener('submit', async (event) => {
    event.preventDefault();
    try {
      await api.post(`/api/declarants/${id}/declarations`, {
        year: year.value.trim(), period: period.value, complementary: complementary.checked,
        substitutive: substitutive.checked, previous: previous.value.trim(),
      });
      problems.replaceChildren();
      announce(t('saved'));
      await refresh();
    } catch (error) {
      problems.replaceChildren(errorBox(error));
    }
  });
  view.append(h('h1', {}, t('declarationsOf', declarant.name || declarant.taxId)),
    h('p', { class: 'hint' }, `${t('taxId')}: ${declarant.taxId}`), list, form);

  async function refresh() {
    const rows = await api.get(`/api/declarants/${id}/declarations`);
    if (!rows.length) { list.replaceChildren(h('p', {}, t('none'))); return; }
    list.replaceChildren(table(
      [{ label: t('year') }, { label: t('period') }, { label: t('sequence'), class: 'num optional' },
        { label: `${t('complementary')} / ${t('substitutive')}`, class: 'optional' },
        { label: t('records'), class: 'num' }, { label: t('actions') }],
      rows.map((d) => h('tr', {},
        h('td', {}, h('a', { href: `#/declarations/${d.id}/records` }, d.year)),
        h('td', {}, d.period),
        h('td', { class: 'num optional' }, d.sequence),
        h('td', { class: 'optional' }, [d.complementary ? 'C' : '', d.substitutive ? 'S' : ''].join(' ')),
        h('td', { class: 'num' }, d.records),
        h('td', { class: 'actions' },
          h('a', { class: 'button', href: `#/declarations/${d.id}/records` }, t('records')),
          h('a', { class: 'button', href: `#/declarations/${d.id}/summary` }, t('summary')),
          h('a', { class: 'button', href: `#/declarations/${d.id}/import` }, t('import')),
          exportButton(d),
          h('button', { type: 'button', 'aria-label': `${t('duplicate')} ${d.year} ${d.period}`, onclick: async () => {
            await api.post(`/api/declarations/${d.id}/duplicate`, {});
            announce(t('saved'));
            await refresh();
          } }, t('duplicate')),
          h('button', { type: 'button', class: 'danger', 'aria-label': `${t('delete')} ${d.year} ${d.period}`, onclick: async () => {
            if (!confirm(t('confirmDelete', `${d.year} ${d.period}`))) return;
            await api.del(`/api/declarations/${d.id}`);
            announce(t('deleted'));
            await refresh();
          } }, t('delete')))))));
  }
  await refresh();
}
