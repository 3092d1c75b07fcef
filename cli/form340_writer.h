// Composes the lines of a form-340 file (500 characters each) from the
// declarant, the declaration, the totals and the record grid of the export
// data: the inverse of the import's split of a line into fields.
#pragma once

#include <string>
#include <vector>

#include "kolvar/value.h"
#include "library.h"

namespace kolvar::cli {

// Columns of the export grid: the declared record's columns, then the detail
// columns of the four books.
enum GridColumn : int {
  kCSDO,
  kCSCI,
  kNIF,
  kNREP,
  kNOMBRE,
  kPAIS,
  kCNIPR,
  kNIFDPR,
  kCDTL,
  kCDO,
  kFDE,
  kFDO,
  kTIPOIMP,
  kBIMP,
  kCUOTA,
  kIMPTF,
  kBASEIMPCOSTE,
  kIDFACTURA,
  kNODEREG,
  kFeNOFAC,
  kFeNOREG,
  kFeIIA,
  kFeIFR,
  kFeTRE,
  kFeCRE,
  kFeSDI,
  kFeREFCAT,
  kFeIPM,
  kFeEJERMET,
  kFeIPPTDI,
  kFrNOFAC,
  kFrNOREG,
  kFrIIA,
  kFrCD,
  kBiPAD,
  kBiRAD,
  kBiIDE,
  kBiRADE,
  kBiFIU,
  kBiIDBIEN,
  kDoiTOI,
  kDoiCD,
  kDoiCEM,
  kDoiPDE,
  kDoiDESBIEN,
  kDoiDOI,
  kDoiPOI,
  kDoiCP,
  kDoiOFOD,
  kFeFMC,
  kFeIC,
  kFeMC,
  kFeMC_CC,
  kFeMAR,
  kFrFMP,
  kFrIP,
  kFrMP,
  kFrMP_CC,
  kFrMAR,
  kGridColumns
};

// The totals of the declarant record, in cents as stored.
struct FileTotals {
  double base = 0, tax = 0, total = 0;
};

std::string ComposeDeclarantLine(const Declarant& declarant, const Declaration& declaration,
                                 long records, const FileTotals& totals);
// One declared record: row `row` of the grid (columns as above).
std::string ComposeRecordLine(const Value& grid, int row, const Declarant& declarant, int year);
// The whole file: the declarant record, then the records by ascending key.
std::vector<std::string> ComposeFile(const Declarant& declarant, const Declaration& declaration,
                                     const Value& totals, const Value& grid);

}  // namespace kolvar::cli
