// The rules of the book groups: issued invoices with the property letting and
// the cash-basis block, received invoices, investment goods.
#include <gtest/gtest.h>

#include "import/declared_line_fields.h"
#include "import/importacion.h"
#include "import/lines.h"

namespace kolvar::testing {
namespace {

// Odd but as designed: a letting amount that is not a number compares above
// zero, so a bad PFE_IPM also counts as a letting beside invoice data (105).
TEST(BookLineValidation, IssuedFieldsInRowOrderEvenABadLettingAmount) {
  EXPECT_EQ(Validate("F", 2012,
                     "PFE_NOFAC=0000000A|PFE_NOREG=|PFE_TRE=21000|PFE_CRE=X0000000000000|"
                     "PFE_SDI=2|PFE_IPM=00000000000000X|PFE_EJERMET=20A2|PFE_IPPTDI=-1"),
            Expected("47:0000000A|48:|87:210|94:X0000000000000|108:2|100:00000000000000X|"
                     "105:00000000000000X|101:20A2|102:-1"));
  EXPECT_TRUE(Validate("E", 2012, "PFE_TRE=02100|PFE_SDI=4").empty());
  EXPECT_TRUE(Validate("E", 2012, "PFE_TRE=10000").empty());  // a rate of 100.00 at most
  EXPECT_EQ(Validate("E", 2012, "PFE_TRE=10001"), Expected("87:100.01"));
  EXPECT_EQ(Validate("E", 2012, "PFE_REFCAT= REF |PFE_IPM=1").front(), Expected("107:1")[0]);
}

TEST(BookLineValidation, IssuedPropertyLettingByYear) {
  const std::string letting =
      "FDO=00000000|TIPOIMP=00000|BIMP= 0|CUOTA= 0|IMPTF= 0|IDFACTURA=|PFE_IPM=";
  EXPECT_EQ(Validate("E", 2013, letting + "10000|PFE_EJERMET=0000"), Expected("106:0000"));
  EXPECT_EQ(Validate("E", 2013, letting + "0|PFE_EJERMET=2012"), Expected("103:2012"));
  EXPECT_TRUE(Validate("E", 2013, letting + "10000|PFE_EJERMET=2013").empty());
  for (const std::string year : {"2011", "2014"})
    EXPECT_EQ(Validate("E", 2013, letting + "10000|PFE_EJERMET=" + year), Expected("104:" + year));
  for (const std::string data : {"CDO=B", "FDO=20130101", "BIMP= 1", "NODEREG=R1"})
    EXPECT_EQ(Validate("E", 2013, letting + "10000|PFE_EJERMET=2013|" + data),
              Expected("105:10000"))
        << data;
  Value fields = DeclaredFields("E", 2012, letting + "10000|PFE_EJERMET=0000");
  EXPECT_TRUE(Validate(fields, ForYear(2011)).empty());  // gated off by the year
}

TEST(BookLineValidation, CashBasisFollowsTheOperationKeyFrom2014) {
  const std::string paid = "PFE_FMC=20140110|PFE_IC= 000000010000|PFE_MC=C|PFE_MC_CC=ES00111|CDO=";
  EXPECT_TRUE(Validate("E", 2014, paid + "1").empty());
  EXPECT_EQ(Validate("E", 2014, paid + "A"), Expected("129:20140110|129:100|129:C|129:ES00111"));
  EXPECT_EQ(Validate("F", 2014, "CDO=Z"), Expected("113:00000000|112:0|114: "));
  EXPECT_EQ(Validate("E", 2014, "CDO=2|PFE_FMC=20140110|PFE_IC=X000000010000|PFE_MC=T"),
            Expected("120:X000000010000|110:"));
  EXPECT_EQ(Validate("E", 2014, "PFE_IC=0000000000012|PFE_MC_CC=A|PFE_MARCA=N"),
            Expected("129:0.12|111:A|123:N"));
  EXPECT_EQ(Validate("E", 2014, "PFE_MC=X"), Expected("129:X|121:X"));
  Value fields = DeclaredFields("E", 2014, "PFE_MC=X|PFE_MARCA=N");
  EXPECT_TRUE(Validate(fields, ForYear(2013)).empty());  // gated off by the year
  // Received books: the letter of the means is checked only under a cash-basis key.
  EXPECT_EQ(Validate("R", 2014, "PFR_FMP=2014011A|PFR_MP=X|PFR_MARCA=N"),
            Expected("127:2014011A|128:X|123:N"));
  EXPECT_EQ(Validate("R", 2014, "CDO=3|PFR_IP=X000000000000|PFR_MP=X"),
            Expected("113:00000000|120:X000000000000|112:0|121:X"));
  EXPECT_EQ(Validate("S", 2014, "CDO=Z|PFR_FMP=20140301|PFR_IP=-000000001000|PFR_MP=O"),
            Expected("115:"));
  EXPECT_EQ(Validate("S", 2014, "PFR_IP= 00000000000A|PFR_MP_CC=ACC"),
            Expected("125:00000000000A|116:ACC"));
}

// Odd but as designed: the block is found by row number, so an issued record
// of 2013, which carries no such rows, still gets them set when imported.
TEST(BookLineValidation, EmptyCashBlockIsZeroedOnImportEvenWhereTheYearCarriesNone) {
  const std::string blank =
      "CDO=1|PFE_FMC=        |PFE_IC=             |PFE_MC_CC=   |PFR_FMP=        |PFR_IP=    ";
  Value issued = DeclaredFields("E", 2014, blank);
  EXPECT_EQ(Validate(issued, ForYear(2014)), Expected("126:        |124:            |112:0|114: "));
  EXPECT_EQ(issued(33, 0).toString(), "        ");  // a validation pass changes nothing
  EXPECT_TRUE(Validate(issued, ForYear(2014, false)).empty());
  EXPECT_EQ(issued(33, 0).type(), VarType::Integer);
  EXPECT_EQ(issued(34, 0).toLong(), 0);
  for (int n : {35, 36, 37}) EXPECT_EQ(issued(n, 0).type(), VarType::String) << n;
  EXPECT_EQ(issued(36, 0).toString(), "");
  Value received = DeclaredFields("R", 2014, blank);
  EXPECT_TRUE(Validate(received, ForYear(2014, false)).empty());
  EXPECT_EQ(received(27, 0).type(), VarType::Integer);
  EXPECT_TRUE(received(31, 0).isEmpty());
  Value kept = DeclaredFields("E", 2014, blank + "|PFE_MARCA=N");  // anything in it: all checked
  EXPECT_EQ(Validate(kept, ForYear(2014, false)).size(), 5u);
  EXPECT_EQ(kept(37, 0).toString(), "N");
  Value older = DeclaredFields("E", 2013);
  EXPECT_TRUE(Validate(older, ForYear(2013, false)).empty());
  EXPECT_EQ(older(33, 0).toLong(), 0);
  EXPECT_TRUE(older(37, 1).isEmpty());
}

TEST(BookLineValidation, ReceivedAndInvestmentFieldsInRowOrder) {
  EXPECT_EQ(Validate("S", 2013, "PFR_NOFAC=|PFR_NOREG=1A|PFR_CD=-000000000001X"),
            Expected("47:|48:1A|49:000000000001X"));
  EXPECT_EQ(Validate("R", 2013, "PFR_CD=&0000000000001"), Expected("95:&0000000000001"));
  EXPECT_EQ(Validate("J", 2013,
                     "PBI_PAD=101|PBI_RAD=X0000000000000|PBI_RADE= 00000000000A0|"
                     "PBI_FIU=20131301|PBI_IDBIEN=   "),
            Expected("33:101|96:X0000000000000|35:00000000000A0|42:20131301|38:"));
  EXPECT_EQ(Validate("I", 2013, "PBI_PAD=1A0|PBI_RAD= 000000000-001|PBI_FIU=2013O101"),
            Expected("34:1A0|39:000000000-001|40:2013O101"));
}

// A split line of 2014 whose cash-basis block is blank: stored zeroed when
// imported, unless the state-wide mark fills the block for a key-1 record.
TEST(BookLineValidation, SplitLineWithBlankCashBlock) {
  static const std::string blankCash(46, ' ');
  const std::string line = IssuedRecordLine({{445, blankCash}});
  for (bool estatal : {false, true}) {
    Value fields = Importacion::DesglosarRegistroDeclarado(line, estatal);
    const Value errores =
        Importacion::ValidarDeclarado(fields, 500, "", "", 2014, 5, 1, 1, line, false);
    EXPECT_EQ(EntriesOf(errores).size(), estatal ? 4u : 0u) << estatal;
    EXPECT_EQ(fields(34, 0).toString(), estatal ? "             " : "0") << estatal;
  }
}

}  // namespace
}  // namespace kolvar::testing
