// The declaration a screen works on, with the trail that leads to it.
import { api } from '../api.js';
import { t } from '../i18n.js';

export async function declarationTrail(id, ...tail) {
  const declaration = await api.get(`/api/declarations/${id}`);
  const declarant = await api.get(`/api/declarants/${declaration.declarant}`);
  const crumbs = [
    { label: t('declarants'), href: '#/declarants' },
    { label: declarant.name || declarant.taxId, href: `#/declarants/${declarant.id}` },
    { label: `${declaration.year} · ${declaration.period}`, href: `#/declarations/${id}/records` },
    ...tail,
  ];
  return { declaration, declarant, crumbs };
}

// Links between the screens of one declaration.
export function declarationLinks(h, id, current) {
  const links = [['records', 'records'], ['summary', 'summary'], ['import', 'import']];
  return h('nav', { class: 'tabs', 'aria-label': t('declaration', '') },
    links.map(([path, label]) => h('a', { href: `#/declarations/${id}/${path}`, 'aria-current': path === current ? 'page' : null }, t(label))));
}
