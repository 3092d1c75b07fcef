// A client outside the repository: creates the connection class by name, opens
// a user database and walks a SELECT.
#include <kolvar/kolvar.h>

#include <iostream>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string path = std::string(argv[1]) + "/consumer.db";
  kolvar::CreateUserDatabase(path);
  auto conn = kolvar::CreateObject("KOLVAR.cconexiondao");
  conn->Let("mdb", kolvar::Value(std::int32_t{0}));
  std::vector<kolvar::Value> none, open{kolvar::Value(path)};
  conn->Call("CrearWorkSpace", none);
  conn->Call("AbrirBD", open);
  for (const char* nif : {"11111111H", "22222222J"}) {
    std::vector<kolvar::Value> insert{kolvar::Value(
        std::string("INSERT INTO TDeclarante (dni_cifd, nombred) VALUES ('") + nif + "', 'X')")};
    conn->Call("execute", insert);
  }
  std::vector<kolvar::Value> select{
      kolvar::Value("SELECT CSDE, dni_cifd FROM TDeclarante ORDER BY CSDE")};
  auto rs = conn->Call("openRecordset", select).toObject();
  std::string seen;
  while (!rs->Get("EOF").toBool()) {
    std::vector<kolvar::Value> name{kolvar::Value("DNI_CIFD")};
    seen += rs->Call("Fields", name).toObject()->Get("Value").toString() + ";";
    rs->Call("MoveNext", none);
  }
  conn->Call("Cerrar", none);
  if (seen != "11111111H;22222222J;") {
    std::cerr << "unexpected rows: " << seen << '\n';
    return 1;
  }
  std::cout << "consumer ok: " << seen << '\n';
  return 0;
}
