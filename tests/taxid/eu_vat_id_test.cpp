#include <gtest/gtest.h>

#include <random>
#include <string>

#include "taxid/miscelaneos.h"

namespace {

const kolvar::cMiscelaneos kMisc;

// What a number's check is bound to catch: every changed digit and every swap of
// two different adjacent digits (kAll), every changed digit (kDigits), a changed
// check digit only (kCheck, at `check_at`, default the last character), or
// nothing for sure (kNone: alternative schemes or no check).
enum Catches { kAll, kDigits, kCheck, kNone };

struct Example {
  const char* prefix;
  std::string id;
  Catches catches;
  int check_at = -1;
};

const Example kExamples[] = {
    {"AT", "U13585627", kDigits},      {"BE", "0403019261", kAll},
    {"BE", "1000000021", kAll},        {"BG", "175074752", kCheck},
    {"BG", "7523169263", kNone},       {"CY", "10259033P", kAll},
    {"CZ", "25123891", kCheck},        {"CZ", "640903926", kCheck},
    {"CZ", "7103192745", kCheck},      {"CZ", "8551011238", kAll},
    {"CZ", "8412311259", kAll},        {"CZ", "0451012342", kAll},
    {"DE", "136695976", kDigits},      {"DK", "13585628", kAll},
    {"EE", "100931558", kDigits},      {"EL", "094259216", kCheck},
    {"EL", "94259216", kCheck},        {"ES", "54362315K", kAll},
    {"ES", "X2482300W", kAll},         {"ES", "A58818501", kDigits},
    {"ES", "Q2826000H", kDigits},      {"FI", "20774740", kAll},
    {"FR", "40303265045", kDigits},    {"FR", "K7399859412", kCheck},
    {"HR", "33392005961", kDigits},    {"HU", "12892312", kDigits},
    {"IE", "6433435F", kAll},          {"IE", "8Z49289F", kAll},
    {"IE", "3628739UA", kAll},         {"IT", "00743110157", kDigits},
    {"LT", "119511515", kCheck},       {"LT", "100001919017", kCheck},
    {"LU", "15027442", kAll},          {"LV", "40003521600", kAll},
    {"LV", "16117519997", kCheck},     {"MT", "11679112", kAll},
    {"NL", "004495445B01", kCheck, 8}, {"NL", "000099998B57", kCheck},
    {"PL", "8567346215", kAll},        {"PT", "501964843", kCheck},
    {"RO", "18547290", kCheck},        {"SE", "556188840401", kDigits},
    {"SI", "50223054", kDigits},       {"SK", "2022749619", kAll},
    {"GB", "980780684", kCheck},       {"GB", "100123459", kCheck},
    {"GB", "245235237", kDigits},      {"XI", "100123417", kCheck},
    {"GB", "980780684001", kNone},     {"GB", "GD001", kNone},
    {"XI", "980780684", kCheck},
};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

TEST(ValidarNIFExtranjero, PublishedExamplesPassAndCorruptionsFail) {
  for (const Example& e : kExamples) {
    SCOPED_TRACE(std::string(e.prefix) + e.id);
    EXPECT_TRUE(kMisc.ValidarNIFExtranjero(e.id, e.prefix));
    if (e.catches == kNone) continue;
    const std::size_t check_at = e.check_at >= 0 ? e.check_at : e.id.size() - 1;
    for (std::size_t i = 0; i < e.id.size(); ++i) {
      if (!IsDigit(e.id[i]) || (e.catches == kCheck && i != check_at)) continue;
      for (char d = '0'; d <= '9'; ++d) {
        std::string changed = e.id;
        changed[i] = d;
        if (d != e.id[i]) {
          EXPECT_FALSE(kMisc.ValidarNIFExtranjero(changed, e.prefix)) << changed;
        }
      }
    }
    for (std::size_t i = 0; e.catches == kAll && i + 1 < e.id.size(); ++i) {
      std::string swapped = e.id;
      std::swap(swapped[i], swapped[i + 1]);
      if (IsDigit(swapped[i]) && IsDigit(swapped[i + 1]) && swapped != e.id) {
        EXPECT_FALSE(kMisc.ValidarNIFExtranjero(swapped, e.prefix)) << swapped;
      }
    }
  }
}

TEST(ValidarNIFExtranjero, PrefixCaseAndBlanks) {
  EXPECT_TRUE(kMisc.ValidarNIFExtranjero("u13585627", "at"));
  EXPECT_TRUE(kMisc.ValidarNIFExtranjero("  004495445b01      ", "Nl"));
  EXPECT_FALSE(kMisc.ValidarNIFExtranjero("094259216", "GR"));  // Greece is EL
  for (const char* prefix : {"", "A", "ATU", "XX", "EU", " AT"})
    EXPECT_FALSE(kMisc.ValidarNIFExtranjero("U13585627", prefix)) << prefix;
  for (const char* id : {"", "   ", "U1358 5627", "U13-585-627", "ATU13585627", "U13585627\t"})
    EXPECT_FALSE(kMisc.ValidarNIFExtranjero(id, "AT")) << id;
}

TEST(ValidarNIFExtranjero, StateSpecificFormRules) {
  const struct {
    const char* prefix;
    const char* id;
    bool valid;
  } cases[] = {
      {"BE", "2000000042", false},  // first digit 0 or 1
      {"CZ", "95123890", false},    // no legal entity starts with 9
      {"CY", "12000000F", false},    {"DE", "036695975", false},
      {"FR", "0C000000001", true},   // Monaco: no Luhn on the SIREN
      {"FR", "K7000000001", false},  // a letter key still checks the SIREN
      {"FR", "K7399859413", false},  // alphanumeric key, SIREN fails Luhn
      {"FR", "IO399859412", false},  // I and O are never key characters
      {"IE", "8Z49289FA", false},    // the old form has no second letter
      {"IT", "00743112005", false},  // office 200 does not exist
      {"LT", "119511522", false},    // the last but one digit must be 1
      {"LV", "32123456789", true},   // personal code without birth date
      {"LV", "31023400000", false},  // 31 February
      {"NL", "004495445B00", false}, {"RO", "19", true},
      {"RO", "012345674", false},    {"SE", "556188840402", false},
      {"SK", "2052749600", false},  // third digit outside 2 3 4 7 8 9
      {"GB", "099123447", true},    // original series below 100 000 000
      {"GB", "099123489", false},   // 9755 series starts at 100 000 000
      {"GB", "099123405", false},   // remainder 55 only from 100 000 000 on
      {"GB", "100123417", true},     {"GB", "100123404", true},
      {"GB", "GD499", true},         {"GB", "GD500", false},
      {"GB", "HA499", false},        {"XI", "ha500", true},
      {"GB", "GD888812326", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(kMisc.ValidarNIFExtranjero(c.id, c.prefix), c.valid) << c.prefix << c.id;
}

// Both sides of every edge of the Czech birth number, each with a correct
// check digit so that only the rule named beside it decides.
TEST(ValidarNIFExtranjero, CzechBirthNumberEdges) {
  const struct {
    const char* id;
    bool valid;
  } cases[] = {
      {"531231123", true},   {"540101123", false},   // 9 digits only before 1954
      {"5401011231", true},  {"800101123", true},    // 10 digits from 1954; 9 for the 1880s
      {"791231123", false},  {"535101123", true},    // 9 digits read as 1979; a woman of 1953
      {"8412310050", true},  {"8501010090", false},  // remainder 10 written 0 until 1984
      {"0412311230", false}, {"8501011233", true},   // not from 1985 on
      {"8612131231", true},  {"8613121231", false},  // month 12 / 13
      {"0450011232", false}, {"0351011232", true},   // women: month 50 / 51
      {"8862121235", true},  {"8863121234", false},  // women: month 62 / 63
      {"0321012340", false}, {"0421011239", true},   // second series: 2003 / 2004
      {"0420011240", false}, {"0432011239", true},   // men's second series: 20 / 32
      {"0433011238", false}, {"0371011234", false},  // 33; women's second series in 2003
      {"0471011233", true},  {"0482011233", true},   // women's second series: 71 / 82
      {"0483011232", false}, {"5420011234", false},  // 83; plus 20 before 2004
      {"0002291234", true},  {"000229123", false},   // 29 February 2000, but not 1900
      {"9602291237", true},  {"9702291236", false},  // 29 February in a leap year only
  };
  for (const auto& c : cases) EXPECT_EQ(kMisc.ValidarNIFExtranjero(c.id, "CZ"), c.valid) << c.id;
}

// Arbitrary bytes never throw nor read out of bounds, and blanks around the
// identifier or the case of letters never change the answer.
TEST(ValidarNIFExtranjero, ArbitraryBytes) {
  const char* prefixes[] = {"AT", "BE", "BG", "CY", "CZ", "DE", "DK", "EE", "EL", "ES",
                            "FI", "FR", "HR", "HU", "IE", "IT", "LT", "LU", "LV", "MT",
                            "NL", "PL", "PT", "RO", "SE", "SI", "SK", "GB", "XI"};
  std::mt19937 rng(340);
  const std::string alphabet = "0123456789ABGHUXZ+* -\xC3\x91";
  for (int n = 0; n < 6000; ++n) {
    std::string id(rng() % 16, ' ');
    for (char& c : id) c = rng() % 4 ? alphabet[rng() % alphabet.size()] : char(rng() % 256);
    const char* prefix = prefixes[rng() % std::size(prefixes)];
    std::string lower = id;
    for (char& c : lower) c = (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c;
    const bool valid = kMisc.ValidarNIFExtranjero(id, prefix);
    EXPECT_EQ(kMisc.ValidarNIFExtranjero(" " + lower + "  ", prefix), valid) << prefix << id;
    kMisc.ValidaNifCif(id, n % 2);
  }
}

}  // namespace
