#include "ExportCommand.h"

#include "AtomicFile.h"
#include "Errors.h"
#include "GridCsv.h"
#include "PageExport.h"
#include "PdfExport.h"
#include "ProductIdentity.h"
#include "ReportFonts.h"
#include "TFile.h"
#include "TLocale.h"
#include "TMatchDocument.h"

#include <QByteArray>
#include <QGuiApplication>

#include <cerrno>
#include <memory>
#include <ostream>

bool ExportCommand::Parse(const std::vector<std::string>& args)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--help" || a == "--version") {
            Help = a == "--help";
            Version = !Help;
            return true;
        }
        if (a == "--lang" && hasValue) {
            Language = args[++i];
            if (Language != "de" && Language != "en")
                return false;
        } else if (a == "--json" && OutputMode == Mode::None) {
            OutputMode = Mode::Json;
        } else if (a == "--csv" && hasValue && OutputMode == Mode::None) {
            OutputMode = Mode::Csv;
            CsvGrid = args[++i];
            if (CsvGrid != "files" && CsvGrid != "matrix" && CsvGrid != "ratings")
                return false;
        } else if (a == "--pdf" && hasValue && OutputMode == Mode::None) {
            OutputMode = Mode::Pdf;
            PdfPath = args[++i];
        } else if (a == "--singles") {
            Singles = true;
        } else if (a == "--no-table") {
            NoTable = true;
        } else if (a == "--no-matrix") {
            NoMatrix = true;
        } else if (a == "--no-ratings") {
            NoRatings = true;
        } else if (!a.empty() && a[0] != '-' && LogPath.empty()) {
            LogPath = a;
        } else {
            return false;
        }
    }
    const bool pdfFlags = Singles || NoTable || NoMatrix || NoRatings;
    if (pdfFlags && OutputMode != Mode::Pdf)
        return false;
    return OutputMode != Mode::None && !LogPath.empty();
}

const char* ExportCommand::Usage()
{
    return "usage: zelmora-export [--lang de|en] --json LOG.mpr\n"
           "       zelmora-export [--lang de|en] --csv files|matrix|ratings LOG.mpr\n"
           "       zelmora-export [--lang de|en] --pdf OUT.pdf [--singles] [--no-table]"
           " [--no-matrix] [--no-ratings] LOG.mpr\n";
}

std::string ExportCommand::HelpText()
{
    return std::string(Usage()) +
           "Writes what the viewer's pages show of a statistics log (.mpr); needs no display.\n"
           "\n"
           "  --lang de|en   language of the log's texts (default de)\n"
           "  --json         the four pages as JSON\n"
           "  --csv GRID     one grid as CSV: files, matrix or ratings\n"
           "  --pdf OUT.pdf  the printed report as one PDF file\n"
           "  --singles      with --pdf: also one single log per input file\n"
           "  --no-table, --no-matrix, --no-ratings\n"
           "                 with --pdf: leave that part out of the whole log\n"
           "  --help         show this help and exit\n"
           "  --version      show the version and exit\n"
           "\n"
           "Exit status: 0 done, 1 the log cannot be read or the output cannot be written,\n"
           "2 bad arguments or nothing to print.\n";
}

std::string ExportCommand::VersionText()
{
    return std::string("zelmora-export (") + kViewerName + ") " + kViewerVersion + "\n" +
           kMakerNotice + "\n";
}

namespace {

// Fonts and the PDF writer need a GUI application; without a display it runs offscreen.
int RunPdfExport(const ExportCommand& command, const TMatchDocument& doc, std::ostream& err,
                 bool progress)
{
    if (QGuiApplication::instance()) {
        RegisterReportFonts();
        return ExportPdf(command, doc, err, progress);
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    static int argc = 1;
    static char name[] = "zelmora-export";
    static char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    RegisterReportFonts();
    return ExportPdf(command, doc, err, progress);
}

} // namespace

int RunExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              bool progress)
{
    ExportCommand command;
    if (!command.Parse(args)) {
        err << ExportCommand::Usage();
        return 2;
    }
    if (command.Help || command.Version) {
        out << (command.Help ? ExportCommand::HelpText() : ExportCommand::VersionText());
        return 0;
    }
    Locale().SetBase(command.Language == "en" ? TLocale::kEnglishBase : TLocale::kGermanBase);
    // Running out of memory ends the export like any other failure: a German message, exit 1.
    try {
        TMatchDocument doc;
        doc.LoadFromFile(ExpandFileName(command.LogPath));
        if (command.OutputMode == ExportCommand::Mode::Pdf)
            return RunPdfExport(command, doc, err, progress);
        if (command.OutputMode == ExportCommand::Mode::Json) {
            WritePagesJson(out, doc, command.Language);
            out << '\n';
        } else {
            WriteGridCsv(out, doc, command.CsvGrid);
        }
        errno = 0;
        out.flush();
        CheckOutputStream(out);
    } catch (const std::exception& e) {
        err << ErrorMessage(e) << '\n';
        return 1;
    }
    return 0;
}
