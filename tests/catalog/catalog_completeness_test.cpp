// Every finding code the validators can return and every error number the
// library raises has a message in both languages. The codes come from the
// library's own tables, which the validators must use to add a finding; the
// error numbers from the library's sources, where each is raised.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <span>
#include <sstream>
#include <string>

#include "catalog/catalog.h"
#include "core/finding_codes.h"

namespace kolvar::cli {
namespace {

// Codes or numbers in `wanted` without a Castilian or a Basque text.
template <class Codes, class Lookup>
std::string Untranslated(const Codes& wanted, Lookup text) {
  std::string missing;
  for (int code : wanted)
    for (Lang lang : {Lang::es, Lang::eu})
      if (text(code, lang).empty())
        missing += " " + std::to_string(code) + (lang == Lang::es ? "/es" : "/eu");
  return missing;
}

template <class Codes>
std::string NotIn(const std::vector<int>& rows, const Codes& library) {
  const std::set<int> known(library.begin(), library.end());
  std::string stale;
  for (int code : rows)
    if (!known.count(code)) stale += " " + std::to_string(code);
  return stale;
}

TEST(CatalogCompleteness, EveryFindingCodeOfBothLayoutsHasBothTexts) {
  const struct {
    FindingLayout layout;
    std::span<const std::int16_t> codes;
  } layouts[] = {{FindingLayout::OnScreen, findings::kOnScreen},
                 {FindingLayout::Import, findings::kImport}};
  for (const auto& [layout, codes] : layouts) {
    SCOPED_TRACE(layout == FindingLayout::OnScreen ? "on screen" : "import");
    EXPECT_EQ(Untranslated(codes, [&](int c, Lang l) { return FindingText(c, layout, l); }), "");
    // A row for a code the layout never returns is a message nobody reads.
    EXPECT_EQ(NotIn(KnownFindingCodes(layout), codes), "");
  }
}

std::string Read(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The numbers raised in the library's sources: literals and err:: constants
// given to Raise or to a new Error.
std::set<int> RaisedErrorNumbers() {
  const std::filesystem::path root = KOLVAR_SOURCE_DIR;
  std::map<std::string, int> named;
  const std::regex constant(R"(inline constexpr int (k\w+) = (\d+);)");
  const std::string header = Read(root / "include/kolvar/error.h");
  for (std::sregex_iterator m(header.begin(), header.end(), constant), end; m != end; ++m)
    named[(*m)[1]] = std::stoi((*m)[2]);

  std::set<int> numbers;
  const std::regex raised(R"(\b(?:Raise|Error)\(\s*(?:err::(k\w+)|(\d+))\s*[,)])");
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root / "src")) {
    const std::string source = Read(entry.path());
    for (std::sregex_iterator m(source.begin(), source.end(), raised), end; m != end; ++m) {
      if ((*m)[2].matched) {
        numbers.insert(std::stoi((*m)[2]));
        continue;
      }
      const auto it = named.find((*m)[1]);
      EXPECT_NE(it, named.end()) << "err::" << (*m)[1] << " in " << entry.path();
      if (it != named.end()) numbers.insert(it->second);
    }
  }
  return numbers;
}

TEST(CatalogCompleteness, EveryErrorNumberRaisedHasBothTexts) {
  const std::set<int> raised = RaisedErrorNumbers();
  // The scan finds the numbers every client meets, so it reads the sources right.
  for (int n : {5, 6, 9, 13, 94, 429, 438, 3021, 3024, 3044, 3050, 3061, 3075, 3078, 3163, 3219,
                3265, 3420, 3464})
    EXPECT_TRUE(raised.count(n)) << n;
  EXPECT_EQ(Untranslated(raised, ErrorText), "");
  EXPECT_EQ(NotIn(KnownErrorNumbers(), raised), "");
}

}  // namespace
}  // namespace kolvar::cli
