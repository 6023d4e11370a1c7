#include "TrueTypeSubset.h"

#include <hb-subset.h>
#include <hb.h>

#include <cstdint>
#include <memory>
#include <utility>

namespace {

std::uint32_t read16(const std::string& data, std::size_t at)
{
    if (at + 2 > data.size())
        return 0;
    return (std::uint32_t(std::uint8_t(data[at])) << 8) | std::uint8_t(data[at + 1]);
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

// A font file of the given tables, sorted by tag as the table directory must be.
std::string fontFile(const std::vector<std::pair<const char*, std::string>>& tables)
{
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
    for (const auto& [tag, data] : tables) {
        font.append(tag, 4);
        put32(font, checksum(data));
        put32(font, offset);
        put32(font, std::uint32_t(data.size()));
        offset += std::uint32_t((data.size() + 3) / 4 * 4);
    }
    for (const auto& entry : tables) {
        font += entry.second;
        font.resize((font.size() + 3) / 4 * 4, '\0');
    }
    return font;
}

struct BlobFree {
    void operator()(hb_blob_t* blob) const { hb_blob_destroy(blob); }
};
struct FaceFree {
    void operator()(hb_face_t* face) const { hb_face_destroy(face); }
};
struct InputFree {
    void operator()(hb_subset_input_t* input) const { hb_subset_input_destroy(input); }
};
using Blob = std::unique_ptr<hb_blob_t, BlobFree>;
using Face = std::unique_ptr<hb_face_t, FaceFree>;
using Input = std::unique_ptr<hb_subset_input_t, InputFree>;

} // namespace

std::string SubsetTrueType(const FontTableReader& table, std::vector<bool> used)
{
    const std::string head = table("head");
    const std::string maxp = table("maxp");
    const std::string loca = table("loca");
    if (head.size() < 54 || maxp.size() < 6 || table("glyf").empty() || table("hhea").empty() ||
        table("hmtx").empty())
        return {};
    const std::size_t glyphCount = read16(maxp, 4);
    const bool longOffsets = read16(head, 50) != 0;
    if (glyphCount == 0 || loca.size() < (glyphCount + 1) * (longOffsets ? 4 : 2))
        return {};

    // What a PDF viewer draws the glyphs from: outlines, metrics, the hinting programs and their
    // ranges, and the names. The layout tables stay behind, as the pages hold glyphs already
    // shaped (the subsetter would add every glyph a substitution can reach), and so does the
    // character map, as the pages address glyphs by id and the text has the document's own map.
    std::vector<std::pair<const char*, std::string>> tables;
    for (const char* tag : {"OS/2", "cvt ", "fpgm", "gasp", "glyf", "head", "hhea", "hmtx", "loca",
                            "maxp", "name", "post", "prep"}) {
        std::string data = table(tag);
        if (!data.empty())
            tables.emplace_back(tag, std::move(data));
    }
    std::string source = fontFile(tables);
    tables.clear();

    const Blob blob(hb_blob_create(source.data(), unsigned(source.size()), HB_MEMORY_MODE_READONLY,
                                   nullptr, nullptr));
    const Face face(hb_face_create(blob.get(), 0));
    const Input input(hb_subset_input_create_or_fail());
    if (!input)
        return {};
    hb_set_t* glyphs = hb_subset_input_glyph_set(input.get());
    hb_set_add(glyphs, 0);
    used.resize(glyphCount, false);
    for (std::size_t glyph = 0; glyph < glyphCount; ++glyph) {
        if (used[glyph])
            hb_set_add(glyphs, hb_codepoint_t(glyph));
    }
    // Glyph 0 keeps its outline: a character the font lacks prints as the font's own box.
    hb_subset_input_set_flags(input.get(),
                              HB_SUBSET_FLAGS_RETAIN_GIDS | HB_SUBSET_FLAGS_NOTDEF_OUTLINE);
    const Face subset(hb_subset_or_fail(face.get(), input.get()));
    if (!subset)
        return {};
    // A table the subsetter could not read is left out rather than failing the subset; a font
    // without one of these would print no text.
    for (const char* tag : {"glyf", "head", "hhea", "hmtx", "loca", "maxp"}) {
        const Blob data(hb_face_reference_table(subset.get(), hb_tag_from_string(tag, 4)));
        if (hb_blob_get_length(data.get()) == 0)
            return {};
    }
    const Blob result(hb_face_reference_blob(subset.get()));
    unsigned length = 0;
    const char* data = hb_blob_get_data(result.get(), &length);
    return length == 0 || !data ? std::string() : std::string(data, length);
}
