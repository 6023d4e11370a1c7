#include "PrintFixture.h"

#include "PrintCommand.h"
#include "TPrintSetter.h"
#include "TPrintSetupForm.h"
#include "TPrinterDriver.h"
#include "TQROutput.h"
#include "TQRPrintDialog.h"
#include "TQRPrinter.h"
#include "TQorButton.h"
#include "TnewPrinterForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QTest>

#include <new>

namespace {

QStringList Items(const QComboBox& box)
{
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items << box.itemText(i);
    return items;
}

// A probe report for one Execute, as the print command makes it.
struct Probe {
    explicit Probe(const LogWindow& window)
        : output(printer)
        , form(*window.Source, output)
    {
    }
    TQRPrinter printer;
    TQROutput output;
    TnewPrinterForm form;
};

const QString kPdf = TPrinterDriver::PdfPrinterName();

} // namespace

TEST(PrintSetupForm, ControlsCaptionsHintsAndGeometry)
{
    TPrintSetupForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Drucker einstellen"));
    EXPECT_EQ(form.size(), QSize(404, 329));
    EXPECT_EQ(form.PrinterNameEdit->geometry(), QRect(16, 24, 241, 21));
    EXPECT_TRUE(form.PrinterNameEdit->isReadOnly());
    EXPECT_EQ(form.SetupButton->geometry(), QRect(280, 24, 105, 22));
    EXPECT_EQ(form.SetupButton->text(), QStringLiteral("&auswählen..."));
    EXPECT_EQ(form.SetupButton->toolTip(), QStringLiteral("Drucker auswählen: ALT-A"));
    EXPECT_EQ(form.SetupButton->KeyCode(), 65);
    EXPECT_EQ(form.BinsComboBox->geometry(), QRect(16, 72, 241, 21));
    EXPECT_EQ(form.OrientationComboBox->geometry(), QRect(16, 120, 241, 21));
    EXPECT_EQ(form.ProtContentsPanel->geometry(), QRect(16, 168, 369, 101));
    EXPECT_EQ(form.TableCheckBox->text(), QStringLiteral("&Titel und Tabelle"));
    EXPECT_EQ(form.TableCheckBox->pos(), QPoint(16, 14));
    EXPECT_EQ(form.MatrixCheckBox->text(), QStringLiteral("&Matrix"));
    EXPECT_EQ(form.MatrixCheckBox->pos(), QPoint(16, 42));
    EXPECT_EQ(form.RatingsCheckBox->text(), QStringLiteral("&Ratings"));
    EXPECT_EQ(form.RatingsCheckBox->pos(), QPoint(16, 70));
    EXPECT_EQ(form.SinglesCheckBox->text(), QStringLiteral("&Einzelprotokolle"));
    EXPECT_EQ(form.SinglesCheckBox->pos(), QPoint(192, 14));
    EXPECT_EQ(form.ButtonPanel->geometry(), QRect(0, 329 - 41, 404, 41));
    EXPECT_EQ(form.OkButton->geometry(), QRect(16, 10, 65, 22));
    EXPECT_EQ(form.OkButton->text(), QStringLiteral("Ok"));
    EXPECT_EQ(form.OkButton->toolTip(), QStringLiteral("mit dieser Einstellung drucken: RETURN"));
    EXPECT_EQ(form.CancelButton->geometry(), QRect(96, 10, 89, 22));
    EXPECT_EQ(form.CancelButton->text(), QStringLiteral("Abbruch"));
    EXPECT_EQ(form.CancelButton->toolTip(), QStringLiteral("Abbruch: ESC"));
    EXPECT_EQ(form.PrinterLabel->buddy(), form.PrinterNameEdit);
    EXPECT_EQ(form.BinsLabel->buddy(), form.BinsComboBox);
    EXPECT_EQ(form.OrientationLabel->buddy(), form.OrientationComboBox);
    EXPECT_EQ(Items(*form.OrientationComboBox),
              QStringList({QStringLiteral("--- nicht ausdrücklich einstellen ---"),
                           QStringLiteral("Hochformat"), QStringLiteral("Querformat")}));

    // Edits and lists stretch with the form, the button keeps to the right edge.
    form.show();
    form.resize(504, 400);
    QCoreApplication::processEvents();
    EXPECT_EQ(form.PrinterNameEdit->width(), 341);
    EXPECT_EQ(form.BinsComboBox->width(), 341);
    EXPECT_EQ(form.OrientationComboBox->width(), 341);
    EXPECT_EQ(form.SetupButton->x(), 380);
    EXPECT_EQ(form.ButtonPanel->geometry(), QRect(0, 400 - 41, 504, 41));
}

