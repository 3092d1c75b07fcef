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
    {"AT", "U13585627", kDigits},    {"BE", "0403019261", kAll},
    {"BE", "1000000021", kAll},      {"BG", "175074752", kCheck},
    {"BG", "7523169263", kNone},     {"CY", "10259033P", kAll},
    {"CZ", "25123891", kCheck},      {"CZ", "640903926", kCheck},
    {"CZ", "7103192745", kCheck},    {"DE", "136695976", kDigits},
    {"DK", "13585628", kAll},        {"EE", "100931558", kDigits},
    {"EL", "094259216", kCheck},     {"EL", "94259216", kCheck},
    {"ES", "54362315K", kAll},       {"ES", "X2482300W", kAll},
    {"ES", "A58818501", kDigits},    {"ES", "Q2826000H", kDigits},
    {"FI", "20774740", kAll},        {"FR", "40303265045", kDigits},
    {"FR", "K7399859412", kCheck},   {"HR", "33392005961", kDigits},
    {"HU", "12892312", kDigits},     {"IE", "6433435F", kAll},
    {"IE", "8Z49289F", kAll},        {"IE", "3628739UA", kAll},
    {"IT", "00743110157", kDigits},  {"LT", "119511515", kCheck},
    {"LT", "100001919017", kCheck},  {"LU", "15027442", kAll},
    {"LV", "40003521600", kAll},     {"LV", "16117519997", kCheck},
    {"MT", "11679112", kAll},        {"NL", "004495445B01", kCheck, 8},
    {"NL", "000099998B57", kCheck},  {"PL", "8567346215", kAll},
    {"PT", "501964843", kCheck},     {"RO", "18547290", kCheck},
    {"SE", "556188840401", kDigits}, {"SI", "50223054", kDigits},
    {"SK", "2022749619", kAll},      {"GB", "980780684", kCheck},
    {"GB", "100123459", kCheck},     {"GB", "980780684001", kNone},
    {"GB", "GD001", kNone},          {"XI", "980780684", kCheck},
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
      {"CZ", "530101123", true},    // 9-digit birth number, before 1954
      {"CZ", "540101123", false},    {"CZ", "7113192746", false},  // month 13
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
      {"GB", "100123404", true},     {"GB", "GD499", true},
      {"GB", "GD500", false},        {"GB", "HA499", false},
      {"XI", "ha500", true},         {"GB", "GD888812326", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(kMisc.ValidarNIFExtranjero(c.id, c.prefix), c.valid) << c.prefix << c.id;
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
