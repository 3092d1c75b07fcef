// Calls to the local server's API, carrying the access token of the URL.
const TOKEN_KEY = 'kolvar-token';

export function takeToken() {
  const match = location.hash.match(/token=([0-9a-f]+)/);
  if (match) {
    sessionStorage.setItem(TOKEN_KEY, match[1]);
    history.replaceState(null, '', location.pathname + '#/declarants');
  }
  return sessionStorage.getItem(TOKEN_KEY);
}

export class ApiError extends Error {
  constructor(status, body) {
    super(body && body.error ? body.error : `HTTP ${status}`);
    this.status = status;
    this.body = body || {};
  }
}

async function call(method, path, body, raw) {
  const headers = { 'X-Kolvar-Token': sessionStorage.getItem(TOKEN_KEY) || '' };
  let payload;
  if (raw !== undefined) {
    payload = raw;
    headers['Content-Type'] = 'application/octet-stream';
  } else if (body !== undefined) {
    payload = JSON.stringify(body);
    headers['Content-Type'] = 'application/json';
  }
  const response = await fetch(path, { method, headers, body: payload, credentials: 'same-origin' });
  const type = response.headers.get('Content-Type') || '';
  if (!type.startsWith('application/json')) {
    if (!response.ok) throw new ApiError(response.status, null);
    return response;
  }
  const data = await response.json();
  if (!response.ok) throw new ApiError(response.status, data);
  return data;
}

export const api = {
  get: (path) => call('GET', path),
  post: (path, body) => call('POST', path, body),
  put: (path, body) => call('PUT', path, body),
  del: (path) => call('DELETE', path),
  upload: (path, file) => call('POST', path, undefined, file),
  download: (path) => call('GET', path),
};
