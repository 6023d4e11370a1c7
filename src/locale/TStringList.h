#pragma once

#include "TStrings.h"

#include <cstdint>
#include <string>
#include <vector>

struct TStringItem {
    std::string Text;
    int32_t Object = 0;
};

// TStrings kept in memory, in the order added.
class TStringList : public TStrings {
public:
    void Clear() override;
    void Add(const std::string& text, int32_t object) override;

    std::vector<TStringItem> Items;
};
