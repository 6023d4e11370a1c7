// A print command that cannot deliver says so: a PDF entry's file that cannot be written, and a
// printer queue that refuses the job. Nothing of the user's is lost on the way.
#include "PrintFixture.h"

#include "AtomicFile.h"
#include "ChildProcess.h"
#include "MprWriter.h"
#include "PrintCommand.h"
#include "TPrintSetupForm.h"
#include "TPrinterDriver.h"
#include "TQuickRep.h"
#include "TempDir.h"

#include <QCheckBox>
#include <QProcess>

namespace {

// The message the print command ended with; empty when it printed.
std::string PrintError(const LogWindow& window, TPrintSetupState& state)
{
    try {
        PrintStatisticsLog(*window.Source, state);
    } catch (const std::exception& e) {
        return e.what();
    }
    return std::string();
}

// A queue of its own that rejects jobs, with the test queue's driver and backend; removed again
// with the object, so the queue the other tests print to is never touched.
class RejectingQueue {
public:
    RejectingQueue()
    {
        const QString ppd =
            QStringLiteral(ZELMORA_SOURCE_DIR "/tests/printing/cups/zelmora-test.ppd");
        m_ready = QProcess::execute(QStringLiteral("lpadmin"),
                                    {QStringLiteral("-p"), Name, QStringLiteral("-E"),
                                     QStringLiteral("-v"),
                                     QStringLiteral("zelmoracapture:") + CaptureFolder(),
                                     QStringLiteral("-P"), ppd}) == 0 &&
                  QProcess::execute(QStringLiteral("cupsreject"), {Name}) == 0;
    }
    ~RejectingQueue()
    {
        QProcess::execute(QStringLiteral("lpadmin"), {QStringLiteral("-x"), Name});
    }
    RejectingQueue(const RejectingQueue&) = delete;
    RejectingQueue& operator=(const RejectingQueue&) = delete;

    const QString Name = QStringLiteral("ZelmoraReject");
    bool Ready() const { return m_ready; }

private:
    bool m_ready = false;
};

} // namespace

TEST(PrintFailures, APdfEntryFileThatCannotBeWrittenEndsTheCommandAndLeavesTheOldFile)
{
    SmallDisk disk(32 * 1024);
    if (!disk.Ready())
        GTEST_SKIP() << "needs root to mount a small tmpfs";
    const LogWindow window(40);
    ScriptedDialogs dialogs;
    dialogs.Printer = TPrinterDriver::PdfPrinterName();
    dialogs.PdfFile = QString::fromStdString(disk.Path("log.pdf"));
    dialogs.OnSetup = [](TPrintSetupForm& form) { form.SinglesCheckBox->setChecked(true); };
    WriteFileBytes(disk.Path("log.pdf"), "the old report");
    TPrintSetupState state(1);
    EXPECT_EQ(PrintError(window, state),
              "Die Datei \"" + disk.Path("log.pdf") +
                  "\" kann nicht geschrieben werden: der Datentr\xC3\xA4ger ist voll.");
    EXPECT_EQ(FileBytes(disk.Path("log.pdf")), "the old report");
    // The single logs after the failed part are not printed either.
    EXPECT_EQ(FolderEntries(disk.Root()), std::vector<std::string>{"log.pdf"});
}

TEST(PrintFailures, ThePdfEntryNeverWritesOverTheLogItself)
{
    LogWindow window(3);
    const TempDir dir;
    const std::string log = dir.Path("log.mpr");
    WriteFileBytes(log, MprFile(window.Document));
    window.Document.FileName = log;
    ScriptedDialogs dialogs;
    dialogs.Printer = TPrinterDriver::PdfPrinterName();
    dialogs.PdfFile = QString::fromStdString(dir.Path("./log.mpr"));
    TPrintSetupState state(1);
    EXPECT_EQ(PrintError(window, state),
              "Die Datei \"" + dir.Path("./log.mpr") +
                  "\" kann nicht geschrieben werden: das ist die Eingabedatei selbst.");
    EXPECT_EQ(FileBytes(log), MprFile(window.Document));
    EXPECT_EQ(FolderEntries(dir.Root().string()), std::vector<std::string>{"log.mpr"});
}

TEST(PrintFailures, AQueueThatRejectsTheJobIsAMessageNamingThePrinterAndTheSpoolersError)
{
    REQUIRE_TEST_QUEUE();
    const RejectingQueue queue;
    ASSERT_TRUE(queue.Ready()) << "cannot set up a rejecting queue (lpadmin needs root)";
    const LogWindow window(2);
    ScriptedDialogs dialogs;
    dialogs.Printer = queue.Name;
    TPrintSetupState state(1);
    const int before = LastCapturedJob();
    const std::string error = PrintError(window, state);
    const std::string prefix =
        "Der Drucker \"ZelmoraReject\" hat den Druckauftrag nicht angenommen: ";
    ASSERT_EQ(error.substr(0, prefix.size()), prefix) << error;
    // The spooler's own words follow, naming the queue that refused.
    EXPECT_NE(error.find("ZelmoraReject", prefix.size()), std::string::npos) << error;
    EXPECT_EQ(LastCapturedJob(), before);

    // A queue that takes the job is no error.
    dialogs.Printer = QString::fromLatin1(kTestQueue);
    TPrintSetupState fresh(1);
    EXPECT_EQ(PrintError(window, fresh), "");
    EXPECT_EQ(WaitForJobs(before, 1).size(), 1u);
}
