#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>

#include "core/utf8.h"
#include "kolvar/kolvar.h"
#include "taxid/miscelaneos.h"

namespace {

const kolvar::cMiscelaneos kMisc;

TEST(ValidarCaracErrEnImp, KeepsNamesAndReplacesTheRest) {
  const std::string name = "MUÑOZ GARCÍA, JOSÉ Mª (C/ Pº ARGÜELLES 1-3º; O´BRIEN & CÍA.)";
  EXPECT_EQ(kMisc.ValidarCaracErrEnImp(name, " "), name);
  EXPECT_EQ(kMisc.ValidarCaracErrEnImp("O'BRIEN \"X\"\\", " "), "O BRIEN  X  ");
  EXPECT_EQ(kMisc.ValidarCaracErrEnImp("A\tB\r\n\x7F%_*?", " "), "A B       ");
  // Each invalid byte is one character: a lone lead byte, a stray continuation
  // byte, a truncated sequence at the end.
  EXPECT_EQ(kMisc.ValidarCaracErrEnImp("\xC3(\x80z\xE2\x82", " "), " ( z  ");
  EXPECT_EQ(kMisc.ValidarCaracErrEnImp("a€b", " "), "a b");
  EXPECT_EQ(kMisc.ValidarCaracErrEnImp("", " "), "");
}

TEST(ValidarCaracErrEnImp, Replacement) {
  EXPECT_EQ(kMisc.ValidarCaracErrEnImp("a'b", "-x"), "a-b");  // its first character
  EXPECT_EQ(kMisc.ValidarCaracErrEnImp("a'b", "Ñ"), "aÑb");
  EXPECT_EQ(kMisc.ValidarCaracErrEnImp("a'b", ""), "a b");
  // A replacement that is itself not allowed would defeat the clean-up.
  EXPECT_EQ(kMisc.ValidarCaracErrEnImp("a'b", "'"), "a b");
  EXPECT_EQ(kMisc.ValidarCaracErrEnImp("a'b", "\xFF"), "a b");
}

// Arbitrary bytes: the result has as many characters as the input, each one
// either the input's own or the blank, never a character that could break an
// SQL statement, and cleaning it again changes nothing.
TEST(ValidarCaracErrEnImp, ArbitraryBytes) {
  std::mt19937 rng(340);
  for (int n = 0; n < 5000; ++n) {
    std::string text;
    for (int len = rng() % 40; len > 0; --len) {
      if (rng() % 3)
        text.push_back(static_cast<char>(rng() % 256));
      else
        kolvar::utf8::Append(text, static_cast<char32_t>(rng() % 0x300));
    }
    const std::string out = kMisc.ValidarCaracErrEnImp(text, " ");
    const std::u32string in32 = kolvar::utf8::Decode(text);
    const std::u32string out32 = kolvar::utf8::Decode(out);
    ASSERT_EQ(out32.size(), in32.size()) << text;
    for (std::size_t i = 0; i < out32.size(); ++i) {
      const char32_t c = out32[i];
      EXPECT_TRUE(c == in32[i] || c == U' ') << text;
      EXPECT_TRUE(c >= 0x20 && c != 0x7F && c != U'\'' && c != U'"' && c != U'\\' &&
                  c != kolvar::utf8::kReplacement)
          << text;
      if (in32[i] < 0x80 && std::isalnum(static_cast<int>(in32[i]))) {
        EXPECT_EQ(c, in32[i]);
      }
    }
    EXPECT_EQ(kMisc.ValidarCaracErrEnImp(out, " "), out);
  }
}

}  // namespace

namespace kolvar {
namespace {

// Callers reach the component only by name and by method name.
TEST(MiscelaneosByName, CreatedAndCalledLateBoundWithoutRaising) {
  auto misc = CreateObject("svrutillib.CMISCELANEOS");
  std::vector<Value> nif{Value("12345678Z")}, noLetter{Value("12345678"), Value(true)};
  EXPECT_TRUE(misc->Call("ValidaNifCif", nif).toBool());
  EXPECT_TRUE(misc->Call("ValidaNifCif", noLetter).toBool());
  std::vector<Value> vat{Value("U13585627"), Value("AT")};
  EXPECT_TRUE(misc->Call("ValidarNIFExtranjero", vat).toBool());
  std::vector<Value> odd{Value::Null(), Value::Array({{0, 1}})};
  EXPECT_FALSE(misc->Call("ValidarNIFExtranjero", odd).toBool());
  std::vector<Value> clean{Value("O'Brien \"x\""), Value(" ")};
  EXPECT_EQ(misc->Call("ValidarCaracErrEnImp", clean).toString(), "O Brien  x ");
}

}  // namespace
}  // namespace kolvar
