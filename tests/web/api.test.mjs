// The API refuses what it must: no token, another origin, a change by GET, bad
// JSON, a huge body, an unknown id; each refusal is a 4xx with a message, the
// data stay as they were and the server keeps answering. An uploaded file is
// stored whole or not at all.
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { check, options, request, run, startServer, tally } from './support.mjs';

// --long-imports 0 leaves out the cancels of a file of thousands of lines (slow in a sanitizer build).
const { kolvar, 'long-imports': longImports, engine } = options();
const server = await startServer(kolvar, { engine });
const get = (p, o) => request(server, 'GET', p, o);
const count = async () => (await get('/api/declarants')).json.length;
const refusedWithMessage = (r, status) => r.status === status && r.json && typeof r.json.error === 'string' && r.json.error.length > 0;

try {
  // The token.
  for (const [method, path] of [['GET', '/api/declarants'], ['POST', '/api/declarants'], ['GET', '/api/settings'],
    ['DELETE', '/api/declarations/1'], ['GET', '/api/form']]) {
    const none = await request(server, method, path, { token: null, body: method === 'POST' ? { taxId: '12345678Z' } : undefined });
    check(refusedWithMessage(none, 401), `${method} ${path} without the token is 401`, none.status);
    const wrong = await request(server, method, path, { token: 'f'.repeat(64) });
    check(refusedWithMessage(wrong, 403), `${method} ${path} with a wrong token is 403`, wrong.status);
  }
  check(await count() === 0, 'no declarant was made without the token');
  const page = await get('/', { token: null });
  check(page.status === 200 && page.body.toString().includes('<main'), 'the page itself needs no token');

  // Other origins: a page of another site, another host name, a cross-site fetch.
  const body = { taxId: '12345678Z', name: 'ORIGEN' };
  for (const headers of [{ Origin: 'http://evil.example' }, { Origin: `http://127.0.0.1:${server.port + 1}` },
    { Host: `evil.example:${server.port}` }, { Host: `127.0.0.1.nip.io:${server.port}` }, { 'Sec-Fetch-Site': 'cross-site' }]) {
    const r = await request(server, 'POST', '/api/declarants', { headers, body });
    check(refusedWithMessage(r, 403), `a change with ${JSON.stringify(headers)} is refused`, r.status);
    check(!r.headers['access-control-allow-origin'], 'no CORS header is sent');
  }
  const preflight = await request(server, 'OPTIONS', '/api/declarants', { token: null,
    headers: { Origin: 'http://evil.example', 'Access-Control-Request-Method': 'POST', 'Access-Control-Request-Headers': 'x-kolvar-token' } });
  check(preflight.status === 403 && !preflight.headers['access-control-allow-origin'], 'a cross-origin preflight gets no permission', preflight.status);
  check(await count() === 0, 'no declarant was made from another origin');
  const own = await request(server, 'POST', '/api/declarants', { headers: { Origin: `http://127.0.0.1:${server.port}` }, body });
  check(own.status === 201 && own.json.taxId === '12345678Z', 'the page\'s own origin may add a declarant', own.status);
  const declarant = own.json.id;

  // Bad bodies change nothing.
  const badJson = await request(server, 'POST', '/api/declarants', { body: '{"taxId": "00000000T",' });
  check(refusedWithMessage(badJson, 400), 'bad JSON is 400', badJson.status);
  const notObject = await request(server, 'POST', '/api/declarants', { body: '[1,2]' });
  check(refusedWithMessage(notObject, 400), 'JSON that is not an object is 400', notObject.status);
  const huge = await request(server, 'POST', '/api/declarants', { body: JSON.stringify({ taxId: '00000000T', name: 'x'.repeat(300 * 1024) }) });
  check(refusedWithMessage(huge, 413), 'a huge body is 413', huge.status);
  const quote = await request(server, 'POST', '/api/declarants', { body: { taxId: '00000000T', phone: "94'1" } });
  check(quote.status === 422 && quote.json.error, 'an apostrophe where the library keeps text unchanged is 422', quote.status);
  const invalidId = await request(server, 'POST', '/api/declarants', { body: { taxId: '12345678A' } });
  check(refusedWithMessage(invalidId, 422) && invalidId.json.field === 'taxId', 'an invalid tax id is 422 at its field');
  check(await count() === 1, 'the refused bodies stored nothing', await count());

  // Unknown ids.
  for (const [method, path, b] of [['GET', '/api/declarants/999'], ['PUT', '/api/declarants/999', body],
    ['DELETE', '/api/declarants/999'], ['GET', '/api/declarants/999/declarations'],
    ['POST', '/api/declarants/999/declarations', { year: 2014, period: '01' }], ['GET', '/api/declarations/999'],
    ['DELETE', '/api/declarations/999'], ['POST', '/api/declarations/999/duplicate', {}],
    ['GET', '/api/declarations/999/records/1'], ['GET', '/api/imports/abc'], ['GET', '/api/declarants/0']]) {
    const r = await request(server, method, path, { body: b });
    check(refusedWithMessage(r, 404), `${method} ${path} is 404`, r.status);
  }
  check(await count() === 1, 'requests for unknown ids stored nothing');

  // Changes only through POST, PUT and DELETE.
  const declaration = await request(server, 'POST', `/api/declarants/${declarant}/declarations`, { body: { year: 2014, period: '03' } });
  check(declaration.status === 201 && declaration.json.period === '03', 'a declaration is added');
  const d = declaration.json.id;
  const byGet = await get(`/api/declarations/${d}/duplicate`);
  check(byGet.status >= 400 && byGet.status < 500, 'a duplicate by GET is refused', byGet.status);
  check((await get(`/api/declarants/${declarant}/declarations`)).json.length === 1, 'the GET duplicated nothing');
  const badPeriod = await request(server, 'POST', `/api/declarants/${declarant}/declarations`, { body: { year: 2014, period: '13' } });
  check(badPeriod.status === 422 && badPeriod.json.field === 'period', 'period 13 is refused at its field');

  // A record: findings at their fields, nothing stored until they are fixed.
  const record = { CDTL: 'E', NIF: '12345678Z', NOMBRE: 'CLIENTE', FDE: '2014-03-01', FDO: '2014-03-01',
    TIPOIMP: '21', BIMP: '100.50', CUOTA: '21.11', IMPTF: '121.61', NOFAC: '1' };
  const bad = await request(server, 'POST', `/api/declarations/${d}/records`, { body: { fields: { ...record, BIMP: '10.505', TIPOIMP: '100.01' } } });
  const at = (r, field) => (r.json.findings || []).filter((f) => f.field === field).map((f) => f.code);
  check(bad.status === 422 && at(bad, 'BIMP').join() === '60' && at(bad, 'TIPOIMP').join() === '66',
    'a three-decimal base and a rate above 100 are findings 60 and 66 at their fields', JSON.stringify(bad.json));
  check(bad.json.findings.every((f) => f.message.es && f.message.eu && f.message.es !== f.message.eu), 'each finding has its message in both languages');
  const notNumber = await request(server, 'POST', `/api/declarations/${d}/records`, { body: { fields: { ...record, CUOTA: 'doce' } } });
  check(notNumber.status === 422 && at(notNumber, 'CUOTA').length === 1, 'text in an amount is refused at its field');
  const shape = await request(server, 'POST', `/api/declarations/${d}/records`, { body: { fields: 7 } });
  check(refusedWithMessage(shape, 400), 'fields that are not an object are 400', shape.status);
  const empty = await get(`/api/declarations/${d}/summary`);
  check(empty.json.groups[4].records === 0, 'the refused records stored nothing');
  const good = await request(server, 'POST', `/api/declarations/${d}/records`, { body: { fields: record } });
  check(good.status === 201 && good.json.fields.BIMP === '100.50' && good.json.fields.FDE === '2014-03-01', 'the fixed record is stored as typed', JSON.stringify(good.json));
  const sums = (await get(`/api/declarations/${d}/summary`)).json.groups[0];
  check(sums.records === 1 && sums.base === 100.5 && sums.total === 121.61, 'the summary counts it in euros', JSON.stringify(sums));
  const other = await request(server, 'POST', `/api/declarants/${declarant}/declarations`, { body: { year: 2014, period: '04' } });
  const foreign = await get(`/api/declarations/${other.json.id}/records/${good.json.id}`);
  check(foreign.status === 404, 'a record is not found through another declaration', foreign.status);

  // Duplicate copies the records into a new declaration with the next sequence; delete removes them.
  const copy = await request(server, 'POST', `/api/declarations/${d}/duplicate`, {});
  check(copy.status === 201 && copy.json.id !== d && copy.json.sequence === 2 && copy.json.records === 1,
    'a duplicate has the next sequence and the record', JSON.stringify(copy.json));
  const copied = (await get(`/api/declarations/${copy.json.id}/records?book=E`)).json.lines;
  check(copied.length === 1 && copied[0].id !== good.json.id && copied[0].base === '100.50', 'the copied record is a new one with the same amounts');
  const removed = await request(server, 'DELETE', `/api/declarations/${copy.json.id}`);
  check(removed.status === 200 && (await get(`/api/declarations/${copy.json.id}`)).status === 404, 'the duplicate is deleted');
  check((await get(`/api/declarations/${d}/summary`)).json.groups[4].records === 1, 'the original keeps its record');

  // Imports: findings store nothing, a cancelled pass stores nothing, a clean file stores exactly its records.
  const work = mkdtempSync(path.join(os.tmpdir(), 'kolvar-api-'));
  const generate = async (records) => {
    const file = path.join(work, `${records}.340`);
    await run(kolvar, ['generate', '--records', String(records), '--year', '2014', '--period', '05', '--seed', '5', '-o', file]);
    return readFileSync(file);
  };
  const small = await generate(40);
  const lines = small.toString('latin1').split('\r\n').filter((l) => l.length);
  const importer = await request(server, 'POST', '/api/declarants', { body: { taxId: lines[0].slice(8, 17), name: 'IMPORTADOR' } });
  const target = (await request(server, 'POST', `/api/declarants/${importer.json.id}/declarations`, { body: { year: 2014, period: '05' } })).json.id;
  const stored = async () => (await get(`/api/declarations/${target}/summary`)).json.groups[4].records;
  const upload = async (bytes) => (await request(server, 'POST', `/api/declarations/${target}/import`, { body: bytes })).json.id;
  const follow = async (job, until = (s) => s.phase !== 'validating' && s.phase !== 'storing') => {
    for (;;) {
      const s = (await get(`/api/imports/${job}`)).json;
      if (until(s)) return s;
      await new Promise((resolve) => { setTimeout(resolve, 20); });
    }
  };

  const badLine = 7;
  const badCopy = lines.map((l, i) => (i === badLine - 1 ? `${l.slice(0, 122)}12A4567890123${l.slice(135)}` : l));
  const badJob = await upload(Buffer.from(`${badCopy.join('\r\n')}\r\n`, 'latin1'));
  const checkedBad = await follow(badJob);
  const found = checkedBad.findings.find((f) => f.line === badLine);
  check(checkedBad.phase === 'checked' && checkedBad.linesWithFindings === 1 && found && found.position > 0 && found.message.es,
    `a bad amount is a finding of line ${badLine} with its field and message`, JSON.stringify(checkedBad.findings));
  const storeBad = await request(server, 'POST', `/api/imports/${badJob}/store`, {});
  check(storeBad.status === 409 && await stored() === 0, 'a file with findings cannot be stored and stores nothing', storeBad.status);

  if (longImports !== '0') {
    const big = await generate(6000);
    const cancelledCheck = await upload(big);
    const cancelled = await request(server, 'POST', `/api/imports/${cancelledCheck}/cancel`, {});
    const afterCancel = await follow(cancelledCheck);
    check(cancelled.status === 200 && afterCancel.phase === 'cancelled' && afterCancel.done < afterCancel.total,
      'a check is cancelled before its end', JSON.stringify({ ...afterCancel, findings: undefined }));
    check((await request(server, 'POST', `/api/imports/${cancelledCheck}/store`, {})).status === 409, 'a cancelled check cannot be stored');

    const bigJob = await upload(big);
    const checkedBig = await follow(bigJob);
    check(checkedBig.phase === 'checked' && checkedBig.findingCount === 0 && checkedBig.lines === 6001 && checkedBig.done === big.length
      && checkedBig.total === big.length, 'the check of a clean file reads every line and every byte', JSON.stringify({ ...checkedBig, findings: undefined }));
    await request(server, 'POST', `/api/imports/${bigJob}/store`, {});
    const storing = await follow(bigJob, (s) => s.phase !== 'storing' || s.pass === 2);
    await request(server, 'POST', `/api/imports/${bigJob}/cancel`, {});
    const rolledBack = await follow(bigJob);
    check(storing.phase === 'storing' && rolledBack.phase === 'cancelled' && await stored() === 0,
      'an import cancelled after it began storing stores nothing', `${storing.phase} ${rolledBack.phase} ${await stored()}`);
  }

  const smallJob = await upload(small);
  await follow(smallJob);
  await request(server, 'POST', `/api/imports/${smallJob}/store`, {});
  const done = await follow(smallJob);
  check(done.phase === 'stored' && done.stored === 40 && await stored() === 40 && done.done === done.total && done.total === 2 * small.length,
    'a clean file stores exactly its records, and its progress reaches the total', JSON.stringify({ ...done, findings: undefined }));
  const again = await request(server, 'POST', `/api/imports/${smallJob}/store`, {});
  check(again.status === 409 && await stored() === 40, 'a stored file is not stored twice', again.status);
  rmSync(work, { recursive: true, force: true });

  // The language setting.
  const eu = await request(server, 'PUT', '/api/settings', { body: { lang: 'eu' } });
  check(eu.status === 200 && (await get('/api/settings')).json.lang === 'eu', 'the language is stored');
  const fr = await request(server, 'PUT', '/api/settings', { body: { lang: 'fr' } });
  check(fr.status === 422 && (await get('/api/settings')).json.lang === 'eu', 'an unknown language changes nothing');

  check(server.alive() && (await get('/api/settings')).status === 200, 'the server is still up');
} finally {
  await server.stop();
}
process.exit(tally());
