// The detail tables of declared records, one row per record in the table of
// its register book. One implementation driven by the table's description;
// cTDpfe, cTDpfr, cTDpbi and cTDpdoi only name the description they use.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "declared/detail_layout.h"
#include "kolvar/value.h"

namespace kolvar::declared {

class DetailTable {
 public:
  explicit DetailTable(const DetailLayout& layout);

  const DetailLayout& layout() const { return *layout_; }

  // Properties by column name (without regard to case; an unknown name is
  // error 438) or by position in the description. Values are kept in the
  // column's type; a value that does not convert raises the conversion error.
  Value property(std::string_view name) const;
  void property(std::string_view name, const Value& v);
  const Value& property(std::size_t column) const { return values_.at(column); }
  void property(std::size_t column, const Value& v);

  // The detail row of the record as text cells in select order, or Null.
  Value CargarDatos(std::int32_t csdo);
  bool InsertarDatos(const Value& csdo, const Value& csci);
  // Changes the row of (csdo, csci) when there is one; never inserts.
  bool ModificarDatos(const Value& csdo, const Value& csci);
  // Copies the rows of (lngCSCIOrg, lngCSDOrg) to (lngCSCI, lngCSDO).
  bool DuplicarDatosPropios(std::int32_t lngCSCI, std::int32_t lngCSCIOrg, std::int32_t lngCSDO,
                            std::int32_t lngCSDOrg);
  void Validar(const Value& vBuffer, Value& vBufferErrores);

 private:
  std::size_t indexOf(std::string_view name) const;

  const DetailLayout* layout_;
  std::vector<Value> values_;
};

class cTDpfe : public DetailTable {
 public:
  cTDpfe() : DetailTable(DpfeLayout()) {}
};
class cTDpfr : public DetailTable {
 public:
  cTDpfr() : DetailTable(DpfrLayout()) {}
};
class cTDpbi : public DetailTable {
 public:
  cTDpbi() : DetailTable(DpbiLayout()) {}
};
class cTDpdoi : public DetailTable {
 public:
  cTDpdoi() : DetailTable(DpdoiLayout()) {}
};

// A fresh object of the detail class of a register-book letter; none for a
// letter without a detail table.
std::optional<DetailTable> DetailOfBook(std::string_view cdtl);

}  // namespace kolvar::declared
