#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// The command line of zelmora-export, parsed.
struct ExportCommand {
    enum class Mode { None, Json, Csv, Pdf };
    Mode OutputMode = Mode::None;
    std::string Language = "de"; // "de" (locale base 1000) or "en" (2000)
    std::string CsvGrid;         // files, matrix or ratings
    std::string PdfPath;
    bool Singles = false;
    bool NoTable = false;
    bool NoMatrix = false;
    bool NoRatings = false;
    std::string LogPath;
    // --help or --version: answered instead of any export, whatever else the line holds.
    bool Help = false;
    bool Version = false;

    // Parses the arguments after the program name; false on any bad argument.
    bool Parse(const std::vector<std::string>& args);

    static const char* Usage();
    // The usage followed by what each option does (--help).
    static std::string HelpText();
    // The program's name, version and maker notice (--version).
    static std::string VersionText();
};

// Runs the export: the result on out, a load failure as one line on err; --help and --version
// print on out; with progress, a PDF export shows on err how far it is (for a terminal). Every
// write to out and its final flush are checked: an output that fails (a full disk, a closed
// output) is a German message on err and exit code 1, never a truncated result reported as
// success.
// Returns the process exit code: 0 success, 1 load or output failure, 2 bad arguments or an
// output that is the log itself.
int RunExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              bool progress = false);
