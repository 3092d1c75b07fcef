// The rules of the fields common to every book, in the order they are tried.
#include <memory>
#include <vector>

#include "core/text.h"
#include "declared/field_checks.h"
#include "declared/record_view.h"
#include "declared/validation.h"
#include "kolvar/object.h"

namespace kolvar::declared {

using namespace record_index;

namespace {

constexpr std::int32_t kFirstNewKeysPeriod = 201201;
// Both sets begin with a blank; the later one has no Y.
constexpr std::string_view kKeysFrom2012 = " ABCDEFGHIJKLMNOPQRSTUVWXZ12345678";
constexpr std::string_view kKeysBefore2012 = " ABCDEFGHIJKLMNOPQ";

bool CallBool(Object& o, std::string_view method, Value a, Value b) {
  std::vector<Value> args{std::move(a), std::move(b)};
  return o.Call(method, args).toBool();
}

// Issued or received invoices: the trimmed letter occurs in "EFRS".
bool InvoiceBook(const RecordView& r) {
  const std::string book = r.trimmed(kCDTL);
  return !book.empty() && Occurs(book, "EFRS");
}

// A party of an invoice book known neither by a Spanish identifier nor by a
// foreign one, unless its key or a small amount excuses it.
bool UnidentifiedParty(const RecordView& r) {
  const bool homeOrNoCountry = r.equals(kPAIS, "ES") || r.empty(kPAIS);
  return InvoiceBook(r) && r.empty(kNIF) && r.isNot(kCNIPR, 2) &&
         (r.empty(kNIFDPR) || homeOrNoCountry) && (r.empty(kNOMBRE) || homeOrNoCountry) &&
         (text::Len(r.text(kCDO)) == 0 || !Occurs(r.text(kCDO), "ABJ")) &&
         (r.empty(kNOMBRE) || r.above(kBIMP, 10000));
}

}  // namespace

void ValidarDeclarado(const Value& vBuffer, Value& vBufferErrores, RecordLookups& lookups) {
  const std::shared_ptr<Object> misc = CreateObject("SvrUtilLib.cMiscelaneos");
  std::shared_ptr<Object> datosGenerales;
  const RecordView r(vBuffer, kPeriodo);
  const auto validNifCif = [&](std::int32_t i) {
    if (!datosGenerales) datosGenerales = CreateObject("kolvar.cDatosGenerales");
    return CallBool(*datosGenerales, "ValidaNifCif", Value(r.text(i)), Value(false));
  };
  const std::int32_t yyyymm = r.periodKey();
  Value out;
  Findings f = Findings::Fresh(out);

  f.check(!r.empty(kNIF) && !validNifCif(kNIF), 0, 23);
  f.check(r.empty(kNIF) && !r.empty(kNREP), 1, 24);
  f.check(!r.empty(kNREP) && !validNifCif(kNREP), 2, 12);
  f.check(!r.empty(kPAIS) && !lookups.ComprobarExistPais(r.text(kPAIS)), 4, 52);
  if (r.is(kCNIPR, 2)) {
    const std::string nifdpr = r.text(kNIFDPR);
    const std::string prefix = text::Left(nifdpr, 2);
    const bool validId = CallBool(*misc, "ValidarNIFExtranjero",
                                  Value(text::Trim(text::Mid(nifdpr, 3))), Value(prefix));
    if (!f.check(!validId, 5, 29))
      f.check(!lookups.comprobarFechaDeIngreso(std::to_string(yyyymm) + "01", prefix), 5, 109);
  }
  f.check(r.empty(kCDTL), 6, 64);
  f.check(UnidentifiedParty(r), 7, 53);
  f.check(r.equals(kCDTL, "U") && r.isNot(kCNIPR, 2), 8, 54);
  const std::string_view keys = yyyymm >= kFirstNewKeysPeriod ? kKeysFrom2012 : kKeysBefore2012;
  f.check(!Occurs(r.text(kCDO), keys), 9, 65);
  if (CheckDate(f, r, kFDE, 10, 55, 56))
    f.check(r.number(kFDE) == 0 && InvoiceBook(r) && yyyymm < kFirstNewKeysPeriod, 10, 73);
  CheckDate(f, r, kFDO, 11, 57, 58);
  CheckLimit(f, r, kTIPOIMP, 12, 59, 10000, 66);
  CheckDigits(f, r, kBIMP, 13, 60);
  CheckDigits(f, r, kCUOTA, 14, 61);
  CheckDigits(f, r, kIMPTF, 15, 62);
  CheckDigits(f, r, kBASEIMPCOSTE, 16, 63);
  vBufferErrores = std::move(out);
}

}  // namespace kolvar::declared
