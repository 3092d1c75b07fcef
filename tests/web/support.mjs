// What the web tests share: a `kolvar serve` on a free port with a fresh data
// folder, raw HTTP requests, headless Chromium, and command-line options.
import { spawn } from 'node:child_process';
import { mkdtempSync, rmSync, existsSync, mkdirSync } from 'node:fs';
import http from 'node:http';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';

// --kolvar PATH --modules DIR --out DIR --chromium PATH --engine file|server
export function options() {
  const args = process.argv.slice(2);
  const result = {};
  for (let i = 0; i < args.length; i += 2) result[args[i].replace(/^--/, '')] = args[i + 1];
  return result;
}

export function run(program, args, { cwd } = {}) {
  return new Promise((resolve, reject) => {
    const child = spawn(program, args, { cwd, stdio: ['ignore', 'pipe', 'pipe'] });
    let out = ''; let err = '';
    child.stdout.on('data', (d) => { out += d; });
    child.stderr.on('data', (d) => { err += d; });
    child.on('error', reject);
    child.on('close', (code) => resolve({ code, out, err }));
  });
}

// On --engine server the user database is a schema of its own on the test
// server (KOLVAR_TEST_PG): its connection string, and how to drop it. Without
// a server the script ends skipped (status 77), or fails when KOLVAR_REQUIRE_PG=1.
let schemas = 0;
async function serverUserDb() {
  const server = process.env.KOLVAR_TEST_PG;
  if (!server) {
    const required = process.env.KOLVAR_REQUIRE_PG === '1';
    console.log(required ? 'FAILED - KOLVAR_REQUIRE_PG=1 but KOLVAR_TEST_PG is not set'
      : 'no PostgreSQL server (KOLVAR_TEST_PG): skipped');
    process.exit(required ? 1 : 77);
  }
  schemas += 1;
  const schema = `web_${process.pid}_${schemas}`;
  const psql = (sql) => run('psql', ['-X', '-q', '-v', 'ON_ERROR_STOP=1', server, '-c', sql]);
  const made = await psql(`CREATE SCHEMA ${schema}`);
  if (made.code !== 0) throw new Error(`cannot make schema ${schema}: ${made.err}`);
  const sep = server.includes('?') ? '&' : '?';
  return { uri: `${server}${sep}options=-csearch_path%3D${schema}%2Cpublic`, drop: () => psql(`DROP SCHEMA ${schema} CASCADE`) };
}

// Starts `kolvar serve --port 0` on a fresh data folder (with its user
// database on the test server for engine 'server') and reads the URL it
// prints. `dataArgs` name the same databases to the kolvar program.
export async function startServer(kolvar, { dataDir, engine = 'file' } = {}) {
  const data = dataDir || mkdtempSync(path.join(os.tmpdir(), 'kolvar-web-'));
  const userDb = engine === 'server' ? await serverUserDb() : undefined;
  const dataArgs = ['--data', data, ...(userDb ? ['--user-db', userDb.uri] : [])];
  const child = spawn(kolvar, ['serve', ...dataArgs, '--port', '0'], { stdio: ['ignore', 'pipe', 'inherit'] });
  const url = await new Promise((resolve, reject) => {
    let out = '';
    const timer = setTimeout(() => reject(new Error(`no URL printed: ${out}`)), 20000);
    child.stdout.on('data', (d) => {
      out += d;
      const match = out.match(/(http:\/\/127\.0\.0\.1:(\d+)\/#token=([0-9a-f]+))/);
      if (match) { clearTimeout(timer); resolve(match[1]); }
    });
    child.on('exit', (code) => reject(new Error(`kolvar serve ended with ${code}: ${out}`)));
  });
  const [, port, token] = url.match(/:(\d+)\/#token=([0-9a-f]+)/);
  return {
    url, port: Number(port), token, data, dataArgs, child,
    alive: () => child.exitCode === null && child.signalCode === null,
    async stop() {
      if (child.exitCode === null) {
        const ended = new Promise((resolve) => child.on('exit', resolve));
        child.kill('SIGTERM');
        await ended;
      }
      if (!dataDir) rmSync(data, { recursive: true, force: true });
      if (userDb) await userDb.drop();
    },
  };
}

// One HTTP request with full control of its headers; resolves to
// { status, headers, body, json, ms }.
export function request(server, method, pathname, { headers = {}, body, token = server.token, agent } = {}) {
  const started = Date.now();
  return new Promise((resolve, reject) => {
    const all = { Host: `127.0.0.1:${server.port}`, ...headers };
    if (token) all['X-Kolvar-Token'] = token;
    let payload = body;
    if (body !== undefined && typeof body !== 'string' && !Buffer.isBuffer(body)) {
      payload = JSON.stringify(body);
      all['Content-Type'] = 'application/json';
    }
    const req = http.request({ host: '127.0.0.1', port: server.port, method, path: pathname, headers: all, agent }, (res) => {
      const chunks = [];
      res.on('data', (c) => chunks.push(c));
      res.on('end', () => {
        const raw = Buffer.concat(chunks);
        let json;
        try { json = JSON.parse(raw.toString('utf8')); } catch { json = undefined; }
        resolve({ status: res.statusCode, headers: res.headers, body: raw, json, ms: Date.now() - started,
          fresh: !req.reusedSocket, connectMs: req.connectMs });
      });
    });
    // Whether the request waited for a new connection, and how long that took.
    req.on('socket', (socket) => {
      if (req.reusedSocket) return;
      socket.once('connect', () => { req.connectMs = Date.now() - started; });
    });
    req.on('error', reject);
    if (payload !== undefined) req.write(payload);
    req.end();
  });
}

// Headless Chromium through puppeteer-core from the build tree's node_modules.
export async function launchBrowser(modules, chromium) {
  const require = createRequire(path.join(path.resolve(modules), 'x.js'));
  const puppeteer = require('puppeteer-core');
  const profile = mkdtempSync(path.join(os.tmpdir(), 'kolvar-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      `--user-data-dir=${profile}`],
  });
  const close = browser.close.bind(browser);
  browser.close = async () => { await close(); rmSync(profile, { recursive: true, force: true }); };
  return browser;
}

export function ensureDir(dir) {
  if (!existsSync(dir)) mkdirSync(dir, { recursive: true });
  return dir;
}

// A check that counts; the script's closing line reports the tally.
let passed = 0; let failed = 0;
export function check(condition, what, detail = '') {
  if (condition) { passed += 1; console.log(`ok - ${what}`); } else { failed += 1; console.log(`FAILED - ${what} ${detail}`); }
  return condition;
}
export function tally() {
  console.log(`${passed} passed, ${failed} failed`);
  return failed === 0 ? 0 : 1;
}
