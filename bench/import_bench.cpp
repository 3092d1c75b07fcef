// A whole import through the public class: the validation pass and the import
// pass over a file of declared records of an issued-invoice book, with the
// rate in lines per second of each pass.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "kolvar/kolvar.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string Put(std::string line, std::size_t start, const std::string& text) {
  line.replace(start - 1, text.size(), text);
  return line;
}

std::string DeclarantLine() {
  std::string l(500, ' ');
  l = Put(l, 1, "1340201412345678ZEMPRESA");
  l = Put(l, 58, "C912345678");
  l = Put(l, 108, "3402014030002");
  l = Put(l, 123, "0000000000000");
  l = Put(l, 136, "03000000001 00000000000000012 00000000000000002 00000000000000014");
  return l;
}

// An issued invoice of 2014 under the cash basis that passes every rule.
std::string RecordLine(int i) {
  std::string l(500, ' ');
  l = Put(l, 1, "2340201412345678Z12345678Z");
  l = Put(l, 36, "CLIENTE " + std::to_string(i));
  l = Put(l, 78, "1");
  l = Put(l, 99, "E120140115201401150");
  l = Put(l, 118,
          "2100 0000000010000 0000000002100 0000000012100 0000000000000F" + std::to_string(i));
  l = Put(l, 236, "0000000101");
  l = Put(l, 366, "00000 0000000000000");
  l = Put(l, 385, "0" + std::string(25, ' ') + std::string(34, '0'));
  l = Put(l, 445, "20140115 000000010000CES7620770024003102575766");
  return l;
}

double Pass(const std::shared_ptr<kolvar::Object>& import, const char* method,
            const std::vector<std::string>& lines, int& failed) {
  const auto start = Clock::now();
  for (const std::string& line : lines) {
    std::vector<kolvar::Value> args{kolvar::Value(line), kolvar::Value(),
                                    kolvar::Value(std::int32_t{1})};
    import->Call(method, args);
    if (import->Get("Resultado").toLong() != 0) {
      if (failed++ == 0)
        std::printf("first line with findings (%s): code %s\n", method,
                    args[1].isArray() ? args[1](0, 0).toString().c_str() : "?");
    }
  }
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int records = argc > 1 ? std::stoi(argv[1]) : 20000;
  const auto dir = std::filesystem::temp_directory_path() / "kolvar-import-bench";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const std::string user = (dir / "u.db").string(), reference = (dir / "r.db").string();
  kolvar::CreateUserDatabase(user);
  kolvar::CreateReferenceDatabase(reference);

  std::vector<std::string> lines{DeclarantLine()};
  for (int i = 0; i < records; ++i) lines.push_back(RecordLine(i));

  auto import = kolvar::CreateObject("kolvar.cImportacion");
  import->Let("mdblec", kolvar::Value(reference));
  import->Let("mdbmod", kolvar::Value(user));
  import->Let("Declaracion", kolvar::Value("1"));
  import->Let("Ejercicio", kolvar::Value(std::int32_t{2014}));
  import->Let("Periodo", kolvar::Value(std::int16_t{3}));
  import->Let("Periodicidad", kolvar::Value(std::int16_t{1}));
  import->Let("EjercicioMin", kolvar::Value(std::int32_t{2009}));
  import->Let("EjercicioMax", kolvar::Value(std::int32_t{2014}));

  int failed = 0;
  const double validate = Pass(import, "ValDeclaracion", lines, failed);
  const double store = Pass(import, "importDeclarado", lines, failed);
  std::printf("%d declared records (+1 declarant line), %d lines with findings\n", records, failed);
  std::printf("validation pass: %.2f s, %.0f lines/s\n", validate, lines.size() / validate);
  std::printf("import pass:     %.2f s, %.0f lines/s (each record stored with its detail row)\n",
              store, lines.size() / store);
  std::filesystem::remove_all(dir);
  return failed == 0 ? 0 : 1;
}
