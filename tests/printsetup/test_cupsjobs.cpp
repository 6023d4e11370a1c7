#include "PrintFixture.h"

#include "PrintCommand.h"
#include "TPrintProgress.h"
#include "TPrintSetupForm.h"
#include "TPrinterDriver.h"
#include "TQuickRep.h"
#include "TempDir.h"

#include <QCheckBox>
#include <QComboBox>
#include <QProcess>
#include <QRegularExpression>

#include <cstdlib>

namespace {

const QString kQueue = QString::fromLatin1(kTestQueue);

void ChooseBinAndOrientation(TPrintSetupForm& form, int bin, int orientation)
{
    form.BinsComboBox->setCurrentIndex(bin);
    form.OrientationComboBox->setCurrentIndex(orientation);
    form.SinglesCheckBox->setChecked(true);
}

// Pages of each part of the log printed to PDF files through the engine's PDF entry.
std::vector<int> PdfPartPages(const LogWindow& window, const TempDir& dir, int orientation)
{
    ScriptedDialogs dialogs;
    dialogs.Printer = TPrinterDriver::PdfPrinterName();
    dialogs.PdfFile = QString::fromStdString(dir.Path("log.pdf"));
    dialogs.OnSetup = [&](TPrintSetupForm& form) { ChooseBinAndOrientation(form, 1, orientation); };
    TPrintSetupState state(1);
    PrintStatisticsLog(*window.Source, state);
    std::vector<int> pages{PdfPages(dialogs.PdfFile)};
    for (int i = 1; i <= window.Source->Files().FileCount; ++i)
        pages.push_back(PdfPages(PartFileName(dialogs.PdfFile, i)));
    return pages;
}

} // namespace

TEST(PrintJobs, WholeLogAndSinglesOneJobEachWithBinOrientationAndPages)
{
    REQUIRE_TEST_QUEUE();
    const LogWindow window(3);
    const TempDir dir;
    // Upright pages, against the report's own landscape.
    const std::vector<int> expectedPages = PdfPartPages(window, dir, 1);
    ASSERT_EQ(expectedPages.size(), 4u);

    ScriptedDialogs dialogs;
    dialogs.Printer = kQueue;
    dialogs.OnSetup = [](TPrintSetupForm& form) { ChooseBinAndOrientation(form, 2, 1); };
    TPrintSetupState state(1);
    const int before = LastCapturedJob();
    PrintStatisticsLog(*window.Source, state);
    const std::vector<CapturedJob> jobs = WaitForJobs(before, 4);
    EXPECT_EQ(dialogs.Calls,
              QStringList({QStringLiteral("print dialog"), QStringLiteral("setup dialog")}));
    ASSERT_EQ(jobs.size(), 4u);
    for (size_t i = 0; i < jobs.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "part " << i);
        EXPECT_EQ(jobs[i].Option(QStringLiteral("media-source")), QStringLiteral("bottom"));
        EXPECT_FALSE(PdfLandscape(jobs[i].DataPath));
        EXPECT_EQ(jobs[i].Copies, 1);
        EXPECT_GT(expectedPages[i], 0);
        EXPECT_EQ(PdfPages(jobs[i].DataPath), expectedPages[i]);
    }
    EXPECT_TRUE(jobs[1].Title.endsWith(QStringLiteral(" / 1")));
    EXPECT_TRUE(jobs[3].Title.endsWith(QStringLiteral(" / 3")));
}

