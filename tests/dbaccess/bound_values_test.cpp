// Statements with values bound in place of their parameters, on both engines:
// each value converts into its column as its quoted literal would, a value
// its literal would refuse is refused before anything runs, and a wrong
// number of values is the caller's error.
#include "dbaccess/conexion.h"
#include "support/fixture.h"

namespace kolvar::testing {
namespace {

class BoundValues : public PerEngine<DatabaseTest> {
 protected:
  void Run(const std::string& sql, const std::vector<Value>& params) {
    Conexion().mdb(bd340mod);
    Conexion().InicializaBD(userPath);
    Conexion().execute(sql, params);
    Conexion().Cerrar();
  }
  std::string Stored() {
    return RowsUser("SELECT CSCI, NIF, NREP, NOMBRE, BIMP, FDE FROM tOperadores ORDER BY CSDO");
  }
};

constexpr const char* kInsert =
    "INSERT INTO tOperadores (CSCI, NIF, NREP, NOMBRE, BIMP, FDE) VALUES (?, ?, ?, 'QUIEN?', ?, ?)";

TEST_P(BoundValues, ConvertIntoTheirColumnsAndRefuseWhatALiteralWould) {
  if (!Ready()) return;
  // The ? inside the literal is text, not a parameter.
  Run(kInsert, {Value(std::int32_t{7}), Value("12345678Z"), Value::Null(), Value("10.5"),
                Value("20140115")});
  Run(kInsert, {Value(std::int32_t{8}), Value(""), Value("B"), Value(2.25), Value(20140116)});
  const std::string before = Stored();
  EXPECT_EQ(before, "7|12345678Z|NULL|QUIEN?|10.5|20140115\n8||B|QUIEN?|2.25|20140116\n");

  ExpectError(err::kSyntax, [&] {
    Run(kInsert, {Value(std::int32_t{9}), Value("O'BRIEN"), Value(), Value("1"), Value("1")});
  });
  ExpectError(err::kDataType, [&] {
    Run(kInsert, {Value(std::int32_t{9}), Value("X"), Value(), Value("abc"), Value("1")});
  });
  ExpectError(err::kTextTooLong, [&] {
    Run(kInsert,
        {Value(std::int32_t{9}), Value(std::string(16, 'X')), Value(), Value("1"), Value("1")});
  });
  ExpectError(err::kInvalidCall, [&] {
    Run(kInsert, {Value(std::int32_t{9}), Value("X"), Value(), Value("1")});
  });
  ExpectError(err::kInvalidCall, [&] {
    Run(kInsert, {Value(std::int32_t{9}), Value("X"), Value(), Value("1"), Value("1"), Value("1")});
  });
  EXPECT_EQ(Stored(), before);

  // The same text again with other values, and a delete by bound keys.
  Run("DELETE FROM tOperadores WHERE CSCI = ? and NIF = ?", {Value(std::int32_t{7}), Value("X")});
  EXPECT_EQ(Stored(), before);
  Run("DELETE FROM tOperadores WHERE CSCI = ? and NIF = ?",
      {Value(std::int32_t{7}), Value("12345678Z")});
  EXPECT_EQ(Stored(), "8||B|QUIEN?|2.25|20140116\n");
}

KOLVAR_PER_ENGINE(BoundValues);

}  // namespace
}  // namespace kolvar::testing
