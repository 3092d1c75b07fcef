#include "export_command.h"

#include "errors.h"
#include "form340_writer.h"
#include "ui_text.h"

namespace kolvar::cli {

std::vector<std::string> ExportLines(const Library& library, std::int32_t declaration, Lang lang) {
  const auto decl = library.FindDeclaration(declaration);
  if (!decl) throw UsageError(Format(Say::UnknownDeclaration, lang, {std::to_string(declaration)}));
  const auto declarant = library.LoadDeclarant(decl->declarant);
  if (!declarant)
    throw UsageError(Format(Say::UnknownDeclarant, lang, {std::to_string(decl->declarant)}));
  return ComposeFile(*declarant, *decl, library.Totals(declaration), library.FileGrid(declaration));
}

long ExportDeclaration(const Library& library, std::int32_t declaration, const std::string& path,
                       Encoding encoding, Lang lang) {
  const std::vector<std::string> lines = ExportLines(library, declaration, lang);
  WriteForm340File(path, lines, encoding);
  return static_cast<long>(lines.size()) - 1;
}

}  // namespace kolvar::cli
