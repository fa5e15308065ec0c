// Inside the software renderer: the tables of sprites and scaled sprites, which
// the game addresses by number and which grow in steps as numbers come up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

inline constexpr int32_t TABLE_STEP = 50;
// Numbers beyond this are refused rather than growing a table to gigabytes.
inline constexpr int32_t MAX_TABLE_NUMBER = 65535;

// The entry with this number, or nullptr when the number lies outside the table.
template <typename Entry>
Entry* FindNumberedEntry(std::vector<Entry>& table, int32_t number) {
    if (number < 0 || static_cast<std::size_t>(number) >= table.size()) {
        return nullptr;
    }
    return &table[static_cast<std::size_t>(number)];
}

// Grows the table in steps of TABLE_STEP so that the number fits; false when it
// lies outside 0..MAX_TABLE_NUMBER.
template <typename Entry>
bool GrowNumberedTable(std::vector<Entry>& table, int32_t number) {
    if (number < 0 || number > MAX_TABLE_NUMBER) {
        return false;
    }
    while (static_cast<std::size_t>(number) >= table.size()) {
        table.resize(table.size() + TABLE_STEP);
    }
    return true;
}
