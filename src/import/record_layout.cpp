// The fixed-width layout of the two record types of a form-340 line, as one
// table per record part, and the one routine that cuts a line by a table.
#include <array>
#include <span>

#include "core/utf8.h"
#include "import/finding_fields.h"
#include "import/importacion.h"

namespace kolvar::Importacion {

namespace {

enum class Treatment { AsIs, Trimmed, RightTrimmed, Signed, SignedTrimmed, Mark };
enum class Since { Always, Year2012, Year2014 };

struct FieldSpec {
  std::string_view key;
  std::int16_t start;  // 1-based character position
  std::int16_t width;
  Treatment treatment;
  Since since = Since::Always;
};

using T = Treatment;

constexpr FieldSpec kDeclarante[] = {
    {"TIPOREG", 1, 1, T::AsIs},
    {"MODELO", 2, 3, T::AsIs},
    {"EJERCICIO", 5, 4, T::AsIs},
    {"NIFDTE", 9, 9, T::Trimmed},
    {"NOMBRE", 18, 40, T::Trimmed},
    {"TS", 58, 1, T::Trimmed},
    {"TELEFONO", 59, 9, T::Trimmed},
    {"NOMBREPC", 68, 40, T::Trimmed},
    {"DECLMOD", 108, 3, T::AsIs},
    {"DECLEJE", 111, 4, T::AsIs},
    {"DECLPER", 115, 2, T::AsIs},
    {"DECLNUM", 117, 4, T::AsIs},
    {"DECLCOM", 121, 1, T::Trimmed},
    {"DECLSUS", 122, 1, T::Trimmed},
    {"DECLIDA", 123, 13, T::AsIs},
    {"PERIODO", 136, 2, T::Trimmed},
    {"NUMREG", 138, 9, T::AsIs},
    {"TOTALBI", 147, 18, T::Signed},
    {"TOTALCUO", 165, 18, T::Signed},
    {"TOTALFAC", 183, 18, T::Signed},
    {"BLANCOS", 201, 190, T::SignedTrimmed},
    {"NIFREP", 391, 9, T::Trimmed},
    {"BLANCOS", 400, 98, T::SignedTrimmed},
};

constexpr FieldSpec kDeclaradoComun[] = {
    {"TIPOREG", 1, 1, T::Trimmed},        {"MODELO", 2, 3, T::Trimmed},
    {"EJERCICIO", 5, 4, T::Trimmed},      {"NIFDTE", 9, 9, T::Trimmed},
    {"NIF", 18, 9, T::Trimmed},           {"NREP", 27, 9, T::Trimmed},
    {"NOMBRE", 36, 40, T::Trimmed},       {"PAIS", 76, 2, T::Trimmed},
    {"CNIPR", 78, 1, T::Trimmed},         {"NIFDPR", 79, 20, T::RightTrimmed},
    {"CDTL", 99, 1, T::Trimmed},          {"CDO", 100, 1, T::Trimmed},
    {"FDE", 101, 8, T::Trimmed},          {"FDO", 109, 8, T::Trimmed},
    {"TIPOIMP", 117, 5, T::AsIs},         {"BIMP", 122, 14, T::Signed},
    {"CUOTA", 136, 14, T::Signed},        {"IMPTF", 150, 14, T::Signed},
    {"BASEIMPCOSTE", 164, 14, T::Signed}, {"IDFACTURA", 178, 40, T::Trimmed},
    {"NODEREG", 218, 18, T::Trimmed},
};
constexpr std::int32_t kFilaCDTL = 11;
constexpr std::int32_t kFilaCDO = 12;

constexpr FieldSpec kFacturasEmitidas[] = {
    {"PFE_NOFAC", 236, 8, T::AsIs},
    {"PFE_NOREG", 244, 2, T::AsIs},
    {"PFE_IIA", 246, 80, T::Trimmed},
    {"PFE_IFR", 326, 40, T::Trimmed},
    {"PFE_TRE", 366, 5, T::AsIs},
    {"PFE_CRE", 371, 14, T::Signed},
    {"PFE_SDI", 385, 1, T::AsIs, Since::Year2012},
    {"PFE_REFCAT", 386, 25, T::AsIs, Since::Year2012},
    {"PFE_IPM", 411, 15, T::AsIs, Since::Year2012},
    {"PFE_EJERMET", 426, 4, T::AsIs, Since::Year2012},
    {"PFE_IPPTDI", 430, 15, T::AsIs, Since::Year2012},
    {"PFE_FMC", 445, 8, T::AsIs, Since::Year2014},
    {"PFE_IC", 453, 13, T::Signed, Since::Year2014},
    {"PFE_MC", 466, 1, T::AsIs, Since::Year2014},
    {"PFE_MC_CC", 467, 32, T::AsIs, Since::Year2014},
    {"PFE_MARCA", 500, 1, T::Mark, Since::Year2014},
};

constexpr FieldSpec kFacturasRecibidas[] = {
    {"PFR_NOFAC", 236, 18, T::AsIs},
    {"PFR_NOREG", 254, 2, T::AsIs},
    {"PFR_IIA", 256, 80, T::Trimmed},
    {"PFR_CD", 336, 14, T::Signed},
    {"PFR_FMP", 350, 8, T::AsIs, Since::Year2014},
    {"PFR_IP", 358, 13, T::Signed, Since::Year2014},
    {"PFR_MP", 371, 1, T::AsIs, Since::Year2014},
    {"PFR_MP_CC", 372, 32, T::AsIs, Since::Year2014},
    {"PFR_MARCA", 405, 1, T::Mark, Since::Year2014},
};

constexpr FieldSpec kBienesInversion[] = {
    {"PBI_PAD", 236, 3, T::AsIs},     {"PBI_RAD", 239, 14, T::Signed},
    {"PBI_IDE", 253, 40, T::Trimmed}, {"PBI_RADE", 293, 14, T::Signed},
    {"PBI_FIU", 307, 8, T::AsIs},     {"PBI_IDBIEN", 315, 17, T::Trimmed},
};

constexpr FieldSpec kIntracomunitarias[] = {
    {"PDOI_TOI", 236, 1, T::Trimmed},      {"PDOI_CD", 237, 1, T::Trimmed},
    {"PDOI_CEM", 238, 2, T::Trimmed},      {"PDOI_PDE", 240, 3, T::AsIs},
    {"PDOI_DESBIEN", 243, 35, T::Trimmed}, {"PDOI_DOI", 278, 40, T::Trimmed},
    {"PDOI_POI", 318, 22, T::Trimmed},     {"PDOI_CP", 340, 10, T::Trimmed},
    {"PDOI_OFOD", 350, 135, T::Trimmed},
};

// Book groups in the order their letters are tested.
struct BookGroup {
  std::string_view letters;
  std::span<const FieldSpec> rows;
};
constexpr BookGroup kGrupos[] = {
    {"EF", kFacturasEmitidas},
    {"RS", kFacturasRecibidas},
    {"IJ", kBienesInversion},
    {"U", kIntracomunitarias},
};

// The last character position any table reads.
constexpr int kUltimaPosicion = 500;

// Byte offsets of the line's first 500 characters, found in one pass, so that
// each field is a slice without scanning the line again.
class CharOffsets {
 public:
  explicit CharOffsets(std::string_view line) : line_(line) {
    std::size_t pos = 0;
    int i = 0;
    for (; i < kUltimaPosicion && pos < line.size(); ++i) {
      offsets_[i] = static_cast<std::uint32_t>(pos);
      if (static_cast<unsigned char>(line[pos]) < 0x80)
        ++pos;
      else
        utf8::Next(line, pos);
    }
    for (; i <= kUltimaPosicion; ++i) offsets_[i] = static_cast<std::uint32_t>(pos);
  }

