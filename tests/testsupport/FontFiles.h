#pragma once

#include <string>

// The bytes of the font file fontconfig chooses for a family; empty when it chooses none.
std::string InstalledFont(const std::string& family);

// The font with the embedding bits of its OS/2 table (fsType) set to bits; unchanged when it
// has no such table.
std::string WithEmbeddingBits(std::string font, unsigned bits);

// The font with every name record that reads from (in one or two bytes per character) reading
// to instead, which must be as long; so the same outlines can pose as a family of their own.
std::string WithFamilyName(std::string font, const std::string& from, const std::string& to);

// The font with the line gap (leading) of its horizontal header and OS/2 table set to gap font
// units; unchanged when it has no such tables.
std::string WithLineGap(std::string font, int gap);
