#include "dbaccess/general.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "core/text.h"
#include "kolvar/error.h"

namespace kolvar::General {

namespace {

constexpr std::string_view kApostrophe = "'";
constexpr std::string_view kAcute = "\xC2\xB4";  // ´

bool AllOf(const std::string& s, std::string_view allowed) {
  return s.find_first_not_of(allowed) == std::string::npos;
}

// A number laid out by a pattern of `n` copies of `c`: '0' pads with zeros,
// '#' shows the digits alone; other characters stand for themselves.
std::string FormatPattern(double value, std::size_t n, char c) {
  if (c != '0' && c != '#') return std::string(n, c);
  const double rounded = std::round(value);  // half away from zero, as formatting does
  std::string digits = NumberToText(std::fabs(rounded));
  if (c == '0' && digits.size() < n) digits.insert(0, n - digits.size(), '0');
  if (c == '#' && digits == "0") digits.clear();
  return (rounded < 0 ? "-" : "") + digits;
}

// Text formatted with "00" and read back as a whole number.
std::int16_t TwoDigitsAsInteger(const std::string& text) {
  const Value v(text);
  if (!IsNumeric(v)) return v.toInteger();  // raises the conversion error
  return Value(FormatPattern(v.toDouble(), 2, '0')).toInteger();
}

}  // namespace

Value CargarBuffer(db::Recordset& rs, std::int16_t intModo) {
  if (rs.recordCount() < 1) return Value::Null();
  rs.moveLast();
  rs.moveFirst();
  const std::int32_t fields = rs.fieldCount();
  if (intModo == 0) {
    Value buffer = Value::Array({{0, fields}});
    std::int32_t k = 0;
    while (!rs.eof()) {
      for (std::int32_t j = 0; j < fields; ++j) buffer(k++) = CampoATexto(rs.field(j));
      rs.moveNext();
    }
    return buffer;
  }
  const std::int32_t rows = rs.recordCount();
  if (intModo == 1) {
    Value buffer = Value::Array({{0, rows - 1}});
    std::int32_t k = 0;
    while (!rs.eof()) {
      buffer(k++) = CampoATexto(rs.field(0));
      rs.moveNext();
    }
    return buffer;
  }
  Value buffer = Value::Array({{0, fields}, {0, rows}});
  std::int32_t r = 0;
  while (!rs.eof()) {
    ++r;
    for (std::int32_t j = 0; j < fields; ++j) buffer(j, r) = CampoATexto(rs.field(j));
    rs.moveNext();
  }
  return buffer;
}

std::string CampoATexto(const Value& v) {
  if (v.isNull()) return "";
  return text::Replace(v.toString(), kAcute, kApostrophe);
}

std::string QuitarApostrofo(std::string s) {
  return text::Replace(std::move(s), kApostrophe, kAcute);
}

double BC(const Value& v) {
  try {
    if (!v.isNull() && Compare(v, Value("")) == 0) return 0;
    try {
      return v.toDouble();
    } catch (const Error& e) {
      if (e.number() != err::kTypeMismatch) throw;
      return 0;
    }
  } catch (const Error& e) {
    throw e.Tagged("General.BC\r\n");
  }
}

Value CB(Value& v) {
  try {
    if (v.isNull()) return v;  // neither blank nor a number: passes through
    if (text::Trim(v.toString()).empty()) v = Value(std::int16_t{0});
    if (std::fabs(Value(text::Trim(v.toString())).toDouble()) == 0) return Value("");
    return v;
  } catch (const Error& e) {
    throw e.Tagged("General.CB\r\n");
  }
}

std::string Rellenar(double dblValor, std::int16_t intLongitud, const std::string& strCaracter) {
  const std::string first = text::Left(strCaracter, 1);
  if (first.empty() || intLongitud < 1) return FormatPattern(dblValor, 0, '#');
  if (first.size() > 1) {  // a character outside ASCII stands for itself
    std::string out;
    for (int i = 0; i < intLongitud; ++i) out += first;
    return out;
  }
  return FormatPattern(dblValor, static_cast<std::size_t>(intLongitud), first[0]);
}

bool EsNumeroConGuion(const std::string& s) {
  return AllOf(s, "0123456789-");
}

bool EsNumero(const std::string& s) {
  return AllOf(s, "0123456789");
}

namespace {

// ValidarFecha of a date written as eight digits, its usual shape, without
// the conversions of the general case (same answers).
bool EightDigitDateValid(const std::string& s) {
  const auto number = [&](std::size_t from, std::size_t count) {
    int n = 0;
    for (std::size_t i = from; i < from + count; ++i) n = n * 10 + (s[i] - '0');
    return n;
  };
  const int year = number(0, 4), month = number(4, 2), day = number(6, 2);
  if (year == 0 && month == 0 && day == 0) return true;  // zero counts as blank
  if (month < 1 || month > 12) return false;
  int last = 31;
  if (month == 4 || month == 6 || month == 9 || month == 11) last = 30;
  if (month == 2) last = year % 4 == 0 ? 29 : 28;
  return day >= 1 && day <= last;
}

}  // namespace

bool ValidarFecha(std::string& strFecha) {
  if (strFecha.size() == 8 &&
      std::all_of(strFecha.begin(), strFecha.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return EightDigitDateValid(strFecha);
  Value date(strFecha);
  const Value blankOrZero = CB(date);
  strFecha = date.toString();
  if (blankOrZero.type() == VarType::String && blankOrZero.toString().empty()) return true;
  if (text::Len(text::Trim(strFecha)) != 8) return false;
  const std::string year = text::Left(strFecha, 4);
  const std::string month = text::Mid(strFecha, 5, 2);
  const std::string day = text::Right(strFecha, 2);
  const auto blank = [](const std::string& s) { return text::Trim(s).empty(); };
  if (blank(year) && blank(month) && blank(day)) return true;
  if (!IsNumeric(Value(year)) || !IsNumeric(Value(month)) || !IsNumeric(Value(day))) return false;
  const double m = Value(month).toDouble();
  const double d = Value(day).toDouble();
  if (m < 1 || m > 12) return false;
  double last = 31;
  if (m == 4 || m == 6 || m == 9 || m == 11) last = 30;
  if (m == 2) last = std::fmod(Value(year).toDouble(), 4) == 0 ? 29 : 28;
  return d >= 1 && d <= last;
}

std::int16_t TipoPeriodo(const std::string& strPeriodo) {
  return strPeriodo == "1T" || strPeriodo == "2T" || strPeriodo == "3T" || strPeriodo == "4T" ? 2
                                                                                              : 1;
}

std::int16_t MesFinPeriodo(const std::string& strPeriodo) {
  if (strPeriodo == "1T") return 3;
  if (strPeriodo == "2T") return 6;
  if (strPeriodo == "3T") return 9;
  if (strPeriodo == "4T") return 12;
  if (EsNumeroConGuion(strPeriodo)) return TwoDigitsAsInteger(strPeriodo);
  return TwoDigitsAsInteger(text::Left(strPeriodo, 1));
}

bool EsPaisUE(const std::string& strPais) {
  static constexpr std::array<std::string_view, 26> kCodes = {
      "AT", "BE", "BG", "DE", "DK", "EL", "FI", "FR", "GB", "IE", "IT", "LU", "NL",
      "PT", "RO", "SE", "CY", "CZ", "EE", "HU", "LT", "LV", "MT", "PL", "SI", "SK"};
  for (std::string_view code : kCodes)
    if (strPais == code) return true;
  return false;
}

std::string DosDigitos(std::int16_t n) {
  return (n < 10 ? "0" : "") + std::to_string(n);
}

}  // namespace kolvar::General
