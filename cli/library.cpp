#include "library.h"

#include <algorithm>
#include <cstdio>

namespace kolvar::cli {

namespace {

Value L(std::int32_t v) {
  return Value(v);
}
Value S(std::string v) {
  return Value(std::move(v));
}

std::string Trim(std::string s) {
  const auto b = s.find_first_not_of(' ');
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

Declaration DeclarationFromRow(const Value& grid, int r, std::int32_t declarant) {
  Declaration d;
  d.key = grid(0, r).toLong();
  d.declarant = declarant;
  d.year = grid(1, r).toLong();
  d.complementary = grid(2, r).isNull() ? "" : grid(2, r).toString();
  d.substitutive = grid(3, r).isNull() ? "" : grid(3, r).toString();
  d.records = grid(4, r).toLong();
  d.period = grid(5, r).toInteger();
  d.periodicity = grid(6, r).isNull() ? "" : grid(6, r).toString();
  d.previous = grid(7, r).isNull() ? 0 : grid(7, r).toLong();
  d.sequence = grid(8, r).isNull() ? 0 : grid(8, r).toLong();
  return d;
}

std::vector<Value> DeclarationArgs(const Declaration& d) {
  return {L(d.key),         L(d.sequence),     L(d.year),          L(d.declarant), Value(d.period),
          S(d.periodicity), S(d.substitutive), S(d.complementary), L(d.previous)};
}

}  // namespace

std::string PeriodText(const Declaration& d) {
  char text[8];
  if (d.periodicity == "2")
    std::snprintf(text, sizeof text, "%dT", std::max(1, (d.period + 2) / 3));
  else
    std::snprintf(text, sizeof text, "%02d", static_cast<int>(d.period));
  return text;
}

Value CallMethod(Object& object, std::string_view method, std::vector<Value> args) {
  return object.Call(method, args);
}

std::shared_ptr<Object> Library::Make(std::string_view progId) const {
  auto object = CreateObject(progId);
  if (progId != "SvrUtilLib.cMiscelaneos") {
    object->Let("mdbmod", Value(paths_.user));
    object->Let("mdblec", Value(paths_.reference));
  }
  return object;
}

std::vector<Library::DeclarantRow> Library::Declarants() const {
  const Value grid = CallMethod(*Make("kolvar.cDeclarante"), "ObtenerDeclarantes", {});
  std::vector<DeclarantRow> rows;
  if (!grid.isArray()) return rows;
  for (int r = 1; r <= grid.ubound(2); ++r)
    rows.push_back({grid(0, r).toLong(), grid(1, r).toString(), grid(2, r).toString()});
  return rows;
}

std::optional<std::int32_t> Library::FindDeclarantByTaxId(std::string_view taxId) const {
  const std::string wanted = Trim(std::string(taxId));
  for (const DeclarantRow& row : Declarants())
    if (Trim(row.taxId) == wanted) return row.key;
  return std::nullopt;
}

std::optional<Declarant> Library::LoadDeclarant(std::int32_t key) const {
  const auto rows = Declarants();
  if (key < 1 ||
      std::none_of(rows.begin(), rows.end(), [&](const DeclarantRow& r) { return r.key == key; }))
    return std::nullopt;
  std::vector<Value> args{L(key), Value()};
  Make("kolvar.cDeclarante")->Call("CargarDeclarante", args);
  const Value& b = args[1];
  Declarant d;
  d.key = key;
  d.taxId = b(1).toString();
  d.name = b(2).toString();
  d.streetType = b(3).toString();
  d.street = b(4).toString();
  d.number = b(5).toLong();
  d.letter = b(6).toString();
  d.staircase = b(7).toString();
  d.floor = b(8).toString();
  d.door = b(9).toString();
  d.postalCode = std::stoi(b(10).toString() + b(11).toString());
  d.municipality = b(12).toString();
  d.phone = b(13).toString();
  d.contact = b(14).toString();
  d.contactPhone = b(15).toString();
  d.representative = b(16).toString();
  return d;
}

std::int32_t Library::SaveDeclarant(const Declarant& d) const {
  Value b = Value::Array({{0, 17}});
  b(0) = L(d.key);
  b(1) = S(d.taxId);
  b(2) = S(d.name);
  b(3) = S(d.streetType);
  b(4) = S(d.street);
  b(5) = L(d.number);
  b(6) = S(d.letter);
  b(7) = S(d.staircase);
  b(8) = S(d.floor);
  b(9) = S(d.door);
  b(10) = L(d.postalCode);
  b(11) = S(d.municipality);
  b(13) = S(d.phone);
  b(14) = S(d.contact);
  b(15) = S(d.contactPhone);
  b(16) = S(d.representative);
  return CallMethod(*Make("kolvar.cDeclarante"), "GuardarDeclarante", {b}).toLong();
}

void Library::DeleteDeclarant(std::int32_t key, bool withDeclarations) const {
  CallMethod(*Make("kolvar.cDeclarante"), "EliminarDeclarante", {L(key), Value(withDeclarations)});
}

std::vector<Declaration> Library::DeclarationsOf(std::int32_t declarant) const {
  const Value grid =
      CallMethod(*Make("kolvar.cDeclaraciones"), "ObtenerDeclaraciones", {L(declarant)});
  std::vector<Declaration> out;
  if (!grid.isArray()) return out;
  for (int r = 1; r <= grid.ubound(2); ++r) out.push_back(DeclarationFromRow(grid, r, declarant));
  return out;
}

std::vector<Declaration> Library::AllDeclarations() const {
  std::vector<Declaration> all;
  for (const DeclarantRow& row : Declarants()) {
    auto some = DeclarationsOf(row.key);
    all.insert(all.end(), some.begin(), some.end());
  }
  std::sort(all.begin(), all.end(), [](auto& a, auto& b) { return a.key < b.key; });
  return all;
}

std::optional<Declaration> Library::FindDeclaration(std::int32_t key) const {
  for (const Declaration& d : AllDeclarations())
    if (d.key == key) return d;
  return std::nullopt;
}

std::int32_t Library::SaveDeclaration(const Declaration& d) const {
  return CallMethod(*Make("kolvar.cDeclaraciones"), "GuardarDeclaracion", DeclarationArgs(d))
      .toLong();
}

bool Library::DeclarationExists(const Declaration& d) const {
  return CallMethod(*Make("kolvar.cDeclaraciones"), "DeclaracionExiste",
                    {L(d.declarant), L(d.year), Value(d.period), S(d.periodicity), L(d.sequence)})
      .toBool();
}

void Library::DeleteDeclaration(std::int32_t key) const {
  CallMethod(*Make("kolvar.cDeclaraciones"), "EliminarDeclaracion", {L(key)});
}

std::int32_t Library::DuplicateDeclaration(std::int32_t from, const Declaration& to) const {
  Declaration d = to;
  d.key = from;
  return CallMethod(*Make("kolvar.cDeclaraciones"), "DuplicarDeclaracion", DeclarationArgs(d))
      .toLong();
}

std::int32_t Library::NextSequence(const Declaration& d) const {
  std::int32_t highest = 0;
  for (const Declaration& other : DeclarationsOf(d.declarant))
    if (other.year == d.year && other.period == d.period && other.periodicity == d.periodicity)
      highest = std::max(highest, other.sequence);
  return highest + 1;
}

Value Library::Summary(std::int32_t declaration) const {
  return CallMethod(*Make("kolvar.cDeclaraciones"), "ObtenerResumen", {L(declaration)});
}

Value Library::Counts(std::int32_t declaration) const {
  return CallMethod(*Make("kolvar.cDeclaraciones"), "ObtenerDetalles", {L(declaration)});
}

Value Library::Listing(std::int32_t declaration, Value requests) const {
  return CallMethod(*Make("kolvar.cDeclaraciones"), "ImprimirDetalles",
                    {L(declaration), std::move(requests), Value(false)});
}

Value Library::RecordsOf(std::int32_t declaration) const {
  return CallMethod(*Make("kolvar.cDeclarado"), "ObtenerDeclarados", {L(declaration)});
}

Value Library::LoadRecord(std::int32_t record) const {
  return CallMethod(*Make("kolvar.cDeclarado"), "CargarDeclarado", {L(record)});
}

Value Library::LoadDetail(char book, std::int32_t record) const {
  const char* method = nullptr;
  switch (book) {
    case 'E':
    case 'F':
      method = "CargarDpfe";
      break;
    case 'R':
    case 'S':
      method = "CargarDpfr";
      break;
    case 'I':
    case 'J':
      method = "CargarDpbi";
      break;
    case 'U':
      method = "CargarDpdoi";
      break;
    default:
      return Value::Null();
  }
  return CallMethod(*Make("kolvar.cDeclarado"), method, {L(record)});
}

Value Library::SaveRecord(Value buffer, std::int32_t year, bool validate) const {
  auto service = Make("kolvar.cDeclarado");
  service->Let("EjercicioDestino", Value(static_cast<std::int16_t>(year)));
  return CallMethod(*service, "GuardarDeclarado", {std::move(buffer), Value(validate)});
}

void Library::DeleteRecord(std::int32_t record, std::int32_t declaration) const {
  CallMethod(*Make("kolvar.cDeclarado"), "EliminarDeclarado", {L(record), L(declaration)});
}

Value Library::Totals(std::int32_t declaration) const {
  return CallMethod(*Make("kolvar.cExportacion"), "ObtenerTotalesPorDeclaracion", {L(declaration)});
}

Value Library::FileGrid(std::int32_t declaration) const {
  return CallMethod(*Make("kolvar.cExportacion"), "ObtenerDeclaradosParaFichero", {L(declaration)});
}

std::string Library::Describe(Table table, const std::string& code, bool basque) const {
  static const char* const kMethods[] = {"ObtenerDesPais", "ObtenerNombreProvincia",
                                         "ObtenerDescriVia", "ObtenerDesClave",
                                         "ObtenerDesMedioCobro"};
  auto service = Make("kolvar.cDatosGenerales");
  const Value language(static_cast<std::int32_t>(basque ? 1 : 0));
  const char* method = kMethods[static_cast<int>(table)];
  if (table == Table::Key)
    return CallMethod(*service, method, {S(code), S(""), language}).toString();
  return CallMethod(*service, method, {S(code), language}).toString();
}

bool Library::ValidSpanishId(const std::string& id) const {
  return CallMethod(*Make("SvrUtilLib.cMiscelaneos"), "ValidaNifCif", {S(id)}).toBool();
}

bool Library::ValidForeignId(const std::string& id, const std::string& country) const {
  return CallMethod(*Make("SvrUtilLib.cMiscelaneos"), "ValidarNIFExtranjero", {S(id), S(country)})
      .toBool();
}

std::string Library::LanguageLetter() const {
  return CallMethod(*Make("kolvar.cDatosGenerales"), "ObtenerIdioma", {}).toString();
}

void Library::SetLanguageLetter(const std::string& letter) const {
  CallMethod(*Make("kolvar.cDatosGenerales"), "CambiarIdioma", {S(letter)});
}

void Library::Upgrade() const {
  auto transfer = CreateObject("kolvar.cTraspaso");
  transfer->Let("mdbmod", Value(paths_.user));
  transfer->Let("mdblec", Value(paths_.reference));
  CallMethod(*transfer, "Traspaso", {});
}

}  // namespace kolvar::cli