TEST(PrintJobs, CopiesAndPageRangeApplyToEveryPart)
{
    REQUIRE_TEST_QUEUE();
    const LogWindow window(3);
    ScriptedDialogs dialogs;
    dialogs.Printer = kQueue;
    dialogs.Copies = 2;
    dialogs.FirstPage = 1;
    dialogs.LastPage = 1;
    // Upright, against the report's own landscape, so a lost choice shows.
    dialogs.OnSetup = [](TPrintSetupForm& form) { ChooseBinAndOrientation(form, 3, 1); };
    TPrintSetupState state(1);
    const int before = LastCapturedJob();
    PrintStatisticsLog(*window.Source, state);
    const std::vector<CapturedJob> jobs = WaitForJobs(before, 4);
    ASSERT_EQ(jobs.size(), 4u);
    for (const CapturedJob& job : jobs) {
        SCOPED_TRACE(testing::Message() << "job " << job.Id);
        EXPECT_EQ(job.Copies, 2);
        EXPECT_EQ(PdfPages(job.DataPath), 1);
        // Asking again for the job options on the same printer keeps bin and orientation.
        EXPECT_EQ(job.Option(QStringLiteral("media-source")), QStringLiteral("manual"));
        EXPECT_FALSE(PdfLandscape(job.DataPath));
    }
}

TEST(PrintJobs, RemovedPrinterBringsBackThePrinterDialogAndResetsTheChoices)
{
    REQUIRE_TEST_QUEUE();
    const QString temporary = QStringLiteral("ZelmoraGone");
    const QString ppd = QStringLiteral(ZELMORA_SOURCE_DIR "/tests/printing/cups/zelmora-test.ppd");
    ASSERT_EQ(QProcess::execute(
                  QStringLiteral("lpadmin"),
                  {QStringLiteral("-p"), temporary, QStringLiteral("-E"), QStringLiteral("-v"),
                   QStringLiteral("zelmoracapture:") + CaptureFolder(), QStringLiteral("-P"), ppd}),
              0);
    const LogWindow window(1);
    ScriptedDialogs dialogs;
    dialogs.Printer = temporary;
    dialogs.OnSetup = [](TPrintSetupForm& form) { ChooseBinAndOrientation(form, 2, 1); };
    TPrintSetupState state(1);
    int before = LastCapturedJob();
    PrintStatisticsLog(*window.Source, state);
    EXPECT_EQ(WaitForJobs(before, 1).size(), 1u);
    EXPECT_EQ(state.BinIndex, 2);
    EXPECT_EQ(state.OrientationIndex, 1);

    ASSERT_EQ(QProcess::execute(QStringLiteral("lpadmin"), {QStringLiteral("-x"), temporary}), 0);
    dialogs.Calls.clear();
    dialogs.Printer = kQueue;
    int shownBin = -1, shownOrientation = -1;
    dialogs.OnSetup = [&](TPrintSetupForm& form) {
        shownBin = form.BinsComboBox->currentIndex();
        shownOrientation = form.OrientationComboBox->currentIndex();
    };
    before = LastCapturedJob();
    PrintStatisticsLog(*window.Source, state);
    EXPECT_EQ(dialogs.Calls,
              QStringList({QStringLiteral("print dialog"), QStringLiteral("setup dialog")}));
    EXPECT_EQ(shownBin, 0);
    EXPECT_EQ(shownOrientation, 0);
    const std::vector<CapturedJob> jobs = WaitForJobs(before, 1);
    ASSERT_EQ(jobs.size(), 1u);
    // No bin forced: the printer's own choice.
    EXPECT_EQ(jobs[0].Option(QStringLiteral("media-source")), QString());
}

