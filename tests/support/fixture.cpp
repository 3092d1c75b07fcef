#include "support/fixture.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>

#include "dbaccess/conexion.h"
#include "dbaccess/pg/pg_connection.h"
#include "support/pg_server.h"

namespace kolvar::testing {

std::string EngineName(const ::testing::TestParamInfo<Engine>& info) {
  return info.param == Engine::Server ? "PostgreSQL" : "SQLite";
}

void DatabaseTest::SetUp() {
  static std::atomic<int> counter{0};
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info->name();
  std::replace(name.begin(), name.end(), '/', '-');
  const int number = counter++;
  dir = std::filesystem::temp_directory_path() /
        ("kolvar-" + std::to_string(getpid()) + "-" + std::to_string(number) + "-" + name);
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  userPath = (dir / "usuario.db").string();
  referencePath = (dir / "referencia.db").string();
  if (engine() == Engine::Server) {
    const auto configured = TestServer();
    if (!configured) {
      if (ServerRequired()) FAIL() << "KOLVAR_REQUIRE_PG=1 but KOLVAR_TEST_PG is not set";
      GTEST_SKIP() << "no PostgreSQL server (KOLVAR_TEST_PG)";
    }
    server = *configured;
    schema = "kt_" + std::to_string(getpid()) + "_" + std::to_string(number);
    ServerSession admin(server);
    ASSERT_FALSE(HasFailure());
    admin.Query("DROP SCHEMA IF EXISTS " + schema + " CASCADE");
    admin.Query("CREATE SCHEMA " + schema);
    userPath = WithSchema(server, schema);
  }
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
  if (!schema.empty()) {
    db::pg::ForgetThreadConnections();
    ServerSession admin(server);
    for (const std::string& other : otherSchemas_)
      admin.Query("DROP SCHEMA IF EXISTS " + other + " CASCADE");
    admin.Query("DROP SCHEMA IF EXISTS " + schema + " CASCADE");
  }
}

std::string DatabaseTest::OtherUserDatabase(const std::string& name, UserLayout layout) {
  std::string path = (dir / (name + ".db")).string();
  if (OnServer()) {
    const std::string other = schema + "_" + name;
    ServerSession admin(server);
    admin.Query("DROP SCHEMA IF EXISTS " + other + " CASCADE");
    admin.Query("CREATE SCHEMA " + other);
    otherSchemas_.push_back(other);
    path = WithSchema(server, other);
  }
  CreateUserDatabase(path, layout);
  return path;
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
