#include "TrueTypeSubset.h"

#include <cstdint>
#include <cstring>

namespace {

std::uint32_t read16(const std::string& data, std::size_t at)
{
    if (at + 2 > data.size())
        return 0;
    return (std::uint32_t(std::uint8_t(data[at])) << 8) | std::uint8_t(data[at + 1]);
}

std::uint32_t read32(const std::string& data, std::size_t at)
{
    return (read16(data, at) << 16) | read16(data, at + 2);
}

void put16(std::string& data, std::uint32_t value)
{
    data += char((value >> 8) & 0xFF);
    data += char(value & 0xFF);
}

void put32(std::string& data, std::uint32_t value)
{
    put16(data, value >> 16);
    put16(data, value & 0xFFFF);
}

void write16(std::string& data, std::size_t at, std::uint32_t value)
{
    data[at] = char((value >> 8) & 0xFF);
    data[at + 1] = char(value & 0xFF);
}

void write32(std::string& data, std::size_t at, std::uint32_t value)
{
    write16(data, at, value >> 16);
    write16(data, at + 2, value & 0xFFFF);
}

void padTo4(std::string& data)
{
    while (data.size() % 4 != 0)
        data += '\0';
}

std::uint32_t checksum(const std::string& data)
{
    std::uint32_t sum = 0;
    for (std::size_t at = 0; at < data.size(); at += 4) {
        std::uint32_t word = 0;
        for (std::size_t i = 0; i < 4; ++i)
            word = (word << 8) | (at + i < data.size() ? std::uint8_t(data[at + i]) : 0);
        sum += word;
    }
    return sum;
}

// The glyph ids a composite glyph is made of.
std::vector<std::uint32_t> components(const std::string& glyph)
{
    std::vector<std::uint32_t> result;
    if (glyph.size() < 10 || std::int16_t(read16(glyph, 0)) >= 0)
        return result;
    constexpr std::uint32_t argsAreWords = 0x0001;
    constexpr std::uint32_t haveScale = 0x0008;
    constexpr std::uint32_t moreComponents = 0x0020;
    constexpr std::uint32_t haveXYScale = 0x0040;
    constexpr std::uint32_t haveTwoByTwo = 0x0080;
    std::size_t at = 10;
    for (;;) {
        if (at + 4 > glyph.size())
            break;
        const std::uint32_t flags = read16(glyph, at);
        result.push_back(read16(glyph, at + 2));
        at += 4 + ((flags & argsAreWords) ? 4 : 2);
        if (flags & haveScale)
            at += 2;
        else if (flags & haveXYScale)
            at += 4;
        else if (flags & haveTwoByTwo)
            at += 8;
        if (!(flags & moreComponents))
            break;
    }
    return result;
}

} // namespace

std::string SubsetTrueType(const FontTableReader& table, std::vector<bool> used)
{
    std::string head = table("head");
    const std::string maxp = table("maxp");
    const std::string loca = table("loca");
    const std::string glyf = table("glyf");
    if (head.size() < 54 || maxp.size() < 6 || glyf.empty() || table("hhea").empty() ||
        table("hmtx").empty())
        return {};
    const std::size_t glyphCount = read16(maxp, 4);
    const bool longOffsets = read16(head, 50) != 0;
    if (glyphCount == 0 || loca.size() < (glyphCount + 1) * (longOffsets ? 4 : 2))
        return {};

    auto glyphRange = [&](std::size_t glyph, std::size_t& start, std::size_t& end) {
        start = longOffsets ? read32(loca, glyph * 4) : read16(loca, glyph * 2) * 2;
        end = longOffsets ? read32(loca, glyph * 4 + 4) : read16(loca, glyph * 2 + 2) * 2;
        if (start > end || end > glyf.size())
            start = end = 0;
    };

    used.resize(glyphCount, false);
    used[0] = true;
    std::vector<std::uint32_t> pending;
    for (std::size_t glyph = 0; glyph < glyphCount; ++glyph) {
        if (used[glyph])
            pending.push_back(std::uint32_t(glyph));
    }
    while (!pending.empty()) {
        const std::uint32_t glyph = pending.back();
        pending.pop_back();
        std::size_t start = 0;
        std::size_t end = 0;
        glyphRange(glyph, start, end);
        for (const std::uint32_t part : components(glyf.substr(start, end - start))) {
            if (part < glyphCount && !used[part]) {
                used[part] = true;
                pending.push_back(part);
            }
        }
    }

    std::string newGlyf;
    std::string newLoca;
    for (std::size_t glyph = 0; glyph < glyphCount; ++glyph) {
        put32(newLoca, std::uint32_t(newGlyf.size()));
        if (!used[glyph])
            continue;
        std::size_t start = 0;
        std::size_t end = 0;
        glyphRange(glyph, start, end);
        newGlyf.append(glyf, start, end - start);
        padTo4(newGlyf);
    }
    put32(newLoca, std::uint32_t(newGlyf.size()));

    write32(head, 8, 0);  // checkSumAdjustment, set once the whole font is known
    write16(head, 50, 1); // long loca offsets

    // Sorted by tag, as the table directory must be.
    const char* const tags[] = {"OS/2", "cmap", "cvt ", "fpgm", "glyf", "head", "hhea",
                                "hmtx", "loca", "maxp", "name", "post", "prep"};
    std::vector<std::pair<const char*, std::string>> tables;
    for (const char* tag : tags) {
        std::string data;
        if (std::strcmp(tag, "glyf") == 0)
            data = std::move(newGlyf);
        else if (std::strcmp(tag, "loca") == 0)
            data = std::move(newLoca);
        else if (std::strcmp(tag, "head") == 0)
            data = head;
        else
            data = table(tag);
        if (!data.empty())
            tables.emplace_back(tag, std::move(data));
    }

    const std::uint32_t count = std::uint32_t(tables.size());
    std::uint32_t power = 1;
    std::uint32_t log2 = 0;
    while (power * 2 <= count) {
        power *= 2;
        ++log2;
    }
    std::string font;
    put32(font, 0x00010000);
    put16(font, count);
    put16(font, power * 16);
    put16(font, log2);
    put16(font, count * 16 - power * 16);
    std::uint32_t offset = 12 + 16 * count;
    std::size_t headOffset = 0;
    for (const auto& [tag, data] : tables) {
        font.append(tag, 4);
        put32(font, checksum(data));
        put32(font, offset);
        put32(font, std::uint32_t(data.size()));
        if (std::strcmp(tag, "head") == 0)
            headOffset = offset;
        offset += std::uint32_t((data.size() + 3) / 4 * 4);
    }
    for (const auto& entry : tables) {
        font += entry.second;
        padTo4(font);
    }
    write32(font, headOffset + 8, 0xB1B0AFBAu - checksum(font));
    return font;
}
