#include "PdfDevice.h"
#include "PdfFile.h"
#include "ScriptedReport.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

TEST(PdfFile, CrossReferenceTablePointsAtEveryObject)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("xref.pdf"));
    ScriptedReport report(500);
    report.Rows = 10;
    PrintReport(report.Report, PdfDevice::Direct, path);
    EXPECT_EQ(PdfFile(path).Pages(), 4);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::string data = file.readAll().toStdString();
    const auto tail = QRegularExpression(QStringLiteral("startxref\\n(\\d+)\\n%%EOF\\n$"))
                          .match(QString::fromLatin1(data.substr(data.size() - 40).c_str()));
    ASSERT_TRUE(tail.hasMatch());
    const std::size_t xref = tail.captured(1).toULongLong();
    const auto head = QRegularExpression(QStringLiteral("^xref\\n0 (\\d+)\\n"))
                          .match(QString::fromLatin1(data.substr(xref, 30).c_str()));
    ASSERT_TRUE(head.hasMatch());
    const int count = head.captured(1).toInt();
    const std::size_t entries = xref + std::size_t(head.capturedLength(0));
    EXPECT_EQ(data.substr(entries, 20), "0000000000 65535 f \n");
    for (int id = 1; id < count; ++id) {
        const std::string entry = data.substr(entries + 20 * std::size_t(id), 20);
        ASSERT_EQ(entry.substr(10), " 00000 n \n") << "object " << id;
        const std::size_t offset = std::stoull(entry.substr(0, 10));
        const std::string object = std::to_string(id) + " 0 obj\n";
        EXPECT_EQ(data.substr(offset, object.size()), object);
    }
    EXPECT_NE(data.find("trailer\n<< /Size " + std::to_string(count) + " "), std::string::npos);
}
