#include "arguments.h"

#include <sstream>

#include "amounts.h"
#include "errors.h"
#include "ui_text.h"

namespace kolvar::cli {

long long WholeArgument(const std::string& name, const std::string& text, long long min,
                        long long max, Lang lang) {
  const auto n = ParseWhole(text, min, max);
  if (!n) throw UsageError(Format(Say::BadNumber, lang, {name, text}));
  return *n;
}

std::int32_t KeyArgument(const std::string& name, const std::string& text, Lang lang) {
  return static_cast<std::int32_t>(WholeArgument(name, text, 1, 2147483647, lang));
}

long long CentsArgument(const std::string& name, const std::string& text, Lang lang) {
  const auto n = ParseCents(text);
  if (!n) throw UsageError(Format(Say::BadNumber, lang, {name, text}));
  return *n;
}

std::int32_t DateArgument(const std::string& name, const std::string& text, Lang lang) {
  const auto d = ParseDate(text);
  if (!d) throw UsageError(Format(Say::BadDate, lang, {name, text}));
  return *d;
}

std::string ChoiceArgument(const std::string& name, const std::string& text,
                           const std::string& choices, Lang lang) {
  std::istringstream words(choices);
  for (std::string w; words >> w;)
    if (w == text) return text;
  throw UsageError(Format(Say::BadChoice, lang, {name, text, choices}));
}

}  // namespace kolvar::cli
