#pragma once

#include <QList>
#include <QRawFont>
#include <QString>
#include <QtGlobal>

#include <cstddef>
#include <string>
#include <vector>

class TQRPdfFile;

// One font of a PDF document as its pages use it: the glyphs drawn with their widths, and the
// characters each glyph stands for. At the end it goes into the file as a subset of its
// TrueType program (the glyph ids stay as the pages wrote them) with a ToUnicode map, so the
// text can be searched and copied.
class TQRPdfFont {
public:
    // The font written as /F<number>; EPdfUnsupported for a font without TrueType outlines or
    // one whose licence forbids embedding.
    TQRPdfFont(const QRawFont& raw, int number);

    const QRawFont& Raw() const { return m_raw; }
    int Number() const { return m_number; }
    // Pixel size as written in the page: the text positions are computed from it.
    double Size() const { return m_size; }
    std::size_t GlyphCount() const { return m_glyphCount; }
    // Bold asked of a face that is not: drawn with an outline stroke of this width in pixels,
    // as Qt's own PDF output thickens such text too; 0 for none.
    double BoldStroke() const { return m_boldStroke; }

    // The glyph's advance in 1/1000 of the size, as the width table gives it; the glyph is
    // then part of the subset. The glyph must be below GlyphCount.
    double GlyphWidth(quint32 glyph);
    // Tells which characters the glyphs of a run stand for (the run laid out from the text); a
    // glyph keeps the characters it was first given.
    void NoteText(const QList<quint32>& glyphs, bool rightToLeft, const QString& text);
    // Writes the font program, its descriptor, the CID font, the Unicode map and the font
    // itself; EPdfUnsupported when the font's tables do not make a subset.
    void Write(TQRPdfFile& file);
    // The font object, once written.
    int ObjectId() const { return m_objectId; }

private:
    // The ToUnicode map of the glyphs used that stand for characters.
    std::string unicodeMap() const;

    QRawFont m_raw;
    int m_number = 0;
    double m_size = 0;
    std::size_t m_glyphCount = 0;
    // Advance per glyph in 1/1000 of the size; negative while the glyph has not been used.
    std::vector<double> m_widths;
    std::vector<bool> m_used;
    std::vector<std::u16string> m_unicode;
    double m_boldStroke = 0;
    int m_objectId = 0;
};
