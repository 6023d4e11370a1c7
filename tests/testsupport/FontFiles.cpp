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
    const std::uint32_t tables = be(font, 4, 2);
    for (std::uint32_t i = 0; i < tables; ++i) {
        const std::size_t entry = 12 + 16 * std::size_t(i);
        if (font.compare(entry, 4, "OS/2") != 0)
            continue;
        const std::size_t fsType = be(font, entry + 8, 4) + 8;
        if (fsType + 2 <= font.size()) {
            font[fsType] = char((bits >> 8) & 0xFF);
            font[fsType + 1] = char(bits & 0xFF);
        }
    }
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
    const std::uint32_t tables = be(font, 4, 2);
    for (std::uint32_t i = 0; i < tables; ++i) {
        const std::size_t entry = 12 + 16 * std::size_t(i);
        if (font.compare(entry, 4, "name") != 0)
            continue;
        const std::size_t start = be(font, entry + 8, 4);
        const std::size_t end = std::min(font.size(), start + be(font, entry + 12, 4));
        for (const auto& [text, replacement] : {std::pair(from, to), std::pair(wideFrom, wideTo)}) {
            for (std::size_t at = font.find(text, start); at != std::string::npos && at < end;
                 at = font.find(text, at + text.size()))
                font.replace(at, text.size(), replacement);
        }
    }
    return font;
}
