#include "PdfFile.h"
#include "Samples.h"
#include "TempDir.h"

#include "QtText.h"
#include "TPrintPreview.h"
#include "TPrintSetupState.h"
#include "TQROutput.h"
#include "TQRPdfDocument.h"
#include "TReportSource.h"
#include "TnewPrinterForm.h"

#include <QPdfWriter>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr int kDpi = 100;

// What the print command prints of a log with every content chosen: the whole log, then one
// single log per input file.
std::vector<int> Parts(const TReportSource& source)
{
    std::vector<int> parts{source.Document().SingleNumber};
    for (int i = 1; i <= source.Files().FileCount && source.Files().FileCount > 1; ++i)
        parts.push_back(i);
    return parts;
}

QString Head(const TMatchDocument& doc) { return FromCp1252(doc.HeadText); }

// Every part into one PDF, as the exporter writes it.
PdfFile PrintAll(const TReportSource& source, const TPrintSetupState& state, const QString& path)
{
    {
        QPdfWriter writer(path);
        TQRPdfDocument pdf(path);
        TQROutput output(writer, pdf);
        for (int part : Parts(source)) {
            TnewPrinterForm form(source, output);
            form.PrintDocument(source.Document(), state, part, Head(source.Document()));
        }
        output.Finish();
    }
    return PdfFile(path);
}

std::vector<TPreviewPart> PreviewParts(const TReportSource& source, const TPrintSetupState& state)
{
    std::vector<TPreviewPart> parts;
    for (int part : Parts(source)) {
        parts.push_back({QString::number(part), [&source, &state, part](TQROutput& layout) {
                             auto form = std::make_unique<TnewPrinterForm>(source, layout);
                             form->BuildDocument(source.Document(), state, part,
                                                 Head(source.Document()));
                             return form;
                         }});
    }
    return parts;
}

// The share of the page that differs clearly once both images are blurred over a few pixels,
// so that antialiasing and glyph rendering do not count, only what is printed where.
double Difference(const QImage& a, const QImage& b)
{
    // Page sizes rounded to whole pixels in two ways may differ by one.
    const QSize common = a.size().boundedTo(b.size());
    if ((a.size() - common).width() > 1 || (a.size() - common).height() > 1 ||
        (b.size() - common).width() > 1 || (b.size() - common).height() > 1)
        return 1;
    constexpr int tile = 3;
    constexpr int threshold = 48;
    const QSize small = common / tile;
    const auto blurred = [&](const QImage& image) {
        return image.copy(QRect(QPoint(), common))
            .convertToFormat(QImage::Format_Grayscale8)
            .scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    };
    const QImage x = blurred(a);
    const QImage y = blurred(b);
    int differing = 0;
    for (int row = 0; row < small.height(); ++row) {
        const uchar* p = x.constScanLine(row);
        const uchar* q = y.constScanLine(row);
        for (int col = 0; col < small.width(); ++col)
            differing += std::abs(p[col] - q[col]) > threshold ? 1 : 0;
    }
    return double(differing) / (small.width() * small.height());
}

struct Log {
    const char* name;
    TMatchDocument doc;
};

std::vector<Log> Logs()
{
    TMatchDocument longInfo = SampleWholeLog();
    // A description longer than a page goes on over the next pages.
    for (int i = 0; i < 80; ++i)
        longInfo.InfoLines.push_back("Zeile " + std::to_string(i) + " der Beschreibung");
    return {{"whole log", SampleWholeLog()},
            {"legacy log", AllSamples()[3].Document},
            {"a description over pages", longInfo},
            {"wide and long tables", GeneratedLog(60, 1)}};
}

} // namespace

