// Splitting of declared-record lines into FieldBuffers, the step the import
// runs once per line of files with millions of lines.
#include <cstdio>
#include <string>
#include <vector>

#include "bench_run.h"
#include "core/utf8.h"
#include "import/importacion.h"

namespace {

// A 500-character declared record of the book, year and name given.
std::string Record(char book, const char* year, std::u32string_view name, int i) {
  std::u32string line(500, U' ');
  const auto put = [&](int start, std::u32string_view text) {
    for (std::size_t k = 0; k < text.size(); ++k) line[start - 1 + k] = text[k];
  };
  const auto ascii = [](const std::string& s) { return std::u32string(s.begin(), s.end()); };
  put(1, U"2340");
  put(5, ascii(year));
  put(9, U"12345678Z");
  put(18, U"B12345674");
  put(36, name);
  put(76, U"ES1");
  put(99, std::u32string(1, static_cast<char32_t>(book)));
  put(100, U"1");
  put(101, U"2014010320140103");
  put(117, U"21,00");
  put(122, U"N0000000012345 0000000002592 0000000014937 0000000000000");
  put(178, ascii("F-" + std::to_string(i)));
  for (int p = 236; p <= 499; ++p) line[p - 1] = U'0' + p % 10;
  put(500, U"X");
  return kolvar::utf8::Encode(line);
}

}  // namespace

int main(int argc, char** argv) {
  const long lines = kolvar::bench::SizeArgument(argc, argv, 1000000L, "declared-record lines");
  std::vector<std::string> samples;
  const char books[] = "EFRSIJU";
  for (int i = 0; i < 28; ++i)
    samples.push_back(Record(books[i % 7], i % 2 ? "2014" : "2011",
                             i % 4 ? U"EMPRESA DE PRUEBA SL" : U"MUÑOZ ÁLVAREZ, JOSÉ", i));

  std::size_t carried = 0;  // lines of books E/F from 2014: row 37 carried
  const auto start = kolvar::bench::Clock::now();
  for (long n = 0; n < lines; ++n) {
    const kolvar::Value b =
        kolvar::Importacion::DesglosarRegistroDeclarado(samples[n % samples.size()], true);
    carried += b(kolvar::Importacion::kFilasDeclarado, 1).isEmpty() ? 0 : 1;
  }
  const double s = kolvar::bench::Since(start);
  std::printf("%ld declared-record lines split in %.2f s: %.0f lines/s (%zu carrying row 37)\n",
              lines, s, lines / s, carried);
  kolvar::bench::PrintLoadAverage("end");
  return 0;
}
