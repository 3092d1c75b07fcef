// The library's public classes as typed calls: what the client commands need
// from declarants, declarations, declared records, the export data, the code
// tables and the settings. Each call is one unit of work of the library.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kolvar/kolvar.h"

namespace kolvar::cli {

struct Paths {
  std::string user;       // the user database
  std::string reference;  // the reference database
};

struct Declarant {
  std::int32_t key = 0;
  std::string taxId, name, streetType, street;
  std::int32_t number = 0;
  std::string letter, staircase, floor, door;
  std::int32_t postalCode = 0;
  std::string municipality, phone, contact, contactPhone, representative;
};

struct Declaration {
  std::int32_t key = 0;
  std::int32_t declarant = 0;
  std::int32_t sequence = 1;  // the last four digits of the declaration's number
  std::int32_t year = 0;
  std::int16_t period = 0;        // month; for a quarter its last month
  std::string periodicity = "1";  // "1" monthly, "2" quarterly
  std::string complementary;      // "C" or empty
  std::string substitutive;       // "S" or empty
  std::int32_t previous = 0;      // sequence of the declaration it completes or replaces
  std::int32_t records = 0;       // read only
};

// The period as the file writes it: "01" to "12", or "1T" to "4T".
std::string PeriodText(const Declaration& d);

class Library {
 public:
  explicit Library(Paths paths) : paths_(std::move(paths)) {}
  const Paths& paths() const { return paths_; }

  struct DeclarantRow {
    std::int32_t key;
    std::string taxId, name;
  };
  std::vector<DeclarantRow> Declarants() const;
  std::optional<Declarant> LoadDeclarant(std::int32_t key) const;
  std::int32_t SaveDeclarant(const Declarant& d) const;  // key 0 inserts
  void DeleteDeclarant(std::int32_t key, bool withDeclarations) const;
  // The declarant whose tax identifier is exactly `taxId` (blanks aside).
  std::optional<std::int32_t> FindDeclarantByTaxId(std::string_view taxId) const;

  std::vector<Declaration> DeclarationsOf(std::int32_t declarant) const;
  std::vector<Declaration> AllDeclarations() const;
  std::optional<Declaration> FindDeclaration(std::int32_t key) const;
  std::int32_t SaveDeclaration(const Declaration& d) const;  // key 0 inserts
  bool DeclarationExists(const Declaration& d) const;
  void DeleteDeclaration(std::int32_t key) const;
  std::int32_t DuplicateDeclaration(std::int32_t from, const Declaration& to) const;
  // The sequence after the highest among the declarant's declarations of the
  // same year, period and periodicity.
  std::int32_t NextSequence(const Declaration& d) const;

  Value Summary(std::int32_t declaration) const;
  Value Counts(std::int32_t declaration) const;
  Value Listing(std::int32_t declaration, Value requests) const;

  Value RecordsOf(std::int32_t declaration) const;  // grid or Null
  Value LoadRecord(std::int32_t record) const;      // one-row buffer or Null
  Value LoadDetail(char book, std::int32_t record) const;
  // Validates (when asked) and saves; the on-screen finding buffer.
  Value SaveRecord(Value buffer, std::int32_t year, bool validate) const;
  void DeleteRecord(std::int32_t record, std::int32_t declaration) const;

  Value Totals(std::int32_t declaration) const;
  Value FileGrid(std::int32_t declaration) const;

  enum class Table { Country, Province, Street, Key, Means };
  std::string Describe(Table table, const std::string& code, bool basque) const;
  bool ValidSpanishId(const std::string& id) const;
  bool ValidForeignId(const std::string& id, const std::string& country) const;
  std::string LanguageLetter() const;
  void SetLanguageLetter(const std::string& letter) const;
  void Upgrade() const;

 private:
  std::shared_ptr<Object> Make(std::string_view progId) const;
  Paths paths_;
};

// A method call with arguments by value; the result.
Value CallMethod(Object& object, std::string_view method, std::vector<Value> args);

}  // namespace kolvar::cli
