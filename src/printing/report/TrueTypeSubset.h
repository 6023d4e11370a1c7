#pragma once

#include <functional>
#include <string>
#include <vector>

// Reads one table of a font by its four-letter tag; an empty text when the font has none.
using FontTableReader = std::function<std::string(const char* tag)>;

// A TrueType font program that holds the used glyphs only (and the glyphs their composites are
// made of, and glyph 0), with the tables a PDF viewer draws them from. Glyph ids stay as they
// are: the unused glyphs up to the last used one are empty, the ones after it are gone, so the
// glyph ids written on a page need no translation.
//
// An empty result when the font has no TrueType outlines or its tables do not hold together;
// glyph data that points outside its table counts as an empty glyph.
std::string SubsetTrueType(const FontTableReader& table, std::vector<bool> used);
