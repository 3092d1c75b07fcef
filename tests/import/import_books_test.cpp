// Records of the received-invoice, investment-goods and intra-community books
// imported through the driver, every stored column compared by value, with
// the state mark on and off.
#include "import/lines.h"
#include "support/fixture.h"

namespace kolvar::testing {
namespace {

// The fields common to every book: each column holds a value no other holds.
Placed Common(std::string_view book, std::string_view key) {
  return {{1, "2340201412345678Z12345678Z11111111H"},
          {36, "PEREZ GARCIA"},
          {78, "1"},
          {99, book},
          {100, key},
          {101, "2014011520140110"},
          {117, "02100 0000000010000 0000000002100 0000000012100 0000000000400F-77"},
          {218, "R7"}};
}

Placed With(Placed fields, const Placed& more) {
  fields.insert(fields.end(), more.begin(), more.end());
  return fields;
}

// Under a cash-basis key with the payment block filled in, its mark blank.
std::string ReceivedCash() {
  return Line(With(Common("R", "1"), {{236, "000000000000000012"},
                                      {254, "03Recibos 1 a 3"},
                                      {336, " 0000000000250"},
                                      {350, "20140120 000000009000CES7620770024003102575766"}}));
}

// Without a key, the payment block zero.
std::string ReceivedPlain() {
  return Line(With(Common("S", " "), {{236, "000000000000000034"},
                                      {254, "05Recibos 5 a 9"},
                                      {336, "N0000000000150"},
                                      {350, "00000000 000000000000"}}));
}

std::string Investment(std::string_view book, std::string_view percent, std::string_view good) {
  return Line(With(Common(book, " "), {{236, percent},
                                       {239, " 0000000001250Bien usado"},
                                       {293, "N000000000030020140102"},
                                       {315, good}}));
}

std::string IntraCommunity() {
  return Line(With(Common("U", " "), {{18, "                  "},
                                      {76, "FR2FR40303265045"},
                                      {236, "ADDE004Piezas"},
                                      {278, "Calle 1"},
                                      {318, "Berlin"},
                                      {340, "10115"},
                                      {350, "Otros"}}));
}

class ImportBooks : public PerEngine<DatabaseTest> {
 protected:
  void Import(bool estatal, const std::vector<std::string>& lines) {
    auto import = CreateObject("kolvar.cImportacion");
    import->Let("mdblec", Value(referencePath));
    import->Let("mdbmod", Value(userPath));
    import->Let("Declaracion", Value("7"));
    import->Let("Ejercicio", Value(std::int32_t{2014}));
    import->Let("Periodo", Value(std::int16_t{3}));
    import->Let("Periodicidad", Value(std::int16_t{1}));
    import->Let("EjercicioMin", Value(std::int32_t{2009}));
    import->Let("EjercicioMax", Value(std::int32_t{2014}));
    import->Let("Estatal", Value(estatal));
    for (const std::string& line : lines) {
      for (const char* pass : {"ValDeclaracion", "importDeclarado"}) {
        std::vector<Value> args{Value(line), Value(), Value(std::int32_t{7})};
        import->Call(pass, args);
        EXPECT_EQ(import->Get("Resultado").toLong(), 0)
            << pass << " " << line.substr(98, 2) << ": " << args[1](0, 0).toString() << " "
            << args[1](1, 0).toString();
      }
    }
  }
};
KOLVAR_PER_ENGINE(ImportBooks);

TEST_P(ImportBooks, EveryColumnOfEachBookIsStoredWithTheStateMarkOnAndOff) {
  for (bool estatal : {false, true}) {
    SCOPED_TRACE(estatal ? "Estatal" : "not Estatal");
    ExecUser("DELETE FROM tOperadores");
    for (const char* t : {"tdpfr", "tdpbi", "tdpdoi"}) ExecUser(std::string("DELETE FROM ") + t);
    Import(estatal,
           {DeclarantLine(), ReceivedCash(), ReceivedPlain(), Investment("I", "075", "MAQUINA"),
            Investment("J", "050", "NAVE"), IntraCommunity()});
    const std::string common = "|20140115|20140110|2100|10000|2100|12100|400|F-77|R7\n";
    const std::string spanish = "7|12345678Z|11111111H|PEREZ GARCIA||1||";
    EXPECT_EQ(RowsUser("SELECT CSCI, NIF, NREP, NOMBRE, PAIS, CNIPR, NIFDPR, CDTL, CDO, FDE, FDO, "
                       "TIPOIMP, BIMP, CUOTA, IMPTF, BASEIMPCOSTE, IDFACTURA, NODEREG "
                       "FROM tOperadores ORDER BY CSDO"),
              spanish + "R|1" + common + spanish + "S|" + common + spanish + "I|" + common +
                  spanish + "J|" + common + "7|||PEREZ GARCIA|FR|2|FR40303265045|U|" + common);
    // Only a cash-basis key takes the state mark.
    EXPECT_EQ(
        RowsUser("SELECT o.CDTL, NOFAC, NOREG, IIA, d.CD, MP, MP_CC, FMP, IP, MAR FROM tdpfr d "
                 "JOIN tOperadores o USING (CSCI, CSDO) ORDER BY CSDO"),
        "R|12|3|Recibos 1 a 3|250|C|ES7620770024003102575766        |20140120|9000|" +
            std::string(estatal ? "S" : " ") + "\nS|34|5|Recibos 5 a 9|-150| |" +
            std::string(32, ' ') + "|0|0| \n");
    EXPECT_EQ(
        RowsUser("SELECT o.CDTL, PAD, RAD, IDE, RADE, FIU, IDBIEN FROM tdpbi d "
                 "JOIN tOperadores o USING (CSCI, CSDO) ORDER BY CSDO"),
        "I|75|1250|Bien usado|-300|20140102|MAQUINA\nJ|50|1250|Bien usado|-300|20140102|NAVE\n");
    EXPECT_EQ(
        RowsUser("SELECT o.CDTL, TOI, d.CD, CEM, PDE, DESBIEN, DOI, POI, CP, OFOD FROM tdpdoi d "
                 "JOIN tOperadores o USING (CSCI, CSDO) ORDER BY CSDO"),
        "U|A|D|DE|4|Piezas|Calle 1|Berlin|10115|Otros\n");
  }
}

}  // namespace
}  // namespace kolvar::testing
