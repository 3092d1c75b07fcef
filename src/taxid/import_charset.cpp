// Clean-up of imported text to the character set of a form-340 file.
#include <array>
#include <string>
#include <string_view>

#include "core/utf8.h"
#include "taxid/miscelaneos.h"

namespace kolvar {
namespace {

// The characters an imported line may keep: letters, digits, the blank, and the
// punctuation that names, addresses and signed amounts need. Names in Spain
// carry Ñ, Ç, accented vowels and the diaeresis (and Catalan ones the grave
// accent and the middle dot of l·l); the acute accent ´ is what stored text
// holds in place of an apostrophe. Left out on purpose: the apostrophe,
// quotation marks, the backslash, the wildcards * ? % _ and every control
// character, so that no imported text can break or widen an SQL statement.
constexpr std::u32string_view kAllowedPunctuation = U" .,-/&():;";
constexpr std::u32string_view kAllowedOther = U"ÑñÇçºª´·ÁÉÍÓÚÜáéíóúüÀÈÒÏàèòï";

constexpr bool IsAllowed(char32_t c) noexcept {
  if ((c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') || (c >= U'0' && c <= U'9')) return true;
  return kAllowedPunctuation.find(c) != std::u32string_view::npos ||
         kAllowedOther.find(c) != std::u32string_view::npos;
}

// IsAllowed of every ASCII character, looked up by its byte.
constexpr std::array<bool, 128> kAllowedAscii = [] {
  std::array<bool, 128> allowed{};
  for (char32_t c = 0; c < 128; ++c) allowed[c] = IsAllowed(c);
  return allowed;
}();

}  // namespace

std::string cMiscelaneos::ValidarCaracErrEnImp(std::string_view text,
                                               std::string_view replacement) const noexcept {
  char32_t substitute = U' ';
  if (!replacement.empty()) {
    std::size_t pos = 0;
    const char32_t first = utf8::Next(replacement, pos);
    if (IsAllowed(first)) substitute = first;
  }
  try {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
      // A run of allowed ASCII characters is copied as it is.
      const std::size_t run = pos;
      while (pos < text.size() && static_cast<unsigned char>(text[pos]) < 0x80 &&
             kAllowedAscii[static_cast<unsigned char>(text[pos])])
        ++pos;
      out.append(text.substr(run, pos - run));
      if (pos == text.size()) break;
      const std::size_t start = pos;
      const char32_t c = utf8::Next(text, pos);
      // An invalid byte decodes as U+FFFD, which is not allowed: it is replaced
      // as one character.
      if (IsAllowed(c))
        out.append(text.substr(start, pos - start));
      else
        utf8::Append(out, substitute);
    }
    return out;
  } catch (...) {  // only running out of memory can get here
    return std::string();
  }
}

}  // namespace kolvar