TEST(PrintSetupForm, NoPrinterShowsMagentaAndKeepsOkDisabled)
{
    TPrintSetupForm form;
    form.ShowPrinter(QString(), false);
    EXPECT_EQ(form.PrinterNameEdit->text(), QStringLiteral("--- kein Drucker ---"));
    EXPECT_EQ(form.PrinterNameEdit->palette().color(QPalette::Base), QColor(255, 0, 255));
    EXPECT_EQ(Items(*form.BinsComboBox),
              QStringList{QStringLiteral("--- nicht ausdrücklich einstellen ---")});
    form.TableCheckBox->setChecked(true);
    form.UpdateOkState();
    EXPECT_FALSE(form.OkButton->isEnabled());

    TPrinterDriver::SetCurrentPrinter(kPdf);
    form.ShowPrinter(kPdf, false);
    EXPECT_EQ(form.PrinterNameEdit->text(), kPdf);
    EXPECT_NE(form.PrinterNameEdit->palette().color(QPalette::Base), QColor(255, 0, 255));
    form.UpdateOkState();
    EXPECT_TRUE(form.OkButton->isEnabled());
}

TEST(PrintSetupForm, PdfEntryEndsThePrinterListAndHasOneBin)
{
    const QStringList printers = TPrinterDriver::PrinterNames();
    ASSERT_FALSE(printers.isEmpty());
    EXPECT_EQ(printers.last(), kPdf);
    TPrinterDriver::SetCurrentPrinter(kPdf);
    TPrintSetupForm form;
    form.ShowPrinter(kPdf, true);
    ASSERT_EQ(form.BinsComboBox->count(), 2);
    EXPECT_EQ(form.BinCode(0), -1);
    EXPECT_EQ(form.BinCode(1), 0);
}

TEST(PrintSetupForm, BinsOfTheCupsQueue)
{
    REQUIRE_TEST_QUEUE();
    EXPECT_TRUE(TPrinterDriver::PrinterNames().contains(QString::fromLatin1(kTestQueue)));
    TPrinterDriver::SetCurrentPrinter(QString::fromLatin1(kTestQueue));
    TPrintSetupForm form;
    form.ShowPrinter(QString::fromLatin1(kTestQueue), true);
    EXPECT_EQ(Items(*form.BinsComboBox),
              QStringList({QStringLiteral("--- nicht ausdrücklich einstellen ---"),
                           QStringLiteral("Oberer Schacht"), QStringLiteral("Unterer Schacht"),
                           QStringLiteral("Manuelle Zufuhr")}));
    EXPECT_EQ(form.BinsComboBox->currentIndex(), 0);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(form.BinCode(i), i - 1) << i;
}

namespace {

// A driver that reports what a broken one would.
class BadDriver : public TPrinterDriver {
public:
    BadDriver(int names, int codes, bool allocationFails)
        : m_names(names)
        , m_codes(codes)
        , m_allocationFails(allocationFails)
    {
    }
    int BinNameCount(const QString&) override { return m_names; }
    int BinCodeCount(const QString&) override { return m_codes; }
    void GetBins(const QString&, std::vector<QString>& names,
                 std::vector<std::int16_t>& codes) override
    {
        if (m_allocationFails)
            throw std::bad_alloc();
        for (size_t i = 0; i < names.size(); ++i) {
            names[i] = QStringLiteral("Fach %1 mit einem sehr langen Namen").arg(i);
            codes[i] = static_cast<std::int16_t>(100 + i);
        }
    }
    void ApplyBin(QPrinter&, const QString&, int) override {}

private:
    int m_names;
    int m_codes;
    bool m_allocationFails;
};

struct DriverSwap {
    explicit DriverSwap(std::unique_ptr<TPrinterDriver> driver)
        : previous(TPrinterDriver::Replace(std::move(driver)))
    {
    }
    ~DriverSwap() { TPrinterDriver::Replace(std::move(previous)); }
    std::unique_ptr<TPrinterDriver> previous;
};

} // namespace

