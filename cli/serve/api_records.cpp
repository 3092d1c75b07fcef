// Records of a declaration: a page of a book's listing, load, add, change,
// delete, each finding placed at its field.
#include "serve/api_routes.h"
#include "serve/declaration_lookup.h"
#include "serve/finding_messages.h"
#include "serve/record_form.h"

namespace kolvar::serve {

namespace {

// The listing code of each book letter.
std::string ListingCode(const std::string& book) {
  static const std::pair<const char*, const char*> codes[] = {
      {"E", "exp"}, {"F", "expI"}, {"I", "bie"}, {"J", "bieI"},
      {"R", "rec"}, {"S", "recI"}, {"U", "int"}};
  for (const auto& [letter, code] : codes)
    if (book == letter) return code;
  throw ApiError{422, "unknown book: " + book, "book"};
}

std::int32_t BookCount(ApiContext& context, std::int32_t declaration, const std::string& book) {
  static const std::string order = "EFIJRSU";
  auto service = Service(context.paths, "kolvar.cDeclaraciones");
  const Value counts = cli::CallMethod(*service, "ObtenerDetalles", {Value(declaration)});
  return static_cast<std::int32_t>(counts(1 + static_cast<int>(order.find(book))).toDouble());
}

std::string Cell(const Value& v) {
  return v.isNull() || v.isEmpty() ? "" : v.toString();
}

// The declaration's records as (key, book, operation key, invoice total).
std::vector<std::vector<Value>> RecordRows(ApiContext& context, std::int32_t declaration) {
  auto service = Service(context.paths, "kolvar.cDeclarado");
  return Rows(cli::CallMethod(*service, "ObtenerDeclarados", {Value(declaration)}));
}

json ListingPage(ApiContext& context, std::int32_t declaration, const std::string& book,
                 std::int32_t page, std::int32_t size) {
  const std::string code = ListingCode(book);
  const std::int32_t total = BookCount(context, declaration, book);
  json result{
      {"book", book}, {"total", total}, {"page", page}, {"size", size}, {"lines", json::array()}};
  const std::int32_t first = page * size;
  if (first >= total) return result;
  Value request = Value::Array({{0, 2}, {0, 0}});
  request(0, 0) = Value(code);
  request(1, 0) = Value(first);
  request(2, 0) = Value(first + size - 1);
  auto service = Service(context.paths, "kolvar.cDeclaraciones");
  const Value grid =
      cli::CallMethod(*service, "ImprimirDetalles", {Value(declaration), request, Value(false)});
  // The listing carries no key; the book's records in key order give it.
  std::vector<std::vector<Value>> ofBook;
  for (auto& row : RecordRows(context, declaration))
    if (Cell(row[3]) == book) ofBook.push_back(std::move(row));
  for (std::int32_t n = 0; n <= grid.ubound(2); ++n) {
    if (grid(0, n).isEmpty()) continue;
    const std::size_t position = static_cast<std::size_t>(first + n);
    std::int32_t id = 0;
    if (position < ofBook.size() && Cell(ofBook[position][4]) == Cell(grid(3, n)) &&
        Cell(ofBook[position][5]) == Cell(grid(7, n)))
      id = ofBook[position][0].toLong();
    result["lines"].push_back({{"id", id},
                               {"party", Cell(grid(1, n))},
                               {"book", Cell(grid(2, n))},
                               {"key", Cell(grid(3, n))},
                               {"issued", ToFormText(FieldKind::Date, grid(4, n))},
                               {"base", ToFormText(FieldKind::Amount, grid(5, n))},
                               {"tax", ToFormText(FieldKind::Amount, grid(6, n))},
                               {"total", ToFormText(FieldKind::Amount, grid(7, n))},
                               {"deductible", ToFormText(FieldKind::Amount, grid(8, n))}});
  }
  return result;
}

void RequireRecord(ApiContext& context, std::int32_t declaration, std::int32_t record) {
  for (const auto& row : RecordRows(context, declaration))
    if (row[0].toLong() == record) return;
  throw ApiError{404, "unknown record: " + std::to_string(record)};
}

json LoadRecord(ApiContext& context, std::int32_t declaration, std::int32_t record) {
  auto service = Service(context.paths, "kolvar.cDeclarado");
  const Value common = cli::CallMethod(*service, "CargarDeclarado", {Value(record)});
  json fields = json::object();
  for (const auto& f : CommonFields())
    fields[std::string(f.key)] = ToFormText(f.kind, common(f.index - 2));
  const std::string book = fields["CDTL"];
  const std::string_view method = DetailLoadMethod(book);
  if (!method.empty()) {
    const Value detail = cli::CallMethod(*service, method, {Value(record)});
    for (const auto& f : DetailFields(book))
      fields[std::string(f.key)] =
          detail.isArray() ? ToFormText(f.kind, detail(f.loadColumn)) : std::string();
  }
  return {{"id", record}, {"declaration", declaration}, {"fields", fields}};
}

// Validates and saves; the record's key, or ApiError 422 with the findings
// (nothing is then written).
std::int32_t SaveRecord(ApiContext& context, const Declaration& d, std::int32_t record,
                        const json& body) {
  const json fields = body.at("fields");
  if (!fields.is_object()) throw ApiError{400, "bad JSON: fields must be an object"};
  const std::string book = TextOf(fields, "CDTL");
  Value buffer = Value::Array({{0, 37}});
  buffer(0) = Value(d.key);
  buffer(1) = Value(record);
  for (const auto& f : CommonFields())
    buffer(f.index) = Value(ToBufferText(f.kind, TextOf(fields, std::string(f.key).c_str())));
  buffer(19) = Value(std::to_string(d.year));
  buffer(20) = Value(d.period);
  for (const auto& f : DetailFields(book))
    buffer(f.index) = Value(ToBufferText(f.kind, TextOf(fields, std::string(f.key).c_str())));

  // Numeric cells convert before the library's rules run: text that is no
  // number stops the save there, so it is reported at its field first.
  json unreadable = json::array();
  auto checkNumber = [&](const RecordField& f) {
    if (f.kind == FieldKind::Text) return;
    try {
      buffer(f.index).toDouble();
    } catch (const Error&) {
      unreadable.push_back({{"field", f.key},
                            {"number", nullptr},
                            {"code", nullptr},
                            {"message", NotANumberMessages()}});
    }
  };
  for (const auto& f : CommonFields()) checkNumber(f);
  for (const auto& f : DetailFields(book)) checkNumber(f);
  if (!unreadable.empty())
    throw ApiError{422, "the record has fields that are no number", "", unreadable};

  auto service = Service(context.paths, "kolvar.cDeclarado");
  service->Let("EjercicioDestino", Value(static_cast<std::int16_t>(d.year)));
  const Value errors = cli::CallMethod(*service, "GuardarDeclarado", {buffer, Value(true)});
  if (!errors(0, 0).isEmpty()) {
    json findings = json::array();
    for (std::int32_t k = 0; k <= errors.ubound(2); ++k) {
      const int number = errors(0, k).toInteger();
      const int code = errors(1, k).toInteger();
      findings.push_back({{"field", FindingField(book, number, code)},
                          {"number", number},
                          {"code", code},
                          {"message", FindingMessages(code, FindingPlace::OnScreen)}});
    }
    throw ApiError{422, "the record has findings", "", findings};
  }
  return record != 0 ? record : cli::CallMethod(*service, "MaxDeclarado", {}).toLong();
}

json SaveAnswer(ApiContext& context, const Declaration& d, std::int32_t record, const json& body) {
  return LoadRecord(context, d.key, SaveRecord(context, d, record, body));
}

}  // namespace

void AddRecordRoutes(httplib::Server& server, ApiContext& context) {
  server.Get("/api/form", Unlocked([](const httplib::Request&) { return FormDescription(); }));
  server.Get(
      R"(/api/declarations/(\d+)/records)", Guarded(context, [&](const httplib::Request& request) {
        const Declaration d = FindDeclaration(context, KeyParam(request, 1));
        const std::string book = request.has_param("book") ? request.get_param_value("book") : "E";
        const int page = std::max(0, std::atoi(request.get_param_value("page").c_str()));
        int size = std::atoi(request.get_param_value("size").c_str());
        if (size < 1 || size > 500) size = 25;
        return ListingPage(context, d.key, book, page, size);
      }));
  server.Get(R"(/api/declarations/(\d+)/records/(\d+))",
             Guarded(context, [&](const httplib::Request& request) {
               const Declaration d = FindDeclaration(context, KeyParam(request, 1));
               const auto record = KeyParam(request, 2);
               RequireRecord(context, d.key, record);
               return LoadRecord(context, d.key, record);
             }));
  server.Post(R"(/api/declarations/(\d+)/records)", Guarded(
                                                        context,
                                                        [&](const httplib::Request& request) {
                                                          const json body = JsonBody(request);
                                                          const Declaration d = FindDeclaration(
                                                              context, KeyParam(request, 1));
                                                          return SaveAnswer(context, d, 0, body);
                                                        },
                                                        201));
  server.Put(R"(/api/declarations/(\d+)/records/(\d+))",
             Guarded(context, [&](const httplib::Request& request) {
               const json body = JsonBody(request);
               const Declaration d = FindDeclaration(context, KeyParam(request, 1));
               const auto record = KeyParam(request, 2);
               RequireRecord(context, d.key, record);
               return SaveAnswer(context, d, record, body);
             }));
  server.Delete(R"(/api/declarations/(\d+)/records/(\d+))",
                Guarded(context, [&](const httplib::Request& request) {
                  const Declaration d = FindDeclaration(context, KeyParam(request, 1));
                  const auto record = KeyParam(request, 2);
                  RequireRecord(context, d.key, record);
                  auto service = Service(context.paths, "kolvar.cDeclarado");
                  cli::CallMethod(*service, "EliminarDeclarado", {Value(record), Value(d.key)});
                  return json{{"deleted", record}};
                }));
}

}  // namespace kolvar::serve
