#include "TQRPdfPage.h"

#include <QBrush>
#include <QLineF>
#include <QPageLayout>
#include <QPageSize>
#include <QPen>
#include <QRectF>

#include <gtest/gtest.h>

#include <string>

namespace {

int Occurrences(const std::string& text, const std::string& part)
{
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

} // namespace

// A page writes a colour or pen when it changes, keeps the marks of one kind in one path, and
// writes the state again after a clip: the restore that ends the clip undoes it in the viewer
// too. Its content closes every state it saved.
TEST(PdfPage, WritesStateWhenItChangesAndAgainAfterAClip)
{
    TQRPdfPage page;
    page.Begin(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()), 72, 72);
    EXPECT_EQ(page.MediaBox(), "[0 0 595 842]");
    const QBrush red(Qt::red);
    const QPen pen(Qt::black, 2);
    page.FillRect(QRectF(0, 0, 10, 10), red);
    page.FillRect(QRectF(10, 0, 10, 10), red);
    page.StrokeLine(QLineF(0, 20, 100, 20), pen);
    page.StrokeLine(QLineF(0, 30, 100, 30), pen);
    page.SetClip(QRectF(0, 0, 50, 50));
    page.FillRect(QRectF(0, 40, 10, 10), red);
    page.ClearClip();
    page.FillRect(QRectF(0, 60, 10, 10), red);
    page.StrokeLine(QLineF(0, 70, 100, 70), pen);
    page.SetClip(QRectF(0, 0, 50, 50));
    const std::string content = page.End();

    EXPECT_FALSE(page.Open());
    EXPECT_EQ(Occurrences(content, "1 0 0 rg\n"), 2);
    EXPECT_EQ(Occurrences(content, "0 0 0 RG\n"), 2);
    EXPECT_EQ(Occurrences(content, "2 w\n"), 2);
    EXPECT_EQ(Occurrences(content, "f\n"), 3);
    EXPECT_EQ(Occurrences(content, "S\n"), 2);
    EXPECT_EQ(Occurrences(content, "q "), 3);
    EXPECT_EQ(Occurrences(content, "Q\n"), 3);
    EXPECT_EQ(content.substr(content.size() - 2), "Q\n");
}
