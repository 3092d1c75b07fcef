// A user database with declarations and declared records saved through the
// record service, and the declaration table on the shared connection.
#pragma once

#include <string>

#include "dbaccess/conexion.h"
#include "declarations/declarations_table.h"
#include "declared/record_service.h"
#include "declared/sample_records.h"
#include "support/fixture.h"

namespace kolvar::testing {

class DeclarationsTest : public DatabaseTest {
 protected:
  void OpenUser() {
    Conexion().mdb(bd340mod);
    Conexion().InicializaBD(userPath);
  }
  // Saves a sample record of the book with these amounts (cells 13 to 16).
  void Save(std::int32_t csci, const std::string& book, const std::string& nombre = "Fulano",
            const std::vector<std::string>& amounts = {}) {
    Value b = SampleRecord(csci, book, nombre);
    for (std::size_t i = 0; i < amounts.size(); ++i) b(13 + static_cast<int>(i)) = amounts[i];
    SaveBuffer(b);
  }
  void SaveBuffer(const Value& b) {
    declared::cDeclarado svc;
    svc.mdbmod(userPath);
    svc.EjercicioDestino(2014);
    svc.GuardarDeclarado(b, false);
  }
  void AddDeclaration(int csci, int csde, int year, const std::string& comp = "") {
    ExecUser(
        "INSERT INTO TDeclaraciones (CSCI, CSDE, SECDECI, EJERCICIO, PERNUM, PERDAD, SUST, "
        "COMP, DANT) VALUES (" +
        std::to_string(csci) + ", " + std::to_string(csde) + ", 1, " + std::to_string(year) +
        ", 2, '1', '', '" + comp + "', 0)");
  }
  declarations::cTDeclaraciones t;
};

// Expects error `number` whose description begins with exactly `tag`.
template <class F>
void ExpectTagged(int number, const std::string& tag, F&& f) {
  const std::string d = ExpectError(number, f).description();
  EXPECT_TRUE(d.rfind(tag, 0) == 0 && d.size() > tag.size() && d[tag.size()] != ' ') << d;
}

}  // namespace kolvar::testing
