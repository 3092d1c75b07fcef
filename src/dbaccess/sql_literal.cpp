#include "dbaccess/sql_literal.h"

#include "kolvar/error.h"

namespace kolvar {

namespace {

[[noreturn]] void RaiseShape(std::string_view what) {
  Raise(err::kSyntax,
        "Error de sintaxis en la expresión de la consulta: " + std::string(what) + ".");
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace

std::string SqlText(std::string_view text) {
  if (text.find('\'') != std::string_view::npos)
    RaiseShape("falta un operador en el texto '" + std::string(text) + "'");
  if (text.find('\0') != std::string_view::npos) RaiseShape("carácter nulo en un texto");
  std::string out;
  out.reserve(text.size() + 2);
  out += '\'';
  out += text;
  out += '\'';
  return out;
}

std::string SqlTexts(const std::vector<std::string>& texts) {
  std::string out;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (i > 0) out += ", ";
    out += SqlText(texts[i]);
  }
  return out;
}

std::vector<Value> SqlTextValues(const std::vector<std::string>& texts) {
  std::vector<Value> values;
  values.reserve(texts.size());
  for (const std::string& t : texts) {
    SqlText(t);  // refused where its literal would be
    values.emplace_back(t);
  }
  return values;
}

std::string SqlParameters(std::size_t n) {
  std::string out;
  for (std::size_t i = 0; i < n; ++i) out += i == 0 ? "?" : ", ?";
  return out;
}

std::string SqlNumber(std::int32_t n) {
  return std::to_string(n);
}

std::string SqlNumber(double n) {
  return Value(n).toString();
}

std::string SqlValueText(const Value& v) {
  return v.isNull() ? std::string() : v.toString();
}

std::string SqlNumberText(std::string_view text) {
  std::size_t b = 0, e = text.size();
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  std::size_t i = b;
  if (i < e && (text[i] == '-' || text[i] == '+')) ++i;
  std::size_t digits = 0, points = 0;
  for (; i < e; ++i) {
    if (text[i] >= '0' && text[i] <= '9')
      ++digits;
    else if (text[i] == '.' && points == 0)
      ++points;
    else
      break;
  }
  if (digits == 0 || i != e) RaiseShape("se esperaba un número y hay '" + std::string(text) + "'");
  return std::string(text);
}

}  // namespace kolvar
