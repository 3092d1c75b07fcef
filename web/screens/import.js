// Import of a form-340 file: upload, progress of the check, findings by line,
// then the store of the whole file or nothing. A running pass can be cancelled.
import { api } from '../api.js';
import { fieldLabel, messageOf, t } from '../i18n.js';
import { errorBox, field, h, table } from '../ui.js';
import { declarationLinks, declarationTrail } from './trail.js';

export async function render(view, ctx) {
  const id = ctx.params[0];
  const keep = ctx.keep;
  const { crumbs } = await declarationTrail(id, { label: t('import') });
  ctx.setCrumbs(crumbs);
  const file = h('input', { type: 'file', name: 'file', accept: '.txt,.340,text/plain' });
  const checkButton = h('button', { class: 'primary', type: 'submit' }, t('check'));
  const cancelButton = h('button', { type: 'button', id: 'import-cancel', hidden: true }, t('cancel'));
  const progress = h('progress', { id: 'import-progress', max: 1, value: 0 });
  const progressText = h('span', { class: 'hint', 'aria-live': 'polite' });
  const result = h('div', { id: 'import-result' });
  const upload = h('form', { class: 'panel' },
    h('div', { class: 'row' }, h('div', { class: 'field' }, field(t('file'), file)), checkButton, cancelButton),
    h('div', { class: 'field' }, h('label', { for: 'import-progress' }, t('progress')), progress, progressText));
  view.append(h('h1', {}, t('import')), declarationLinks(h, id, 'import'), upload, result);

  upload.addEventListener('submit', async (event) => {
    event.preventDefault();
    if (!file.files.length) { file.focus(); return; }
    checkButton.disabled = true;
    try {
      const status = await api.upload(`/api/declarations/${id}/import`, file.files[0]);
      keep.job = status.id;
      await follow();
    } catch (error) {
      result.replaceChildren(errorBox(error));
    } finally {
      checkButton.disabled = false;
    }
  });

  cancelButton.addEventListener('click', async () => {
    cancelButton.disabled = true;
    try {
      await api.post(`/api/imports/${keep.job}/cancel`, {});
    } catch (error) {
      result.replaceChildren(errorBox(error));
    }
  });

  // Polls the job until its pass ends, then shows what it found.
  async function follow() {
    for (;;) {
      const status = await api.get(`/api/imports/${keep.job}`);
      progress.max = Math.max(1, status.total);
      progress.value = status.done;
      const running = status.phase === 'validating' || status.phase === 'storing';
      progressText.textContent = status.phase === 'storing' ? t('storing', status.pass, status.lines)
        : status.phase === 'validating' ? t('checking', status.lines) : t('linesRead', status.lines);
      cancelButton.hidden = !running;
      cancelButton.disabled = false;
      if (running) {
        await new Promise((resolve) => { setTimeout(resolve, 200); });
        continue;
      }
      show(status);
      return;
    }
  }

  function show(status) {
    if (status.phase === 'failed') { result.replaceChildren(errorBox({ message: t('importFailed', status.error) })); return; }
    if (status.phase === 'cancelled') {
      result.replaceChildren(h('div', { class: 'error-box', role: 'status', id: 'import-cancelled' }, t('importCancelled')));
      return;
    }
    if (status.phase === 'stored') {
      result.replaceChildren(h('div', { class: 'ok-box', role: 'status', id: 'import-stored' }, t('storedCount', status.stored)),
        h('a', { class: 'button primary', href: `#/declarations/${id}/summary` }, t('summary')));
      return;
    }
    if (status.findingCount || status.rejected) {
      const listed = status.findings.length < status.findingCount ? ` ${t('firstFindings', status.findings.length)}` : '';
      result.replaceChildren(
        h('div', { class: 'error-box', role: 'alert' }, status.rejected ? `${t('rejected')} ` : '', t('hasFindings', status.findingCount), listed),
        table([{ label: t('line'), class: 'num' }, { label: t('field') }, { label: t('position'), class: 'num' },
          { label: t('code'), class: 'num' }, { label: t('text') }, { label: t('message') }],
        status.findings.map((f) => h('tr', {},
          h('td', { class: 'num' }, f.line), h('td', { 'data-field': f.field }, f.field ? fieldLabel(f.field) : ''),
          h('td', { class: 'num' }, f.position || ''), h('td', { class: 'num' }, f.code), h('td', {}, f.text),
          h('td', {}, messageOf(f))))));
      return;
    }
    const store = h('button', { class: 'primary', type: 'button', id: 'import-store' }, t('store'));
    store.addEventListener('click', async () => {
      store.disabled = true;
      checkButton.disabled = true;
      try {
        await api.post(`/api/imports/${keep.job}/store`, {});
        await follow();
      } catch (error) {
        result.replaceChildren(errorBox(error));
      } finally {
        checkButton.disabled = false;
      }
    });
    result.replaceChildren(h('div', { class: 'ok-box', role: 'status' }, t('noFindings')), store);
  }

  if (keep.job) await follow();
}
