// The records of a declaration: one book at a time, a page of the library's listing.
import { api } from '../api.js';
import { t } from '../i18n.js';
import { h, money, table } from '../ui.js';
import { exportButton } from './export.js';
import { declarationLinks, declarationTrail } from './trail.js';

const BOOKS = ['E', 'F', 'R', 'S', 'I', 'J', 'U'];
const PAGE_SIZE = 25;

export async function render(view, ctx) {
  const id = ctx.params[0];
  const book = BOOKS.includes(ctx.query.get('book')) ? ctx.query.get('book') : null;
  const { declaration, declarant, crumbs } = await declarationTrail(id, { label: t('records') });
  ctx.setCrumbs(crumbs);
  const summary = await api.get(`/api/declarations/${id}/summary`);
  const shown = book || BOOKS.find((b) => summary.books[b] > 0) || 'E';
  const page = Math.max(0, Number(ctx.query.get('page')) || 0);
  const listing = await api.get(`/api/declarations/${id}/records?book=${shown}&page=${page}&size=${PAGE_SIZE}`);
  const pages = Math.max(1, Math.ceil(listing.total / PAGE_SIZE));
  const address = (b, p) => `#/declarations/${id}/records?book=${b}&page=${p}`;

  view.append(
    h('h1', {}, `${t('records')} · ${declarant.name || declarant.taxId} · ${declaration.year} ${declaration.period}`),
    declarationLinks(h, id, 'records'),
    h('div', { class: 'row panel' },
      h('a', { class: 'button primary', href: `#/declarations/${id}/records/new?book=${shown}` }, t('newRecord')),
      exportButton(declaration)),
    h('nav', { class: 'tabs', 'aria-label': t('book') },
      BOOKS.map((b) => h('a', { href: address(b, 0), 'aria-current': b === shown ? 'page' : null },
        `${t('books')[b]} (${summary.books[b]})`))),
    listing.lines.length
      ? table(
        [{ label: t('party') }, { label: t('opKey'), class: 'optional' }, { label: t('issued'), class: 'optional' },
          { label: t('base'), class: 'num wide' }, { label: t('tax'), class: 'num optional' }, { label: t('total'), class: 'num' }],
        listing.lines.map((line) => h('tr', {},
          h('td', {}, line.id ? h('a', { href: `#/declarations/${id}/records/${line.id}` }, line.party.trim() || `#${line.id}`) : line.party),
          h('td', { class: 'optional' }, line.key),
          h('td', { class: 'optional' }, line.issued),
          h('td', { class: 'num wide' }, money(line.base)),
          h('td', { class: 'num optional' }, money(line.tax)),
          h('td', { class: 'num' }, money(line.total)))))
      : h('p', {}, t('none')),
    h('div', { class: 'pager' },
      page > 0 ? h('a', { class: 'button', href: address(shown, page - 1), rel: 'prev' }, t('previousPage')) : null,
      h('span', {}, t('page', page + 1, pages)),
      page + 1 < pages ? h('a', { class: 'button', href: address(shown, page + 1), rel: 'next' }, t('nextPage')) : null));
}