// The preview shows what prints: the same pages as the PDF of the same choices, in number and
// in what is on them. Pages are painted from bookmarks of earlier pages, which must give what a
// pass from the start gives.
TEST(PrintPreview, ShowsThePagesThatPrint)
{
    TempDir dir;
    TPrintSetupState state(1);
    state.Singles = true;
    for (const Log& log : Logs()) {
        SCOPED_TRACE(log.name);
        const TReportSource source(log.doc);
        const PdfFile pdf = PrintAll(source, state, QString::fromStdString(dir.Path("log.pdf")));

        QPdfWriter layout(QString::fromStdString(dir.Path("layout.pdf")));
        TPrintPreview preview(layout, PreviewParts(source, state));
        preview.SetBookmarkSpacing(1);
        EXPECT_TRUE(preview.HasPage(1));
        while (!preview.CountMore(20)) {
        }
        ASSERT_EQ(preview.PageCount(), pdf.Pages());
        EXPECT_FALSE(preview.HasPage(pdf.Pages() + 1));

        // The same report once more, every page painted by a pass from the start.
        QPdfWriter straightLayout(QString::fromStdString(dir.Path("straight.pdf")));
        TPrintPreview straight(straightLayout, PreviewParts(source, state));
        straight.SetBookmarkSpacing(1 << 30);
        const double perMm = kDpi / 25.4;
        for (int page = pdf.Pages(); page >= 1; --page) {
            SCOPED_TRACE(testing::Message()
                         << "page " << page << " (" << preview.PartName(page).toStdString() << " "
                         << preview.PageInPart(page) << ")");
            const QImage shown = preview.PageImage(page, perMm);
            ASSERT_FALSE(shown.isNull());
            EXPECT_TRUE(shown == straight.PageImage(page, perMm));
        }
        // A few pages as the PDF shows them: each preview page is nearest to its own among them,
        // and near enough. Single logs of neighbouring files differ by a row: 0.008 against
        // 0.0085, where pages of different tables differ by 0.02 to 0.07.
        std::vector<int> sample{1,          2, 3, pdf.Pages() / 2, pdf.Pages() - 2, pdf.Pages() - 1,
                                pdf.Pages()};
        sample.erase(std::remove_if(sample.begin(), sample.end(), [](int p) { return p < 1; }),
                     sample.end());
        std::sort(sample.begin(), sample.end());
        sample.erase(std::unique(sample.begin(), sample.end()), sample.end());
        std::vector<QImage> printed;
        for (int page : sample)
            printed.push_back(pdf.RenderSmooth(page, kDpi));
        for (std::size_t i = 0; i < sample.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "page " << sample[i]);
            const QImage shown = preview.PageImage(sample[i], perMm);
            const double own = Difference(shown, printed[i]);
            EXPECT_LT(own, 0.05);
            for (std::size_t j = 0; j < sample.size(); ++j) {
                // Pages that print alike (strips of two single logs) may tie.
                if (j != i) {
                    EXPECT_LE(own, Difference(shown, printed[j])) << "against page " << sample[j];
                }
            }
        }
    }
}

// The printing pass lays the pages out as the preparing pass did, whatever section the
// preparing pass placed last: the description takes the room its own table's column titles
// leave, also when the ratings' one title row was placed before.
TEST(PrintedDescription, EndsOnTheSamePageWhateverSectionsFollow)
{
    TempDir dir;
    TMatchDocument doc = SampleWholeLog();
    for (int i = 0; i < 80; ++i)
        doc.InfoLines.push_back("Zeile" + std::to_string(i));
    const TReportSource source(doc);
    const auto lastLineOnPage = [&](const TPrintSetupState& state, const std::string& name) {
        const QString path = QString::fromStdString(dir.Path(name));
        {
            QPdfWriter writer(path);
            TQROutput output(writer);
            TnewPrinterForm form(source, output);
            form.PrintDocument(doc, state, 0, Head(doc));
            output.Finish();
        }
        int last = -1;
        for (const PdfFile::Word& word : PdfFile(path).Words()) {
            if (word.page == 1 && word.text.startsWith(QStringLiteral("Zeile")))
                last = std::max(last, word.text.mid(5).toInt());
        }
        return last;
    };
    TPrintSetupState tableOnly(1);
    tableOnly.Matrix = false;
    tableOnly.Ratings = false;
    const int alone = lastLineOnPage(tableOnly, "table.pdf");
    ASSERT_GT(alone, 0);
    ASSERT_LT(alone, 79);
    EXPECT_EQ(lastLineOnPage(TPrintSetupState(1), "whole.pdf"), alone);
}

// However many parts a preview counts and shows, it keeps few reports built: the one with the
// most pages and the last used, here of single logs that are wide enough to be bookmarked too.
TEST(PrintPreview, KeepsFewReportsBuilt)
{
    TempDir dir;
    TMatchDocument doc = GeneratedLog(12, 1);
    for (int k = 0; k < 30; ++k) {
        TMatchDocAddColEntry column;
        column.Cells = {"Spalte " + std::to_string(k), "breit"};
        for (int i = 0; i < doc.FileCount + 2; ++i)
            column.Cells.push_back("ein recht langer Text " + std::to_string(i));
        doc.AddedColumns.push_back(column);
        doc.Columns.push_back(int32_t(doc.AddedColumns.size()));
    }
    const TReportSource source(doc);
    TPrintSetupState state(1);
    state.Singles = true;
    QPdfWriter layout(QString::fromStdString(dir.Path("layout.pdf")));
    TPrintPreview preview(layout, PreviewParts(source, state));
    preview.SetBookmarkSpacing(1);
    while (!preview.CountMore(20)) {
        EXPECT_LE(preview.BuiltReports(), TPrintPreview::kKeptReports + 1);
    }
    const int pages = preview.PageCount();
    // More pages than parts: single logs of several strips, each bookmarked.
    ASSERT_GT(pages, 2 * 13);
    for (int page = 1; page <= pages; page += 3) {
        preview.PageImage(page, 1);
        EXPECT_LE(preview.BuiltReports(), TPrintPreview::kKeptReports + 1);
    }
}
