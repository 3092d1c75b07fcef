// The frame and the rules of the fields common to every book.
#include <gtest/gtest.h>

#include "import/declared_line_fields.h"
#include "support/fixture.h"

namespace kolvar::testing {
namespace {

TEST(DeclaredLineValidation, CleanRecordGivesOneEmptyEntryAndWrongLengthStopsAll) {
  for (const char* book : {"E", "F", "R", "S", "I", "J"})
    for (int year : {2011, 2013, 2014}) {
      Value fields = DeclaredFields(book, year);
      const Value errores = Importacion::ValidarDeclarado(fields, 500, "", "", year, 5, 1, 1,
                                                          std::string(500, ' '), true);
      EXPECT_EQ(errores.ubound(2), 0) << book << year;
      EXPECT_TRUE(errores(0, 0).isEmpty() && errores(1, 0).isEmpty()) << book << year;
    }
  for (std::size_t length : {499u, 501u, 0u}) {
    LineRun run = ForYear(2013);
    run.length = length;
    Value fields = DeclaredFields("E", 2013, "NIF=X|CDTL=X|FDE=ABC");
    EXPECT_EQ(Validate(fields, run), Expected("67:")) << length;
  }
}

TEST(DeclaredLineValidation, CommonFindingsComeInRowOrder) {
  EXPECT_EQ(
      Validate("I", 2013,
               "EJERCICIO=2O13|NIF=12345678A|NREP=X|CNIPR=7|CDTL=X|CDO=Z|FDE=-2013011|"
               "FDO=20130230|TIPOIMP=20000|BIMP=50000000010000|CUOTA= 00000000021A0|"
               "IMPTF=&0000000012100|BASEIMPCOSTE="),
      Expected("43:2O13|23:12345678A|12:X|29:7|64:X|65:Z|55:-2013011|56:-2013011|"
               "58:20130230|66:200|90:50000000010000|61:00000000021A0|92:&0000000012100|93:"));
  EXPECT_TRUE(Validate("I", 2013, "TIPOIMP=10000|CNIPR=12").empty());
  EXPECT_EQ(Validate("I", 2013, "TIPOIMP=10001"), Expected("66:100.01"));
  EXPECT_EQ(Validate("I", 2013, "TIPOIMP= 2100"), Expected("59: 2100"));
}

// Odd but as designed: a hyphen inside a date passes the digits-or-minus test
// and the date check then fails with a type mismatch, which leaves the routine
// as an error instead of a finding.
TEST(DeclaredLineValidation, HyphenInsideADateRaisesInsteadOfAFinding) {
  for (const char* change : {"FDE=2013-115", "FDO=2013-115"}) {
    const Error e = ExpectError(13, [&] { Validate("E", 2013, change); });
    EXPECT_EQ(e.source(), "Importacion.ValidarDeclarado") << change;
    EXPECT_NE(e.description().find("General.CB"), std::string::npos) << e.description();
  }
}

// Odd but as designed: the unidentified-party rule asks for a non-empty
// residence key, so a missing key (29 from the digit check) spares it.
TEST(DeclaredLineValidation, IdentifiersAndTheUnidentifiedPartyEvenWithoutAKey) {
  EXPECT_EQ(Validate("E", 2013, "NIF=|NREP=X"), Expected("24:X|12:X|53:"));
  EXPECT_TRUE(Validate("E", 2013, "NIF=|BIMP= 0000000009999").empty());
  EXPECT_TRUE(Validate("R", 2013, "NIF=|CDO=B").empty());
  EXPECT_TRUE(Validate("I", 2013, "NIF=").empty());
  EXPECT_EQ(Validate("E", 2013, "NIF=|BIMP= 0000000009999|NOMBRE="), Expected("53:"));
  EXPECT_EQ(Validate("E", 2013, "NIF=|CNIPR="), Expected("29:"));
  // A party at home with only an identifier abroad is still unidentified.
  EXPECT_EQ(Validate("E", 2013, "NIF=|NIFDPR=ABC"), Expected("53:ABC"));
}

TEST(DeclaredLineValidation, OperationKeysAndZeroIssueDateByYear) {
  EXPECT_EQ(Validate("I", 2011, "CDO=R"), Expected("65:R"));
  EXPECT_TRUE(Validate("I", 2012, "CDO=R").empty());
  EXPECT_EQ(Validate("I", 2013, "CDO=1"), Expected("65:1"));
  EXPECT_TRUE(Validate("I", 2014, "CDO=Z").empty());
  EXPECT_TRUE(Validate("", 2011, "CDO=").empty());
  EXPECT_EQ(Validate("X", 2013, ""), Expected("64:X"));

  EXPECT_EQ(Validate("E", 2011, "FDE=00000000"), Expected("73:00000000"));
  EXPECT_EQ(Validate("F", 2013, "FDE=00000000"), Expected("73:00000000"));
  for (const auto& [code, text] : Validate("E", 2013, "FDE=00000000|PFE_IPM=1|PFE_EJERMET=2013"))
    EXPECT_NE(code, 73) << text;
  for (int year : {2011, 2014})
    EXPECT_EQ(Validate("R", year, "FDE=00000000"), Expected("73:00000000")) << year;
  EXPECT_EQ(Validate("S", 2013, "FDE="), Expected("55:|73:"));
}

}  // namespace
}  // namespace kolvar::testing
