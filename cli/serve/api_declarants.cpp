// Declarants: list by tax-id prefix, load, add, change, delete.
#include <algorithm>
#include <cctype>

#include "serve/api_routes.h"

namespace kolvar::serve {

namespace {

bool ValidTaxId(ApiContext& context, const std::string& id) {
  auto general = Service(context.paths, "kolvar.cDatosGenerales");
  return cli::CallMethod(*general, "ValidaNifCif", {Value(id), Value(false)}).toBool();
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool AllDigits(const std::string& text, std::size_t most) {
  return text.size() <= most &&
         std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

json DeclarantJson(const Value& b) {
  return {{"id", b(0).toLong()},
          {"taxId", b(1).toString()},
          {"name", b(2).toString()},
          {"streetType", b(3).toString()},
          {"street", b(4).toString()},
          {"number", b(5).toLong()},
          {"letter", b(6).toString()},
          {"staircase", b(7).toString()},
          {"floor", b(8).toString()},
          {"door", b(9).toString()},
          {"postalCode", b(10).toString() + b(11).toString()},
          {"municipality", b(12).toString()},
          {"phone", b(13).toString()},
          {"contact", b(14).toString()},
          {"contactPhone", b(15).toString()},
          {"representative", b(16).toString()}};
}

json Load(ApiContext& context, std::int32_t key) {
  auto service = Service(context.paths, "kolvar.cDeclarante");
  std::vector<Value> args{Value(key), Value()};
  service->Call("CargarDeclarante", args);
  return DeclarantJson(args[1]);
}

// The declarant's key when it exists, else ApiError 404.
void RequireDeclarant(ApiContext& context, std::int32_t key) {
  auto service = Service(context.paths, "kolvar.cDeclarante");
  for (const auto& row : Rows(cli::CallMethod(*service, "ObtenerDeclarantes", {})))
    if (row[0].toLong() == key) return;
  throw ApiError{404, "unknown declarant: " + std::to_string(key)};
}

// Checks the form's fields and saves them; key 0 adds a declarant.
std::int32_t Save(ApiContext& context, std::int32_t key, const json& body) {
  const std::string taxId = Upper(TextOf(body, "taxId"));
  if (taxId.empty() || !ValidTaxId(context, taxId))
    throw ApiError{422, "the tax identifier is not valid", "taxId"};
  const std::string representative = Upper(TextOf(body, "representative"));
  if (!representative.empty() && !ValidTaxId(context, representative))
    throw ApiError{422, "the representative's tax identifier is not valid", "representative"};
  const std::string postal = TextOf(body, "postalCode");
  if (!AllDigits(postal, 5)) throw ApiError{422, "the postal code is five digits", "postalCode"};
  const std::string number = TextOf(body, "number");
  if (!AllDigits(number, 9)) throw ApiError{422, "the street number is digits", "number"};

  Value buffer = Value::Array({{0, 17}});
  buffer(0) = Value(key);
  buffer(1) = Value(taxId);
  buffer(2) = Value(TextOf(body, "name"));
  buffer(3) = Value(TextOf(body, "streetType"));
  buffer(4) = Value(TextOf(body, "street"));
  buffer(5) = Value(number.empty() ? "0" : number);
  buffer(6) = Value(TextOf(body, "letter"));
  buffer(7) = Value(TextOf(body, "staircase"));
  buffer(8) = Value(TextOf(body, "floor"));
  buffer(9) = Value(TextOf(body, "door"));
  buffer(10) = Value(postal.empty() ? "0" : postal);
  buffer(11) = Value(TextOf(body, "municipality"));
  buffer(13) = Value(TextOf(body, "phone"));
  buffer(14) = Value(TextOf(body, "contact"));
  buffer(15) = Value(TextOf(body, "contactPhone"));
  buffer(16) = Value(representative);
  auto service = Service(context.paths, "kolvar.cDeclarante");
  return cli::CallMethod(*service, "GuardarDeclarante", {buffer}).toLong();
}

}  // namespace

void AddDeclarantRoutes(httplib::Server& server, ApiContext& context) {
  server.Get(
      "/api/declarants", Guarded(context, [&](const httplib::Request& request) {
        const std::string prefix = Upper(request.get_param_value("prefix"));
        auto service = Service(context.paths, "kolvar.cDeclarante");
        json list = json::array();
        for (const auto& row : Rows(cli::CallMethod(*service, "ObtenerDeclarantes", {}))) {
          const std::string taxId = row[1].toString();
          if (Upper(taxId).rfind(prefix, 0) != 0) continue;
          list.push_back({{"id", row[0].toLong()}, {"taxId", taxId}, {"name", row[2].toString()}});
        }
        return list;
      }));
  server.Get("/api/check-id", Guarded(context, [&](const httplib::Request& request) {
               const std::string id = Upper(request.get_param_value("id"));
               json result{{"id", id}, {"valid", !id.empty() && ValidTaxId(context, id)}};
               auto service = Service(context.paths, "kolvar.cDeclarante");
               result["declarant"] =
                   id.size() == 9 ? cli::CallMethod(*service, "NifRepetido", {Value(id)}).toLong()
                                  : 0;
               return result;
             }));
  server.Get(R"(/api/declarants/(\d+))", Guarded(context, [&](const httplib::Request& request) {
               const auto key = KeyParam(request, 1);
               RequireDeclarant(context, key);
               return Load(context, key);
             }));
  server.Post("/api/declarants", Guarded(
                                     context,
                                     [&](const httplib::Request& request) {
                                       const auto key = Save(context, 0, JsonBody(request));
                                       return Load(context, key);
                                     },
                                     201));
  server.Put(R"(/api/declarants/(\d+))", Guarded(context, [&](const httplib::Request& request) {
               const auto key = KeyParam(request, 1);
               const json body = JsonBody(request);
               RequireDeclarant(context, key);
               Save(context, key, body);
               return Load(context, key);
             }));
  server.Delete(R"(/api/declarants/(\d+))", Guarded(context, [&](const httplib::Request& request) {
                  const auto key = KeyParam(request, 1);
                  RequireDeclarant(context, key);
                  auto service = Service(context.paths, "kolvar.cDeclarante");
                  cli::CallMethod(*service, "EliminarDeclarante", {Value(key), Value(true)});
                  return json{{"deleted", key}};
                }));
}

}  // namespace kolvar::serve
