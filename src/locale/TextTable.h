#pragma once

#include <cstdint>
#include <string>

// The texts of a log's tables, compiled into the program and keyed by absolute id: the language
// list at 1 (the number of languages) and 11, 12, ... ("name=base"), the German texts at
// 1000 + relative id and the English ones at 2000 + relative id. Texts are code page 1252 bytes.
//
// Returns the text of the id, or an empty string when the table has none. Never fails.
std::string TableText(int32_t absoluteId);
