// kolvar record add|list|show|edit|delete|duplicate: single declared records,
// checked by the library's rules before they are stored.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "arguments.h"
#include "library.h"

namespace kolvar::cli {

// A finding of the on-screen rules: the form's field number and the code.
struct RecordFinding {
  int field;
  int code;
};

struct RecordSaved {
  std::int32_t key = 0;  // 0 when nothing was stored
  std::vector<RecordFinding> findings;
};

// Field names: book, nif, representative, name, country, id_key, foreign_id,
// operation, issued, operated (dates), rate (percent), base, tax, total,
// cost_base (euros), invoice, register; the book's detail fields by their
// column names (NOFAC, CD, ...), amounts in euros and dates as dates.
RecordSaved AddRecord(const Library& library, std::int32_t declaration, const Fields& fields,
                      Lang lang);
RecordSaved EditRecord(const Library& library, std::int32_t record, const Fields& fields,
                       Lang lang);
RecordSaved DuplicateRecord(const Library& library, std::int32_t record, Lang lang);
nlohmann::json ListRecords(const Library& library, std::int32_t declaration, Lang lang);
nlohmann::json ShowRecord(const Library& library, std::int32_t record, Lang lang);
void DeleteRecord(const Library& library, std::int32_t record, Lang lang);

}  // namespace kolvar::cli
