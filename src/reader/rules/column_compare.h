// The ordering of list view rows by one column, as a click on its header
// sorts them: text columns by the locale's collation, number and size columns
// by value, largest first until the column's direction flag reverses it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace q3::reader {

// What a column's Tag tells the comparison about its texts.
inline constexpr int kColumnText = 0;
inline constexpr int kColumnNumbers = 1;
inline constexpr int kColumnSizes = 2;

// A decimal number in text, blanks around it allowed; nothing otherwise.
std::optional<double> ReadFloat(std::string_view text);

// A size such as "2 KB": the number before the first blank, scaled by the
// first unit the whole text names (KB, MB, GB, TB, in that order). Nothing
// when the text has no blank or the part before it is not a number.
std::optional<double> ReadSize(std::string_view text);

// -1, 0 or 1 for two cell texts of a column with the given Tag; reversed is
// the column's direction flag. An empty first text sorts before any other.
int CompareColumnTexts(std::string_view s1, std::string_view s2, int column_tag, bool reversed);

// The rows' new order (indexes into texts) after sorting by one column.
// Stable: rows that compare equal keep their order.
std::vector<std::size_t> SortedRowOrder(const std::vector<std::string>& texts, int column_tag,
                                        bool reversed);

// The direction flags of one list view, one per column, all false at first.
class SortState {
  public:
    explicit SortState(std::size_t columns) : reversed_(columns, false) {}

    std::size_t ColumnCount() const { return reversed_.size(); }
    bool HasColumn(std::size_t column) const { return column < reversed_.size(); }
    bool Reversed(std::size_t column) const { return HasColumn(column) && reversed_[column]; }
    // Flips the column's flag; nothing for a column the state does not know.
    void Flip(std::size_t column);

  private:
    std::vector<bool> reversed_;
};

}  // namespace q3::reader
