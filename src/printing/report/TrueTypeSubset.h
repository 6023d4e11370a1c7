#pragma once

#include <functional>
#include <string>
#include <vector>

// Reads one table of a font by its four-letter tag; an empty text when the font has none.
using FontTableReader = std::function<std::string(const char* tag)>;

// A TrueType font program that keeps the outlines of the used glyphs only (and of the glyphs
// their composites are made of, and glyph 0). The numbering stays as it is, every other glyph
// is empty, so the glyph ids written on a page need no translation.
//
// An empty result when the font has no TrueType outlines or its tables do not hold together;
// glyph data that points outside its table counts as an empty glyph.
std::string SubsetTrueType(const FontTableReader& table, std::vector<bool> used);
