// A whole user database copied from one engine to the other, table by table
// from the one schema description, in one transaction on the target.
#include <cstdint>
#include <string>
#include <vector>

#include "core/text.h"
#include "dbaccess/engine.h"
#include "dbaccess/schema.h"
#include "dbaccess/transaction.h"
#include "kolvar/copy.h"
#include "kolvar/error.h"
#include "transfer/table_tally.h"

namespace kolvar {

namespace {

using db::Table;

constexpr std::size_t kRowsPerWrite = 1000;

struct Cancelled {};

// Every described table with every described column, else the database is
// of an earlier layout (or not a user database at all).
void RequireCurrentLayout(db::Database& database, const std::string& name) {
  for (const Table& table : db::Schema(db::Store::User)) {
    const std::vector<std::string> present = database.tableDef(table.name).fieldNames();
    for (const db::Column& c : table.columns) {
      bool found = false;
      for (const std::string& p : present) found = found || text::EqualsNoCase(p, c.name);
      if (!found)
        Raise(err::kInvalidOperation, "La base de datos '" + name + "' no tiene la columna " +
                                          std::string(c.name) + " de la tabla " +
                                          std::string(table.name) +
                                          ": póngala al día antes de copiarla.");
    }
  }
}

std::int64_t CountRows(db::Database& database, const Table& table) {
  auto rs = database.openRecordset("SELECT COUNT(*) FROM " + std::string(table.name));
  const std::int64_t n = static_cast<std::int64_t>(rs->field(0).toDouble());
  rs->close();
  return n;
}

// Reports progress; a false answer cancels.
class Progress {
 public:
  Progress(const CopyProgressCallback& callback, std::int64_t total)
      : callback_(callback), total_(total) {}
  void phase(int phase) {
    phase_ = phase;
    rows_ = 0;
  }
  void advance(std::int64_t rows) {
    rows_ += rows;
    if (callback_ && !callback_(CopyProgress{phase_, rows_, total_})) throw Cancelled{};
  }

 private:
  const CopyProgressCallback& callback_;
  std::int64_t total_;
  int phase_ = 1;
  std::int64_t rows_ = 0;
};

// Copies the table's rows in slices; the tally of what was read.
transfer::TableTally CopyRows(db::Database& source, db::Database& target, const Table& table,
                              Progress& progress) {
  transfer::TableTally read(table);
  std::vector<std::vector<Value>> slice;
  const auto flush = [&] {
    target.insertRows(table, slice);
    progress.advance(static_cast<std::int64_t>(slice.size()));
    slice.clear();
  };
  source.scanRows(table, [&](const std::vector<Value>& row) {
    read.add(row);
    slice.push_back(row);
    if (slice.size() >= kRowsPerWrite) flush();
  });
  if (!slice.empty()) flush();
  return read;
}

transfer::TableTally ReadBack(db::Database& target, const Table& table, Progress& progress) {
  transfer::TableTally written(table);
  std::int64_t pending = 0;
  target.scanRows(table, [&](const std::vector<Value>& row) {
    written.add(row);
    if (++pending == static_cast<std::int64_t>(kRowsPerWrite)) {
      progress.advance(pending);
      pending = 0;
    }
  });
  progress.advance(pending);
  return written;
}

bool IsAmount(const db::Column& column) {
  return column.type == db::ColumnType::Double || column.type == db::ColumnType::Single;
}

[[noreturn]] void Mismatch(const std::string& what) {
  Raise(err::kCopyMismatch,
        "La copia no coincide con el origen (" + what + "); el destino no ha cambiado.");
}

}  // namespace

CopyResult CopyUserDatabase(const std::string& from, const std::string& to,
                            const CopyProgressCallback& callback) {
  if (from == to) Raise(err::kInvalidCall, "El origen y el destino de la copia son el mismo.");
  std::shared_ptr<db::Database> source = db::OpenDatabase(from);
  std::shared_ptr<db::Database> target = db::OpenDatabase(to);
  RequireCurrentLayout(*source, from);
  RequireCurrentLayout(*target, to);

  CopyResult result;
  try {
    db::Transaction reading(source);
    db::Transaction writing(target);
    const auto& tables = db::Schema(db::Store::User);
    std::vector<std::int64_t> counted;
    std::int64_t total = 0;
    for (const Table& table : tables) {
      counted.push_back(CountRows(*source, table));
      total += counted.back();
      if (table.settings) {
        target->execute("DELETE FROM " + std::string(table.name));
      } else if (const std::int64_t held = CountRows(*target, table); held > 0) {
        Raise(3204, "La base de datos de destino ya tiene datos (" + std::to_string(held) +
                        " filas en " + std::string(table.name) +
                        "); sólo se copia en una base de datos vacía.");
      }
    }

    Progress progress(callback, total);
    std::vector<transfer::TableTally> read;
    for (std::size_t t = 0; t < tables.size(); ++t) {
      read.push_back(CopyRows(*source, *target, tables[t], progress));
      if (read.back().rows() != counted[t])
        Mismatch(std::string(tables[t].name) + ": " + std::to_string(read.back().rows()) +
                 " filas leídas de " + std::to_string(counted[t]));
    }
    progress.phase(2);
    for (std::size_t t = 0; t < tables.size(); ++t) {
      const Table& table = tables[t];
      const std::string difference = read[t].difference(ReadBack(*target, table, progress));
      if (!difference.empty()) Mismatch(difference);
      CopiedTable copied{std::string(table.name), read[t].rows(), source->counterMark(table), {}};
      target->raiseCounterMark(table, copied.counter);
      if (target->counterMark(table) < copied.counter)
        Mismatch(std::string(table.name) + ": el contador no ha pasado de " +
                 std::to_string(copied.counter));
      for (std::size_t c = 0; c < table.columns.size(); ++c)
        if (IsAmount(table.columns[c]))
          copied.sums.emplace_back(table.columns[c].name, read[t].sum(c));
      result.tables.push_back(std::move(copied));
    }
    writing.commit();
  } catch (const Cancelled&) {
    result.tables.clear();
    result.cancelled = true;
  }
  source->close();
  target->close();
  return result;
}

}  // namespace kolvar
