#include "PrintFixture.h"

#include "PrintCommand.h"
#include "TPreviewPageView.h"
#include "TPrintPlan.h"
#include "TPrintPreview.h"
#include "TPrintPreviewForm.h"
#include "TPrintSetupForm.h"
#include "TPrinterDriver.h"
#include "TQROutput.h"
#include "TQRPrinter.h"
#include "TQorButton.h"
#include "TQuickRep.h"
#include "TempDir.h"
#include "TnewPrinterForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QSpinBox>
#include <QTest>

#include <functional>

namespace {

const QString kQueue = QString::fromLatin1(kTestQueue);

// Drives the preview instead of showing it modally; restores the real one afterwards.
class ScriptedPreview {
public:
    explicit ScriptedPreview(std::function<int(TPrintPreviewForm&)> script)
    {
        TPrintPreviewForm::ShowModal = [this, script](TPrintPreviewForm& form) {
            ++Shown;
            form.show();
            QCoreApplication::processEvents();
            while (form.CountMore()) {
            }
            Pages = form.PageCountLabel->text();
            const int result = script(form);
            form.hide();
            return result;
        };
    }
    ~ScriptedPreview() { TPrintPreviewForm::ShowModal = nullptr; }

    int Shown = 0;
    QString Pages;
};

// "Vorschau" in the setup dialog, with single logs.
void ChoosePreview(ScriptedDialogs& dialogs)
{
    TPrintSetupForm::ShowModal = [&dialogs](TPrintSetupForm& form) {
        dialogs.Calls << QStringLiteral("setup dialog");
        form.SinglesCheckBox->setChecked(true);
        form.UpdateOkState();
        form.show();
        QTest::keyClick(form.BinsComboBox, Qt::Key_V, Qt::AltModifier);
        form.hide();
        return form.result();
    };
}

void ChoosePreviewOnThePdfEntry(ScriptedDialogs& dialogs, const TempDir& dir)
{
    dialogs.Printer = TPrinterDriver::PdfPrinterName();
    dialogs.PdfFile = QString::fromStdString(dir.Path("log.pdf"));
    ChoosePreview(dialogs);
}

int PartPages(const QString& file, int files)
{
    int pages = PdfPages(file);
    for (int i = 1; i <= files; ++i)
        pages += PdfPages(PartFileName(file, i));
    return pages;
}

} // namespace

