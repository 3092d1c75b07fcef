#include "ui_text.h"

#include <array>
#include <cstdlib>

namespace kolvar::cli {

namespace {

struct Pair {
  Say id;
  const char* es;
  const char* eu;
};

// Kept in the order of the enumeration; checked once at start.
const Pair kTexts[] = {
    {Say::About, "Declaración informativa de libros registro de IVA (modelo 340)",
     "BEZaren erregistro-liburuen informazio-aitorpena (340 eredua)"},
    {Say::OptData, "Carpeta de las dos bases de datos (por defecto $KOLVAR_DATA o ./kolvar-data)",
     "Bi datu-baseen karpeta (berez, $KOLVAR_DATA edo ./kolvar-data)"},
    {Say::OptLang, "Idioma de los mensajes: es o eu (por defecto, el guardado)",
     "Mezuen hizkuntza: es edo eu (berez, gordeta dagoena)"},
    {Say::OptJson, "Escribe el resultado como un documento JSON",
     "Emaitza JSON dokumentu gisa idazten du"},
    {Say::OptUserDb,
     "Base de datos de usuario: un archivo o un servidor PostgreSQL (postgresql://...); por "
     "defecto la de la carpeta",
     "Erabiltzailearen datu-basea: fitxategi bat edo PostgreSQL zerbitzari bat "
     "(postgresql://...); berez, karpetakoa"},
    {Say::CmdInit, "Crea las dos bases de datos (nunca sobrescribe una existente)",
     "Bi datu-baseak sortzen ditu (ez du inoiz lehendik dagoenik gainidazten)"},
    {Say::CmdDeclarant, "Declarantes", "Aitortzaileak"},
    {Say::CmdDeclarantAdd, "Da de alta un declarante", "Aitortzaile bat ematen du altan"},
    {Say::CmdDeclarantList, "Lista los declarantes, o los de un prefijo de NIF",
     "Aitortzaileak zerrendatzen ditu, edo IFZ-aurrizki batekoak"},
    {Say::CmdDeclarantShow, "Muestra un declarante", "Aitortzaile bat erakusten du"},
    {Say::CmdDeclarantEdit, "Modifica los datos de un declarante",
     "Aitortzaile baten datuak aldatzen ditu"},
    {Say::CmdDeclarantDelete, "Borra un declarante", "Aitortzaile bat ezabatzen du"},
    {Say::CmdDeclaration, "Declaraciones", "Aitorpenak"},
    {Say::CmdDeclarationAdd, "Crea una declaración", "Aitorpen bat sortzen du"},
    {Say::CmdDeclarationList, "Lista las declaraciones", "Aitorpenak zerrendatzen ditu"},
    {Say::CmdDeclarationShow, "Muestra una declaración", "Aitorpen bat erakusten du"},
    {Say::CmdDeclarationDelete, "Borra una declaración con todos sus registros",
     "Aitorpen bat ezabatzen du, bere erregistro guztiekin"},
    {Say::CmdDeclarationDuplicate, "Copia una declaración con todos sus registros",
     "Aitorpen bat kopiatzen du, bere erregistro guztiekin"},
    {Say::CmdRecord, "Registros declarados", "Aitortutako erregistroak"},
    {Say::CmdRecordAdd, "Añade un registro; se valida antes de guardarlo",
     "Erregistro bat gehitzen du; gorde aurretik egiaztatzen da"},
    {Say::CmdRecordList, "Lista los registros de una declaración",
     "Aitorpen baten erregistroak zerrendatzen ditu"},
    {Say::CmdRecordShow, "Muestra un registro con sus datos de libro",
     "Erregistro bat erakusten du, bere liburuko datuekin"},
    {Say::CmdRecordEdit, "Modifica campos de un registro; se valida antes de guardarlo",
     "Erregistro baten eremuak aldatzen ditu; gorde aurretik egiaztatzen da"},
    {Say::CmdRecordDelete, "Borra un registro", "Erregistro bat ezabatzen du"},
    {Say::CmdRecordDuplicate, "Copia un registro en la misma declaración",
     "Erregistro bat aitorpen berean kopiatzen du"},
    {Say::CmdImport, "Valida un archivo del modelo 340 y lo importa si no tiene errores",
     "340 ereduko fitxategi bat egiaztatzen du, eta akatsik ez badu inportatu egiten du"},
    {Say::CmdExport, "Escribe el archivo del modelo 340 de una declaración",
     "Aitorpen baten 340 ereduko fitxategia idazten du"},
    {Say::CmdSummary, "Resumen por grupos de libros", "Laburpena liburu-taldeka"},
    {Say::CmdTotals, "Totales del archivo y número de registros de cada libro",
     "Fitxategiaren guztizkoak eta liburu bakoitzeko erregistro kopurua"},
    {Say::CmdListing, "Listado de registros por libro, por páginas",
     "Erregistroen zerrenda liburuka, orrialdeka"},
    {Say::CmdCheckId, "Comprueba un NIF, NIE o CIF, o un NIF-IVA de otro país con --country",
     "IFZ, AIZ edo IFK bat egiaztatzen du, edo beste herrialde bateko BEZ-IFZ bat --country "
     "erabiliz"},
    {Say::CmdLookup, "Busca la descripción de un código: country, province, street, key o means",
     "Kode baten deskribapena bilatzen du: country, province, street, key edo means"},
    {Say::CmdLang, "Cambia el idioma guardado (es o eu)",
     "Gordetako hizkuntza aldatzen du (es edo eu)"},
    {Say::CmdUpgrade, "Pone al día una base de datos de una versión anterior",
     "Aurreko bertsio bateko datu-base bat eguneratzen du"},
    {Say::CmdGenerate, "Genera un archivo de muestra que pasa todas las reglas",
     "Arau guztiak betetzen dituen lagin-fitxategi bat sortzen du"},
    {Say::CmdDemo, "Demostración: carpeta nueva, generar, importar, resumen, exportar y reimportar",
     "Erakustaldia: karpeta berria, sortu, inportatu, laburpena, esportatu eta berriro "
     "inportatu"},
    {Say::CmdServe, "Cliente web local en 127.0.0.1 (kolvar serve --help)",
     "Web bezero lokala 127.0.0.1 helbidean (kolvar serve --help)"},
    {Say::CmdCopy,
     "Copia una base de datos de usuario entera a otra vacía (carpeta o servidor PostgreSQL)",
     "Erabiltzailearen datu-base oso bat beste huts batera kopiatzen du (karpeta edo PostgreSQL "
     "zerbitzaria)"},
    {Say::OptFrom, "Origen: una carpeta de datos o una dirección postgresql://",
     "Jatorria: datu-karpeta bat edo postgresql:// helbide bat"},
    {Say::OptTo, "Destino, ya creado y vacío: una carpeta de datos o una dirección postgresql://",
     "Helburua, sortuta eta hutsik: datu-karpeta bat edo postgresql:// helbide bat"},
    {Say::OptDeclaration, "Clave de la declaración", "Aitorpenaren gakoa"},
    {Say::OptCheck, "Solo valida; no guarda nada", "Egiaztatu besterik ez; ez du ezer gordetzen"},
    {Say::OptPartial, "Guarda las líneas sin errores aunque otras los tengan",
     "Akatsik gabeko lerroak gordetzen ditu, beste batzuek akatsak izan arren"},
    {Say::OptReplace, "Sustituye la declaración si ya existe",
     "Aitorpena ordezten du, lehendik badago"},
    {Say::OptOutput, "Archivo de salida", "Irteerako fitxategia"},
    {Say::OptEncoding, "Codificación: latin1 (por defecto) o utf8",
     "Kodeketa: latin1 (berez) edo utf8"},
    {Say::OptBook, "Libros: E, F, R, S, I, J o U (todos por defecto)",
     "Liburuak: E, F, R, S, I, J edo U (berez, guztiak)"},
    {Say::OptPage, "Página, desde 1", "Orrialdea, 1etik aurrera"},
    {Say::OptSize, "Registros por página", "Erregistroak orrialde bakoitzeko"},
    {Say::OptCsv, "Escribe el listado en CSV", "Zerrenda CSV formatuan idazten du"},
    {Say::OptCountry, "Código de país del NIF-IVA (FR, DE, GB, XI...)",
     "BEZ-IFZaren herrialde-kodea (FR, DE, GB, XI...)"},
    {Say::OptRecords, "Número de registros", "Erregistro kopurua"},
    {Say::OptYear, "Ejercicio", "Ekitaldia"},
    {Say::OptSeed, "Semilla: la misma semilla da el mismo archivo",
     "Hazia: hazi berak fitxategi bera ematen du"},
    {Say::OptPeriod, "Periodo: 01 a 12, o 1T a 4T", "Aldia: 01etik 12ra, edo 1T-tik 4T-ra"},
    {Say::OptDetail, "Campo del libro, NOMBRE=valor (NOFAC=1, CD=...)",
     "Liburuko eremua, IZENA=balioa (NOFAC=1, CD=...)"},
    {Say::OptWithDeclarations, "Borra también sus declaraciones",
     "Haren aitorpenak ere ezabatzen ditu"},

    {Say::Created, "creada: {}", "sortua: {}"},
    {Say::AlreadyExists, "{} ya existe; no se sobrescribe",
     "{} badago lehendik; ez da gainidazten"},
    {Say::CannotCreate, "no se puede crear {}: {}", "ezin da sortu {}: {}"},
    {Say::NoDatabases, "no hay bases de datos en {}: ejecute «kolvar init»",
     "{} karpetan ez dago datu-baserik: exekutatu «kolvar init»"},
    {Say::UnknownDeclaration, "la declaración {} no existe", "{} aitorpena ez dago"},
    {Say::UnknownDeclarant, "el declarante {} no existe", "{} aitortzailea ez dago"},
    {Say::UnknownRecord, "el registro {} no existe", "{} erregistroa ez dago"},
    {Say::DeclarationExists, "la declaración ya existe (clave {}); use --replace para sustituirla",
     "aitorpena badago lehendik ({} gakoa); erabili --replace hura ordezteko"},
    {Say::DeclarationHasRecords,
     "la declaración {} ya tiene registros; use --replace para sustituirlos",
     "{} aitorpenak badu erregistrorik; erabili --replace haiek ordezteko"},
    {Say::DeclarantHasDeclarations,
     "el declarante {} tiene declaraciones; use --with-declarations para borrarlas también",
     "{} aitortzaileak aitorpenak ditu; erabili --with-declarations haiek ere ezabatzeko"},
    {Say::BadNumber, "{}: «{}» no es un número válido", "{}: «{}» ez da zenbaki zuzena"},
    {Say::BadDate, "{}: «{}» no es una fecha válida (AAAA-MM-DD)",
     "{}: «{}» ez da data zuzena (UUUU-HH-EE)"},
    {Say::BadTaxId, "el NIF {} no es válido", "{} IFZa ez da zuzena"},
    {Say::BadChoice, "{}: «{}» no es uno de: {}", "{}: «{}» ez dago hauen artean: {}"},
    {Say::Findings, "errores encontrados: {}, en {} líneas; no se ha guardado nada",
     "aurkitutako akatsak: {}, {} lerrotan; ez da ezer gorde"},
    {Say::Partial,
     "{} registros importados en la declaración {}; {} líneas con errores no se han guardado",
     "{} erregistro inportatu dira {} aitorpenean; akatsak dituzten {} lerro ez dira gorde"},
    {Say::Imported, "{} registros importados en la declaración {}",
     "{} erregistro inportatu dira {} aitorpenean"},
    {Say::CheckedClean, "archivo correcto: {} registros (no se ha guardado nada)",
     "fitxategia zuzena da: {} erregistro (ez da ezer gorde)"},
    {Say::Written, "{} registros escritos en {}", "{} erregistro idatzi dira hemen: {}"},
    {Say::Valid, "válido", "zuzena"},
    {Say::Invalid, "no válido", "okerra"},
    {Say::KindNif, "NIF", "IFZ"},
    {Say::KindNie, "NIE (extranjero)", "AIZ (atzerritarra)"},
    {Say::KindCif, "CIF (persona jurídica)", "IFK (pertsona juridikoa)"},
    {Say::KindVat, "NIF-IVA de {}", "{} herrialdeko BEZ-IFZ"},
    {Say::NoDescription, "el código {} no tiene descripción", "{} kodeak ez du deskribapenik"},
    {Say::LanguageSaved, "idioma guardado: {}", "gordetako hizkuntza: {}"},
    {Say::UpgradeNothing, "la base de datos ya estaba al día; no ha cambiado nada",
     "datu-basea egunean zegoen; ez da ezer aldatu"},
    {Say::UpgradeAdded, "columnas añadidas: {}", "gehitutako zutabeak: {}"},
    {Say::Deleted, "borrado: {}", "ezabatua: {}"},
    {Say::Saved, "guardado con la clave {}", "{} gakoarekin gorde da"},
    {Say::RecordRefused, "el registro no se ha guardado", "erregistroa ez da gorde"},
    {Say::Replaced, "sustituida la declaración {}", "{} aitorpena ordeztu da"},
    {Say::LinesPerSecond, "líneas/s", "lerro/s"},
    {Say::TimeLeft, "quedan", "falta"},
    {Say::NoHeader, "el archivo no empieza con el registro del declarante (tipo 1)",
     "fitxategia ez da aitortzailearen erregistroarekin hasten (1 mota)"},
    {Say::RowsPerSecond, "filas/s", "errenkada/s"},
    {Say::Copied, "{} filas copiadas de {} a {}; recuentos, sumas y contadores comprobados",
     "{} errenkada kopiatu dira {}(e)tik {}(e)ra; zenbaketak, baturak eta kontagailuak "
     "egiaztatuta"},
    {Say::CopyNoTarget,
     "no hay base de datos de usuario en {}: créela antes con «kolvar init» (y --user-db para un "
     "servidor)",
     "{}(e)n ez dago erabiltzailearen datu-baserik: sortu aurretik «kolvar init» bidez (eta "
     "--user-db zerbitzari baterako)"},
    {Say::CopyNoSource, "no hay base de datos de usuario en {}",
     "{}(e)n ez dago erabiltzailearen datu-baserik"},

    {Say::Line, "Línea", "Lerroa"},
    {Say::Field, "Campo", "Eremua"},
    {Say::Position, "Posición", "Posizioa"},
    {Say::Code, "Código", "Kodea"},
    {Say::Text, "Texto", "Testua"},
    {Say::Message, "Mensaje", "Mezua"},
    {Say::Key, "Clave", "Gakoa"},
    {Say::TaxId, "NIF", "IFZ"},
    {Say::Name, "Nombre", "Izena"},
    {Say::Year, "Ejercicio", "Ekitaldia"},
    {Say::Period, "Periodo", "Aldia"},
    {Say::Sequence, "Número", "Zenbakia"},
    {Say::Records, "Registros", "Erregistroak"},
    {Say::Book, "Libro", "Liburua"},
    {Say::Operation, "Clave de operación", "Eragiketa-gakoa"},
    {Say::Date, "Fecha", "Data"},
    {Say::Base, "Base imponible", "Zerga-oinarria"},
    {Say::Tax, "Cuota", "Kuota"},
    {Say::Total, "Importe total", "Zenbateko osoa"},
    {Say::CostBase, "Base a coste", "Kostuko oinarria"},
    {Say::Party, "Declarado", "Aitortua"},
    {Say::Deductible, "Deducible", "Kengarria"},
    {Say::Complementary, "Complementaria", "Osagarria"},
    {Say::Substitutive, "Sustitutiva", "Ordezkoa"},
    {Say::Previous, "Anterior", "Aurrekoa"},
    {Say::Periodicity, "Periodicidad", "Aldizkakotasuna"},
    {Say::Phone, "Teléfono", "Telefonoa"},
    {Say::Contact, "Persona de contacto", "Harremanetarako pertsona"},
    {Say::Representative, "Representante", "Ordezkaria"},
    {Say::Address, "Domicilio", "Helbidea"},
    {Say::PostalCode, "Código postal", "Posta-kodea"},
    {Say::Municipality, "Municipio", "Udalerria"},
    {Say::Declarant, "Declarante", "Aitortzailea"},
    {Say::Table, "Tabla", "Taula"},
    {Say::Rows, "Filas", "Errenkadak"},
    {Say::Counter, "Contador", "Kontagailua"},
    {Say::Sums, "Sumas", "Baturak"},

    {Say::GroupIssued, "Facturas expedidas (E, F)", "Egindako fakturak (E, F)"},
    {Say::GroupReceived, "Facturas recibidas (R, S)", "Jasotako fakturak (R, S)"},
    {Say::GroupInvestment, "Bienes de inversión (I, J)", "Inbertsio-ondasunak (I, J)"},
    {Say::GroupIntraCommunity, "Operaciones intracomunitarias (U)",
     "Erkidego barruko eragiketak (U)"},
    {Say::GroupAll, "Total de la declaración", "Aitorpena, guztira"},

    {Say::StepFolder, "carpeta de datos nueva: {}", "datu-karpeta berria: {}"},
    {Say::StepGenerate, "generados {} registros de {} en {}",
     "{} erregistro sortu dira ({}) hemen: {}"},
    {Say::StepImport, "importado", "inportatua"},
    {Say::StepSummary, "resumen", "laburpena"},
    {Say::StepExport, "exportado a {}", "hona esportatua: {}"},
    {Say::StepReimport, "reimportado en otra carpeta", "beste karpeta batean berriro inportatua"},
    {Say::DemoSame, "los registros reimportados son iguales a los importados",
     "berriro inportatutako erregistroak inportatutakoen berdinak dira"},
    {Say::DemoDiffer, "los registros reimportados difieren de los importados",
     "berriro inportatutako erregistroak ez dira inportatutakoen berdinak"},
    {Say::DemoBytesSame, "el archivo exportado es idéntico, byte a byte, al generado",
     "esportatutako fitxategia sortutakoaren berdin-berdina da, bytez byte"},
    {Say::DemoBytesDiffer, "el archivo exportado difiere del generado",
     "esportatutako fitxategia ez da sortutakoaren berdina"},
};

static_assert(std::size(kTexts) == static_cast<std::size_t>(Say::Count_),
              "one text pair per identifier");

}  // namespace

std::string_view Text(Say id, Lang lang) {
  const Pair& p = kTexts[static_cast<std::size_t>(id)];
  if (p.id != id) std::abort();  // the table fell out of the enumeration's order
  return lang == Lang::eu ? p.eu : p.es;
}

std::string Format(Say id, Lang lang, std::initializer_list<std::string> args) {
  const std::string_view pattern = Text(id, lang);
  std::string out;
  auto arg = args.begin();
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '{' && i + 1 < pattern.size() && pattern[i + 1] == '}' && arg != args.end()) {
      out += *arg++;
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

}  // namespace kolvar::cli
