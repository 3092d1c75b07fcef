// Declarations of a declarant: list, add, duplicate, delete; a declaration's
// summary.

#include "serve/api_routes.h"
#include "serve/declaration_lookup.h"

namespace kolvar::serve {

namespace {

void RequireDeclarant(const cli::Library& library, std::int32_t key) {
  for (const auto& row : library.Declarants())
    if (row.key == key) return;
  throw ApiError{404, "unknown declarant: " + std::to_string(key)};
}

Declaration FromBody(std::int32_t declarant, const json& body) {
  Declaration d;
  d.declarant = declarant;
  const std::string year = TextOf(body, "year");
  if (year.size() != 4 || year.find_first_not_of("0123456789") != std::string::npos)
    throw ApiError{422, "the year is four digits", "year"};
  d.year = std::stoi(year);
  SetPeriod(d, TextOf(body, "period"));
  d.complementary = body.value("complementary", false) ? "C" : "";
  d.substitutive = body.value("substitutive", false) ? "S" : "";
  const std::string previous = TextOf(body, "previous");
  if (previous.size() > 9 || previous.find_first_not_of("0123456789") != std::string::npos)
    throw ApiError{422, "the previous declaration is a number", "previous"};
  d.previous = previous.empty() ? 0 : std::stoi(previous);
  return d;
}

json SummaryJson(const cli::Library& library, std::int32_t id) {
  const Value summary = library.Summary(id);
  const Value counts = library.Counts(id);
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
               const cli::Library library = LibraryOf(context);
               RequireDeclarant(library, declarant);
               json list = json::array();
               for (const auto& d : library.DeclarationsOf(declarant))
                 list.push_back(DeclarationJson(d));
               return list;
             }));
  server.Post(R"(/api/declarants/(\d+)/declarations)",
              Guarded(
                  context,
                  [&](const httplib::Request& request) {
                    const auto declarant = KeyParam(request, 1);
                    Declaration d = FromBody(declarant, JsonBody(request));
                    const cli::Library library = LibraryOf(context);
                    RequireDeclarant(library, declarant);
                    d.sequence = library.NextSequence(d);
                    return DeclarationJson(FindDeclaration(context, library.SaveDeclaration(d)));
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
                    const cli::Library library = LibraryOf(context);
                    d.sequence = library.NextSequence(d);
                    return DeclarationJson(
                        FindDeclaration(context, library.DuplicateDeclaration(d.key, d)));
                  },
                  201));
  server.Delete(R"(/api/declarations/(\d+))",
                Guarded(context, [&](const httplib::Request& request) {
                  const Declaration d = FindDeclaration(context, KeyParam(request, 1));
                  LibraryOf(context).DeleteDeclaration(d.key);
                  return json{{"deleted", d.key}};
                }));
  server.Get(R"(/api/declarations/(\d+)/summary)",
             Guarded(context, [&](const httplib::Request& request) {
               const Declaration d = FindDeclaration(context, KeyParam(request, 1));
               return SummaryJson(LibraryOf(context), d.key);
             }));
}

}  // namespace kolvar::serve