TEST(PrintJobs, PdfEntryWritesEachPartWithItsTitleAndEmbeddedSubsetFonts)
{
    const LogWindow window(3);
    const TempDir dir;
    ScriptedDialogs dialogs;
    dialogs.Printer = TPrinterDriver::PdfPrinterName();
    dialogs.PdfFile = QString::fromStdString(dir.Path("log.pdf"));
    dialogs.OnSetup = [](TPrintSetupForm& form) { form.SinglesCheckBox->setChecked(true); };
    TPrintSetupState state(1);
    PrintStatisticsLog(*window.Source, state);

    for (int part = 0; part <= window.Source->Files().FileCount; ++part) {
        SCOPED_TRACE(testing::Message() << "part " << part);
        const QString path = PartFileName(dialogs.PdfFile, part);
        EXPECT_GT(PdfPages(path), 0);
        QProcess fonts;
        fonts.start(QStringLiteral("pdffonts"), {path});
        ASSERT_TRUE(fonts.waitForFinished());
        const QStringList lines = QString::fromUtf8(fonts.readAllStandardOutput())
                                      .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        ASSERT_GT(lines.size(), 2);
        // Written by the report itself: every font embedded as a subset with a Unicode map.
        for (const QString& line : lines.mid(2))
            EXPECT_TRUE(line.contains(QRegularExpression(QStringLiteral("yes\\s+yes\\s+yes"))))
                << line.toStdString();
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {path});
        ASSERT_TRUE(info.waitForFinished());
        const QString title = QString::fromUtf8(info.readAllStandardOutput());
        EXPECT_TRUE(part == 0 || title.contains(QStringLiteral(" / %1\n").arg(part)))
            << title.toStdString();
    }
}

namespace {

// Records every page reported and stops the print at one page of one part.
class StoppingProgress : public TPrintProgress {
public:
    StoppingProgress(int part, int page)
        : m_part(part)
        , m_page(page)
    {
    }
    bool PageDone(int part, int parts, int page, int pages, bool printing) override
    {
        Reports.push_back({part, parts, page, pages, printing});
        return !(printing && part == m_part && page == m_page);
    }
    struct Report {
        int Part, Parts, Page, Pages;
        bool Printing;
    };
    std::vector<Report> Reports;

private:
    int m_part, m_page;
};

} // namespace

// Stopped at the first printed page of the second part, a print to a queue leaves the first
// part's job with the spooler and sends no other. Every page is reported in order: per part the
// preparing pass, then the printing pass, each counting from 1, the second knowing the count.
TEST(PrintJobs, StoppedPrintKeepsTheJobsSentAndSendsNoOther)
{
    REQUIRE_TEST_QUEUE();
    const LogWindow window(3);
    ScriptedDialogs dialogs;
    dialogs.Printer = kQueue;
    dialogs.OnSetup = [](TPrintSetupForm& form) { form.SinglesCheckBox->setChecked(true); };
    TPrintSetupState state(1);
    StoppingProgress progress(2, 1);
    const int before = LastCapturedJob();
    EXPECT_FALSE(PrintStatisticsLog(*window.Source, state, &progress));
    const std::vector<CapturedJob> jobs = WaitForJobs(before, 1);
    QStringList titles;
    for (const CapturedJob& job : jobs)
        titles << job.Title;
    ASSERT_EQ(jobs.size(), 1u) << titles.join(QStringLiteral(" | ")).toStdString();
    EXPECT_FALSE(jobs[0].Title.contains(QStringLiteral(" / ")));

    ASSERT_FALSE(progress.Reports.empty());
    int expectedPage = 0;
    for (size_t i = 0; i < progress.Reports.size(); ++i) {
        const auto& r = progress.Reports[i];
        SCOPED_TRACE(testing::Message() << "report " << i);
        EXPECT_EQ(r.Parts, 4);
        const bool newPass = i == 0 || r.Part != progress.Reports[i - 1].Part ||
                             r.Printing != progress.Reports[i - 1].Printing;
        // The printing pass knows how many pages the preparing pass laid out.
        const int prepared = newPass && r.Printing ? progress.Reports[i - 1].Page : 0;
        expectedPage = newPass ? 1 : expectedPage + 1;
        EXPECT_EQ(r.Page, expectedPage);
        EXPECT_EQ(r.Pages, newPass ? prepared : progress.Reports[i - 1].Pages);
        if (i > 0 && newPass) {
            const auto& last = progress.Reports[i - 1];
            EXPECT_TRUE(r.Part == last.Part ? r.Printing : r.Part == last.Part + 1 && !r.Printing);
        }
    }
    EXPECT_EQ(progress.Reports.back().Part, 2);
    EXPECT_TRUE(progress.Reports.back().Printing);
}
