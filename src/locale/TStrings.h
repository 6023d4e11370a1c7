#pragma once

#include <cstdint>
#include <string>

// An editable list of texts with one integer object per item, as a drop-down list holds them.
// The locale fills one with the language names and their bases; a widget adapter or the plain
// TStringList stands behind it.
class TStrings {
public:
    virtual ~TStrings() = default;

    // Removes every item.
    virtual void Clear() = 0;
    // Appends an item with its text (code page 1252) and its object.
    virtual void Add(const std::string& text, int32_t object) = 0;
};
