// Looking texts up: each layout and language has its own text, unknown codes
// give nothing.
#include <gtest/gtest.h>

#include <algorithm>

#include "catalog/catalog.h"

namespace kolvar::cli {
namespace {

TEST(CatalogLookup, TextsByLayoutAndLanguage) {
  EXPECT_EQ(FindingText(56, FindingLayout::OnScreen, Lang::es),
            "La fecha de expedición no es válida.");
  EXPECT_EQ(FindingText(56, FindingLayout::OnScreen, Lang::eu), "Igorpen-data ez da zuzena.");
  // Code 64 is a missing book letter on the screen, a wrong one in a file.
  EXPECT_EQ(FindingText(64, FindingLayout::OnScreen, Lang::es),
            "Falta la clave del libro registro.");
  EXPECT_NE(FindingText(64, FindingLayout::Import, Lang::es),
            FindingText(64, FindingLayout::OnScreen, Lang::es));
  // Code 0 exists only in the import; the line length only there too.
  EXPECT_EQ(FindingText(0, FindingLayout::Import, Lang::eu), "Aitortzailearen IFZ ez da zuzena.");
  EXPECT_TRUE(FindingText(0, FindingLayout::OnScreen, Lang::es).empty());
  EXPECT_TRUE(FindingText(67, FindingLayout::OnScreen, Lang::eu).empty());
  EXPECT_EQ(ErrorText(3024, Lang::es), "No se encuentra el archivo de base de datos.");
  EXPECT_EQ(ErrorText(3024, Lang::eu), "Ez da datu-basearen fitxategia aurkitu.");
}

TEST(CatalogLookup, UnknownCodesAndNumbersGiveNothing) {
  for (int code : {-1, 2, 130, 32767}) {
    EXPECT_TRUE(FindingText(code, FindingLayout::OnScreen, Lang::es).empty()) << code;
    EXPECT_TRUE(FindingText(code, FindingLayout::Import, Lang::eu).empty()) << code;
  }
  EXPECT_TRUE(ErrorText(0, Lang::es).empty());
  EXPECT_TRUE(ErrorText(3025, Lang::eu).empty());
}

TEST(CatalogLookup, KnownCodesAscendWithBothTexts) {
  for (auto layout : {FindingLayout::OnScreen, FindingLayout::Import}) {
    const auto codes = KnownFindingCodes(layout);
    ASSERT_FALSE(codes.empty());
    EXPECT_TRUE(std::is_sorted(codes.begin(), codes.end()));
  }
  const auto numbers = KnownErrorNumbers();
  EXPECT_EQ(numbers.front(), 5);
  EXPECT_EQ(numbers.back(), 3464);
}

}  // namespace
}  // namespace kolvar::cli
