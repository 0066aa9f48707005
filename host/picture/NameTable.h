// Names given on a command line for the values of an enumeration, one table
// per enumeration: the parser, the list in a help text and the list in an
// error message all read the same rows. Platform-free.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vlscan {

template <class Value>
struct NamedValue {
    const char* name;
    Value value;
};

// The row named `name` in any table of rows with a `name` member, or null.
template <class Row, size_t Count>
const Row* FindNamed(const Row (&table)[Count], std::string_view name)
{
    for (const Row& row : table) {
        if (name == row.name) {
            return &row;
        }
    }
    return nullptr;
}

template <class Value, size_t Count>
std::optional<Value> ParseNamed(const NamedValue<Value> (&table)[Count], std::string_view name)
{
    const NamedValue<Value>* row = FindNamed(table, name);
    return row ? std::optional<Value>(row->value) : std::nullopt;
}

// "a, b or c": the names in table order, for an error message.
template <class Row, size_t Count>
std::string NamesInWords(const Row (&table)[Count])
{
    std::string words;
    for (size_t i = 0; i < Count; ++i) {
        words += (i == 0 ? "" : i + 1 == Count ? " or " : ", ");
        words += table[i].name;
    }
    return words;
}

// "a|b|c", for a usage line.
template <class Row, size_t Count>
std::string NamesInUsage(const Row (&table)[Count])
{
    std::string names;
    for (const Row& row : table) {
        names += names.empty() ? "" : "|";
        names += row.name;
    }
    return names;
}

} // namespace vlscan
