// The reference database read from a read-only file, and by a user who
// cannot write the folder it is in; a read-only user database refuses the
// transfer with the tagged error.
// Files only: permissions and read-only files are the embedded engine's.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "reference/datos_generales.h"
#include "support/child_process.h"
#include "support/fixture.h"
#include "transfer/traspaso.h"

namespace kolvar::testing {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

class ReadOnlyPlace : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    place = dir / "solo-lectura";
    fs::create_directory(place);
    placedReference = (place / "referencia.db").string();
    placedUser = (place / "anterior.db").string();
    CreateReferenceDatabase(placedReference);
    CreateUserDatabase(placedUser, UserLayout::Earlier);
    chmod(placedReference.c_str(), 0444);
    chmod(placedUser.c_str(), 0444);
    chmod(place.c_str(), 0555);
  }
  void TearDown() override {
    chmod(place.c_str(), 0755);
    DatabaseTest::TearDown();
  }
  // What the library reads from the placed reference database, as one text.
  std::string Reading() {
    cDatosGenerales datos;
    datos.mdblec(placedReference);
    const Value rows =
        datos.CargarResultado("SELECT codigo FROM TPaises WHERE codigo LIKE 'F?' ORDER BY codigo");
    std::string out = datos.ObtenerDesPais("FR", 0) + "|" + datos.ObtenerDesPais("FR", 1) + "|" +
                      datos.RecogerRutaURL() + "|";
    for (int r = 1; r <= rows.ubound(2); ++r) out += rows(0, r).toString() + ",";
    return out;
  }
  std::vector<std::string> FilesInPlace() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(place))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path place;
  std::string placedReference, placedUser;
};

TEST_F(ReadOnlyPlace, ReferenceDatabaseIsReadFromAReadOnlyFileAndByAUserWhoCannotWriteTheFolder) {
  const std::string expected =
      "FRANCIA|FRANTZIA|https://www.example.org/kolvar/|FI,FJ,FK,FM,FO,FR,";
  const std::vector<std::string> files{"anterior.db", "referencia.db"};
  // First the user who cannot write there, before anything else opens the files.
  if (geteuid() == 0) {
    const auto [out, status] = RunInChild([&](std::string& out) {
      if (setgid(kNobody) != 0 || setuid(kNobody) != 0) throw std::runtime_error("setuid");
      if (access(place.c_str(), W_OK) == 0 || access(placedReference.c_str(), W_OK) == 0)
        throw std::runtime_error("the place is writable");
      out = Reading();
      cTraspaso transfer;
      transfer.mdbmod(placedUser);
      try {
        transfer.Traspaso();
        out += "|transfer ran";
      } catch (const Error& e) {
        out += "|" + std::to_string(e.number()) + " " + e.description();
      }
    });
    ASSERT_EQ(status, 0) << out;
    EXPECT_EQ(out.substr(0, expected.size()), expected);
    EXPECT_EQ(out.substr(expected.size()).rfind("|3027 cTraspaso.Traspaso ", 0), 0u) << out;
    EXPECT_EQ(FilesInPlace(), files);
  }
  // The read-only file, as the user who runs the tests.
  EXPECT_EQ(Reading(), expected);
  EXPECT_EQ(FilesInPlace(), files);
  if (geteuid() != 0) GTEST_SKIP() << "switching to an unprivileged user needs root";
}

}  // namespace
}  // namespace kolvar::testing
