// Bounded load on 127.0.0.1: many clients reading and writing at once for a
// fixed time. No crash, no lost write, every answer within a second.
import http from 'node:http';
import { check, options, request, startServer, tally } from './support.mjs';

const opts = options();
const seconds = Number(opts.seconds || 30);
const clients = Number(opts.clients || 50);
const declarations = 10;
const server = await startServer(opts.kolvar);

try {
  const ids = [];
  for (let i = 0; i < declarations; i += 1) {
    const taxId = ['12345678Z', '00000000T', '87654321X', '11111111H', '22222222J',
      '33333333P', '44444444A', '55555555K', '66666666Q', '77777777B'][i];
    const declarant = await request(server, 'POST', '/api/declarants', { body: { taxId, name: `CARGA ${i}` } });
    const declaration = await request(server, 'POST', `/api/declarants/${declarant.json.id}/declarations`, { body: { year: 2014, period: '06' } });
    ids.push(declaration.json.id);
  }
  const acknowledged = new Map(ids.map((id) => [id, 0]));
  const record = (n) => ({ fields: { CDTL: 'E', NIF: '12345678Z', NOMBRE: `CLIENTE ${n}`, FDE: '2014-06-01', FDO: '2014-06-01',
    TIPOIMP: '21', BIMP: '100.00', CUOTA: '21.00', IMPTF: '121.00', NOFAC: '1' } });
  let slowest = 0; let answers = 0; const times = []; let failures = 0; let failure = '';
  const begin = Date.now(); const end = begin + seconds * 1000; const slow = [];

  async function client(n) {
    const agent = new http.Agent({ keepAlive: true, maxSockets: 1 });
    const declaration = ids[n % declarations];
    let step = 0;
    while (Date.now() < end) {
      step += 1;
      let r;
      const kind = step % 4;
      try {
        if (kind === 0) r = await request(server, 'POST', `/api/declarations/${declaration}/records`, { body: record(n), agent });
        else if (kind === 1) r = await request(server, 'GET', `/api/declarations/${declaration}/summary`, { agent });
        else if (kind === 2) r = await request(server, 'GET', `/api/declarations/${declaration}/records?book=E&page=0&size=25`, { agent });
        else r = await request(server, 'GET', '/api/declarants?prefix=1', { agent });
      } catch (error) {
        failures += 1; failure = error.message; continue;
      }
      answers += 1;
      slowest = Math.max(slowest, r.ms);
      times.push(r.ms);
      slow.push({ kind, ms: r.ms, fresh: r.fresh, connectMs: r.connectMs, at: Date.now() - begin });
      slow.sort((a, b) => b.ms - a.ms); slow.length = Math.min(slow.length, 5);
      if (r.status >= 400) { failures += 1; failure = `${r.status} ${r.body}`; continue; }
      if (kind === 0) acknowledged.set(declaration, acknowledged.get(declaration) + 1);
    }
    agent.destroy();
  }

  await Promise.all(Array.from({ length: clients }, (_, n) => client(n)));
  times.sort((a, b) => a - b);
  const at = (q) => times[Math.min(times.length - 1, Math.floor(q * times.length))];
  console.log(`${clients} clients, ${seconds} s: ${answers} answers; median ${at(0.5)} ms, 99th ${at(0.99)} ms, slowest ${slowest} ms`);
  console.log(`slowest answers: ${JSON.stringify(slow)}`);
  check(failures === 0, 'no request failed', `${failures}: ${failure}`);
  check(slowest <= 1000, 'every answer came within 1 s', `${slowest} ms`);
  let lost = 0; let written = 0;
  for (const id of ids) {
    const summary = await request(server, 'GET', `/api/declarations/${id}/summary`);
    const stored = summary.json.groups[4].records;
    written += acknowledged.get(id);
    if (stored !== acknowledged.get(id)) { lost += 1; console.log(`declaration ${id}: ${acknowledged.get(id)} written, ${stored} stored`); }
  }
  check(written > 0 && lost === 0, `every acknowledged write is stored (${written} writes)`);
  check(server.alive(), 'the server is still up');
} finally {
  await server.stop();
}
process.exit(tally());