  // Characters start .. start + width - 1 (1-based), as far as the line goes.
  std::string_view slice(int start, int width) const {
    const std::uint32_t from = offsets_[start - 1], to = offsets_[start - 1 + width];
    return line_.substr(from, to - from);
  }

 private:
  std::string_view line_;
  std::array<std::uint32_t, kUltimaPosicion + 1> offsets_;
};

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

std::string_view TrimBoth(std::string_view s) {
  s = TrimRight(s);
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  return s;
}

struct SplitContext {
  const CharOffsets& line;
  bool markIsS;  // the mark of this line reads "S" whatever the line holds
  std::int32_t year;
};

bool Carried(Since since, std::int32_t year) {
  switch (since) {
    case Since::Always:
      return true;
    case Since::Year2012:
      return year >= 2012;
    case Since::Year2014:
      return year >= 2014;
  }
  return false;
}

std::string Treat(const FieldSpec& f, const SplitContext& c) {
  const std::string_view raw = c.line.slice(f.start, f.width);
  switch (f.treatment) {
    case T::AsIs:
      return std::string(raw);
    case T::Trimmed:
      return std::string(TrimBoth(raw));
    case T::RightTrimmed:
      return std::string(TrimRight(raw));
    case T::Signed:
      return ConvertirSigno(raw);
    case T::SignedTrimmed:
      return std::string(TrimBoth(ConvertirSigno(raw)));
    case T::Mark:
      return c.markIsS ? std::string("S") : std::string(raw);
  }
  return {};
}

// Fills rows first, first + 1, ... from the table; rows whose year the record
// does not reach stay Empty.
void Fill(Value& buffer, std::int32_t first, std::span<const FieldSpec> rows,
          const SplitContext& c) {
  std::int32_t n = first;
  for (const FieldSpec& f : rows) {
    if (Carried(f.since, c.year)) {
      buffer(n, 0) = Value(Treat(f, c));
      buffer(n, 1) = Value(std::string(f.key));
    }
    ++n;
  }
}

// The fiscal year of positions 5 to 8 as a number; text that is no number
// reads as its leading digits (0 without any), which carries no later block.
std::int32_t YearOf(const CharOffsets& line) {
  return static_cast<std::int32_t>(Val(TrimBoth(line.slice(5, 4))));
}

}  // namespace

std::string ConvertirSigno(std::string_view text) {
  if (text.empty()) return {};
  switch (text.front()) {
    case '-':
      return "&" + std::string(text.substr(1));
    case 'N':
    case 'n':
      return "-" + std::string(text.substr(1));
    default:
      return std::string(text);
  }
}

Value DesglosarRegistroDeclarante(const std::string& line) {
  const CharOffsets offsets(line);
  Value buffer = Value::Array({{0, kFilasDeclarante}, {0, 1}});
  Fill(buffer, 1, kDeclarante, {offsets, false, 0});
  return buffer;
}

Value DesglosarRegistroDeclarado(const std::string& line, bool Estatal) {
  const CharOffsets offsets(line);
  Value buffer = Value::Array({{0, kFilasDeclarado}, {0, 1}});
  Fill(buffer, 1, kDeclaradoComun, {offsets, false, 0});

  const std::string letter = buffer(kFilaCDTL, 0).toString();
  const BookGroup* group = nullptr;
  if (letter.size() == 1)
    for (const BookGroup& g : kGrupos)
      if (g.letters.find(letter) != std::string_view::npos) {
        group = &g;
        break;
      }
  if (!group) return buffer;

  const std::string cdo = buffer(kFilaCDO, 0).toString();
  const bool markIsS =
      Estatal && !cdo.empty() && std::string_view("Z12345678").find(cdo) != std::string_view::npos;
  Fill(buffer, static_cast<std::int32_t>(std::size(kDeclaradoComun)) + 1, group->rows,
       {offsets, markIsS, YearOf(offsets)});
  return buffer;
}

std::int32_t FieldPosition(bool declarant, std::string_view key, std::int32_t row) {
  if (declarant) {
    if (row >= 1 && row <= static_cast<std::int32_t>(std::size(kDeclarante)) &&
        kDeclarante[row - 1].key == key)
      return kDeclarante[row - 1].start;
    return 0;
  }
  for (const FieldSpec& f : kDeclaradoComun)
    if (f.key == key) return f.start;
  for (const BookGroup& g : kGrupos)
    for (const FieldSpec& f : g.rows)
      if (f.key == key) return f.start;
  return 0;
}

}  // namespace kolvar::Importacion