TEST(PrintSetupForm, BinsFromDriversGoodAndBad)
{
    struct Case {
        int names, codes;
        bool allocationFails;
        const char* error; // null: no error
    };
    const Case cases[] = {
        {3, 4, false, "Error: Retrieving number of Bins."},
        {4, 3, false, "Error: Retrieving number of Bins."},
        {0, 0, false, "Error: Retrieving number of Bins."},
        {-1, -1, false, "Error: Retrieving number of Bins."},
        {2, 2, true, "Error allocating memory for BinNames."},
        {2, 2, false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.names << " names, " << c.codes << " codes");
        const DriverSwap swap(std::make_unique<BadDriver>(c.names, c.codes, c.allocationFails));
        TPrintSetupForm form;
        if (c.error) {
            try {
                form.ShowPrinter(QStringLiteral("Kaputt"), true);
                ADD_FAILURE() << "no error";
            } catch (const std::runtime_error& e) {
                EXPECT_STREQ(e.what(), c.error);
            }
            continue;
        }
        form.ShowPrinter(QStringLiteral("Gut"), true);
        // Names are cut to the driver's 24 characters; codes are the driver's.
        EXPECT_EQ(Items(*form.BinsComboBox),
                  QStringList({QStringLiteral("--- nicht ausdrücklich einstellen ---"),
                               QStringLiteral("Fach 0 mit einem sehr la"),
                               QStringLiteral("Fach 1 mit einem sehr la")}));
        EXPECT_EQ(form.BinCode(2), 101);
    }
}

TEST(PrintSetupForm, BinErrorsEndExecuteButNotTheOpenDialog)
{
    ScriptedDialogs dialogs;
    dialogs.Printer = kPdf;
    const LogWindow window(3);
    TPrintSetupState state(1);
    {
        const DriverSwap swap(std::make_unique<BadDriver>(3, 4, false));
        Probe probe(window);
        EXPECT_THROW(TPrintSetupForm::Application().Execute(probe.form.Setter(), state, true, true,
                                                            true, true),
                     std::runtime_error);
        EXPECT_FALSE(dialogs.Calls.contains(QStringLiteral("setup dialog")));
    }
    // Inside the dialog the error is shown and the dialog goes on.
    Probe probe(window);
    dialogs.OnSetup = [&](TPrintSetupForm& form) {
        const DriverSwap swap(std::make_unique<BadDriver>(0, 0, false));
        form.SetupButtonClick();
    };
    EXPECT_TRUE(
        TPrintSetupForm::Application().Execute(probe.form.Setter(), state, true, true, true, true));
    EXPECT_EQ(g_shownErrors, QStringList{QStringLiteral("Error: Retrieving number of Bins.")});
}

TEST(PrintSetupForm, FirstPrintAsksForThePrinterFirstLaterPrintsDoNot)
{
    ScriptedDialogs dialogs;
    dialogs.Printer = kPdf;
    const LogWindow window(3);
    TPrintSetupState state(1);
    {
        Probe probe(window);
        ASSERT_TRUE(TPrintSetupForm::Application().Execute(probe.form.Setter(), state, true, true,
                                                           true, true));
    }
    EXPECT_EQ(dialogs.Calls,
              QStringList({QStringLiteral("print dialog"), QStringLiteral("setup dialog")}));
    EXPECT_TRUE(state.PrinterChosen);
    EXPECT_EQ(state.PrinterName, kPdf);

    // The PDF entry asks again for its file unless the report already carries one.
    dialogs.Calls.clear();
    {
        Probe fileless(window);
        ASSERT_TRUE(TPrintSetupForm::Application().Execute(fileless.form.Setter(), state, true,
                                                           true, true, true));
    }
    EXPECT_EQ(dialogs.Calls,
              QStringList({QStringLiteral("print dialog"), QStringLiteral("setup dialog")}));

    dialogs.Calls.clear();
    Probe probe(window);
    probe.form.QuickRep1.PrinterSettings().OutputFileName = QStringLiteral("/tmp/log.pdf");
    ASSERT_TRUE(
        TPrintSetupForm::Application().Execute(probe.form.Setter(), state, true, true, true, true));
    EXPECT_EQ(dialogs.Calls, QStringList{QStringLiteral("setup dialog")});
    EXPECT_EQ(probe.form.QuickRep1.PrinterSettings().PrinterIndex,
              TPrinterDriver::PrinterNames().indexOf(kPdf));
    EXPECT_EQ(TPrinterDriver::CurrentPrinter(), kPdf);
}

