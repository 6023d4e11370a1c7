#include "FontFiles.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <utility>

namespace {

std::uint32_t be(const std::string& data, std::size_t at, int bytes)
{
    std::uint32_t value = 0;
    for (int i = 0; i < bytes && at + i < data.size(); ++i)
        value = (value << 8) | std::uint8_t(data[at + i]);
    return value;
}

// Where a table of the font starts and how long it is; npos when the font has none.
struct Table {
    std::size_t offset = std::string::npos;
    std::size_t length = 0;
};

Table FindTable(const std::string& font, const char* tag)
{
    const std::uint32_t tables = be(font, 4, 2);
    for (std::uint32_t i = 0; i < tables; ++i) {
        const std::size_t entry = 12 + 16 * std::size_t(i);
        if (font.compare(entry, 4, tag) == 0)
            return {be(font, entry + 8, 4), be(font, entry + 12, 4)};
    }
    return {};
}

void Put16(std::string& font, std::size_t at, unsigned value)
{
    if (at + 2 > font.size())
        return;
    font[at] = char((value >> 8) & 0xFF);
    font[at + 1] = char(value & 0xFF);
}

} // namespace

std::string InstalledFont(const std::string& family)
{
    const std::string command = "fc-match -f '%{file}' '" + family + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> match(popen(command.c_str(), "r"), pclose);
    if (!match)
        return {};
    std::string path;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, match.get()))
        path += buffer;
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string WithEmbeddingBits(std::string font, unsigned bits)
{
    const std::size_t os2 = FindTable(font, "OS/2").offset;
    if (os2 != std::string::npos)
        Put16(font, os2 + 8, bits);
    return font;
}

std::string WithLineGap(std::string font, int gap)
{
    const std::size_t hhea = FindTable(font, "hhea").offset;
    if (hhea != std::string::npos)
        Put16(font, hhea + 8, unsigned(gap) & 0xFFFF);
    const std::size_t os2 = FindTable(font, "OS/2").offset;
    if (os2 != std::string::npos)
        Put16(font, os2 + 72, unsigned(gap) & 0xFFFF);
    return font;
}

std::string WithFamilyName(std::string font, const std::string& from, const std::string& to)
{
    if (from.size() != to.size())
        return font;
    std::string wideFrom, wideTo;
    for (std::size_t i = 0; i < from.size(); ++i) {
        wideFrom += std::string(1, '\0') + from[i];
        wideTo += std::string(1, '\0') + to[i];
    }
    const Table names = FindTable(font, "name");
    if (names.offset == std::string::npos)
        return font;
    const std::size_t start = names.offset;
    const std::size_t end = std::min(font.size(), start + names.length);
    for (const auto& [text, replacement] : {std::pair(from, to), std::pair(wideFrom, wideTo)}) {
        for (std::size_t at = font.find(text, start); at != std::string::npos && at < end;
             at = font.find(text, at + text.size()))
            font.replace(at, text.size(), replacement);
    }
    return font;
}
