#include "TStringList.h"

void TStringList::Clear() { Items.clear(); }

void TStringList::Add(const std::string& text, int32_t object) { Items.push_back({text, object}); }
