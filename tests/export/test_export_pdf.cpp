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

#include <algorithm>
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

// A field of pdfinfo's report; empty when pdfinfo cannot read the file or has no such field.
QString PdfInfo(const std::string& path, const QString& field)
{
    const QString info = RunTool(QStringLiteral("pdfinfo"), {QString::fromStdString(path)}).out;
    const auto match = QRegularExpression(QStringLiteral("^%1:\\s*(.*)$").arg(field),
                                          QRegularExpression::MultilineOption)
                           .match(info);
    return match.hasMatch() ? match.captured(1).trimmed() : QString();
}

// The real program with one font file as the only font there is, and no report font from
// elsewhere either.
ToolRun ExportWithTheOnlyFont(const TempDir& dir, const std::string& font,
                              const std::vector<std::string>& arguments)
{
    QDir(QString::fromStdString(dir.Path(""))).mkpath(QStringLiteral("fonts"));
    WriteFileBytes(dir.Path("fonts/Only.ttf"), font);
    const std::string config = "<?xml version=\"1.0\"?>\n<fontconfig>\n<dir>" + dir.Path("fonts") +
                               "</dir>\n<cachedir>" + dir.Path("cache") +
                               "</cachedir>\n</fontconfig>\n";
    WriteFileBytes(dir.Path("fonts.conf"), config);
    return RunExporter(arguments, {{QStringLiteral("FONTCONFIG_FILE"),
                                    QString::fromStdString(dir.Path("fonts.conf"))},
                                   {QStringLiteral("ZELMORA_REPORT_FONTS"), QString()}});
}

// The sample whole log as a file in dir.
std::string SampleLogFile(const TempDir& dir)
{
    const std::string log = dir.Path("whole.mpr");
    WriteFileBytes(log, MprFile(SampleWholeLog()));
    return log;
}

std::vector<std::string> PdfWords(const std::string& path)
{
    const QString text =
        RunTool(QStringLiteral("pdftotext"), {QString::fromStdString(path), QStringLiteral("-")})
            .out;
    std::vector<std::string> words;
    for (const QString& word :
         text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
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
    const std::string log = SampleLogFile(dir);
    const std::string pdf = dir.Path("out.pdf");
    const ToolRun exporter =
        ExportWithTheOnlyFont(dir, WithEmbeddingBits(font, 0x0002), {"--pdf", pdf, log});
    ASSERT_EQ(exporter.code, 0) << exporter.err.toStdString();
    EXPECT_EQ(PdfPages(pdf), 3);

    // Not one font went in as the direct output's embedded subset.
    const QString list = RunTool(QStringLiteral("pdffonts"), {QString::fromStdString(pdf)}).out;
    EXPECT_FALSE(list.contains(QRegularExpression(QStringLiteral("yes\\s+yes\\s+yes"))))
        << list.toStdString();
}

// The PDF export tells how far it is on stderr, as one line rewritten in place and cleared at
// the end, only when stderr is a terminal; a pipe or a file gets nothing but messages.
TEST(ExportPdf, ProgressOnATerminalOnly)
{
    TempDir dir;
    const std::string log = dir.Path("whole.mpr");
    WriteFileBytes(log, MprFile(SampleWholeLog()));
    const std::string pdf = dir.Path("out.pdf");
    const std::vector<std::string> args = {"--pdf", pdf, "--singles", log};
    for (const bool progress : {false, true}) {
        std::ostringstream out, err;
        ASSERT_EQ(RunExport(args, out, err, progress), 0);
        const std::string shown = err.str();
        if (!progress) {
            EXPECT_EQ(shown, "");
            continue;
        }
        EXPECT_EQ(shown.rfind("\rTeil 1 von 9: Seite 1 wird vorbereitet", 0), 0u) << shown;
        EXPECT_NE(shown.find("\rTeil 9 von 9: Seite 1 wird "), std::string::npos) << shown;
        EXPECT_EQ(shown.substr(shown.size() - 4), "\r\x1b[K");
        EXPECT_EQ(shown.find('\n'), std::string::npos);
    }

    // The program decides by its stderr: a pipe here, a terminal under script(1).
    QProcess piped;
    piped.start(QStringLiteral(ZELMORA_EXPORT_BINARY),
                {"--pdf", QString::fromStdString(pdf), "--singles", QString::fromStdString(log)});
    ASSERT_TRUE(piped.waitForFinished(60000));
    EXPECT_EQ(piped.exitCode(), 0);
    // (Qt may warn about the environment there; that is not ours.)
    EXPECT_FALSE(piped.readAllStandardError().contains("Teil"));
    if (QStandardPaths::findExecutable(QStringLiteral("script")).isEmpty())
        GTEST_SKIP() << "script(1) is needed to give the program a terminal";
    QProcess terminal;
    terminal.start(QStringLiteral("script"),
                   {"-qec",
                    QStringLiteral("%1 --pdf %2 --singles %3")
                        .arg(QStringLiteral(ZELMORA_EXPORT_BINARY), QString::fromStdString(pdf),
                             QString::fromStdString(log)),
                    "/dev/null"});
    ASSERT_TRUE(terminal.waitForFinished(60000));
    EXPECT_EQ(terminal.exitCode(), 0);
    EXPECT_TRUE(terminal.readAllStandardOutput().contains("Teil 1 von 9: Seite 1 wird"));
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

TEST(ExportPdf, AFileOfSeveralPartsIsTitledByTheHeadTextAndNamesItsProducer)
{
    TempDir dir;
    const std::string font = InstalledFont("DejaVu Sans");
    ASSERT_FALSE(font.empty()) << "DejaVu Sans is not installed";
    const std::string log = SampleLogFile(dir);
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
            if (throughQt) {
                // A font that must not be embedded sends the report through Qt's PDF output.
                const ToolRun exporter =
                    ExportWithTheOnlyFont(dir, WithEmbeddingBits(font, 0x0002), args);
                ASSERT_EQ(exporter.code, 0) << exporter.err.toStdString();
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
    const std::string log = SampleLogFile(dir);
    const std::string pdf = dir.Path("out.pdf");
    // Half an em between lines.
    const ToolRun exporter = ExportWithTheOnlyFont(
        dir, WithLineGap(font, 1024), {"--pdf", pdf, "--no-matrix", "--no-ratings", log});
    ASSERT_EQ(exporter.code, 0) << exporter.err.toStdString();
    const std::vector<std::string> words = PdfWords(pdf);
    const auto count = [&words](const std::string& word) {
        return std::count(words.begin(), words.end(), word);
    };
    // Both title lines of the counting columns, every description line, both sum rows.
    for (const char* word : {"Brutto", "Netto", "Abgleichlauf", "Verfahren:", "Bearbeiter:"})
        EXPECT_EQ(count(word), 1) << word;
    EXPECT_EQ(count("Summe"), 2);
}