TEST(PrintSetupForm, CancelledDialogsLeaveTheStateAlone)
{
    ScriptedDialogs dialogs;
    dialogs.Printer = kPdf;
    const LogWindow window(3);
    TPrintSetupState state(1);
    dialogs.ConfirmPrinter = false;
    {
        Probe probe(window);
        EXPECT_FALSE(TPrintSetupForm::Application().Execute(probe.form.Setter(), state, true, true,
                                                            true, true));
    }
    EXPECT_FALSE(state.PrinterChosen);
    EXPECT_EQ(dialogs.Calls, QStringList{QStringLiteral("print dialog")});

    dialogs.ConfirmPrinter = true;
    dialogs.ConfirmSetup = false;
    dialogs.OnSetup = [](TPrintSetupForm& form) { form.SinglesCheckBox->setChecked(true); };
    Probe probe(window);
    EXPECT_FALSE(
        TPrintSetupForm::Application().Execute(probe.form.Setter(), state, true, true, true, true));
    EXPECT_FALSE(state.Singles);
}

TEST(PrintSetupForm, NoContentsDisablesOkAndEnter)
{
    ScriptedDialogs dialogs;
    dialogs.Printer = kPdf;
    const LogWindow window(3);
    TPrintSetupState state(1);
    bool enterClosed = true;
    bool okEnabled = true;
    dialogs.ConfirmSetup = false;
    dialogs.OnSetup = [&](TPrintSetupForm& form) {
        form.show();
        for (QCheckBox* box : {form.TableCheckBox, form.MatrixCheckBox, form.RatingsCheckBox,
                               form.SinglesCheckBox}) {
            if (box->isChecked())
                QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
        }
        okEnabled = form.OkButton->isEnabled();
        form.setResult(-1);
        QTest::keyClick(form.BinsComboBox, Qt::Key_Return);
        enterClosed = form.result() == QDialog::Accepted;
        // Checking one box again brings Ok back, and Enter then closes with Ok.
        QTest::mouseClick(form.MatrixCheckBox, Qt::LeftButton, {},
                          QPoint(4, form.MatrixCheckBox->height() / 2));
        EXPECT_TRUE(form.OkButton->isEnabled());
        QTest::keyClick(form.BinsComboBox, Qt::Key_Enter);
        EXPECT_EQ(form.result(), QDialog::Accepted);
        form.hide();
    };
    Probe probe(window);
    TPrintSetupForm::Application().Execute(probe.form.Setter(), state, true, true, true, true);
    EXPECT_FALSE(okEnabled);
    EXPECT_FALSE(enterClosed);
}

TEST(PrintSetupForm, EscapeCancels)
{
    ScriptedDialogs dialogs;
    dialogs.Printer = kPdf;
    const LogWindow window(3);
    TPrintSetupState state(1);
    dialogs.ConfirmSetup = false;
    int result = -1;
    dialogs.OnSetup = [&](TPrintSetupForm& form) {
        form.show();
        form.setResult(-1);
        QTest::keyClick(form.OrientationComboBox, Qt::Key_Escape);
        result = form.result();
        form.hide();
    };
    Probe probe(window);
    TPrintSetupForm::Application().Execute(probe.form.Setter(), state, true, true, true, true);
    EXPECT_EQ(result, QDialog::Rejected);
}

TEST(PrintSetupForm, ChoosingAnotherPrinterRebuildsTheBins)
{
    REQUIRE_TEST_QUEUE();
    ScriptedDialogs dialogs;
    dialogs.Printer = kPdf;
    const LogWindow window(3);
    TPrintSetupState state(1);
    int binsBefore = 0;
    QStringList binsAfter;
    int selectedAfter = -1;
    dialogs.OnSetup = [&](TPrintSetupForm& form) {
        binsBefore = form.BinsComboBox->count();
        form.BinsComboBox->setCurrentIndex(1);
        dialogs.Printer = QString::fromLatin1(kTestQueue);
        QTest::mouseClick(form.SetupButton, Qt::LeftButton);
        binsAfter = Items(*form.BinsComboBox);
        selectedAfter = form.BinsComboBox->currentIndex();
        form.BinsComboBox->setCurrentIndex(2);
    };
    Probe probe(window);
    ASSERT_TRUE(
        TPrintSetupForm::Application().Execute(probe.form.Setter(), state, true, true, true, true));
    EXPECT_EQ(binsBefore, 2);
    EXPECT_EQ(binsAfter.size(), 4);
    EXPECT_EQ(binsAfter.value(2), QStringLiteral("Unterer Schacht"));
    EXPECT_EQ(selectedAfter, 0);
    EXPECT_EQ(state.PrinterName, QString::fromLatin1(kTestQueue));
    EXPECT_EQ(state.BinIndex, 2);
    EXPECT_EQ(probe.form.Setter().Bin, 1);
}

