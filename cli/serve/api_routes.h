// The JSON API under /api/, one registration per group of screens.
#pragma once

#include <httplib.h>

#include "serve/api_support.h"

namespace kolvar::serve {

class ImportJobs;

void AddSettingsRoutes(httplib::Server& server, ApiContext& context);
void AddDeclarantRoutes(httplib::Server& server, ApiContext& context);
void AddDeclarationRoutes(httplib::Server& server, ApiContext& context);
void AddRecordRoutes(httplib::Server& server, ApiContext& context);
void AddImportExportRoutes(httplib::Server& server, ApiContext& context, ImportJobs& jobs);

}  // namespace kolvar::serve
