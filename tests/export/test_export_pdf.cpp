#include "ExportCommand.h"
#include "FontFiles.h"
#include "MprWriter.h"
#include "ReportFonts.h"
#include "Samples.h"
#include "TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <iostream>
#include <map>
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

struct ToolRun {
    int code = -1;
    QString out;
    QString err;
};

// Runs a program to its end with variables added to the environment.
ToolRun RunTool(const QString& program, const QStringList& arguments,
                const std::map<QString, QString>& environment = {})
{
    QProcess process;
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : environment)
        variables.insert(name, value);
    process.setProcessEnvironment(variables);
    process.start(program, arguments);
    ToolRun run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.code = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// The real program, as a user starts it: without a display, with the fonts the environment
// leaves it.
ToolRun RunExporter(const std::vector<std::string>& arguments,
                    std::map<QString, QString> environment = {})
{
    QStringList list;
    for (const std::string& argument : arguments)
        list << QString::fromStdString(argument);
    environment.emplace(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return RunTool(QStringLiteral(ZELMORA_EXPORT_BINARY), list, environment);
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
    // No report font from elsewhere either.
    const ToolRun exporter = RunExporter(
        {"--pdf", pdf, log},
        {{QStringLiteral("FONTCONFIG_FILE"), QString::fromStdString(dir.Path("fonts.conf"))},
         {QStringLiteral("ZELMORA_REPORT_FONTS"), QString()}});
    ASSERT_EQ(exporter.code, 0) << exporter.err.toStdString();
    EXPECT_EQ(PdfPages(pdf), 3);

    // Not one font went in as the direct output's embedded subset.
    const QString list = RunTool(QStringLiteral("pdffonts"), {QString::fromStdString(pdf)}).out;
    EXPECT_FALSE(list.contains(QRegularExpression(QStringLiteral("yes\\s+yes\\s+yes"))))
        << list.toStdString();
}

TEST(ExportPdf, ReportsEmbedSmallSubsetsOfTheReportFontAndReadBackAsPrinted)
{
    TempDir dir;
    std::vector<std::string> logs;
    for (const SampleLog& sample : AllSamples()) {
        logs.push_back(dir.Path(sample.FileName));
        WriteFileBytes(logs.back(), MprFile(sample.Document, sample.Options));
    }
    // Letters beyond ASCII, a sign that comes from another range, letter pairs a font may set
    // as one glyph.
    TMatchDocument special = SingleLogOf(SampleWholeLog(), 2);
    special.InfoLines = {"Gr\xFC\xDF"
                         "e \x96 5 \x80 je Treffer, fein abgeflacht"};
    logs.push_back(dir.Path("special.mpr"));
    WriteFileBytes(logs.back(), MprFile(special));
    const QString specialLine = QStringLiteral("Grüße – 5 € je Treffer, fein abgeflacht");

    const QString folder = ReportFontFolder();
    const bool reportFontThere =
        QFileInfo(QDir(folder).filePath(QStringLiteral("tahoma.ttf"))).isFile();
    const bool fontSystemHasIt =
        !RunTool(QStringLiteral("fc-list"), {QStringLiteral("Tahoma")}).out.trimmed().isEmpty();
    const bool checkable = !QStandardPaths::findExecutable(QStringLiteral("qpdf")).isEmpty();
    if (!checkable)
        std::cerr << "qpdf is not installed: the PDFs' structure goes unchecked\n";

    struct Fonts {
        const char* name;
        std::map<QString, QString> environment;
        bool tahoma;
    };
    const std::vector<Fonts> fontCases = {
        {"the report font where the machine has it", {}, reportFontThere || fontSystemHasIt},
        {"its substitute", {{QStringLiteral("ZELMORA_REPORT_FONTS"), QString()}}, fontSystemHasIt},
    };
    for (const Fonts& fonts : fontCases) {
        for (const std::string& log : logs) {
            for (const bool singles : {false, true}) {
                SCOPED_TRACE(testing::Message()
                             << fonts.name << ", " << log << (singles ? " --singles" : ""));
                const std::string pdf = dir.Path("out.pdf");
                std::vector<std::string> arguments = {"--pdf", pdf, log};
                if (singles)
                    arguments.insert(arguments.begin() + 2, "--singles");
                const ToolRun exporter = RunExporter(arguments, fonts.environment);
                ASSERT_EQ(exporter.code, 0) << exporter.err.toStdString();
                const QString path = QString::fromStdString(pdf);

                if (PdfPages(pdf) == 1) {
                    EXPECT_LT(QFileInfo(path).size(), 60 * 1024);
                }
                if (checkable) {
                    const ToolRun check =
                        RunTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), path});
                    EXPECT_EQ(check.code, 0) << check.out.toStdString() << check.err.toStdString();
                }
                QStringList list = RunTool(QStringLiteral("pdffonts"), {path})
                                       .out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                       .mid(2);
                ASSERT_FALSE(list.isEmpty());
                for (const QString& font : list) {
                    // A subset, embedded, with a Unicode map.
                    EXPECT_TRUE(font.contains(QRegularExpression(QStringLiteral(
                        "^[A-Z]{6}\\+\\S+\\s+CID TrueType\\s+Identity-H\\s+yes\\s+yes\\s+yes\\b"))))
                        << font.toStdString();
                }
                const QString names = list.join(QLatin1Char('\n'));
                EXPECT_EQ(names.contains(QStringLiteral("+Tahoma-Regular ")), fonts.tahoma)
                    << names.toStdString();
                EXPECT_EQ(names.contains(QStringLiteral("+Tahoma-Bold ")), fonts.tahoma)
                    << names.toStdString();

                const QString text =
                    RunTool(QStringLiteral("pdftotext"), {path, QStringLiteral("-")}).out;
                EXPECT_TRUE(text.contains(QStringLiteral("Zelmora -- Statistik")));
                if (log == logs.back()) {
                    EXPECT_TRUE(text.contains(specialLine)) << text.toStdString();
                } else {
                    EXPECT_TRUE(
                        text.contains(QStringLiteral("Versandhaus Müller & Söhne GmbH, Köln")))
                        << text.toStdString();
                }
            }
        }
    }
}
