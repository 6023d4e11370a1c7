#include "TQRPdfDocument.h"

#include "PdfSyntax.h"
#include "TQRPdfFont.h"

#include <QDateTime>

#include <stdexcept>

namespace {

// Fixed objects; the rest are numbered as they come.
constexpr int kCatalog = 1;
constexpr int kPageTree = 2;
constexpr int kResources = 3;
constexpr int kInfo = 4;

} // namespace

TQRPdfDocument::TQRPdfDocument(const QString& path)
    : m_file(path)
{
}

TQRPdfDocument::TQRPdfDocument(AtomicFile& file)
    : m_file(file)
{
}

// An unfinished document's own file goes with it, never reaching its name.
TQRPdfDocument::~TQRPdfDocument() = default;

TQRPdfFont& TQRPdfDocument::font(const QRawFont& raw)
{
    for (const auto& font : m_fonts) {
        if (font->Raw() == raw)
            return *font;
    }
    m_fonts.push_back(std::make_unique<TQRPdfFont>(raw, int(m_fonts.size()) + 1));
    return *m_fonts.back();
}

void TQRPdfDocument::BeginPage(const QPageLayout& layout, double dpiX, double dpiY)
{
    if (m_finished)
        throw std::logic_error("a finished PDF document takes no more pages");
    if (!m_file.Running()) {
        m_file.Open();
        for (int id = 1; id <= kInfo; ++id)
            m_file.NewObject();
    }
    endPage();
    m_pages.push_back(m_file.NewObject());
    m_contentId = m_file.NewObject();
    m_page.Begin(layout, dpiX, dpiY);
}

void TQRPdfDocument::endPage()
{
    if (!m_page.Open())
        return;
    const std::string& mediaBox = m_page.MediaBox();
    std::string page = "<< /Type /Page /Parent " + std::to_string(kPageTree) + " 0 R /Resources " +
                       std::to_string(kResources) + " 0 R /MediaBox " + mediaBox + " /Contents " +
                       std::to_string(m_contentId) + " 0 R >>";
    m_file.QueuePage(m_contentId, m_page.End(), m_pages.back(), std::move(page));
}

void TQRPdfDocument::DrawGlyphs(const QRawFont& raw, const quint32* glyphs,
                                const QPointF* positions, std::size_t count, const QColor& colour)
{
    if (count == 0)
        return;
    m_page.DrawGlyphs(font(raw), glyphs, positions, count, colour);
}

void TQRPdfDocument::NoteText(const QRawFont& raw, const QList<quint32>& glyphs, bool rightToLeft,
                              const QString& text)
{
    font(raw).NoteText(glyphs, rightToLeft, text);
}

void TQRPdfDocument::Finish()
{
    if (m_finished || !m_file.Running())
        return;
    endPage();
    m_file.FinishPages();
    for (const auto& font : m_fonts)
        font->Write(m_file);

    std::string fonts;
    for (const auto& font : m_fonts)
        fonts += " /F" + std::to_string(font->Number()) + ' ' + std::to_string(font->ObjectId()) +
                 " 0 R";
    m_file.WriteObject(kResources, "<< /ProcSet [/PDF /Text] /Font <<" + fonts + " >> >>");

    std::string kids;
    for (const int page : m_pages)
        kids += std::to_string(page) + " 0 R ";
    m_file.WriteObject(kPageTree, "<< /Type /Pages /Kids [" + kids + "] /Count " +
                                      std::to_string(m_pages.size()) + " >>");

    m_file.WriteObject(kCatalog,
                       "<< /Type /Catalog /Pages " + std::to_string(kPageTree) + " 0 R >>");

    const QString now = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmss"));
    std::string creator;
    if (!m_creator.isEmpty())
        creator =
            " /Creator " + pdf::utf16Hex(m_creator) + " /Producer " + pdf::utf16Hex(m_creator);
    m_file.WriteObject(kInfo, "<< /Title " + pdf::utf16Hex(m_title) + creator +
                                  " /CreationDate (D:" + now.toStdString() + "Z) >>");

    m_file.WriteTrailer(kCatalog, kInfo);
    m_finished = true;
    m_file.Commit();
}
