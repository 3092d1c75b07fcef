// The on-screen finding codes against the validators themselves: every cell
// of a clean record of each book and period is spoiled in turn, the validators
// run, and the codes they return must be exactly the on-screen table (a stale
// or a missing code shows as a difference).
#include <gtest/gtest.h>

#include "catalog/sweep.h"
#include "core/finding_codes.h"
#include "declared/record_buffers.h"
#include "declared/sample_records.h"
#include "declared/validation.h"
#include "kolvar/error.h"

namespace kolvar::testing {
namespace {

// Every country exists but XX and QQ; Croatia entered in July 2013.
struct Lookups : declared::RecordLookups {
  bool ComprobarExistPais(const std::string& pais) override { return pais != "XX" && pais != "QQ"; }
  bool comprobarFechaDeIngreso(const std::string& fecha, const std::string& pais) override {
    return pais != "HR" || fecha >= "20130701";
  }
};

void CollectOnScreen(const Value& buffer, Codes& found) {
  Lookups lookups;
  Value errors;
  try {
    declared::ValidarDeclarado(buffer, errors, lookups);
    const std::string book = buffer(8).toString();
    if (book == "E" || book == "F") declared::ValidarDpfe(buffer, errors);
    if (book == "R" || book == "S") declared::ValidarDpfr(buffer, errors);
    if (book == "I" || book == "J") declared::ValidarDpbi(buffer, errors);
    if (book == "U") declared::ValidarDpdoi(buffer, errors);
  } catch (const Error&) {
    // a cell a rule cannot read as a number: the buffer is the client's mistake
  }
  if (errors.isArray())
    for (const auto& [field, code] : Findings(errors)) found.insert(code);
}

TEST(FindingCodeTables, OnScreenValidatorsReturnExactlyTheOnScreenCodes) {
  Codes found;
  for (const char* book : {"E", "R", "I", "U"})
    for (const auto& [year, period] : {std::pair("2011", 12), std::pair("2014", 3)}) {
      Value clean = SampleRecord(1, book);
      clean(19) = year;
      clean(20) = std::int16_t(period);
      for (std::int32_t i = 2; i <= 36; ++i) {
        if (i == 19 || i == 20) continue;
        for (const std::string& v : Spoilers()) {
          Value spoiled = clean;
          spoiled(i) = v;
          CollectOnScreen(spoiled, found);
        }
      }
      // Rules over several fields: a representative without the party's
      // identifier, an unidentified party, a key-2 party of a state not yet a
      // member, the cash-basis fields under a Z key, without means and with one.
      Value representative = clean;
      representative(2) = "";
      representative(3) = "12345678Z";
      CollectOnScreen(representative, found);
      Value party = clean;
      party(2) = "";
      party(9) = "X";
      party(13) = "20000";
      CollectOnScreen(party, found);
      Value croatian = clean;
      croatian(6) = "2";
      croatian(7) = "HR33392005961";
      CollectOnScreen(croatian, found);
      Value cash = clean;
      cash(9) = "Z";
      for (std::int32_t i = 21; i <= 36; ++i) cash(i) = "0";
      for (std::int32_t means : {27, 28, 34, 35}) cash(means) = "";  // R: MP, MP_CC; E: MC, MC_CC
      CollectOnScreen(cash, found);
      cash(27) = "C";
      cash(34) = "C";
      CollectOnScreen(cash, found);
    }
  EXPECT_EQ(Difference(found, TableCodes(findings::kOnScreen)), "");
}

}  // namespace
}  // namespace kolvar::testing
