#include "app/TableEdit.h"

#include <limits>
#include <stdexcept>
#include <utility>

#include "app/GroupThousands.h"

namespace quorvane {

namespace {

std::string Rows(int count) {
  return count == 1 ? std::string("1 row") : GroupThousands(count) + " rows";
}

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};

}  // namespace

TableEdit TableEdit::Appended(int count) {
  TableEdit edit;
  if (count > 0) edit.parts_.emplace_back(AppendPart{count, {}});
  return edit;
}

TableEdit TableEdit::Removed(std::vector<int> indexes, std::vector<ResultRow> rows) {
  if (indexes.size() != rows.size())
    throw std::invalid_argument("a removal needs one index per row");
  TableEdit edit;
  if (!rows.empty()) edit.parts_.emplace_back(RemovePart{std::move(indexes), std::move(rows)});
  return edit;
}

TableEdit TableEdit::Reordered(std::vector<std::size_t> order, std::string label) {
  TableEdit edit;
  edit.parts_.emplace_back(ReorderPart{std::move(order), std::move(label)});
  return edit;
}

TableEdit TableEdit::CellWritten(int row, int column, std::string_view before) {
  TableEdit edit;
  edit.ThenCell(row, column, before);
  return edit;
}

void TableEdit::CellsPart::Add(int row, int column, std::string_view text) {
  if (texts.size() + text.size() > std::numeric_limits<std::uint32_t>::max())
    throw std::length_error("too many changed cells in one step");
  if (cells.empty() || cells.back().row != row) ++rows;
  texts.append(text);
  cells.push_back(
      Cell{row, static_cast<std::uint32_t>(texts.size()), static_cast<std::uint8_t>(column)});
}

void TableEdit::Then(TableEdit later) {
  if (name_.empty()) name_ = std::move(later.name_);
  for (Part& part : later.parts_) {
    if (!parts_.empty()) {
      Part& last = parts_.back();
      auto* appendTo = std::get_if<AppendPart>(&last);
      const auto* append = std::get_if<AppendPart>(&part);
      if (appendTo && append) {
        appendTo->count += append->count;
        continue;
      }
      auto* cellsTo = std::get_if<CellsPart>(&last);
      const auto* cells = std::get_if<CellsPart>(&part);
      if (cellsTo && cells) {
        std::uint32_t begin = 0;
        for (const auto& cell : cells->cells) {
          cellsTo->Add(cell.row, cell.column,
                       std::string_view(cells->texts).substr(begin, cell.end - begin));
          begin = cell.end;
        }
        continue;
      }
    }
    parts_.push_back(std::move(part));
  }
}

void TableEdit::ThenCell(int row, int column, std::string_view before) {
  if (parts_.empty() || !std::holds_alternative<CellsPart>(parts_.back()))
    parts_.emplace_back(CellsPart{});
  std::get<CellsPart>(parts_.back()).Add(row, column, before);
}

bool TableEdit::ChangesRows() const {
  for (const Part& part : parts_)
    if (!std::holds_alternative<ReorderPart>(part)) return true;
  return false;
}

bool TableEdit::MovesRows() const {
  for (const Part& part : parts_)
    if (!std::holds_alternative<CellsPart>(part)) return true;
  return false;
}

int TableEdit::RowsOf(const Part& part) {
  return std::visit(
      Overloaded{[](const AppendPart& p) { return p.count; },
                 [](const RemovePart& p) { return static_cast<int>(p.rows.size()); },
                 [](const ReorderPart&) { return 0; }, [](const CellsPart& p) { return p.rows; }},
      part);
}

std::string TableEdit::Description() const {
  if (parts_.empty()) return name_;
  // A step of one kind of change says what and how many; the rows of a
  // step of several kinds are counted together.
  int rows = 0;
  bool oneKind = true;
  for (const Part& part : parts_) {
    rows += RowsOf(part);
    oneKind = oneKind && part.index() == parts_.front().index();
  }
  if (!name_.empty()) return name_ + " (" + Rows(rows) + ")";
  if (!oneKind) return "Change " + Rows(rows);
  return std::visit(Overloaded{[&](const AppendPart&) { return "Add " + Rows(rows); },
                               [&](const RemovePart&) { return "Delete " + Rows(rows); },
                               [](const ReorderPart& p) { return p.label; },
                               [&](const CellsPart&) { return "Change " + Rows(rows); }},
                    parts_.front());
}

void TableEdit::SwapCells(CellsPart& part, ResultStore& store) {
  // Later writes first, so that a cell written twice ends with its first
  // text; what each write replaces is kept in the same reversed order, so
  // that the next call goes forward again.
  CellsPart swapped;
  swapped.cells.reserve(part.cells.size());
  swapped.texts.reserve(part.texts.size());
  std::string text;
  for (std::size_t i = part.cells.size(); i-- > 0;) {
    const auto& cell = part.cells[i];
    const std::uint32_t begin = i == 0 ? 0 : part.cells[i - 1].end;
    text.assign(part.texts, begin, cell.end - begin);
    store.SwapCell(cell.row, cell.column, text);
    swapped.Add(cell.row, cell.column, text);
  }
  swapped.rows = part.rows;
  part = std::move(swapped);
}

void TableEdit::Undo(ResultStore& store) {
  for (std::size_t i = parts_.size(); i-- > 0;) {
    std::visit(Overloaded{[&](AppendPart& p) {
                            p.rows = store.TakeRows(store.Count() - p.count, p.count);
                          },
                          [&](RemovePart& p) { store.InsertRowsAt(p.indexes, std::move(p.rows)); },
                          [&](ReorderPart& p) { store.RevertOrder(p.order); },
                          [&](CellsPart& p) { SwapCells(p, store); }},
               parts_[i]);
  }
}

void TableEdit::Redo(ResultStore& store) {
  for (Part& part : parts_) {
    std::visit(Overloaded{[&](AppendPart& p) { store.Append(std::exchange(p.rows, {})); },
                          [&](RemovePart& p) { p.rows = store.TakeRowsAt(p.indexes); },
                          [&](ReorderPart& p) { store.ApplyOrder(p.order); },
                          [&](CellsPart& p) { SwapCells(p, store); }},
               part);
  }
}

}  // namespace quorvane
