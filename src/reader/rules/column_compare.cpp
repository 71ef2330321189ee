#include "reader/rules/column_compare.h"

#include <glib.h>
#include <algorithm>
#include <charconv>

namespace q3::reader {

namespace {

std::string_view TrimBlanks(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

int Sign(int v) {
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

// Larger values come first; equal values are equal, so the order stays a
// strict weak ordering and the sort keeps equal rows where they were.
int CompareValuesLargestFirst(double a, double b) {
    if (a > b)
        return -1;
    if (a < b)
        return 1;
    return 0;
}

int CollateTexts(std::string_view a, std::string_view b) {
    // Cell texts are UTF-8; an invalid sequence still compares, byte-wise.
    const std::string sa(a), sb(b);
    if (g_utf8_validate(sa.data(), static_cast<gssize>(sa.size()), nullptr) &&
        g_utf8_validate(sb.data(), static_cast<gssize>(sb.size()), nullptr)) {
        return Sign(g_utf8_collate(sa.c_str(), sb.c_str()));
    }
    return Sign(sa.compare(sb));
}

}  // namespace

std::optional<double> ReadFloat(std::string_view text) {
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    double value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::general);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

std::optional<double> ReadSize(std::string_view text) {
    const size_t blank = text.find(' ');
    if (blank == std::string_view::npos)
        return std::nullopt;
    std::optional<double> number = ReadFloat(text.substr(0, blank));
    if (!number)
        return std::nullopt;
    static constexpr std::string_view kUnits[] = {"KB", "MB", "GB", "TB"};
    double scale = 1;
    for (std::string_view unit : kUnits) {
        scale *= 1024;
        if (text.find(unit) != std::string_view::npos)
            return *number * scale;
    }
    return number;
}

int CompareColumnTexts(std::string_view s1, std::string_view s2, int column_tag, bool reversed) {
    int cmp = 0;
    if (s1.empty() && s2.empty()) {
        cmp = 0;
    } else if (s1.empty()) {
        cmp = -1;  // an empty text sorts first, before the direction applies
    } else {
        cmp = CollateTexts(s1, s2);
        std::optional<double> a, b;
        if (column_tag == kColumnNumbers) {
            a = ReadFloat(s1);
            b = ReadFloat(s2);
        } else if (column_tag == kColumnSizes) {
            a = ReadSize(s1);
            b = ReadSize(s2);
        }
        if (a && b)
            cmp = CompareValuesLargestFirst(*a, *b);
    }
    return reversed ? -cmp : cmp;
}

std::vector<std::size_t> SortedRowOrder(const std::vector<std::string>& texts, int column_tag,
                                        bool reversed) {
    std::vector<std::size_t> order(texts.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
        return CompareColumnTexts(texts[x], texts[y], column_tag, reversed) < 0;
    });
    return order;
}

void SortState::Flip(std::size_t column) {
    if (HasColumn(column))
        reversed_[column] = !reversed_[column];
}

}  // namespace q3::reader
