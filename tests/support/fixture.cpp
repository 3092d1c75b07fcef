#include "support/fixture.h"

#include <unistd.h>

#include <atomic>

#include "dbaccess/conexion.h"

namespace kolvar::testing {

void DatabaseTest::SetUp() {
  static std::atomic<int> counter{0};
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  dir = std::filesystem::temp_directory_path() / ("kolvar-" + std::to_string(getpid()) + "-" +
                                                  std::to_string(counter++) + "-" + info->name());
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  userPath = (dir / "usuario.db").string();
  referencePath = (dir / "referencia.db").string();
  CreateUserDatabase(userPath);
  CreateReferenceDatabase(referencePath);
}

void DatabaseTest::TearDown() {
  // Release the files the shared connection may still hold.
  for (int which : {0, 1}) {
    try {
      Conexion().mdb(which);
      Conexion().Cerrar();
    } catch (const Error&) {
    }
  }
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}

namespace {
Value Scalar(int which, const std::string& path, const std::string& sql) {
  Conexion().mdb(which);
  Conexion().InicializaBD(path);
  auto rs = Conexion().openRecordset(sql);
  Value v = rs->eof() ? Value::Null() : rs->field(0);
  Conexion().Cerrar();
  return v;
}
}  // namespace

void DatabaseTest::ExecUser(const std::string& sql) {
  Conexion().mdb(0);
  Conexion().InicializaBD(userPath);
  Conexion().execute(sql);
  Conexion().Cerrar();
}

Value DatabaseTest::ScalarUser(const std::string& sql) {
  return Scalar(0, userPath, sql);
}
std::string DatabaseTest::RowsUser(const std::string& sql) {
  Conexion().mdb(0);
  Conexion().InicializaBD(userPath);
  auto rs = Conexion().openRecordset(sql);
  std::string out;
  for (; !rs->eof(); rs->moveNext()) {
    for (int i = 0; i < rs->fieldCount(); ++i) {
      const Value v = rs->field(i);
      out += (i ? "|" : "") + (v.isNull() ? std::string("NULL") : v.toString());
    }
    out += "\n";
  }
  Conexion().Cerrar();
  return out;
}

Value DatabaseTest::ScalarReference(const std::string& sql) {
  return Scalar(1, referencePath, sql);
}

}  // namespace kolvar::testing
