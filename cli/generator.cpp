#include "generator.h"

#include <cmath>
#include <cstdio>
#include <string_view>

namespace kolvar::cli {

namespace {

// A small, fully specified generator (splitmix64), so that a seed gives the
// same file with every compiler and library.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  long Below(long n) { return static_cast<long>(Next() % static_cast<std::uint64_t>(n)); }
  bool Chance(int percent) { return Below(100) < percent; }
  template <class T, std::size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[Below(N)];
  }

 private:
  std::uint64_t state_;
};

struct ForeignId {
  const char* country;
  const char* id;
};
// EU VAT numbers whose check digits are right.
const ForeignId kForeign[] = {{"FR", "40303265045"},  {"DE", "136695976"}, {"IT", "00743110157"},
                              {"PT", "501964843"},    {"DK", "13585628"},  {"BE", "0403019261"},
                              {"NL", "004495445B01"}, {"LU", "15027442"}};
const char* const kNames[] = {"ARRIZABALAGA Y ASOCIADOS SL", "SUMINISTROS GOIERRI SA",
                              "FERRETERIA LA UNION SL",      "TALLERES ZUBIETA SCOOP",
                              "DISTRIBUCIONES DEL NORTE SA", "AGROTURISMO IBARRA SL",
                              "PANADERIA ETXEBERRIA SL",     "CONSTRUCCIONES ARANA SA",
                              "LIBRERIA KALE NAGUSIA SL",    "TRANSPORTES UROLA SL"};
const char* const kForeignNames[] = {"SOCIETE GENERALE DE FOURNITURES",
                                     "MASCHINENBAU KOENIG GMBH",
                                     "TESSUTI ROSSI SRL",
                                     "VINHOS DO DOURO LDA",
                                     "NORDISK HANDEL APS",
                                     "BRUXELLES TRADING SA"};
const std::int32_t kRates[] = {2100, 2100, 2100, 1000, 400};

std::string Num(long long n) {
  return std::to_string(n);
}

std::string SpanishId(Random& random) {
  const long n = 10000000 + random.Below(89999999);
  char id[16];
  std::snprintf(id, sizeof id, "%08ld%c", n, "TRWAGMYFPDXBNJZSQVHLCKE"[n % 23]);
  return id;
}

char PickBook(Random& random) {
  const long p = random.Below(100);
  if (p < 40) return 'E';
  if (p < 45) return 'F';
  if (p < 78) return 'R';
  if (p < 83) return 'S';
  if (p < 89) return 'I';
  if (p < 92) return 'J';
  return 'U';
}

}  // namespace

