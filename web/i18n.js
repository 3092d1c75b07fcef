// The page's words in Castilian (es) and Basque (eu).
const texts = {
  locale: ['es-ES', 'eu-ES'],
  skip: ['Ir al contenido', 'Joan edukira'],
  language: ['Idioma', 'Hizkuntza'],
  trail: ['Ruta', 'Bidea'],
  declarants: ['Declarantes', 'Aitorleak'],
  searchTaxId: ['Buscar por NIF (comienzo)', 'Bilatu IFZren arabera (hasiera)'],
  newDeclarant: ['Nuevo declarante', 'Aitorle berria'],
  editDeclarant: ['Editar declarante', 'Editatu aitorlea'],
  edit: ['Editar', 'Editatu'],
  open: ['Abrir', 'Ireki'],
  save: ['Guardar', 'Gorde'],
  cancel: ['Cancelar', 'Utzi'],
  delete: ['Eliminar', 'Ezabatu'],
  duplicate: ['Duplicar', 'Bikoiztu'],
  back: ['Volver', 'Itzuli'],
  saved: ['Guardado', 'Gordeta'],
  deleted: ['Eliminado', 'Ezabatuta'],
  confirmDelete: ['¿Eliminar {0}? No se puede deshacer.', '{0} ezabatu? Ezin da desegin.'],
  none: ['No hay datos.', 'Ez dago daturik.'],
  idValid: ['NIF válido', 'IFZ zuzena'],
  idInvalid: ['NIF no válido', 'IFZ okerra'],
  idExists: ['Ya hay un declarante con este NIF', 'Badago IFZ hau duen aitorle bat'],
  taxId: ['NIF', 'IFZ'],
  name: ['Nombre o razón social', 'Izena edo sozietatearen izena'],
  streetType: ['Tipo de vía', 'Bide mota'],
  street: ['Domicilio', 'Helbidea'],
  number: ['Número', 'Zenbakia'],
  letter: ['Letra', 'Letra'],
  staircase: ['Escalera', 'Eskailera'],
  floor: ['Piso', 'Solairua'],
  door: ['Puerta', 'Atea'],
  postalCode: ['Código postal', 'Posta-kodea'],
  municipality: ['Municipio', 'Udalerria'],
  phone: ['Teléfono', 'Telefonoa'],
  contact: ['Persona de contacto', 'Harremanetarako pertsona'],
  contactPhone: ['Teléfono de contacto', 'Harremanetarako telefonoa'],
  representative: ['NIF del representante legal', 'Lege-ordezkariaren IFZ'],
  declarations: ['Declaraciones', 'Aitorpenak'],
  declarationsOf: ['Declaraciones de {0}', '{0}: aitorpenak'],
  declaration: ['Declaración {0}', '{0} aitorpena'],
  newDeclaration: ['Nueva declaración', 'Aitorpen berria'],
  year: ['Ejercicio', 'Ekitaldia'],
  period: ['Periodo', 'Aldia'],
  complementary: ['Complementaria', 'Osagarria'],
  substitutive: ['Sustitutiva', 'Ordezkoa'],
  previous: ['Número de la declaración anterior', 'Aurreko aitorpenaren zenbakia'],
  sequence: ['Secuencia', 'Sekuentzia'],
  records: ['Registros', 'Erregistroak'],
  actions: ['Acciones', 'Ekintzak'],
  summary: ['Resumen', 'Laburpena'],
  import: ['Importar', 'Inportatu'],
  export: ['Exportar fichero', 'Esportatu fitxategia'],
  exported: ['Fichero descargado', 'Fitxategia deskargatuta'],
  record: ['Registro {0}', '{0} erregistroa'],
  newRecord: ['Nuevo registro', 'Erregistro berria'],
  book: ['Libro', 'Liburua'],
  party: ['Declarado', 'Aitortua'],
  opKey: ['Clave', 'Gakoa'],
  issued: ['Expedición', 'Igortzea'],
  base: ['Base imponible', 'Zerga-oinarria'],
  tax: ['Cuota', 'Kuota'],
  total: ['Importe total', 'Zenbateko osoa'],
  costBase: ['Base a coste', 'Kostuko oinarria'],
  count: ['Registros', 'Erregistroak'],
  page: ['Página {0} de {1}', '{0}. orria, guztira {1}'],
  previousPage: ['Anterior', 'Aurrekoa'],
  nextPage: ['Siguiente', 'Hurrengoa'],
  findings: ['El registro tiene errores; no se ha guardado.', 'Erregistroak akatsak ditu; ez da gorde.'],
  otherFindings: ['Otros errores', 'Beste akats batzuk'],
  file: ['Fichero del modelo 340', '340 ereduaren fitxategia'],
  check: ['Comprobar', 'Egiaztatu'],
  store: ['Guardar los registros', 'Gorde erregistroak'],
  progress: ['Progreso', 'Aurrerapena'],
  linesDone: ['{0} de {1} líneas', '{0}/{1} lerro'],
  line: ['Línea', 'Lerroa'],
  code: ['Código', 'Kodea'],
  text: ['Texto', 'Testua'],
  message: ['Mensaje', 'Mezua'],
  noFindings: ['Sin errores: puede guardar los registros.', 'Akatsik ez: erregistroak gorde ditzakezu.'],
  hasFindings: ['Errores en el fichero: {0}. No se guarda nada.', 'Fitxategiko akatsak: {0}. Ez da ezer gordetzen.'],
  storedCount: ['Registros guardados: {0}', 'Gordetako erregistroak: {0}'],
  importFailed: ['La importación ha fallado: {0}', 'Inportazioak huts egin du: {0}'],
  chartTitle: ['Importes por grupo de libros', 'Zenbatekoak liburu-taldeka'],
  notFound: ['No existe.', 'Ez dago.'],
  groups: [
    { issued: 'Facturas expedidas', received: 'Facturas recibidas', investment: 'Bienes de inversión',
      intraCommunity: 'Operaciones intracomunitarias', all: 'Total' },
    { issued: 'Igorritako fakturak', received: 'Jasotako fakturak', investment: 'Inbertsio-ondasunak',
      intraCommunity: 'Erkidego barneko eragiketak', all: 'Guztira' },
  ],
  books: [
    { E: 'E · Expedidas', F: 'F · Expedidas (F)', R: 'R · Recibidas', S: 'S · Recibidas (S)',
      I: 'I · Bienes de inversión', J: 'J · Bienes de inversión (J)', U: 'U · Intracomunitarias' },
    { E: 'E · Igorritakoak', F: 'F · Igorritakoak (F)', R: 'R · Jasotakoak', S: 'S · Jasotakoak (S)',
      I: 'I · Inbertsio-ondasunak', J: 'J · Inbertsio-ondasunak (J)', U: 'U · Erkidego barnekoak' },
  ],
};

