// cTraspaso: brings a user database of an earlier layout up to the current
// layout of the invoice-detail tables, in place.
#pragma once

#include <string>

#include "dbaccess/unit_of_work.h"

namespace kolvar {

class cTraspaso : public ServiceDatabases {
 public:
  void mdbPath(std::string path) { mdbPath_ = std::move(path); }

  // Adds every missing column group to the database at mdbmod and gives the
  // existing rows their initial values. A group that fails is reported to the
  // user and skipped; True when the run reached its end.
  bool Traspaso() const;

 private:
  std::string mdbPath_;  // kept, never read
};

}  // namespace kolvar
