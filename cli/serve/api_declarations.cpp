// Declarations of a declarant: list, add, duplicate, delete; a declaration's
// summary.
#include <algorithm>

#include "serve/api_routes.h"
#include "serve/declaration_lookup.h"

namespace kolvar::serve {

namespace {

void RequireDeclarant(ApiContext& context, std::int32_t key) {
  auto service = Service(context.paths, "kolvar.cDeclarante");
  for (const auto& row : Rows(Invoke(*service, "ObtenerDeclarantes")))
    if (row[0].toLong() == key) return;
  throw ApiError{404, "unknown declarant: " + std::to_string(key)};
}

// The next sequence number among the declarant's declarations of the same
// year, period and periodicity.
std::int32_t NextSequence(ApiContext& context, const Declaration& d) {
  std::int32_t highest = 0;
  for (const auto& other : DeclarationsOf(context, d.declarant))
    if (other.year == d.year && other.month == d.month && other.periodicity == d.periodicity)
      highest = std::max(highest, other.sequence);
  return highest + 1;
}

// The nine arguments of GuardarDeclaracion and DuplicarDeclaracion.
std::vector<Value> DeclarationArgs(const Declaration& d, std::int32_t key) {
  return {Value(key),
          Value(d.sequence),
          Value(d.year),
          Value(d.declarant),
          Value(static_cast<std::int16_t>(d.month)),
          Value(d.periodicity),
          Value(d.substitutive ? "S" : ""),
          Value(d.complementary ? "C" : ""),
          Value(d.previous)};
}

Declaration FromBody(std::int32_t declarant, const json& body) {
  Declaration d;
  d.declarant = declarant;
  const std::string year = TextOf(body, "year");
  if (year.size() != 4 || year.find_first_not_of("0123456789") != std::string::npos)
    throw ApiError{422, "the year is four digits", "year"};
  d.year = std::stoi(year);
  SetPeriod(d, TextOf(body, "period"));
  d.complementary = body.value("complementary", false);
  d.substitutive = body.value("substitutive", false);
  const std::string previous = TextOf(body, "previous");
  if (previous.size() > 9 || previous.find_first_not_of("0123456789") != std::string::npos)
    throw ApiError{422, "the previous declaration is a number", "previous"};
  d.previous = previous.empty() ? 0 : std::stoi(previous);
  return d;
}

json SummaryJson(ApiContext& context, std::int32_t id) {
  auto service = Service(context.paths, "kolvar.cDeclaraciones");
  const Value summary = Invoke(*service, "ObtenerResumen", {Value(id)});
  const Value counts = Invoke(*service, "ObtenerDetalles", {Value(id)});
  static const char* const groups[] = {"issued", "received", "investment", "intraCommunity", "all"};
  json result{{"groups", json::array()}, {"books", json::object()}};
  for (int g = 0; g <= 4; ++g)
    result["groups"].push_back({{"group", groups[g]},
                                {"records", summary(g, 0).toDouble()},
                                {"base", summary(g, 1).toDouble()},
                                {"tax", summary(g, 2).toDouble()},
                                {"total", summary(g, 3).toDouble()},
                                {"costBase", summary(g, 4).toDouble()}});
  static const char* const books[] = {"all", "E", "F", "I", "J", "R", "S", "U"};
  for (int b = 0; b <= 7; ++b) result["books"][books[b]] = counts(b).toDouble();
  return result;
}

}  // namespace

void AddDeclarationRoutes(httplib::Server& server, ApiContext& context) {
  server.Get(R"(/api/declarants/(\d+)/declarations)",
             Guarded(context, [&](const httplib::Request& request) {
               const auto declarant = KeyParam(request, 1);
               RequireDeclarant(context, declarant);
               json list = json::array();
               for (const auto& d : DeclarationsOf(context, declarant))
                 list.push_back(DeclarationJson(d));
               return list;
             }));
  server.Post(R"(/api/declarants/(\d+)/declarations)",
              Guarded(
                  context,
                  [&](const httplib::Request& request) {
                    const auto declarant = KeyParam(request, 1);
                    Declaration d = FromBody(declarant, JsonBody(request));
                    RequireDeclarant(context, declarant);
                    d.sequence = NextSequence(context, d);
                    auto service = Service(context.paths, "kolvar.cDeclaraciones");
                    const auto key =
                        Invoke(*service, "GuardarDeclaracion", DeclarationArgs(d, 0)).toLong();
                    return DeclarationJson(FindDeclaration(context, key));
                  },
                  201));
  server.Get(R"(/api/declarations/(\d+))", Guarded(context, [&](const httplib::Request& request) {
               return DeclarationJson(FindDeclaration(context, KeyParam(request, 1)));
             }));
  server.Post(R"(/api/declarations/(\d+)/duplicate)",
              Guarded(
                  context,
                  [&](const httplib::Request& request) {
                    Declaration d = FindDeclaration(context, KeyParam(request, 1));
                    d.sequence = NextSequence(context, d);
                    auto service = Service(context.paths, "kolvar.cDeclaraciones");
                    const auto key =
                        Invoke(*service, "DuplicarDeclaracion", DeclarationArgs(d, d.id)).toLong();
                    return DeclarationJson(FindDeclaration(context, key));
                  },
                  201));
  server.Delete(R"(/api/declarations/(\d+))",
                Guarded(context, [&](const httplib::Request& request) {
                  const Declaration d = FindDeclaration(context, KeyParam(request, 1));
                  auto service = Service(context.paths, "kolvar.cDeclaraciones");
                  Invoke(*service, "EliminarDeclaracion", {Value(d.id)});
                  return json{{"deleted", d.id}};
                }));
  server.Get(R"(/api/declarations/(\d+)/summary)",
             Guarded(context, [&](const httplib::Request& request) {
               const Declaration d = FindDeclaration(context, KeyParam(request, 1));
               return SummaryJson(context, d.id);
             }));
}

}  // namespace kolvar::serve
