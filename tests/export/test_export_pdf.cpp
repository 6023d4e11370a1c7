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

// A field of pdfinfo's report; empty when pdfinfo cannot read the file or has no such field.
QString PdfInfo(const std::string& path, const QString& field)
{
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {QString::fromStdString(path)});
    info.waitForFinished();
    const QString text = QString::fromUtf8(info.readAllStandardOutput());
    const auto match = QRegularExpression(QStringLiteral("^%1:\\s*(.*)$").arg(field),
                                          QRegularExpression::MultilineOption)
                           .match(text);
    return match.hasMatch() ? match.captured(1).trimmed() : QString();
}

int PdfPages(const std::string& path)
{
    const QString pages = PdfInfo(path, QStringLiteral("Pages"));
    return pages.isEmpty() ? -1 : pages.toInt();
}

// Runs the exporter program with one font file as the only font there is.
int ExportWithTheOnlyFont(const TempDir& dir, const std::string& font,
                          const std::vector<std::string>& arguments, std::string& errors)
{
    if (font.empty()) {
        errors = "DejaVu Sans is not installed";
        return -1;
    }
    QDir(QString::fromStdString(dir.Path(""))).mkpath(QStringLiteral("fonts"));
    WriteFileBytes(dir.Path("fonts/Only.ttf"), font);
    const std::string config = "<?xml version=\"1.0\"?>\n<fontconfig>\n<dir>" + dir.Path("fonts") +
                               "</dir>\n<cachedir>" + dir.Path("cache") +
                               "</cachedir>\n</fontconfig>\n";
    WriteFileBytes(dir.Path("fonts.conf"), config);
    QProcess exporter;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("FONTCONFIG_FILE"),
                       QString::fromStdString(dir.Path("fonts.conf")));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    exporter.setProcessEnvironment(environment);
    QStringList list;
    for (const std::string& argument : arguments)
        list << QString::fromStdString(argument);
    exporter.start(QStringLiteral(ZELMORA_EXPORT_BINARY), list);
    if (!exporter.waitForFinished(60000))
        return -1;
    errors = exporter.readAllStandardError().toStdString();
    return exporter.exitCode();
}

// The exporter where the only font there is must not be embedded (DejaVu Sans with licence
// bits that forbid it), so that it prints through Qt's PDF output.
int ExportWithARestrictedFont(const TempDir& dir, const std::vector<std::string>& arguments,
                              std::string& errors)
{
    const std::string font = InstalledFont("DejaVu Sans");
    return ExportWithTheOnlyFont(dir, font.empty() ? font : WithEmbeddingBits(font, 0x0002),
                                 arguments, errors);
}

std::vector<std::string> PdfWords(const std::string& path)
{
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QString::fromStdString(path), QStringLiteral("-")});
    text.waitForFinished();
    std::vector<std::string> words;
    for (const QString& word :
         QString::fromUtf8(text.readAllStandardOutput())
             .split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
        words.push_back(word.toStdString());
    return words;
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
    EXPECT_EQ(unwritable.str(), "Der Druck konnte nicht begonnen werden.\n");
}

TEST(ExportPdf, AFontThatMustNotBeEmbeddedSendsTheReportThroughQtsPdfOutput)
{
    TempDir dir;
    const std::string log = dir.Path("whole.mpr");
    WriteFileBytes(log, MprFile(SampleWholeLog()));
    const std::string pdf = dir.Path("out.pdf");
    std::string errors;
    ASSERT_EQ(ExportWithARestrictedFont(dir, {"--pdf", pdf, log}, errors), 0) << errors;
    EXPECT_EQ(PdfPages(pdf), 3);

    // Not one font went in as the direct output's embedded subset.
    QProcess fonts;
    fonts.start(QStringLiteral("pdffonts"), {QString::fromStdString(pdf)});
    ASSERT_TRUE(fonts.waitForFinished());
    const QString list = QString::fromUtf8(fonts.readAllStandardOutput());
    EXPECT_FALSE(list.contains(QRegularExpression(QStringLiteral("yes\\s+yes\\s+yes"))))
        << list.toStdString();
}

TEST(ExportPdf, AFileOfSeveralPartsIsTitledByTheHeadTextAndNamesItsProducer)
{
    TempDir dir;
    const std::string log = dir.Path("whole.mpr");
    WriteFileBytes(log, MprFile(SampleWholeLog()));
    const QString head = QStringLiteral("Dublettenabgleich Fr\u00FChjahrskatalog 2026");
    const std::vector<std::vector<std::string>> choices = {
        {},
        {"--singles"},
        {"--no-table", "--no-matrix", "--no-ratings", "--singles"},
    };
    for (const bool throughQt : {false, true}) {
        for (const auto& flags : choices) {
            SCOPED_TRACE(testing::Message() << (throughQt ? "Qt's PDF output" : "direct output")
                                            << ", " << flags.size() << " flags");
            const std::string pdf = dir.Path("out.pdf");
            std::vector<std::string> args = {"--pdf", pdf};
            args.insert(args.end(), flags.begin(), flags.end());
            args.push_back(log);
            std::string errors;
            if (throughQt) {
                ASSERT_EQ(ExportWithARestrictedFont(dir, args, errors), 0) << errors;
            } else {
                std::ostringstream out, err;
                ASSERT_EQ(RunExport(args, out, err), 0) << err.str();
            }
            EXPECT_EQ(PdfInfo(pdf, QStringLiteral("Title")).toStdString(), head.toStdString());
            EXPECT_FALSE(PdfInfo(pdf, QStringLiteral("Producer")).isEmpty());
        }
    }
}

TEST(ExportPdf, AFontWithLeadingLosesNoLineOfTheTitlesOrTheDescription)
{
    TempDir dir;
    const std::string font = InstalledFont("DejaVu Sans");
    ASSERT_FALSE(font.empty()) << "DejaVu Sans is not installed";
    const std::string log = dir.Path("whole.mpr");
    WriteFileBytes(log, MprFile(SampleWholeLog()));
    const std::string pdf = dir.Path("out.pdf");
    std::string errors;
    // Half an em between lines.
    ASSERT_EQ(ExportWithTheOnlyFont(dir, WithLineGap(font, 1024),
                                    {"--pdf", pdf, "--no-matrix", "--no-ratings", log}, errors),
              0)
        << errors;
    const std::vector<std::string> words = PdfWords(pdf);
    const auto count = [&words](const std::string& word) {
        return std::count(words.begin(), words.end(), word);
    };
    // Both title lines of the counting columns, every description line, both sum rows.
    for (const char* word : {"Brutto", "Netto", "Abgleichlauf", "Verfahren:", "Bearbeiter:"})
        EXPECT_EQ(count(word), 1) << word;
    EXPECT_EQ(count("Summe"), 2);
}
