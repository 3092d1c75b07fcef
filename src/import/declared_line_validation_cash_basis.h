// The cash-basis block of the invoice books: a date, an amount, a means of
// payment or collection, its account and a mark. An operation key of the
// cash-basis regime (CashBasisKey) requires them; any other key forbids them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "import/declared_line_validation_rules.h"

namespace kolvar::Importacion::line_rules {

// The codes that differ between the issued and the received books.
struct CashBasisCodes {
  findings::ImportCode forbidden;       // a value given without a cash-basis key
  findings::ImportCode accountMissing;  // a means that needs an account, without one
  findings::ImportCode accountWithoutMeans;
};
inline constexpr CashBasisCodes kIssuedCash{129, 110, 111};
inline constexpr CashBasisCodes kReceivedCash{128, 115, 116};

// In an import pass, when the five rows from `firstRow` are blank, sets them
// to 0, 0 and empty texts and skips the block's rules for this line.
void EmptyBlockTest(DeclaredLine& line, std::string_view books, std::int32_t firstRow);
// The block's rules apply from 2014 on, unless the block was found empty.
bool BlockApplies(const DeclaredLine& line);

void CashDate(DeclaredLine& line, const std::string& v, findings::ImportCode digitsCode,
              const CashBasisCodes& codes);
void CashAmount(DeclaredLine& line, const std::string& v, findings::ImportCode digitsCode,
                const CashBasisCodes& codes);
// `markedOnlyWithKey`: the character check of the means runs only under a
// cash-basis key.
void CashMeans(DeclaredLine& line, const std::string& v, const CashBasisCodes& codes,
               bool markedOnlyWithKey);
void CashAccount(DeclaredLine& line, const std::string& v, KeyId means,
                 const CashBasisCodes& codes);
void CashMark(DeclaredLine& line, const std::string& v);

}  // namespace kolvar::Importacion::line_rules