TEST(PrintSetupForm, PreviewButtonBesideTheOthersConfirmsForThePreview)
{
    TPrintSetupForm form;
    EXPECT_EQ(form.PreviewButton->geometry(), QRect(200, 10, 89, 22));
    EXPECT_EQ(form.PreviewButton->parentWidget(), form.ButtonPanel);
    EXPECT_EQ(form.PreviewButton->text(), QStringLiteral("&Vorschau"));
    EXPECT_EQ(form.PreviewButton->toolTip(),
              QStringLiteral("Seitenansicht mit dieser Einstellung: ALT-V"));
    EXPECT_EQ(form.PreviewButton->KeyCode(), 86);
    // The rest of the panel as it was, with room to the right of the new button.
    EXPECT_EQ(form.CancelButton->geometry(), QRect(96, 10, 89, 22));
    EXPECT_LT(form.PreviewButton->geometry().right(), form.ButtonPanel->width());

    ScriptedDialogs dialogs;
    dialogs.Printer = TPrinterDriver::PdfPrinterName();
    const LogWindow window(3);
    const struct {
        const char* name;
        bool anyContents;
        std::function<void(TPrintSetupForm&)> close;
        bool confirmed;
        bool preview;
    } cases[] = {
        {"Alt+V", true,
         [](TPrintSetupForm& f) { QTest::keyClick(f.BinsComboBox, Qt::Key_V, Qt::AltModifier); },
         true, true},
        {"click", true, [](TPrintSetupForm& f) { f.PreviewButton->click(); }, true, true},
        {"Ok", true, [](TPrintSetupForm& f) { f.OkButtonClick(); }, true, false},
        {"nothing to print", false, [](TPrintSetupForm& f) { f.PreviewButtonClick(); }, false,
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TPrintSetupState state(1);
        state.TitleAndTable = state.Matrix = state.Ratings = c.anyContents;
        bool enabled = false;
        TPrintSetupForm::ShowModal = [&](TPrintSetupForm& f) {
            f.show();
            enabled = f.PreviewButton->isEnabled();
            f.setResult(QDialog::Rejected);
            c.close(f);
            f.hide();
            return f.result();
        };
        TQRPrinter printer;
        TQROutput output(printer);
        TnewPrinterForm probe(*window.Source, output);
        dialogs.PdfFile = QStringLiteral("/tmp/unused.pdf");
        EXPECT_EQ(
            TPrintSetupForm::Application().Execute(probe.Setter(), state, true, true, true, true),
            c.confirmed);
        EXPECT_EQ(enabled, c.anyContents);
        EXPECT_EQ(TPrintSetupForm::Application().PreviewChosen, c.preview);
    }
}

// "Vorschau" shows the pages of every part the command prints, through the same plan on the
// same printer; "Drucken" prints them, and the files have as many pages as the preview showed.
// The keys and buttons page through them and zoom.
TEST(PrintPreviewCommand, ShowsThePagesThatThenPrint)
{
    const LogWindow window(40);
    const TempDir dir;
    ScriptedDialogs dialogs;
    ChoosePreviewOnThePdfEntry(dialogs, dir);
    int pages = 0;
    ScriptedPreview preview([&](TPrintPreviewForm& form) {
        pages = form.PageEdit->maximum();
        EXPECT_EQ(form.Page(), 1);
        EXPECT_EQ(form.PartLabel->text(), QStringLiteral("Gesamtprotokoll, Seite 1"));
        const struct {
            const char* name;
            std::function<void()> act;
            int page;
        } steps[] = {
            {"Page Down", [&] { QTest::keyClick(form.PageView, Qt::Key_PageDown); }, 2},
            {"Page Down in the page field",
             [&] { QTest::keyClick(form.PageEdit, Qt::Key_PageDown); }, 3},
            {"Page Up", [&] { QTest::keyClick(form.PageView, Qt::Key_PageUp); }, 2},
            {"Ctrl+End", [&] { QTest::keyClick(form.PageView, Qt::Key_End, Qt::ControlModifier); },
             pages},
            {"Page Down on the last", [&] { QTest::keyClick(form.PageView, Qt::Key_PageDown); },
             pages},
            {"Ctrl+Home",
             [&] { QTest::keyClick(form.PageView, Qt::Key_Home, Qt::ControlModifier); }, 1},
            {"Page Up on the first", [&] { QTest::keyClick(form.PageView, Qt::Key_PageUp); }, 1},
            {"page field", [&] { form.PageEdit->setValue(7); }, 7},
            {"next", [&] { form.NextButton->click(); }, 8},
            {"previous", [&] { form.PreviousButton->click(); }, 7},
            {"last", [&] { form.LastButton->click(); }, pages},
            {"first", [&] { form.FirstButton->click(); }, 1},
        };
        for (const auto& step : steps) {
            SCOPED_TRACE(step.name);
            step.act();
            EXPECT_EQ(form.Page(), step.page);
            EXPECT_EQ(form.PageEdit->value(), step.page);
            EXPECT_EQ(form.FirstButton->isEnabled(), step.page > 1);
            EXPECT_EQ(form.LastButton->isEnabled(), step.page < pages);
        }
        form.ShowPage(pages);
        EXPECT_TRUE(
            form.PartLabel->text().startsWith(QStringLiteral("Einzelprotokoll 40, Seite ")));

        // Zoom: fixed sizes at the screen's resolution, the fits within the view's room.
        const QSizeF paper(297, 210);
        const double screen = form.logicalDpiX() / 25.4;
        form.SetZoom(TPrintPreviewForm::ZoomMode::Percent, 200);
        EXPECT_NEAR(form.PageView->Page().width(), paper.width() * 2 * screen, 1);
        QTest::keyClick(form.PageView, Qt::Key_Plus, Qt::ControlModifier);
        EXPECT_EQ(form.Percent(), 300);
        for (int i = 0; i < 10; ++i)
            QTest::keyClick(form.PageView, Qt::Key_Minus, Qt::ControlModifier);
        EXPECT_EQ(form.Percent(), TPrintPreviewForm::MinPercent);
        EXPECT_NEAR(form.PageView->Page().width(), paper.width() * 0.5 * screen, 1);
        form.SetZoom(TPrintPreviewForm::ZoomMode::Percent, 1000);
        EXPECT_EQ(form.Percent(), TPrintPreviewForm::MaxPercent);
        form.SetZoom(TPrintPreviewForm::ZoomMode::PageWidth);
        EXPECT_NEAR(form.PageView->Page().width(), form.PageView->Room().width(), 1);

        // Sizes typed into the zoom list, one after the other.
        const struct {
            const char* typed;
            TPrintPreviewForm::ZoomMode mode;
            int percent;
            const char* shown;
            Qt::Key done; // Return, or Tab to leave the field
        } typed[] = {
            {"90", TPrintPreviewForm::ZoomMode::Percent, 90, "90 %", Qt::Key_Return},
            {" 150 % ", TPrintPreviewForm::ZoomMode::Percent, 150, "150 %", Qt::Key_Tab},
            {"1000", TPrintPreviewForm::ZoomMode::Percent, 400, "400 %", Qt::Key_Return},
            {"10 %", TPrintPreviewForm::ZoomMode::Percent, 50, "50 %", Qt::Key_Return},
            {"groß", TPrintPreviewForm::ZoomMode::Percent, 50, "50 %", Qt::Key_Return},
            {"klein", TPrintPreviewForm::ZoomMode::Percent, 50, "50 %", Qt::Key_Tab},
            {"seitenbreite", TPrintPreviewForm::ZoomMode::PageWidth, 0, "Seitenbreite",
             Qt::Key_Tab},
            {"", TPrintPreviewForm::ZoomMode::PageWidth, 0, "Seitenbreite", Qt::Key_Return},
        };
        QLineEdit* zoomEdit = form.ZoomComboBox->lineEdit();
        for (const auto& size : typed) {
            SCOPED_TRACE(size.typed);
            zoomEdit->setFocus();
            zoomEdit->selectAll();
            QTest::keyClick(zoomEdit, Qt::Key_Backspace);
            QTest::keyClicks(zoomEdit, QString::fromUtf8(size.typed));
            QTest::keyClick(zoomEdit, size.done);
            EXPECT_EQ(form.Zoom(), size.mode);
            EXPECT_EQ(form.ZoomComboBox->currentText(), QString::fromUtf8(size.shown));
            if (size.mode == TPrintPreviewForm::ZoomMode::Percent) {
                EXPECT_EQ(form.Percent(), size.percent);
                EXPECT_NEAR(form.PageView->Page().width(),
                            paper.width() * size.percent / 100.0 * screen, 1);
            } else {
                EXPECT_NEAR(form.PageView->Page().width(), form.PageView->Room().width(), 1);
            }
        }
        form.SetZoom(TPrintPreviewForm::ZoomMode::WholePage);
        const QSize shown = form.PageView->Page().size();
        const QSize room = form.PageView->Room();
        EXPECT_LE(shown.width(), room.width() + 1);
        EXPECT_LE(shown.height(), room.height() + 1);
        EXPECT_TRUE(std::abs(shown.width() - room.width()) <= 1 ||
                    std::abs(shown.height() - room.height()) <= 1);
        form.PrintButtonClick();
        return form.result();
    });
    TPrintSetupState state(1);
    EXPECT_TRUE(PrintStatisticsLog(*window.Source, state));
    EXPECT_EQ(preview.Shown, 1);
    EXPECT_EQ(dialogs.Calls,
              QStringList({QStringLiteral("print dialog"), QStringLiteral("setup dialog")}));
    EXPECT_EQ(preview.Pages, QStringLiteral("von %1").arg(pages));
    EXPECT_EQ(PartPages(dialogs.PdfFile, 40), pages);
    EXPECT_TRUE(state.Singles);
}

// Closing the preview prints nothing; starting with the preview skips the setup dialog and uses
// the remembered choices.
TEST(PrintPreviewCommand, ClosingPrintsNothingAndThePreviewStartUsesTheChoices)
{
    const LogWindow window(3);
    const TempDir dir;
    ScriptedDialogs dialogs;
    ChoosePreviewOnThePdfEntry(dialogs, dir);
    {
        ScriptedPreview escape([](TPrintPreviewForm& form) {
            QTest::keyClick(form.PageView, Qt::Key_Escape);
            EXPECT_FALSE(form.isVisible()) << "Escape closes the preview";
            return form.result();
        });
        TPrintSetupState state(1);
        EXPECT_FALSE(PrintStatisticsLog(*window.Source, state));
        EXPECT_EQ(escape.Shown, 1);
        EXPECT_FALSE(QFileInfo::exists(dialogs.PdfFile));
        EXPECT_TRUE(state.Singles) << "the choices of the dialog stay";

        dialogs.Calls.clear();
        ScriptedPreview print([](TPrintPreviewForm& form) {
            form.PrintButtonClick();
            return form.result();
        });
        EXPECT_TRUE(PrintStatisticsLog(*window.Source, state, nullptr, TPrintStart::Preview));
        EXPECT_EQ(print.Shown, 1);
        // The PDF entry asks for its file at every command; the setup dialog does not show.
        EXPECT_EQ(dialogs.Calls, QStringList{QStringLiteral("print dialog")});
        EXPECT_EQ(print.Pages, QStringLiteral("von %1").arg(PartPages(dialogs.PdfFile, 3)));
    }
}

// On a real printer queue the preview lays the pages out on that printer, and "Drucken" sends
// them: the jobs have the pages the preview showed.
TEST(PrintPreviewCommand, OnTheQueueTheJobsHaveThePreviewsPages)
{
    REQUIRE_TEST_QUEUE();
    const LogWindow window(3);
    ScriptedDialogs dialogs;
    dialogs.Printer = kQueue;
    ChoosePreview(dialogs);
    ScriptedPreview preview([](TPrintPreviewForm& form) {
        form.PrintButtonClick();
        return form.result();
    });
    TPrintSetupState state(1);
    const int before = LastCapturedJob();
    EXPECT_TRUE(PrintStatisticsLog(*window.Source, state));
    const std::vector<CapturedJob> jobs = WaitForJobs(before, 4);
    ASSERT_EQ(jobs.size(), 4u);
    int pages = 0;
    for (const CapturedJob& job : jobs)
        pages += PdfPages(job.DataPath);
    EXPECT_EQ(preview.Pages, QStringLiteral("von %1").arg(pages));
}

// A report that fails (here: the PDF entry without a file) shows its message in the bar;
// the preview stays open and usable instead of ending the program.
TEST(PrintPreviewForm, AFailingReportShowsItsMessage)
{
    const LogWindow window(3);
    TPrintSetupState state(1);
    TPrintPlan plan(*window.Source, state);
    TQRPrinter layout(QPrinter::HighResolution);
    const int pdfEntry =
        int(TPrinterDriver::PrinterNames().indexOf(TPrinterDriver::PdfPrinterName()));
    TPrintPreview preview(layout, plan.PreviewParts([&](TnewPrinterForm& form, int) {
        form.QuickRep1.PrinterSettings().PrinterIndex = pdfEntry;
    }));
    TPrintPreviewForm form(preview);
    form.show();
    QCoreApplication::processEvents();
    EXPECT_FALSE(form.CountMore());
    EXPECT_TRUE(form.PartLabel->text().contains(
        QStringLiteral("Keine Datei für die PDF-Ausgabe angegeben.")))
        << form.PartLabel->text().toStdString();
    form.NextPage();
    form.LastPage();
    EXPECT_EQ(form.Page(), 1);
    EXPECT_TRUE(form.PageView->Page().isNull());
}
