// kolvar export: the form-340 file of one declaration.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "catalog/catalog.h"
#include "library.h"
#include "text_file.h"

namespace kolvar::cli {

// The lines of the declaration's file (UTF-8); a UsageError for an unknown
// declaration.
std::vector<std::string> ExportLines(const Library& library, std::int32_t declaration, Lang lang);

// Writes the file; the number of declared records written.
long ExportDeclaration(const Library& library, std::int32_t declaration, const std::string& path,
                       Encoding encoding, Lang lang);

}  // namespace kolvar::cli
