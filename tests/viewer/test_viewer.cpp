#include "GridCsv.h"
#include "MprWriter.h"
#include "PageExport.h"
#include "PrintCommand.h"
#include "ProgramEntry.h"
#include "Samples.h"
#include "TDocumentEditorForm.h"
#include "TFilesTable.h"
#include "TLocale.h"
#include "TPrintSetupForm.h"
#include "TPrintSetupState.h"
#include "TQuickRep.h"
#include "TQorButton.h"
#include "TStringGrid.h"
#include "TViewerDialogs.h"
#include "TempDir.h"
#include "TempSettings.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <sstream>

namespace {

// Scripted dialogs: messages are collected, the load dialog answers from a queue.
class ScriptedDialogs : public TViewerDialogs {
public:
    ScriptedDialogs() { Install(this); }
    ~ScriptedDialogs() override { Install(nullptr); }
    void ShowError(QWidget*, const QString& message) override { errors << message; }
    void ShowFatal(const QString& message) override { fatals << message; }
    QString ChooseLogFile(QWidget*, const QString& defaultFileName) override
    {
        offered << defaultFileName;
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QStringList errors, fatals, offered, answers;
};

int OpenEditorForms()
{
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        count += qobject_cast<TDocumentEditorForm*>(w) && !w->testAttribute(Qt::WA_WState_Hidden)
                     ? 1
                     : 0;
    return count;
}

class Viewer : public ::testing::Test {
protected:
    void SetUp() override { Locale().SetBase(TLocale::kGermanBase); }
    void TearDown() override
    {
        // Deleting a window deletes its own top-level children (pop-ups) too: collect first.
        QList<QPointer<TDocumentEditorForm>> forms;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* form = qobject_cast<TDocumentEditorForm*>(w))
                forms << form;
        }
        for (const auto& form : forms)
            delete form.data();
        Locale().SetBase(TLocale::kGermanBase);
    }
    QString Write(const std::string& name, const TMatchDocument& doc, const MprOptions& o = {})
    {
        const std::string path = dir.Path(name);
        WriteFileBytes(path, MprFile(doc, o));
        return QString::fromStdString(path);
    }
    QString Sample(int index)
    {
        const SampleLog s = AllSamples()[index];
        return Write(s.FileName, s.Document, s.Options);
    }
    TDocumentEditorForm* NewForm()
    {
        auto* form = new TDocumentEditorForm;
        TDocumentEditorForm::SetMainForm(form);
        form->SetAppTitle(kViewerTitle);
        form->show();
        return form;
    }

    TempSettings settings;
    ScriptedDialogs dialogs;
    TempDir dir;
};

} // namespace

TEST_F(Viewer, FatalStartMessages)
{
    EXPECT_EQ(RunViewer({"a.mpr", "b.mpr"}, false), 255);
    EXPECT_EQ(RunViewer({"missing/log.mpr"}, false), 255);
    ASSERT_EQ(dialogs.fatals.size(), 2);
    EXPECT_EQ(dialogs.fatals[0], "Aufruf: ZelmoraViewer [<Protokoll-Datei>]");
    const QString expanded = QDir::current().absoluteFilePath("missing/log.mpr");
    EXPECT_EQ(dialogs.fatals[1], "Das Statistik-Protokoll \"" + expanded + "\" gibt es nicht.");
    EXPECT_EQ(OpenEditorForms(), 0);

    // A command-line log that cannot be read is reported and ends the program.
    const std::string bad = dir.Path("bad.mpr");
    WriteFileBytes(bad, "not a log at all, but long enough to have a header of 44 bytes...");
    EXPECT_EQ(RunViewer({QString::fromStdString(bad)}, false), 1);
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].endsWith("\" ist kein Statistik-Protokoll"));
    EXPECT_EQ(OpenEditorForms(), 0);

    // A relative path that exists opens, expanded.
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(dir.Root().string()));
    Sample(0);
    EXPECT_EQ(RunViewer({"whole-log.mpr"}, false), 0);
    QDir::setCurrent(cwd);
    TDocumentEditorForm* form = TDocumentEditorForm::MainForm();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->FileName(), QString::fromStdString(dir.Path("whole-log.mpr")));
    EXPECT_EQ(form->windowTitle(),
              "ZelmoraViewer 2.0.3 - Statistik-Protokoll - " + form->FileName());
}

