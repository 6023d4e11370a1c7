#pragma once

#include "TMatchDocument.h"
#include "TPrintSetupState.h"
#include "TReportSource.h"

#include <QDir>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

class TPrintSetupForm;
class TQuickRep;

// The CUPS queue of the private test scheduler (scripts/with-test-printer.sh), whose backend
// captures each job in a folder.
extern const char* const kTestQueue;
// The capture folder (ZELMORA_CUPS_CAPTURE); empty when not set.
QString CaptureFolder();
// True when libcups is pointed at a scheduler of the tests' own (CUPS_SERVER), which has the
// test queue, and the capture folder is known. The system's scheduler is never printed to.
bool TestQueueReady();

#define REQUIRE_TEST_QUEUE()                                                                       \
    do {                                                                                           \
        if (!TestQueueReady())                                                                     \
            GTEST_SKIP() << "no private test scheduler with the queue \"ZelmoraTest\"; run "       \
                            "the tests under scripts/with-test-printer.sh (scripts/test.sh "       \
                            "does)";                                                               \
    } while (false)

// One job the backend captured.
struct CapturedJob {
    int Id = 0;
    QString Title;
    int Copies = 0;
    QString Options;
    QString DataPath;
    // The value of a job option, empty when it is not there.
    QString Option(const QString& name) const;
};

// The jobs captured with an id above the given one, waiting until count of them are complete.
std::vector<CapturedJob> WaitForJobs(int aboveId, int count);
// The highest job id captured so far.
int LastCapturedJob();
// Pages of a PDF file, by pdfinfo; -1 when it cannot tell.
int PdfPages(const QString& path);
// Whether the first page of a PDF file is wider than high.
bool PdfLandscape(const QString& path);

// Scripted dialogs for the print command: the engine's print dialog and the setup dialog run
// these instead of showing anything; every call is recorded in Calls.
class ScriptedDialogs {
public:
    ScriptedDialogs();
    ~ScriptedDialogs();

    // The print dialog: chooses this printer (a name of the engine's list) and job options.
    QString Printer;
    QString PdfFile;
    int Copies = 1;
    int FirstPage = 0;
    int LastPage = 0;
    bool ConfirmPrinter = true;
    // The setup dialog: what the user does before Ok; Ok unless it says otherwise.
    std::function<void(TPrintSetupForm&)> OnSetup;
    bool ConfirmSetup = true;

    QStringList Calls;
};

// Error messages the dialog showed.
extern QStringList g_shownErrors;

// The page data of a generated log of n input files.
struct LogWindow {
    explicit LogWindow(int files);
    TMatchDocument Document;
    std::unique_ptr<TReportSource> Source;
};