GeneratedFile Generate(const GeneratorOptions& o) {
  Random random(o.seed);
  GeneratedFile file;
  Declarant& dte = file.declarant;
  dte.taxId = "A58818501";
  dte.name = "EMPRESA DE MUESTRA SA";
  dte.phone = "943000000";
  dte.contact = "ANE ETXEBERRIA";
  Declaration& decl = file.declaration;
  decl.year = o.year;
  decl.period = static_cast<std::int16_t>(o.month);
  decl.periodicity = "1";
  decl.sequence = 1;

  const bool cashBasis = o.year >= 2014;
  char datePrefix[16];
  std::snprintf(datePrefix, sizeof datePrefix, "%04d%02d", o.year, o.month);
  const auto date = [&](long day) {
    return std::string(datePrefix) + (day < 10 ? "0" : "") + Num(day);
  };

  Value& grid = file.grid;
  grid = Value::Array({{0, kGridColumns}, {0, static_cast<std::int32_t>(o.records)}});
  double sumBase = 0, sumTax = 0, sumTotal = 0;
  for (std::int32_t r = 1; r <= o.records; ++r) {
    const auto set = [&](int column, std::string text) {
      grid(column, r) = Value(std::move(text));
    };
    const char book = PickBook(random);
    const bool foreign = book == 'U' || random.Chance(15);
    set(kCSDO, Num(r));
    if (foreign) {
      const ForeignId& f = random.Pick(kForeign);
      set(kNOMBRE, random.Pick(kForeignNames));
      set(kPAIS, f.country);
      set(kCNIPR, "2");
      set(kNIFDPR, std::string(f.country) + f.id);
    } else {
      set(kNIF, SpanishId(random));
      set(kNOMBRE, random.Pick(kNames));
      set(kCNIPR, "1");
    }
    set(kCDTL, std::string(1, book));
    const bool issued = book == 'E' || book == 'F';
    const bool received = book == 'R' || book == 'S';
    const bool cash = cashBasis && (issued || received) && random.Chance(15);
    set(kCDO, cash ? "Z" : "");
    const std::string day = date(1 + random.Below(28));
    set(kFDE, day);
    set(kFDO, day);
    const std::int32_t rate = random.Pick(kRates);
    long long base = 1000 + random.Below(5000000);
    if (random.Chance(6)) base = -base;  // a credit note
    const long long tax = std::llround(base * rate / 10000.0);
    set(kTIPOIMP, Num(rate));
    set(kBIMP, Num(base));
    set(kCUOTA, Num(tax));
    set(kIMPTF, Num(base + tax));
    set(kBASEIMPCOSTE, "0");
    set(kIDFACTURA, std::string(1, book) + "-" + Num(o.year) + "-" + Num(100000 + r));
    set(kNODEREG, Num(r));
    sumBase += static_cast<double>(base);
    sumTax += static_cast<double>(tax);
    sumTotal += static_cast<double>(base + tax);

    const std::string paid = date(1 + random.Below(28));
    if (issued) {
      set(kFeNOFAC, "1");
      set(kFeNOREG, "0");
      const bool surcharge = !foreign && random.Chance(10);
      set(kFeTRE, surcharge ? "520" : "0");
      set(kFeCRE, surcharge ? Num(std::llround(base * 0.052)) : "0");
      if (o.year >= 2012) {
        set(kFeSDI, "0");
        set(kFeREFCAT, std::string(25, ' '));
        set(kFeIPM, "0");
        set(kFeEJERMET, "0");
        set(kFeIPPTDI, "0");
      }
      if (cash) {
        set(kFeFMC, paid);
        set(kFeIC, Num(base + tax < 0 ? -(base + tax) : base + tax));
        set(kFeMC, "C");
        set(kFeMC_CC, "ES7620770024003102575766        ");
        set(kFeMAR, " ");
      } else if (cashBasis) {  // a block of zeros and blanks: no cash basis
        set(kFeFMC, "0");
        set(kFeIC, "0");
        set(kFeMC, " ");
        set(kFeMC_CC, std::string(32, ' '));
        set(kFeMAR, " ");
      }
    } else if (received) {
      set(kFrNOFAC, "1");
      set(kFrNOREG, "0");
      set(kFrCD, Num(tax));
      if (cash) {
        set(kFrFMP, paid);
        set(kFrIP, Num(base + tax < 0 ? -(base + tax) : base + tax));
        set(kFrMP, "O");
        set(kFrMP_CC, "PAGO EN EFECTIVO                ");
        set(kFrMAR, " ");
      } else if (cashBasis) {
        set(kFrFMP, "0");
        set(kFrIP, "0");
        set(kFrMP, " ");
        set(kFrMP_CC, std::string(32, ' '));
        set(kFrMAR, " ");
      }
    } else if (book == 'I' || book == 'J') {
      set(kBiPAD, "100");
      set(kBiRAD, Num(tax));
      set(kBiRADE, Num(tax));
      set(kBiFIU, day);
      set(kBiIDBIEN, "BIEN-" + Num(r));
    } else {
      set(kDoiTOI, random.Chance(50) ? "A" : "B");
      set(kDoiCD, random.Chance(50) ? "D" : "R");
      set(kDoiCEM, grid(kPAIS, r).toString());
      set(kDoiPDE, "0");
      set(kDoiDESBIEN, "MERCANCIA EN DEPOSITO");
      set(kDoiDOI, "POLIGONO INDUSTRIAL 12");
      set(kDoiPOI, "IRUN");
      set(kDoiCP, "20305");
    }
  }
  file.totals = Value::Array({{0, 3}});
  file.totals(0) = Value(Num(std::llround(sumBase)));
  file.totals(1) = Value(Num(std::llround(sumTax)));
  file.totals(2) = Value(Num(std::llround(sumTotal)));
  file.lines = ComposeFile(dte, decl, file.totals, grid);
  return file;
}

}  // namespace kolvar::cli
