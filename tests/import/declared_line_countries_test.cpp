// The rules that read the reference database: the country, the member state
// of a foreign identifier on the first day of the period, and book U.
#include <gtest/gtest.h>

#include "import/declared_line_fields.h"
#include "support/fixture.h"

namespace kolvar::testing {
namespace {

class CountryLineValidation : public DatabaseTest {
 protected:
  Findings Check(const std::string& book, int year, std::int16_t period, const Fields& changes) {
    LineRun run = ForYear(year);
    run.period = period;
    run.mdblec = referencePath;
    run.mdbmod = userPath;
    Value fields = DeclaredFields(book, year, changes);
    return Validate(fields, run);
  }
};

TEST_F(CountryLineValidation, CountryAndForeignIdentifier) {
  EXPECT_TRUE(Check("E", 2013, 5, {{"PAIS", "FR"}}).empty());
  EXPECT_EQ(Check("E", 2013, 5, {{"PAIS", "QQ"}}), (Findings{{52, "QQ"}}));
  // Croatia joined on 1 July 2013: its identifiers count from that period on.
  const Fields croatian = {{"CNIPR", "2"}, {"NIFDPR", "HR33392005961"}};
  EXPECT_EQ(Check("I", 2013, 5, croatian), (Findings{{109, "HR33392005961"}}));
  EXPECT_TRUE(Check("I", 2013, 7, croatian).empty());
  EXPECT_EQ(Check("I", 2013, 7, {{"CNIPR", "2"}, {"NIFDPR", "HR33392005962"}}),
            (Findings{{29, "HR33392005962"}}));
  // A foreign party with a name abroad is identified without a Spanish one.
  EXPECT_TRUE(Check("E", 2013, 5, {{"NIF", ""}, {"PAIS", "FR"}, {"NIFDPR", "X1"}}).empty());
}

TEST_F(CountryLineValidation, IntraCommunityBookInRowOrder) {
  const Fields base = {{"CNIPR", "2"}, {"NIFDPR", "DE136695976"}};
  EXPECT_TRUE(Check("U", 2013, 5, base).empty());
  Fields bad = base;
  bad.insert({{"PDOI_TOI", ""},
              {"PDOI_CD", "X"},
              {"PDOI_CEM", "US"},
              {"PDOI_PDE", "  1"},
              {"PDOI_DESBIEN", " "}});
  EXPECT_EQ(Check("U", 2013, 5, bad),
            (Findings{{25, ""}, {26, "X"}, {44, "US"}, {45, "  1"}, {46, ""}}));
  EXPECT_EQ(Check("U", 2013, 5, {{"CNIPR", "1"}, {"PDOI_TOI", "C"}}),
            (Findings{{54, "1"}, {25, "C"}}));
}

TEST_F(CountryLineValidation, DatabaseFailureRaisesWithTheRoutineAsSource) {
  LineRun run = ForYear(2013);
  run.mdblec = (dir / "missing.mdb").string();
  Value fields = DeclaredFields("E", 2013, {{"PAIS", "FR"}});
  const Error e = ExpectError(err::kFileNotFound, [&] { Validate(fields, run); });
  EXPECT_EQ(e.source(), "Importacion.ValidarDeclarado");
}

}  // namespace
}  // namespace kolvar::testing
