// A declaration's summary: figures per book group and a bar chart of them.
import { api } from '../api.js';
import { t } from '../i18n.js';
import { h, money, table } from '../ui.js';
import { exportButton } from './export.js';
import { declarationLinks, declarationTrail } from './trail.js';

const SVG = 'http://www.w3.org/2000/svg';
const MEASURES = [['base', '--bar1'], ['tax', '--bar2'], ['total', '--bar3']];

function svg(tag, attributes = {}, ...children) {
  const element = document.createElementNS(SVG, tag);
  for (const [name, value] of Object.entries(attributes)) element.setAttribute(name, value);
  element.append(...children);
  return element;
}

// Horizontal bars, three per group, from a zero line that leaves room for
// negative sums.
function chart(groups) {
  const width = 760; const labelWidth = 210; const bar = 14; const gap = 16;
  const values = groups.flatMap((g) => MEASURES.map(([m]) => g[m]));
  const high = Math.max(0, ...values); const low = Math.min(0, ...values);
  const span = high - low || 1;
  const plot = width - labelWidth - 110;
  const zero = labelWidth + ((0 - low) / span) * plot;
  const height = groups.length * (MEASURES.length * bar + gap) + 10;
  const style = getComputedStyle(document.documentElement);
  const shapes = [];
  groups.forEach((g, i) => {
    const top = 5 + i * (MEASURES.length * bar + gap);
    shapes.push(svg('text', { x: 0, y: top + bar * 1.8 }, t('groups')[g.group]));
    MEASURES.forEach(([m, color], k) => {
      const x = zero + (Math.min(0, g[m]) / span) * plot;
      const w = Math.max(1, (Math.abs(g[m]) / span) * plot);
      const y = top + k * bar;
      const rect = svg('rect', { x, y, width: w, height: bar - 2, fill: style.getPropertyValue(color).trim() });
      rect.append(svg('title', {}, `${t('groups')[g.group]} · ${t(m)}: ${money(g[m])}`));
      shapes.push(rect, svg('text', { x: Math.max(x + w, zero) + 6, y: y + bar - 4 }, money(g[m])));
    });
  });
  shapes.push(svg('line', { x1: zero, x2: zero, y1: 0, y2: height, stroke: '#5a6475' }));
  const title = svg('title', { id: 'chart-title' }, t('chartTitle'));
  return svg('svg', { viewBox: `0 0 ${width} ${height}`, role: 'img', 'aria-labelledby': 'chart-title' }, title, ...shapes);
}

export async function render(view, ctx) {
  const id = ctx.params[0];
  const { declaration, declarant, crumbs } = await declarationTrail(id, { label: t('summary') });
  ctx.setCrumbs(crumbs);
  const summary = await api.get(`/api/declarations/${id}/summary`);
  const groups = summary.groups.filter((g) => g.group !== 'all');
  const legend = h('div', { class: 'legend', 'aria-hidden': 'true' }, MEASURES.map(([m, color]) => {
    const item = h('span', {}, t(m));
    item.style.setProperty('--c', `var(${color})`);
    return item;
  }));
  view.append(
    h('h1', {}, `${t('summary')} · ${declarant.name || declarant.taxId} · ${declaration.year} ${declaration.period}`),
    declarationLinks(h, id, 'summary'),
    h('div', { class: 'row panel' }, exportButton(declaration)),
    table([{ label: '' }, { label: t('count'), class: 'num' }, { label: t('base'), class: 'num' },
      { label: t('tax'), class: 'num wide' }, { label: t('total'), class: 'num' }, { label: t('costBase'), class: 'num optional' }],
    summary.groups.map((g) => h('tr', { 'data-group': g.group },
      h('th', { scope: 'row' }, t('groups')[g.group]),
      h('td', { class: 'num', 'data-measure': 'records' }, g.records),
      h('td', { class: 'num', 'data-measure': 'base', 'data-value': g.base }, money(g.base)),
      h('td', { class: 'num wide', 'data-measure': 'tax', 'data-value': g.tax }, money(g.tax)),
      h('td', { class: 'num', 'data-measure': 'total', 'data-value': g.total }, money(g.total)),
      h('td', { class: 'num optional', 'data-measure': 'costBase', 'data-value': g.costBase }, money(g.costBase))))),
    h('h2', {}, t('chartTitle')),
    h('div', { class: 'panel chart' }, legend, chart(groups)));
}
