// The language setting and the reference look-ups the forms offer.
#include "serve/api_routes.h"

namespace kolvar::serve {

namespace {

// The stored language letter: "C" Castilian (the default), "E" Basque.
std::string LanguageOf(const std::string& letter) {
  return letter == "E" ? "eu" : "es";
}

struct LookupTable {
  const char* kind;
  const char* table;
  const char* code;
  const char* castilian;
  const char* basque;
};

constexpr LookupTable kLookups[] = {
    {"country", "TPaises", "codigo", "PAISCAS", "PAISEUS"},
    {"province", "TPROVINCIAS", "PRO_ID", "PRO_CAS", "PRO_EUS"},
    {"street", "TSIGLASVIA", "codigo", "CAS", "EUS"},
    {"key", "TOperaciones", "codigo", "descripcionc", "descripcione"},
    {"means", "TMedioCobro", "codigo", "descas", "deseus"},
};

}  // namespace

void AddSettingsRoutes(httplib::Server& server, ApiContext& context) {
  server.Get("/api/settings", Guarded(context, [&](const httplib::Request&) {
               auto general = Service(context.paths, "kolvar.cDatosGenerales");
               return json{
                   {"lang", LanguageOf(cli::CallMethod(*general, "ObtenerIdioma", {}).toString())}};
             }));
  server.Put("/api/settings", Guarded(context, [&](const httplib::Request& request) {
               const std::string lang = TextOf(JsonBody(request), "lang");
               if (lang != "es" && lang != "eu")
                 throw ApiError{422, "the language is es or eu", "lang"};
               auto general = Service(context.paths, "kolvar.cDatosGenerales");
               cli::CallMethod(*general, "CambiarIdioma", {Value(lang == "eu" ? "E" : "C")});
               return json{
                   {"lang", LanguageOf(cli::CallMethod(*general, "ObtenerIdioma", {}).toString())}};
             }));
  // Every code of a table with its description in one language (?lang=es|eu).
  server.Get(
      R"(/api/lookups/(\w+))", Guarded(context, [&](const httplib::Request& request) {
        const std::string kind = request.matches[1];
        const bool basque = request.get_param_value("lang") == "eu";
        for (const auto& t : kLookups) {
          if (kind != t.kind) continue;
          auto general = Service(context.paths, "kolvar.cDatosGenerales");
          const std::string sql = std::string("SELECT ") + t.code + ", " +
                                  (basque ? t.basque : t.castilian) + " FROM " + t.table +
                                  " ORDER BY " + t.code;
          json list = json::array();
          for (const auto& row : Rows(cli::CallMethod(*general, "CargarResultado", {Value(sql)})))
            list.push_back({{"code", row[0].isNull() ? "" : row[0].toString()},
                            {"description", row[1].isNull() ? "" : row[1].toString()}});
          return list;
        }
        throw ApiError{404, "unknown look-up: " + kind};
      }));
}

}  // namespace kolvar::serve
