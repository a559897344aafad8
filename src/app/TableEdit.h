#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "app/ResultStore.h"

namespace quorvane {

// One step of changes to the results table's rows, kept so that it can be
// taken back (Undo) and made again (Redo). It holds only what the table
// does not: the rows a step removed, or appended rows while they are taken
// back, are moved in and out of the table, never copied, so a step never
// holds a second copy of a row; a reorder holds the order, a step of
// written cells the texts it wrote over, packed in one buffer.
//
// A step is recorded after its changes were made to the table (the table
// is then in the "done" state); Undo and Redo alternate from there and
// expect the table as the other one left it.
class TableEdit {
 public:
  // `count` rows were appended at the end.
  static TableEdit Appended(int count);
  // The rows at these indexes (ascending, before the removal) were removed;
  // `rows` are those rows, moved here.
  static TableEdit Removed(std::vector<int> indexes, std::vector<ResultRow> rows);
  // The rows were reordered: the row now at i stood at order[i]. `label`
  // names the step ("Sort by Google").
  static TableEdit Reordered(std::vector<std::size_t> order, std::string label);
  // A cell that held `before` was written.
  static TableEdit CellWritten(int row, int column, std::string_view before);

  TableEdit() = default;
  TableEdit(TableEdit&&) noexcept = default;
  TableEdit& operator=(TableEdit&&) noexcept = default;
  TableEdit(const TableEdit&) = delete;
  TableEdit& operator=(const TableEdit&) = delete;

  // Adds a later change to the same step (appends after appends, cells
  // after cells fold into one part).
  void Then(TableEdit later);
  // The same as Then(CellWritten(row, column, before)), without making an
  // edit per cell.
  void ThenCell(int row, int column, std::string_view before);

  bool Empty() const { return parts_.empty(); }
  // False for a step that only reorders rows: the rows stay the same.
  bool ChangesRows() const;
  // Whether the step appended, removed or reordered rows (rows moved to
  // other indexes), as opposed to only writing cells.
  bool MovesRows() const;
  // What the step did, for "Undo …" and "Redo …": "Add 12 rows", "Delete
  // 1 row", "Change 370 rows", a reorder's label; with a name given, the
  // name and the count ("Gather Data (370 rows)").
  std::string Description() const;
  void SetName(std::string name) { name_ = std::move(name); }

  void Undo(ResultStore& store);
  void Redo(ResultStore& store);

 private:
  struct AppendPart {
    int count = 0;
    std::vector<ResultRow> rows;  // while taken back
  };
  struct RemovePart {
    std::vector<int> indexes;
    std::vector<ResultRow> rows;  // while removed
  };
  struct ReorderPart {
    std::vector<std::size_t> order;
    std::string label;
  };
  // Cells written, in the order written, each with the text it replaced
  // (after Undo: the text Undo replaced). The texts lie end to end in
  // `texts`; each cell knows where its text ends.
  struct CellsPart {
    struct Cell {
      std::int32_t row;
      std::uint32_t end;  // in `texts`, a 4 GB step at most
      std::uint8_t column;
    };
    std::vector<Cell> cells;
    std::string texts;
    int rows = 0;  // rows touched, counted as the writes came row after row

    void Add(int row, int column, std::string_view text);
  };
  using Part = std::variant<AppendPart, RemovePart, ReorderPart, CellsPart>;

  // Writes a cells part's texts back in reverse order and keeps what they
  // replaced, so that the same call undoes and redoes.
  static void SwapCells(CellsPart& part, ResultStore& store);
  static int RowsOf(const Part& part);

  std::vector<Part> parts_;
  std::string name_;
};

}  // namespace quorvane
