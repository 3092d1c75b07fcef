// Download of a declaration's form-340 file.
import { api } from '../api.js';
import { t } from '../i18n.js';
import { announce, h } from '../ui.js';

export function exportButton(declaration) {
  return h('button', {
    type: 'button',
    'aria-label': `${t('export')} ${declaration.id}`,
    onclick: async () => {
      const response = await api.download(`/api/declarations/${declaration.id}/export`);
      const blob = await response.blob();
      const disposition = response.headers.get('Content-Disposition') || '';
      const name = (disposition.match(/filename="([^"]+)"/) || [])[1] || `declaracion-${declaration.id}.340`;
      const link = h('a', { href: URL.createObjectURL(blob), download: name });
      document.body.append(link);
      link.click();
      link.remove();
      announce(t('exported'));
    },
  }, t('export'));
}
