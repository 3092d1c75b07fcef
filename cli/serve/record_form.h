// The fields of a declared record as the web form shows them: where each sits in
// the library's record buffer, how its text converts, and which field a finding
// is about.
#pragma once

#include <kolvar/value.h>

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace kolvar::serve {

// How a field's text travels between the form and the buffer.
enum class FieldKind {
  Text,    // as typed
  Whole,   // a whole number
  Amount,  // euros with up to two decimals in the form, cents in the buffer
  Rate,    // a percentage with up to two decimals in the form, hundredths in the buffer
  Date,    // YYYY-MM-DD in the form, AAAAMMDD in the buffer
};

struct RecordField {
  std::string_view key;  // the column name: "BIMP", "NOFAC"
  int index;             // cell of the record buffer
  FieldKind kind;
  std::string_view lookup;  // "country", "key", "means" or empty
  int loadColumn = -1;      // detail fields: column of the detail table's load
};

// The common fields, then the detail fields of the book letter's group (none
// for a letter that is not a book).
const std::vector<RecordField>& CommonFields();
const std::vector<RecordField>& DetailFields(std::string_view book);
// The detail class's load method for a book ("CargarDpfe"), or empty.
std::string_view DetailLoadMethod(std::string_view book);

// The form's description for the page: every book's fields with their kinds.
nlohmann::json FormDescription();

// Form text -> buffer text, by kind. Text that does not read as the kind stays
// as typed so that the library's rules report it.
std::string ToBufferText(FieldKind kind, const std::string& text);
// Stored value -> form text.
std::string ToFormText(FieldKind kind, const Value& stored);

// The form field an on-screen finding (field number, code) is about, or empty.
std::string_view FindingField(std::string_view book, int fieldNumber, int code);

}  // namespace kolvar::serve
