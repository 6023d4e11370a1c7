// A PDF file of the report appears only complete, whichever way it is written, and nothing else
// is left: a full disk, an abort and a failure halfway leave the file that was there before.
#include "AtomicFile.h"
#include "ChildProcess.h"
#include "MprWriter.h"
#include "ScriptedReport.h"
#include "TQROutput.h"
#include "TQRPdfDocument.h"
#include "TQRPrinter.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// Qt's PDF output on a printer that prints to a file; the direct output a printer to a file
// decides on at its first page (the viewer's PDF entry); the direct output on a file of its own.
enum class Way { QtOutput, DirectFromPrinter, DirectDocument };

const char* WayName(Way way)
{
    switch (way) {
    case Way::QtOutput:
        return "Qt's PDF output";
    case Way::DirectFromPrinter:
        return "direct, decided at the first page";
    case Way::DirectDocument:
        return "direct document";
    }
    return "?";
}

enum class Ending { Finish, Abort, Failure };

// Prints the report into the file and ends the output as told; a failure is an exception of
// the need-data event after the rows.
void Print(ScriptedReport& report, Way way, const std::string& path, Ending ending,
           const std::vector<std::string>& keep = {})
{
    const QString name = QString::fromStdString(path);
    TQRPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(name);
    std::unique_ptr<TQRPdfDocument> pdf;
    std::unique_ptr<TQROutput> output;
    if (way == Way::DirectDocument) {
        pdf = std::make_unique<TQRPdfDocument>(name);
        output = std::make_unique<TQROutput>(printer, *pdf);
    } else {
        output = std::make_unique<TQROutput>(printer, way == Way::DirectFromPrinter);
    }
    for (const std::string& file : keep)
        output->KeepFile(file);
    if (ending == Ending::Failure) {
        const auto feed = report.Report.OnNeedData;
        report.Report.OnNeedData = [&report, feed](TQuickRep& rep, bool& more) {
            feed(rep, more);
            if (!more)
                throw std::runtime_error("stopped halfway");
        };
    }
    report.Report.Print(*output);
    if (ending == Ending::Finish)
        output->Finish();
    else if (ending == Ending::Abort)
        output->Abort();
}

const std::vector<Way> kWays = {Way::QtOutput, Way::DirectFromPrinter, Way::DirectDocument};

} // namespace

TEST(ReportOutput, TheFileChangesOnlyWhenTheDocumentIsFinished)
{
    for (const Way way : kWays) {
        for (const Ending ending : {Ending::Finish, Ending::Abort, Ending::Failure}) {
            SCOPED_TRACE(testing::Message() << WayName(way) << ", ending " << int(ending));
            const TempDir dir;
            const std::string path = dir.Path("report.pdf");
            WriteFileBytes(path, "the old report");
            ScriptedReport report;
            report.Rows = 200;
            try {
                Print(report, way, path, ending);
                EXPECT_NE(ending, Ending::Failure);
            } catch (const std::runtime_error& e) {
                EXPECT_EQ(ending, Ending::Failure) << e.what();
            }
            const std::string bytes = FileBytes(path);
            if (ending == Ending::Finish)
                EXPECT_EQ(bytes.rfind("%PDF-", 0), 0u);
            else
                EXPECT_EQ(bytes, "the old report");
            EXPECT_EQ(FolderEntries(dir.Root().string()), std::vector<std::string>{"report.pdf"});
        }
    }
}

TEST(ReportOutput, AFullDiskIsAnErrorNamingTheFileAndLeavesTheOldOne)
{
    SmallDisk disk(16 * 1024);
    if (!disk.Ready())
        GTEST_SKIP() << "needs root to mount a small tmpfs";
    const std::string path = disk.Path("report.pdf");
    for (const Way way : kWays) {
        SCOPED_TRACE(WayName(way));
        WriteFileBytes(path, "the old report");
        ScriptedReport report;
        report.Rows = 3000;
        try {
            Print(report, way, path, Ending::Finish);
            ADD_FAILURE() << "a full disk was reported as success";
        } catch (const EOutputError& e) {
            EXPECT_EQ(e.WhatCause(), EOutputError::Cause::DiskFull);
            EXPECT_EQ(std::string(e.what()),
                      "Die Datei \"" + path +
                          "\" kann nicht geschrieben werden: der Datentr\xC3\xA4ger ist voll.");
        }
        EXPECT_EQ(FileBytes(path), "the old report");
        EXPECT_EQ(FolderEntries(disk.Root()), std::vector<std::string>{"report.pdf"});
    }
}

TEST(ReportOutput, TheLogBeingPrintedIsNeverReplaced)
{
    const TempDir dir;
    const std::string log = dir.Path("log.mpr");
    WriteFileBytes(log, "the log");
    for (const Way way : {Way::QtOutput, Way::DirectFromPrinter}) {
        SCOPED_TRACE(WayName(way));
        ScriptedReport report;
        try {
            Print(report, way, log, Ending::Finish, {log});
            ADD_FAILURE() << "the log was written over";
        } catch (const EOutputError& e) {
            EXPECT_EQ(e.WhatCause(), EOutputError::Cause::IsInput);
        }
        EXPECT_EQ(FileBytes(log), "the log");
        EXPECT_EQ(FolderEntries(dir.Root().string()), std::vector<std::string>{"log.mpr"});
    }
}