TEST(PrintSetupForm, OneFileLogKeepsTheRememberedChoices)
{
    ScriptedDialogs dialogs;
    dialogs.Printer = kPdf;
    const LogWindow several(3);
    const LogWindow one(1);
    TPrintSetupState state(1);
    TPrintSetupForm& form = TPrintSetupForm::Application();
    dialogs.OnSetup = [](TPrintSetupForm& f) {
        f.SinglesCheckBox->setChecked(true);
        f.OrientationComboBox->setCurrentIndex(2);
    };
    {
        Probe probe(several);
        ASSERT_TRUE(form.Execute(probe.form.Setter(), state, true, true, true, true));
        EXPECT_EQ(probe.form.Setter().Orientation, 1);
    }
    ASSERT_TRUE(state.Singles);

    bool singlesChecked = true, singlesEnabled = true, matrixChecked = true, matrixEnabled = true;
    dialogs.OnSetup = [&](TPrintSetupForm& f) {
        singlesChecked = f.SinglesCheckBox->isChecked();
        singlesEnabled = f.SinglesCheckBox->isEnabled();
        matrixChecked = f.MatrixCheckBox->isChecked();
        matrixEnabled = f.MatrixCheckBox->isEnabled();
    };
    {
        Probe probe(one);
        ASSERT_TRUE(form.Execute(probe.form.Setter(), state, true, false, true, false));
    }
    EXPECT_FALSE(singlesChecked);
    EXPECT_FALSE(singlesEnabled);
    EXPECT_FALSE(matrixChecked);
    EXPECT_FALSE(matrixEnabled);
    EXPECT_TRUE(state.Singles);
    EXPECT_TRUE(state.Matrix);

    dialogs.OnSetup = [&](TPrintSetupForm& f) {
        singlesChecked = f.SinglesCheckBox->isChecked();
        singlesEnabled = f.SinglesCheckBox->isEnabled();
        EXPECT_EQ(f.OrientationComboBox->currentIndex(), 2);
    };
    Probe probe(several);
    ASSERT_TRUE(form.Execute(probe.form.Setter(), state, true, true, true, true));
    EXPECT_TRUE(singlesChecked);
    EXPECT_TRUE(singlesEnabled);
}

TEST(PrintSetupForm, QtPrintDialogWritesIntoThePrinterSettings)
{
    TQuickRep report;
    report.PrinterSettings().PrinterIndex =
        static_cast<int>(TPrinterDriver::PrinterNames().indexOf(kPdf));
    report.PrinterSettings().OutputFileName = QStringLiteral("/tmp/vorher.pdf");
    QString shownFile;
    TQRPrintDialog::ShowModal = [&](QPrintDialog& dialog) {
        QPrinter& printer = *dialog.printer();
        shownFile = printer.outputFileName();
        printer.setOutputFileName(QStringLiteral("/tmp/nachher.pdf"));
        printer.setCopyCount(3);
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(2, 4);
        printer.setPageOrientation(QPageLayout::Portrait);
        return int(QDialog::Accepted);
    };
    ASSERT_TRUE(TQRPrintDialog::Run(report));
    TQRPrintDialog::ShowModal = [](QPrintDialog&) { return int(QDialog::Rejected); };
    const TQRPrinterSettings before = report.PrinterSettings();
    EXPECT_FALSE(TQRPrintDialog::Run(report));
    TQRPrintDialog::ShowModal = nullptr;

    const TQRPrinterSettings& settings = report.PrinterSettings();
    EXPECT_EQ(shownFile, QStringLiteral("/tmp/vorher.pdf"));
    EXPECT_EQ(settings.PrinterIndex, TPrinterDriver::PrinterNames().indexOf(kPdf));
    EXPECT_EQ(settings.OutputFileName, QStringLiteral("/tmp/nachher.pdf"));
    EXPECT_EQ(settings.Copies, 3);
    EXPECT_EQ(settings.FirstPage, 2);
    EXPECT_EQ(settings.LastPage, 4);
    EXPECT_EQ(settings.Orientation, QPageLayout::Portrait);
    EXPECT_EQ(before.Copies, settings.Copies);
}

TEST(PrintCommand, PartFileNames)
{
    const struct {
        const char* file;
        int number;
        const char* expected;
    } cases[] = {
        {"/tmp/log.pdf", 0, "/tmp/log.pdf"},
        {"/tmp/log.pdf", 3, "/tmp/log-3.pdf"},
        {"/tmp/log", 12, "/tmp/log-12"},
        {"/tmp/a.b/log.x.pdf", 1, "/tmp/a.b/log.x-1.pdf"},
        {"", 2, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PartFileName(QString::fromUtf8(c.file), c.number), QString::fromUtf8(c.expected))
            << c.file << " " << c.number;
}