TEST_F(Viewer, LoadingAndFailing)
{
    TDocumentEditorForm* form = NewForm();
    EXPECT_EQ(form->windowTitle(), "ZelmoraViewer 2.0.3 - Statistik-Protokoll");
    EXPECT_FALSE(form->EditorPanel->isVisible());
    EXPECT_EQ(form->EmptyPanel->text(), "kein Statistik-Protokoll vorhanden");
    EXPECT_FALSE(form->PrintButton->isEnabled());

    const QString good = Sample(0);
    form->DropFiles({good, Sample(1), Sample(2)});
    EXPECT_EQ(form->FileName(), good);
    EXPECT_TRUE(form->EditorPanel->isVisible());
    EXPECT_TRUE(form->PrintButton->isEnabled());

    const std::string bad = dir.Path("bad.mpr");
    WriteFileBytes(bad, "short");
    dialogs.answers << QString::fromStdString(bad);
    QTest::keyClick(form, Qt::Key_L, Qt::AltModifier);
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_EQ(dialogs.errors[0], "\"" + QString::fromStdString(bad) + "\" ist kein Statistik-Protokoll");
    EXPECT_TRUE(form->FileName().isEmpty());
    EXPECT_FALSE(form->EditorPanel->isVisible());
    EXPECT_TRUE(form->EmptyPanel->isVisible());
    EXPECT_FALSE(form->PrintButton->isEnabled());
    EXPECT_EQ(form->windowTitle(), "ZelmoraViewer 2.0.3 - Statistik-Protokoll");
    // The dialog offered the last log loaded.
    EXPECT_EQ(dialogs.offered, QStringList{good});
}

TEST_F(Viewer, LastLogIsRemembered)
{
    const QString path = Sample(0);
    {
        TDocumentEditorForm* form = NewForm();
        form->LoadFile(path);
        delete form;
    }
    TDocumentEditorForm* again = NewForm();
    EXPECT_EQ(again->LoadDialogFileName(), path);
}

