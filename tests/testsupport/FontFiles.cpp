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
