// kolvar: the command-line client of the library.
#include <kolvar/kolvar.h>

#include <filesystem>
#include <iostream>
#include <string>

#include "serve/serve_command.h"

namespace {

int Usage() {
  std::cerr << "usage: kolvar init <folder>   create a user and a reference database\n";
  return 2;
}

// Creates both databases in the folder and reports what they hold.
int Init(const std::filesystem::path& folder) {
  std::filesystem::create_directories(folder);
  const std::string user = (folder / "kolvar-usuario.db").string();
  const std::string reference = (folder / "kolvar-referencia.db").string();
  for (const auto& p : {user, reference})
    if (std::filesystem::exists(p)) {
      std::cout << "exists, kept: " << p << '\n';
    }
  if (!std::filesystem::exists(user)) kolvar::CreateUserDatabase(user);
  if (!std::filesystem::exists(reference)) kolvar::CreateReferenceDatabase(reference);

  auto connection = kolvar::CreateObject("kolvar.cConexionDAO");
  const auto count = [&](int which, const std::string& path, const char* table) {
    connection->Let("mdb", kolvar::Value(static_cast<std::int32_t>(which)));
    std::vector<kolvar::Value> none;
    connection->Call("CrearWorkSpace", none);
    std::vector<kolvar::Value> args{kolvar::Value(path)};
    connection->Call("AbrirBD", args);
    std::vector<kolvar::Value> sql{kolvar::Value(std::string("SELECT count(*) FROM ") + table)};
    auto rs = connection->Call("openRecordset", sql).toObject();
    std::vector<kolvar::Value> first{kolvar::Value(std::int32_t{0})};
    const auto n = rs->Call("Fields", first).toObject()->Get("Value").toLong();
    connection->Call("Cerrar", none);
    return n;
  };
  std::cout << "user database:      " << user << '\n'
            << "  declarants: " << count(0, user, "TDeclarante")
            << ", declarations: " << count(0, user, "TDeclaraciones")
            << ", declared records: " << count(0, user, "tOperadores") << '\n';
  std::cout << "reference database: " << reference << '\n';
  for (const char* table : {"TPaises", "TPROVINCIAS", "TSIGLASVIA", "TOperaciones", "TMedioCobro"})
    std::cout << "  " << table << ": " << count(1, reference, table) << " rows\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc >= 2 && std::string(argv[1]) == "serve")
      return kolvar::serve::ServeMain(argc - 1, argv + 1);
    if (argc == 3 && std::string(argv[1]) == "init") return Init(argv[2]);
    return Usage();
  } catch (const kolvar::Error& e) {
    std::cerr << "kolvar: error " << e.number() << ": " << e.description() << '\n';
    return 1;
  }
}
