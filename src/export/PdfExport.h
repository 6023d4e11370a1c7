#pragma once

#include "TMatchDocument.h"

#include <iosfwd>
#include <string>

struct ExportCommand;

// Prints the log into one PDF file the way the viewer's print command prints it: the whole log
// (files table, matrix, ratings as the command chooses) and, with --singles, one single log per
// input file after it, each part from a new page. Needs a QGuiApplication.
//
// With progress, the part and page being printed are shown on err as one line rewritten in
// place (for a terminal), cleared at the end.
//
// The file appears only when complete, replacing what was there (AtomicFile); a failed, refused
// or interrupted export leaves that as it was and no file of its own.
//
// Returns the exit code: 0 written; 1 when printing failed or the file may not be written (the
// German message, naming the file and why, on err); 2 when the choices leave nothing to print
// for this log, or the output is the log itself.
int ExportPdf(const ExportCommand& command, const TMatchDocument& doc, std::ostream& err,
              bool progress = false);
