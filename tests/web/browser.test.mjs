// The screens in headless Chromium: a declarant and a declaration made in the
// page, a generated file imported (a bad copy first, for its findings table),
// the summary against the file's own sums, a record with a bad amount in both
// languages, and the downloaded file against `kolvar export`. A screenshot of
// each screen goes to --out.
import { mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { check, ensureDir, launchBrowser, options, run, startServer, tally } from './support.mjs';

const opts = options();
const out = ensureDir(opts.out);
const work = mkdtempSync(path.join(os.tmpdir(), 'kolvar-browser-'));
const server = await startServer(opts.kolvar, { engine: opts.engine });
const browser = await launchBrowser(opts.modules, opts.chromium);
const errors = [];

// Sums of a form-340 file by book group, from its declared-record lines.
function fileSums(lines) {
  const groupOf = { E: 'issued', F: 'issued', R: 'received', S: 'received', I: 'investment', J: 'investment', U: 'intraCommunity' };
  const sums = {};
  const amount = (line, start) => (line[start] === 'N' ? -1 : 1) * Number(line.slice(start + 1, start + 14)) / 100;
  for (const line of lines.filter((l) => l[0] === '2')) {
    for (const group of [groupOf[line[98]], 'all']) {
      sums[group] ||= { records: 0, base: 0, tax: 0, total: 0 };
      sums[group].records += 1;
      sums[group].base += amount(line, 121);
      sums[group].tax += amount(line, 135);
      sums[group].total += amount(line, 149);
    }
  }
  return sums;
}

const close = (a, b) => Math.abs(a - b) < 0.005;
const pause = (ms) => new Promise((resolve) => { setTimeout(resolve, ms); });

try {
  const page = await browser.newPage();
  page.on('pageerror', (e) => errors.push(e.message));
  page.on('console', (m) => { if (m.type() === 'error' && !/status of 4\d\d/.test(m.text())) errors.push(m.text()); });
  await page.setViewport({ width: 1280, height: 800 });
  const shot = async (name) => page.screenshot({ path: path.join(out, `${name}.png`), fullPage: true });
  const text = async (selector) => page.$eval(selector, (e) => e.textContent);
  const go = async (hash) => { await page.evaluate((h) => { location.hash = h; }, hash); await pause(300); };
  const settle = () => page.waitForNetworkIdle({ idleTime: 150 });

  // A generated file, and a copy with one bad amount.
  const file = path.join(work, 'sample.340');
  const generated = await run(opts.kolvar, ['generate', '--records', '60', '--year', '2014', '--seed', '11', '-o', file]);
  check(generated.code === 0, 'kolvar generate wrote a file', generated.err);
  const lines = readFileSync(file, 'latin1').split('\r\n').filter((l) => l.length);
  const header = lines[0];
  const taxId = header.slice(8, 17).trim();
  const year = header.slice(4, 8);
  const period = header.slice(135, 137);
  const longFile = path.join(work, 'long.340');
  await run(opts.kolvar, ['generate', '--records', '100000', '--year', '2014', '--seed', '11', '-o', longFile]);
  const badFile = path.join(work, 'bad.340');
  const badLine = lines.findIndex((l) => l[0] === '2') + 2;
  const bad = [...lines];
  bad[badLine - 1] = `${bad[badLine - 1].slice(0, 122)}12A4567890123${bad[badLine - 1].slice(135)}`;
  writeFileSync(badFile, `${bad.join('\r\n')}\r\n`, 'latin1');

  // Declarants: the identifier checked as it is typed.
  await page.goto(server.url);
  await page.waitForSelector('h1');
  await settle();
  await shot('01-declarants-empty');
  await page.click('main button.primary');
  await page.waitForSelector('input[name=taxId]');
  await page.type('input[name=taxId]', taxId.slice(0, -1));
  await page.waitForFunction(() => document.querySelector('#taxid-hint').textContent !== '');
  check(await text('#taxid-hint') === 'NIF no válido', 'a partial identifier shows as invalid while typing', await text('#taxid-hint'));
  await page.type('input[name=taxId]', taxId.slice(-1));
  await page.waitForFunction(() => document.querySelector('#taxid-hint').textContent === 'NIF válido');
  await page.type('input[name=name]', 'Talleres Ejemplo SL');
  await page.type('input[name=postalCode]', '01001');
  await page.type('input[name=municipality]', 'Vitoria-Gasteiz');
  await shot('02-declarant-form');
  await page.click('form button[type=submit]');
  await page.waitForFunction((id) => [...document.querySelectorAll('td')].some((td) => td.textContent === id), {}, taxId);
  await shot('03-declarants');
  check(true, 'the declarant is listed after saving');
  await page.type('input[name=prefix]', 'X9');
  await page.waitForFunction(() => document.querySelector('main p') && !document.querySelector('main table'));
  check(true, 'a search by another prefix hides it');

  // Declarations: add one for the file's year and period.
  await page.evaluate(() => { document.querySelector('input[name=prefix]').value = ''; });
  await page.type('input[name=prefix]', taxId.slice(0, 3));
  await page.waitForSelector('main table a');
  await page.click('main table td a');
  await page.waitForSelector('input[name=year]');
  await page.evaluate(() => { document.querySelector('input[name=year]').value = ''; });
  await page.type('input[name=year]', year);
  await page.select('select[name=period]', period);
  await page.click('form button[type=submit]');
  await page.waitForSelector('main table');
  await settle();
  await shot('04-declarations');
  const declarationHref = await page.$eval('main table td a', (a) => a.getAttribute('href'));
  const declaration = declarationHref.match(/declarations\/(\d+)/)[1];
  check(Number(declaration) > 0, 'the declaration is listed');

  // Import: a long check cancelled from the page; the bad copy shows its findings by line and stores nothing.
  await go(`#/declarations/${declaration}/import`);
  await page.waitForSelector('input[type=file]');
  await (await page.$('input[type=file]')).uploadFile(longFile);
  await page.click('form button[type=submit]');
  await page.waitForSelector('#import-cancel:not([hidden])');
  await page.click('#import-cancel');
  await page.waitForSelector('#import-cancelled');
  check(await page.$eval('#import-progress', (p) => p.value < p.max), 'a check is cancelled from the page before its end');
  await (await page.$('input[type=file]')).uploadFile(badFile);
  await page.click('form button[type=submit]');
  await page.waitForSelector('#import-result table');
  const findingLines = await page.$$eval('#import-result tbody tr td:first-child', (tds) => tds.map((td) => Number(td.textContent)));
  check(findingLines.includes(badLine), `the findings table names line ${badLine}`, findingLines.join());
  const badField = await page.$eval('#import-result tbody tr td[data-field]', (td) => [td.dataset.field, td.textContent]);
  check(badField[0] === 'BIMP' && badField[1] === 'Base imponible (€)', 'the finding names its field', badField.join());
  check(!(await page.$('#import-store')), 'a file with findings cannot be stored');
  check(await page.$eval('#import-cancel', (b) => b.offsetParent === null), 'no cancel is offered once the check has ended');
  await shot('05-import-findings');
  await (await page.$('input[type=file]')).uploadFile(file);
  await page.click('form button[type=submit]');
  await page.waitForSelector('#import-store');
  check(await page.$eval('#import-progress', (p) => p.value === p.max), 'the progress bar reaches the end');
  await page.click('#import-store');
  await page.waitForSelector('#import-stored');
  await shot('06-import-stored');
  const records = lines.filter((l) => l[0] === '2').length;
  check((await text('#import-stored')).endsWith(String(records)), `the import stored the ${records} records`, await text('#import-stored'));

  // Summary: the figures of the page equal the sums over the file.
  await go(`#/declarations/${declaration}/summary`);
  await page.waitForSelector('.chart svg rect');
  await settle();
  await shot('07-summary');
  const shown = await page.$$eval('tr[data-group]', (rows) => Object.fromEntries(rows.map((r) => [r.dataset.group,
    Object.fromEntries([...r.querySelectorAll('td')].map((td) => [td.dataset.measure, Number(td.dataset.value ?? td.textContent)]))])));
  const sums = fileSums(lines);
  for (const [group, s] of Object.entries(sums)) {
    const g = shown[group];
    check(g && g.records === s.records && close(g.base, s.base) && close(g.tax, s.tax) && close(g.total, s.total),
      `summary of ${group} equals the file's sums`, `${JSON.stringify(g)} vs ${JSON.stringify(s)}`);
  }
  check(await page.$$eval('.chart svg rect', (r) => r.length) === 12, 'the chart has three bars for each of the four groups');

  // Records: the first issued invoice, a bad amount at its field in both languages, fixed and saved.
  await go(`#/declarations/${declaration}/records?book=E&page=0`);
  await page.waitForSelector('main table td a');
  await settle();
  await shot('08-records');
  await page.click('main table td a');
  await page.waitForSelector('#field-BIMP');
  const original = await page.$eval('#field-BIMP', (i) => i.value);
  await page.evaluate(() => { document.querySelector('#field-BIMP').value = ''; });
  await page.type('#field-BIMP', '12.345');
  await page.click('form button[type=submit]');
  await page.waitForSelector('#finding-BIMP');
  const spanish = await text('#finding-BIMP');
  check((await page.$eval('#finding-BIMP', (s) => s.dataset.codes)) === '60', 'the bad amount is finding 60 at the base', spanish);
  check(await page.$eval('#field-BIMP', (i) => i.getAttribute('aria-invalid') === 'true' && i.getAttribute('aria-describedby') === 'finding-BIMP'),
    'the field is marked invalid and described by its finding');
  await shot('09-record-finding-es');
  await page.select('#lang', 'eu');
  await page.waitForFunction((es) => document.querySelector('#finding-BIMP') && document.querySelector('#finding-BIMP').textContent !== es, {}, spanish);
  const basque = await text('#finding-BIMP');
  check(basque.length > 5 && basque !== spanish && await page.$eval('#field-BIMP', (i) => i.value) === '12.345',
    'after the switch the finding reads in Basque and the typed value stays', `${spanish} / ${basque}`);
  check(await text('label[for=field-BIMP]') === 'Zerga-oinarria (€)', 'the labels are in Basque');
  await shot('10-record-finding-eu');
  await page.evaluate(() => { document.querySelector('#field-BIMP').value = ''; });
  await page.type('#field-BIMP', original);
  await page.click('form button[type=submit]');
  await page.waitForSelector('.ok-box');
  check(!(await page.$('#finding-BIMP')), 'the fixed record saves without findings');
  await page.reload();
  await page.waitForSelector('#field-BIMP');
  check(await page.$eval('#field-BIMP', (i) => i.value) === original && await page.$eval('#lang', (s) => s.value) === 'eu',
    'after a reload the stored amount and the language setting are kept');
  await page.select('#lang', 'es');
  await settle();

  // Export: the download equals `kolvar export` of the same declaration.
  const downloads = ensureDir(path.join(work, 'downloads'));
  const session = await page.createCDPSession();
  await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  await go(`#/declarations/${declaration}/summary`);
  await page.waitForSelector('main .panel button');
  await page.click('main .panel button');
  let downloaded = [];
  for (let i = 0; i < 100 && !downloaded.length; i += 1) {
    await pause(100);
    downloaded = readdirSync(downloads).filter((f) => !f.endsWith('.crdownload'));
  }
  const exported = path.join(work, 'cli.340');
  const cli = await run(opts.kolvar, [...server.dataArgs, 'export', declaration, '-o', exported]);
  check(cli.code === 0, 'kolvar export wrote the same declaration', cli.err);
  check(downloaded.length === 1 && readFileSync(path.join(downloads, downloaded[0])).equals(readFileSync(exported)),
    'the downloaded file equals kolvar export byte for byte', downloaded.join());

  // Phone-sized window: the screens still fit.
  await page.setViewport({ width: 390, height: 844, isMobile: true });
  for (const [name, hash] of [['11-phone-records', `#/declarations/${declaration}/records?book=E&page=0`],
    ['12-phone-summary', `#/declarations/${declaration}/summary`], ['13-phone-declarants', '#/declarants']]) {
    await go(hash);
    await settle();
    const overflow = await page.evaluate(() => document.documentElement.scrollWidth - window.innerWidth);
    check(overflow <= 0, `${name}: nothing wider than the window`, overflow);
    await shot(name);
  }

  // Keyboard: every control of the record form is reachable with Tab.
  await page.setViewport({ width: 1280, height: 800 });
  await go(`#/declarations/${declaration}/records/new?book=R`);
  await page.waitForSelector('#field-NIF');
  const controls = await page.$$eval('main input, main select, main button, main a', (e) => e.length);
  const reached = new Set();
  for (let i = 0; i < controls + 20; i += 1) {
    await page.keyboard.press('Tab');
    reached.add(await page.evaluate(() => document.activeElement.id || document.activeElement.textContent));
  }
  const unreached = await page.$$eval('main input, main select', (e, seen) => e.filter((x) => !seen.includes(x.id)).map((x) => x.id), [...reached]);
  check(unreached.length === 0, 'every input of the record form is reached by Tab', unreached.join());
  const unlabelled = await page.$$eval('input, select', (e) => e.filter((x) => !x.labels || !x.labels.length).map((x) => x.name || x.id));
  check(unlabelled.length === 0, 'every input has a label', unlabelled.join());
  await shot('14-record-new-received');

  check(errors.length === 0, 'the page raised no script error', errors.join(' | '));
} catch (error) {
  check(false, 'the browser walk finished', error.stack);
} finally {
  await browser.close();
  await server.stop();
  rmSync(work, { recursive: true, force: true });
}
process.exit(tally());