TEST_F(Viewer, F6CyclesThroughVisiblePages)
{
    TDocumentEditorForm* form = NewForm();
    form->LoadFile(Sample(2)); // one file: no matrix page
    QTabWidget* pages = form->PageControl;
    EXPECT_FALSE(pages->isTabVisible(pages->indexOf(form->MatrixSheet)));
    EXPECT_TRUE(pages->isTabVisible(pages->indexOf(form->RatingsSheet)));
    EXPECT_EQ(pages->currentWidget(), form->TitleSheet);
    QTest::keyClick(form->InfoMemo, Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_EQ(pages->currentWidget(), form->RatingsSheet);
    QTest::keyClick(form->RatingsGrid, Qt::Key_F6);
    EXPECT_EQ(pages->currentWidget(), form->TitleSheet);
    QTest::keyClick(form->InfoMemo, Qt::Key_F6);
    EXPECT_EQ(pages->currentWidget(), form->FilesSheet);
    QTest::keyClick(form->FilesGrid, Qt::Key_F6);
    EXPECT_EQ(pages->currentWidget(), form->RatingsSheet);
}

TEST_F(Viewer, LanguageSwitchReloadsFromDisk)
{
    TDocumentEditorForm* form = NewForm();
    TMatchDocument doc = SampleWholeLog();
    const QString path = Write("log.mpr", doc);
    form->LoadFile(path);
    doc.HeadText = "Neu auf der Platte";
    Write("log.mpr", doc);

    form->LocaleComboChange(1);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    TDocumentEditorForm* english = TDocumentEditorForm::MainForm();
    ASSERT_NE(english, form);
    EXPECT_EQ(english->LocaleCombo->currentIndex(), 1);
    EXPECT_EQ(english->HeadDisplay->text(), "Neu auf der Platte");
    EXPECT_EQ(english->FilesGrid->Cell(5, 0), "Gross");
    EXPECT_EQ(english->Sum2Panel->text(), "   Sum with Lockfiles");
    EXPECT_EQ(english->windowTitle(), "Zelmora 4.0.3 - Statistic-Protocol - " + path);

    // A log gone since: the new window still shows, without a log.
    QFile::remove(path);
    english->LocaleComboChange(0);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    TDocumentEditorForm* german = TDocumentEditorForm::MainForm();
    ASSERT_NE(german, nullptr);
    EXPECT_TRUE(german->isVisible());
    EXPECT_TRUE(german->FileName().isEmpty());
    EXPECT_EQ(dialogs.errors, QStringList{"Datei nicht gefunden"});
    EXPECT_EQ(german->FilesGrid->Cell(5, 0), "");
    EXPECT_EQ(OpenEditorForms(), 1);
}

TEST_F(Viewer, FixedColumnsPerFileLabelKind)
{
    struct Case {
        uint8_t labelKind;
        TColumnMap columns;
        int fixedCols;
        bool panels;
    };
    const Case cases[] = {
        {2, {-12, -13, -11, -2, -5}, 3, true},
        {1, {-12, -11, -2, -5}, 2, true},
        {0, {-13, -11, -2, -5}, 2, true},
        {7, {-11, -2, -5}, 1, true},
        {2, {-2, -12, -13, -11}, 0, false},
    };
    TDocumentEditorForm* form = NewForm();
    for (const Case& c : cases) {
        TMatchDocument doc = SampleWholeLog();
        doc.FileLabelKind = c.labelKind;
        doc.Columns = c.columns;
        form->LoadFile(Write("k.mpr", doc));
        form->PageControl->setCurrentWidget(form->FilesSheet);
        EXPECT_EQ(form->FilesGrid->FixedCols(), c.fixedCols);
        EXPECT_EQ(form->SumPanelsEnabled, c.panels);
        EXPECT_EQ(form->Sum1Panel->isVisible(), c.panels);
    }
}

TEST_F(Viewer, SumPanelsFollowScrolling)
{
    TDocumentEditorForm* form = NewForm();
    form->LoadFile(Write("big.mpr", GeneratedLog(60)));
    form->PageControl->setCurrentWidget(form->FilesSheet);
    TStringGrid* grid = form->FilesGrid;
    const int rows = grid->RowCount();
    const int visible = grid->VisibleRowCount();
    ASSERT_LT(visible, rows - 4);
    EXPECT_FALSE(form->Sum1Panel->isVisible());
    // The first sum row just comes into view: only its panel shows.
    grid->SetTopRow(rows - 1 - visible);
    EXPECT_TRUE(form->Sum1Panel->isVisible());
    EXPECT_FALSE(form->Sum2Panel->isVisible());
    const QRect sumCell = grid->CellRect(0, rows - 2);
    EXPECT_EQ(form->Sum1Panel->y(), grid->viewport()->mapTo(form->FilesSheet, sumCell.topLeft()).y());
    grid->SetTopRow(rows);
    EXPECT_TRUE(form->Sum1Panel->isVisible());
    EXPECT_TRUE(form->Sum2Panel->isVisible());
    EXPECT_EQ(form->Sum2Panel->y() - form->Sum1Panel->y(),
              grid->DefaultRowHeight() + grid->GridLineWidth());
    // The panels cover the name and number columns, which are at least as wide as the narrower
    // caption plus 24 pixels.
    const QFontMetrics fm(form->EditorPanel->font());
    EXPECT_GE(form->Sum1Panel->width(),
              std::min(fm.horizontalAdvance(form->Sum1Panel->text()),
                       fm.horizontalAdvance(form->Sum2Panel->text())) + 24 - 2);
}

TEST_F(Viewer, RatingsColumnFollowsTheWindowWidth)
{
    TDocumentEditorForm* form = NewForm();
    form->LoadFile(Sample(0));
    form->PageControl->setCurrentWidget(form->RatingsSheet);
    const int before = form->RatingsGrid->ColWidth(1);
    form->resize(form->width() + 120, form->height());
    QApplication::processEvents();
    EXPECT_EQ(form->RatingsGrid->ColWidth(1), before + 120);
}

TEST_F(Viewer, TextsShowDecodedAndLiteral)
{
    TDocumentEditorForm* form = NewForm();
    form->LoadFile(Sample(0));
    EXPECT_EQ(form->CustomerDisplay->text(), "  Versandhaus Müller & Söhne GmbH, Köln");
    EXPECT_EQ(form->TaskDisplay->text(),
              "  Auftrag 4711 – Abgleich gegen Robinson- und Kundensperren");
    EXPECT_EQ(form->PercentDisplay->text(), "  71,35 %");
    EXPECT_EQ(form->SingleNrDisplay->text(), "");
    EXPECT_EQ(form->MatrixTypePanel->text(), "Kompatibilitätsmatrix");
    form->LoadFile(Sample(1));
    EXPECT_EQ(form->SingleNrDisplay->text(), "Protokoll 3  ");
}

// The exporter and the window are built on the same page data; the window must not add
// anything of its own.
TEST_F(Viewer, GridsEqualTheExport)
{
    TDocumentEditorForm* form = NewForm();
    for (int s = 0; s < 4; ++s) {
        form->LoadFile(Sample(s));
        for (const auto& [name, grid] : {std::pair<const char*, TStringGrid*>{"files", form->FilesGrid},
                                         {"matrix", form->MatrixGrid},
                                         {"ratings", form->RatingsGrid}}) {
            std::ostringstream csv;
            WriteGridCsv(csv, form->Document(), name);
            const int index = form->PageControl->indexOf(grid->parentWidget());
            if (!form->PageControl->isTabVisible(index)) {
                EXPECT_EQ(csv.str(), "") << name;
                continue;
            }
            std::string fromGrid;
            for (int r = 0; r < grid->RowCount(); ++r) {
                for (int c = 0; c < grid->ColCount(); ++c)
                    fromGrid += (c ? "," : "") + CsvField(grid->Cell(c, r).toStdString());
                fromGrid += "\r\n";
            }
            EXPECT_EQ(fromGrid, csv.str()) << s << " " << name;
        }
    }
}

// The print button end to end, on the engine's PDF entry: the setup dialog once, then the whole
// log and one single log per input file, each into its own file.
TEST_F(Viewer, PrintButtonPrintsEveryPartAndTheLanguageSwitchForgetsTheChoices)
{
    const QString pdf = QString::fromStdString(dir.Path("log.pdf"));
    QStringList calls;
    TQuickRep::PrintDialog = [&](TQuickRep& report) {
        calls << "print dialog";
        report.PrinterSettings().PrinterIndex =
            static_cast<int>(TQuickRep::PrinterNames().indexOf(TQuickRep::PdfPrinterName()));
        report.PrinterSettings().OutputFileName = pdf;
        return true;
    };
    TPrintSetupForm::ShowModal = [&](TPrintSetupForm& form) {
        calls << "setup dialog";
        form.SinglesCheckBox->setChecked(true);
        form.OkButtonClick();
        return form.result();
    };

    TDocumentEditorForm* form = NewForm();
    form->LoadFile(Sample(0));
    QTest::keyClick(form, Qt::Key_P, Qt::AltModifier);
    EXPECT_EQ(calls, (QStringList{"print dialog", "setup dialog"}));
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
    EXPECT_TRUE(QFileInfo(pdf).size() > 0);
    for (int n = 1; n <= 8; ++n)
        EXPECT_TRUE(QFileInfo(PartFileName(pdf, n)).size() > 0) << n;
    EXPECT_FALSE(QFileInfo::exists(PartFileName(pdf, 9)));
    EXPECT_TRUE(form->PrintSetupState().Singles);

    // On the PDF entry a second print asks for its file again instead of falling back to the
    // default printer, and prints into it.
    calls.clear();
    QFile::remove(pdf);
    QTest::keyClick(form, Qt::Key_P, Qt::AltModifier);
    EXPECT_EQ(calls, (QStringList{"print dialog", "setup dialog"}));
    EXPECT_TRUE(QFileInfo(pdf).size() > 0);

    form->LocaleComboChange(1);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    TDocumentEditorForm* english = TDocumentEditorForm::MainForm();
    EXPECT_FALSE(english->PrintSetupState().Singles);
    EXPECT_FALSE(english->PrintSetupState().PrinterChosen);

    TQuickRep::PrintDialog = nullptr;
    TPrintSetupForm::ShowModal = nullptr;
    TPrintSetupForm::Release();
}
