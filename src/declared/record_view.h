// The client's record buffer as the validation rules read it, and the
// on-screen findings they write: (field number, finding code) per column.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/finding_codes.h"
#include "kolvar/value.h"

namespace kolvar::declared {

// Indices of the record buffer shared by every book.
namespace record_index {
enum : std::int32_t {
  kNIF = 2,
  kNREP = 3,
  kNOMBRE = 4,
  kPAIS = 5,
  kCNIPR = 6,
  kNIFDPR = 7,
  kCDTL = 8,
  kCDO = 9,
  kFDE = 10,
  kFDO = 11,
  kTIPOIMP = 12,
  kBIMP = 13,
  kCUOTA = 14,
  kIMPTF = 15,
  kBASEIMPCOSTE = 16,
  kIDFACTURA = 17,
  kNODEREG = 18,
  kEjercicio = 19,
  kPeriodo = 20,
};
}  // namespace record_index

// The empty text occurs in every text.
bool Occurs(std::string_view needle, std::string_view haystack);

class RecordView {
 public:
  // Error 9 when the buffer does not reach `lastIndex`.
  RecordView(const Value& buffer, std::int32_t lastIndex);

  const Value& cell(std::int32_t i) const { return buffer_(i); }
  std::string text(std::int32_t i) const { return cell(i).toString(); }
  std::string trimmed(std::int32_t i) const;
  bool empty(std::int32_t i) const;  // equal to the empty text, untrimmed
  bool blank(std::int32_t i) const { return trimmed(i).empty(); }
  bool equals(std::int32_t i, std::string_view s) const;  // exact, untrimmed
  bool digitsAndHyphens(std::int32_t i) const;
  bool validDate(std::int32_t i) const;

  // The numeric value of a cell that must hold one; a blank cell counts as 0,
  // any other text that is not a number is error 13.
  double number(std::int32_t i) const;
  // Dynamic comparison with a number, a blank cell counting as 0; all three
  // are false when the cell is Null.
  bool is(std::int32_t i, double n) const { return Cmp(i, n) == 0; }
  bool isNot(std::int32_t i, double n) const;
  bool above(std::int32_t i, double n) const { return Cmp(i, n) > 0; }

  // The declaration's period as yyyymm: the fiscal year's text followed by the
  // two-digit month.
  std::int32_t periodKey() const;
  // An operation key of the cash-basis regime.
  bool zKey() const;

 private:
  std::optional<int> Cmp(std::int32_t i, double n) const;
  const Value& buffer_;
};

// Findings of the on-screen validators, appended to an ErrorBuffer.
class Findings {
 public:
  // Starts a fresh buffer in `out`.
  static Findings Fresh(Value& out);
  // Continues the findings already in `out`.
  static Findings Continuing(Value& out);

  void add(std::int16_t field, findings::OnScreenCode code);
  // Adds the finding when `failed`; returns `failed`.
  bool check(bool failed, std::int16_t field, findings::OnScreenCode code);

 private:
  Findings(Value& out, std::int16_t k) : out_(out), k_(k) {}
  Value& out_;
  std::int16_t k_;
};

}  // namespace kolvar::declared
