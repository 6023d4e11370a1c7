#include "ExportCommand.h"
#include "FontFiles.h"
#include "MprWriter.h"
#include "Samples.h"
#include "TempDir.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <sstream>

namespace {

int PdfPages(const std::string& path)
{
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {QString::fromStdString(path)});
    info.waitForFinished();
    const QString text = QString::fromUtf8(info.readAllStandardOutput());
    const auto match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(text);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

} // namespace

TEST(ExportPdf, PartsOfTheWholeLogAndItsSingleLogsInOneFile)
{
    TempDir dir;
    const std::string log = dir.Path("whole.mpr");
    WriteFileBytes(log, MprFile(SampleWholeLog()));
    const std::string pdf = dir.Path("out.pdf");
    struct Case {
        std::vector<std::string> flags;
        int pages; // files table, matrix and ratings fit one page each here
    };
    const std::vector<Case> cases = {
        {{}, 3},
        {{"--singles"}, 3 + 8},
        {{"--no-matrix", "--no-ratings"}, 1},
        {{"--no-table", "--no-matrix", "--no-ratings", "--singles"}, 8},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"--pdf", pdf};
        args.insert(args.end(), c.flags.begin(), c.flags.end());
        args.push_back(log);
        std::ostringstream out, err;
        ASSERT_EQ(RunExport(args, out, err), 0) << err.str();
        EXPECT_EQ(PdfPages(pdf), c.pages) << c.flags.size();
    }
}

TEST(ExportPdf, FailuresLeaveNoFile)
{
    TempDir dir;
    const std::string pdf = dir.Path("out.pdf");
    std::ostringstream out, err;
    EXPECT_EQ(RunExport({"--pdf", pdf, dir.Path("missing.mpr")}, out, err), 1);
    EXPECT_FALSE(err.str().empty());
    EXPECT_EQ(PdfPages(pdf), -1);

    const std::string log = dir.Path("whole.mpr");
    WriteFileBytes(log, MprFile(SampleWholeLog()));
    std::ostringstream nothing;
    EXPECT_EQ(
        RunExport({"--pdf", pdf, "--no-table", "--no-matrix", "--no-ratings", log}, out, nothing),
        2);
    EXPECT_EQ(PdfPages(pdf), -1);

    std::ostringstream unwritable;
    EXPECT_EQ(RunExport({"--pdf", dir.Path("no/such/folder/out.pdf"), log}, out, unwritable), 1);
    EXPECT_EQ(unwritable.str(), "Die Datei \"" + dir.Path("no/such/folder/out.pdf") +
                                    "\" kann nicht geschrieben werden: der Ordner \"" +
                                    dir.Path("no/such/folder") + "\" existiert nicht.\n");
}

TEST(ExportPdf, AFontThatMustNotBeEmbeddedSendsTheReportThroughQtsPdfOutput)
{
    TempDir dir;
    // The only font there is: DejaVu Sans whose licence bits forbid embedding.
    const std::string font = InstalledFont("DejaVu Sans");
    ASSERT_FALSE(font.empty()) << "DejaVu Sans is not installed";
    QDir(QString::fromStdString(dir.Path(""))).mkpath(QStringLiteral("fonts"));
    WriteFileBytes(dir.Path("fonts/Restricted.ttf"), WithEmbeddingBits(font, 0x0002));
    const std::string config = "<?xml version=\"1.0\"?>\n<fontconfig>\n<dir>" + dir.Path("fonts") +
                               "</dir>\n<cachedir>" + dir.Path("cache") +
                               "</cachedir>\n</fontconfig>\n";
    WriteFileBytes(dir.Path("fonts.conf"), config);

    const std::string log = dir.Path("whole.mpr");
    WriteFileBytes(log, MprFile(SampleWholeLog()));
    const std::string pdf = dir.Path("out.pdf");
    QProcess exporter;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("FONTCONFIG_FILE"),
                       QString::fromStdString(dir.Path("fonts.conf")));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    exporter.setProcessEnvironment(environment);
    exporter.start(
        QStringLiteral(ZELMORA_EXPORT_BINARY),
        {QStringLiteral("--pdf"), QString::fromStdString(pdf), QString::fromStdString(log)});
    ASSERT_TRUE(exporter.waitForFinished(60000));
    ASSERT_EQ(exporter.exitCode(), 0) << exporter.readAllStandardError().toStdString();
    EXPECT_EQ(PdfPages(pdf), 3);

    // Not one font went in as the direct output's embedded subset.
    QProcess fonts;
    fonts.start(QStringLiteral("pdffonts"), {QString::fromStdString(pdf)});
    ASSERT_TRUE(fonts.waitForFinished());
    const QString list = QString::fromUtf8(fonts.readAllStandardOutput());
    EXPECT_FALSE(list.contains(QRegularExpression(QStringLiteral("yes\\s+yes\\s+yes"))))
        << list.toStdString();
}
