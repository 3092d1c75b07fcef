// The single-page client: reads the token, keeps the language setting and
// shows the screen that the address names.
import { api, takeToken } from './api.js';
import { lang, setLang, t } from './i18n.js';
import { errorBox, h } from './ui.js';
import * as declarants from './screens/declarants.js';
import * as declarations from './screens/declarations.js';
import * as records from './screens/records.js';
import * as record from './screens/record.js';
import * as importing from './screens/import.js';
import * as summary from './screens/summary.js';

const routes = [
  [/^\/declarants$/, declarants],
  [/^\/declarants\/(\d+)$/, declarations],
  [/^\/declarations\/(\d+)\/records$/, records],
  [/^\/declarations\/(\d+)\/records\/(new|\d+)$/, record],
  [/^\/declarations\/(\d+)\/import$/, importing],
  [/^\/declarations\/(\d+)\/summary$/, summary],
];

// What a screen keeps while its address stays the same (typed values,
// findings), so that a change of language redraws it as it was.
let kept = { address: '', state: {} };

function parseAddress() {
  const hash = location.hash.replace(/^#/, '') || '/declarants';
  const [path, query = ''] = hash.split('?');
  return { path, query: new URLSearchParams(query), address: hash };
}

function setCrumbs(items) {
  const nav = document.getElementById('crumbs');
  nav.replaceChildren(...items.map((item, i) => (i < items.length - 1
    ? h('a', { href: item.href }, item.label)
    : h('span', { 'aria-current': 'page' }, item.label))));
}

async function show() {
  const { path, query, address } = parseAddress();
  if (kept.address !== address) kept = { address, state: {} };
  const main = document.getElementById('main');
  document.getElementById('lang-label').textContent = t('language');
  document.querySelector('.skip').textContent = t('skip');
  document.getElementById('crumbs').setAttribute('aria-label', t('trail'));
  for (const [pattern, screen] of routes) {
    const match = path.match(pattern);
    if (!match) continue;
    const view = h('div');
    try {
      await screen.render(view, { params: match.slice(1), query, keep: kept.state, setCrumbs, redraw: show });
    } catch (error) {
      view.replaceChildren(errorBox(error));
    }
    main.replaceChildren(view);
    const heading = main.querySelector('h1');
    document.title = `kolvar · ${heading ? heading.textContent : ''}`;
    return;
  }
  location.hash = '#/declarants';
}

async function start() {
  if (!takeToken()) {
    document.getElementById('main').replaceChildren(
      errorBox({ message: 'Abra la dirección que muestra «kolvar serve». / Ireki «kolvar serve»-k erakusten duen helbidea.' }));
    return;
  }
  const picker = document.getElementById('lang');
  try {
    setLang((await api.get('/api/settings')).lang);
  } catch (error) {
    document.getElementById('main').replaceChildren(errorBox(error));
    return;
  }
  picker.value = lang();
  picker.addEventListener('change', async () => {
    const saved = await api.put('/api/settings', { lang: picker.value });
    setLang(saved.lang);
    await show();
  });
  window.addEventListener('hashchange', () => {
    show().then(() => document.getElementById('main').focus({ preventScroll: true }));
  });
  await show();
}

start();
