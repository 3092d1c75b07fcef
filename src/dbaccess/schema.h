// The one description of both databases: tables, typed columns, sizes,
// defaults and indexes. Creation, typed reads, typed writes and the database
// transfer all derive from it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kolvar::db {

// Numbered as the engine's field types are numbered by clients (CreateField).
enum class ColumnType {
  Boolean = 1,
  Byte = 2,
  Integer = 3,
  Long = 4,
  Single = 6,
  Double = 7,
  Date = 8,
  Text = 10,
  Counter = 101,  // a Long assigned on insert, never reused
};

struct Column {
  std::string_view name;
  ColumnType type;
  int size = 0;  // Text only: the most characters it holds
  // Transfer group that introduced the column into an existing table (0 for
  // columns every layout has); see TransferGroups().
  int group = 0;
};

struct Table {
  std::string_view name;
  std::vector<Column> columns;
  std::vector<std::vector<std::string_view>> indexes;  // columns filtered, joined or summed on
  // The one row of the user's settings, which every new database holds.
  bool settings = false;
};

enum class Store { User, Reference };

const std::vector<Table>& Schema(Store which);
const Table* FindTable(Store which, std::string_view name);  // without regard to case

// The table's counter column, or nullptr.
const Column* CounterOf(const Table& table);

// A SELECT of every column of the table in the described order, in key
// order when it has a counter; plain names that both engines read.
std::string SelectAllRows(const Table& table);

// The column of that name in either database's description, or nullptr.
const Column* FindColumn(std::string_view table, std::string_view column);

// The column's definition in CREATE TABLE / ALTER TABLE ADD COLUMN of a STRICT
// table: its storage class and default (sizes and ranges: WriteChecks).
std::string ColumnDefinition(const Column& column,
                             std::optional<std::string_view> defaultValue = std::nullopt);

// A column group that the transfer adds to a table of an earlier layout.
struct TransferGroup {
  int number;
  std::string_view table;
  std::string_view marker;
  std::string_view update;  // statement that gives existing rows the initial values
};
const std::vector<TransferGroup>& TransferGroups();
std::vector<Column> GroupColumns(const TransferGroup& group);

}  // namespace kolvar::db
