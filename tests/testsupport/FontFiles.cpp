#include "FontFiles.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>

namespace {

std::uint32_t be(const std::string& data, std::size_t at, int bytes)
{
    std::uint32_t value = 0;
    for (int i = 0; i < bytes && at + i < data.size(); ++i)
        value = (value << 8) | std::uint8_t(data[at + i]);
    return value;
}

// Where a table of the font starts; npos when it has none.
std::size_t TableOffset(const std::string& font, const char* tag)
{
    const std::uint32_t tables = be(font, 4, 2);
    for (std::uint32_t i = 0; i < tables; ++i) {
        const std::size_t entry = 12 + 16 * std::size_t(i);
        if (font.compare(entry, 4, tag) == 0)
            return be(font, entry + 8, 4);
    }
    return std::string::npos;
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
    const std::size_t os2 = TableOffset(font, "OS/2");
    if (os2 != std::string::npos)
        Put16(font, os2 + 8, bits);
    return font;
}

std::string WithLineGap(std::string font, int gap)
{
    const std::size_t hhea = TableOffset(font, "hhea");
    if (hhea != std::string::npos)
        Put16(font, hhea + 8, unsigned(gap) & 0xFFFF);
    const std::size_t os2 = TableOffset(font, "OS/2");
    if (os2 != std::string::npos)
        Put16(font, os2 + 72, unsigned(gap) & 0xFFFF);
    return font;
}
