#include <gtest/gtest.h>

#include "taxid/miscelaneos.h"

namespace {

const kolvar::cMiscelaneos kMisc;

TEST(ValidaNifCif, PersonalForms) {
  for (const char* id : {"12345678Z", "00000000T", "54362315K", "X1234567L", "Y1234567X",
                         "Z1234567R", "K1234567L", "L1234567L", "M1234567L"})
    EXPECT_TRUE(kMisc.ValidaNifCif(id)) << id;
  EXPECT_TRUE(kMisc.ValidaNifCif("  x1234567l "));
  EXPECT_FALSE(kMisc.ValidaNifCif("12345678A"));
  EXPECT_FALSE(kMisc.ValidaNifCif("X1234567X"));  // the NIE letter counts in the control
  EXPECT_FALSE(kMisc.ValidaNifCif("W1234567L"));
}

TEST(ValidaNifCif, CompanyControlDependsOnEntityLetter) {
  EXPECT_TRUE(kMisc.ValidaNifCif("A58818501"));
  EXPECT_FALSE(kMisc.ValidaNifCif("A5881850A"));  // A demands the digit
  EXPECT_TRUE(kMisc.ValidaNifCif("Q2826000H"));
  EXPECT_FALSE(kMisc.ValidaNifCif("Q28260008"));  // Q demands the letter
  EXPECT_TRUE(kMisc.ValidaNifCif("G2826000H"));   // G takes either
  EXPECT_TRUE(kMisc.ValidaNifCif("g28260008"));
  EXPECT_FALSE(kMisc.ValidaNifCif("G28260007"));
  for (const char* id : {"I58818501", "O58818501", "T58818501"})
    EXPECT_FALSE(kMisc.ValidaNifCif(id)) << id;
}

TEST(ValidaNifCif, RejectsMalformedText) {
  for (const char* id :
       {"", "   ", "1234 5678Z", "12345678-Z", "1234567Z", "012345678Z", "1234567AZ", "A5881850",
        "\xC3\x91"
        "2345678Z",
        "12345678\xC3\x91"})
    EXPECT_FALSE(kMisc.ValidaNifCif(id)) << id;
  EXPECT_FALSE(kMisc.ValidaNifCif(std::string_view("12345678Z\0", 10)));
}

TEST(ValidaNifCif, WithoutControlLetter) {
  EXPECT_FALSE(kMisc.ValidaNifCif("12345678"));
  EXPECT_TRUE(kMisc.ValidaNifCif("12345678", true));
  EXPECT_TRUE(kMisc.ValidaNifCif(" z1234567 ", true));
  EXPECT_TRUE(kMisc.ValidaNifCif("12345678Z", true));
  EXPECT_TRUE(kMisc.ValidaNifCif("A58818501", true));
  EXPECT_FALSE(kMisc.ValidaNifCif("12345678A", true));
  for (const char* id : {"K1234567", "A5881850", "1234567", "1234567A"})
    EXPECT_FALSE(kMisc.ValidaNifCif(id, true)) << id;
}

}  // namespace
