#include "declared/statement_text.h"

#include "kolvar/error.h"

namespace kolvar::declared {

std::string StoredText(const Value& v) {
  return v.isNull() ? std::string() : v.toString();
}

std::string JoinQuoted(const std::vector<std::string>& values) {
  std::string out;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) out += "', '";
    out += values[i];
  }
  return out;
}

std::vector<Value> LiteralValues(std::vector<std::string> texts) {
  std::vector<Value> values;
  values.reserve(texts.size());
  for (std::string& t : texts) {
    if (t.find('\'') != std::string::npos)
      Raise(err::kSyntax,
            "Error de sintaxis en la instrucción SQL: falta un operador en '" + t + "'.");
    values.emplace_back(std::move(t));
  }
  return values;
}

std::string Placeholders(std::size_t n) {
  std::string out;
  for (std::size_t i = 0; i < n; ++i) out += i == 0 ? "?" : ", ?";
  return out;
}

}  // namespace kolvar::declared
