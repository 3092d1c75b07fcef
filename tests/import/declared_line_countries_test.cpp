// The rules that read the reference database: the country, the member state
// of a foreign identifier on the first day of the period, and book U.
#include <gtest/gtest.h>

#include "import/declared_line_fields.h"
#include "support/fixture.h"

namespace kolvar::testing {
namespace {

class CountryLineValidation : public PerEngine<DatabaseTest> {
 protected:
  Findings Check(const std::string& book, std::int16_t period, const std::string& changes) {
    LineRun run = ForYear(2013);
    run.period = period;
    run.mdblec = referencePath;
    run.mdbmod = userPath;
    Value fields = DeclaredFields(book, 2013, changes);
    return Validate(fields, run);
  }
};
KOLVAR_PER_ENGINE(CountryLineValidation);

TEST_P(CountryLineValidation, CountryAndForeignIdentifierByPeriod) {
  EXPECT_TRUE(Check("E", 5, "PAIS=FR").empty());
  EXPECT_EQ(Check("E", 5, "PAIS=QQ"), Expected("52:QQ"));
  EXPECT_TRUE(Check("E", 5, "NIF=|PAIS=FR|NIFDPR=X1").empty());  // identified abroad
  // Croatia joined on 1 July 2013: its identifiers count from that period on.
  EXPECT_EQ(Check("I", 5, "CNIPR=2|NIFDPR=HR33392005961"), Expected("109:HR33392005961"));
  EXPECT_TRUE(Check("I", 7, "CNIPR=2|NIFDPR=HR33392005961").empty());
  EXPECT_EQ(Check("I", 7, "CNIPR=2|NIFDPR=HR33392005962"), Expected("29:HR33392005962"));
}

TEST_P(CountryLineValidation, IntraCommunityBookInRowOrder) {
  const std::string german = "CNIPR=2|NIFDPR=DE136695976";
  EXPECT_TRUE(Check("U", 5, german).empty());
  EXPECT_EQ(Check("U", 5, german + "|PDOI_TOI=|PDOI_CD=X|PDOI_CEM=US|PDOI_PDE=  1|PDOI_DESBIEN= "),
            Expected("25:|26:X|44:US|45:  1|46:"));
  EXPECT_EQ(Check("U", 5, "CNIPR=1|PDOI_TOI=C"), Expected("54:1|25:C"));
}

TEST_P(CountryLineValidation, DatabaseFailureRaisesWithTheRoutineAsSource) {
  LineRun run = ForYear(2013);
  run.mdblec = (dir / "missing.mdb").string();
  Value fields = DeclaredFields("E", 2013, "PAIS=FR");
  const Error e = ExpectError(err::kFileNotFound, [&] { Validate(fields, run); });
  EXPECT_EQ(e.source(), "Importacion.ValidarDeclarado");
}

}  // namespace
}  // namespace kolvar::testing