// Record fields; "U.CD" is the intra-community book's own CD.
const fieldLabels = {
  NIF: ['NIF del declarado', 'Aitortuaren IFZ'],
  NREP: ['NIF del representante', 'Ordezkariaren IFZ'],
  NOMBRE: ['Nombre o razón social', 'Izena edo sozietatearen izena'],
  PAIS: ['País', 'Herrialdea'],
  CNIPR: ['Clave de identificación en el país de residencia', 'Egoitza-herrialdeko identifikazio-gakoa'],
  NIFDPR: ['Identificación en el país de residencia', 'Egoitza-herrialdeko identifikazioa'],
  CDTL: ['Libro registro', 'Erregistro-liburua'],
  CDO: ['Clave de operación', 'Eragiketa-gakoa'],
  FDE: ['Fecha de expedición', 'Igortze-data'],
  FDO: ['Fecha de operación', 'Eragiketa-data'],
  TIPOIMP: ['Tipo impositivo (%)', 'Zerga-tasa (%)'],
  BIMP: ['Base imponible (€)', 'Zerga-oinarria (€)'],
  CUOTA: ['Cuota del impuesto (€)', 'Zerga-kuota (€)'],
  IMPTF: ['Importe total de la factura (€)', 'Fakturaren zenbateko osoa (€)'],
  BASEIMPCOSTE: ['Base imponible a coste (€)', 'Kostuko zerga-oinarria (€)'],
  IDFACTURA: ['Identificación de la factura', 'Fakturaren identifikazioa'],
  NODEREG: ['Número de registro', 'Erregistro-zenbakia'],
  NOFAC: ['Número de facturas', 'Faktura kopurua'],
  NOREG: ['Número de registros', 'Erregistro kopurua'],
  IIA: ['Intervalo: inicial', 'Tartea: hasierakoa'],
  IFR: ['Intervalo: final', 'Tartea: amaierakoa'],
  TRE: ['Tipo de recargo de equivalencia (%)', 'Baliokidetasun-errekarguaren tasa (%)'],
  CRE: ['Cuota de recargo de equivalencia (€)', 'Baliokidetasun-errekarguaren kuota (€)'],
  SDI: ['Situación del inmueble', 'Higiezinaren egoera'],
  REFCAT: ['Referencia catastral', 'Katastro-erreferentzia'],
  IPM: ['Importe percibido en metálico (€)', 'Eskudirutan jasotako zenbatekoa (€)'],
  EJERMET: ['Ejercicio del importe en metálico', 'Eskudiruzko zenbatekoaren ekitaldia'],
  IPPTDI: ['Importe por transmisión de inmuebles (€)', 'Higiezinen eskualdaketaren zenbatekoa (€)'],
  FMC: ['Fecha de cobro', 'Kobratze-data'],
  IC: ['Importe cobrado (€)', 'Kobratutako zenbatekoa (€)'],
  MC: ['Medio de cobro', 'Kobratzeko bidea'],
  MC_CC: ['Cuenta o medio de cobro utilizado', 'Kobratzeko erabilitako kontua edo bidea'],
  MAR: ['Marca', 'Marka'],
  CD: ['Cuota deducible (€)', 'Kuota kengarria (€)'],
  FMP: ['Fecha de pago', 'Ordaintze-data'],
  IP: ['Importe pagado (€)', 'Ordaindutako zenbatekoa (€)'],
  MP: ['Medio de pago', 'Ordaintzeko bidea'],
  MP_CC: ['Cuenta o medio de pago utilizado', 'Ordaintzeko erabilitako kontua edo bidea'],
  PAD: ['Prorrata anual definitiva (%)', 'Urteko behin betiko hainbanaketa (%)'],
  RAD: ['Regularización anual de la deducción (€)', 'Kenkariaren urteko erregularizazioa (€)'],
  IDE: ['Identificación de la entrega', 'Entregaren identifikazioa'],
  RADE: ['Regularización de la deducción efectuada (€)', 'Egindako kenkariaren erregularizazioa (€)'],
  FIU: ['Fecha de inicio de utilización', 'Erabiltzen hasteko data'],
  IDBIEN: ['Identificación del bien', 'Ondasunaren identifikazioa'],
  TOI: ['Tipo de operación (A o B)', 'Eragiketa mota (A edo B)'],
  'U.CD': ['Declarado (D) o remitente (R)', 'Aitortua (D) edo igorlea (R)'],
  CEM: ['Estado miembro', 'Estatu kidea'],
  PDE: ['Plazo (días)', 'Epea (egunak)'],
  DESBIEN: ['Descripción de los bienes', 'Ondasunen deskribapena'],
  DOI: ['Dirección del operador intermediario', 'Bitartekariaren helbidea'],
  POI: ['Población del operador intermediario', 'Bitartekariaren herria'],
  CP: ['Código postal del operador intermediario', 'Bitartekariaren posta-kodea'],
  OFOD: ['Otras facturas o documentación', 'Beste faktura edo agiri batzuk'],
};

let current = 'es';
const index = () => (current === 'eu' ? 1 : 0);

export function lang() { return current; }
export function setLang(value) {
  current = value === 'eu' ? 'eu' : 'es';
  document.documentElement.lang = current;
}

export function t(key, ...args) {
  const entry = texts[key];
  if (!entry) return key;
  let text = entry[index()];
  if (typeof text !== 'string') return text;
  args.forEach((arg, i) => { text = text.replace(`{${i}}`, arg); });
  return text;
}

export function fieldLabel(key, book) {
  const entry = (book === 'U' && fieldLabels[`U.${key}`]) || fieldLabels[key];
  return entry ? entry[index()] : key;
}

// A finding's message in the current language.
export function messageOf(finding) {
  return finding.message ? finding.message[current] : '';
}
