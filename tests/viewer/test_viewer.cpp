#include "GridCsv.h"
#include "MprWriter.h"
#include "PageExport.h"
#include "PrintCommand.h"
#include "ProgramEntry.h"
#include "ReportFonts.h"
#include "Samples.h"
#include "TDocumentEditorForm.h"
#include "TFilesTable.h"
#include "TGridCommands.h"
#include "TLocale.h"
#include "TPrintSetupForm.h"
#include "TPrintSetupState.h"
#include "TQorButton.h"
#include "TQuickRep.h"
#include "TStringGrid.h"
#include "TViewerDialogs.h"
#include "TempDir.h"
#include "TempSettings.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

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
    void ShowWarning(QWidget*, const QString& message) override { warnings << message; }
    QString ChooseSaveFile(QWidget*, const QString& title, const QString& suggestedPath,
                           const QString& filter, const QString& suffix) override
    {
        saveDialogs << QStringList{title, suggestedPath, filter, suffix}.join('|');
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }
    QStringList errors, fatals, offered, answers, warnings, saveDialogs, saveAnswers;
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

TEST_F(Viewer, StartMakesTheReportFontKnownWhereTheMachineHasIt)
{
    const bool file =
        QFileInfo(QDir(ReportFontFolder()).filePath(QStringLiteral("tahoma.ttf"))).isFile();
    QProcess list;
    list.start(QStringLiteral("fc-list"), {QStringLiteral("Tahoma")});
    list.waitForFinished();
    const bool installed = !list.readAllStandardOutput().trimmed().isEmpty();
    EXPECT_EQ(RunViewer({}, false), 0);
    EXPECT_EQ(QFontDatabase::families().contains(QStringLiteral("Tahoma")), file || installed);
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

namespace {

// The grid of the page the viewer test names, by the CSV writer's name.
TStringGrid* GridNamed(TDocumentEditorForm& form, const std::string& name)
{
    return name == "files" ? form.FilesGrid : name == "matrix" ? form.MatrixGrid : form.RatingsGrid;
}

// Runs the menu the command opens and picks the entry with the text.
QStringList PickFromMenu(const std::function<void()>& open, const QString& entry)
{
    QStringList texts;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator())
                texts << action->text();
        }
        for (QAction* action : menu->actions()) {
            if (action->text() == entry) {
                menu->setActiveAction(action);
                QTest::keyClick(menu, Qt::Key_Return);
                return;
            }
        }
        menu->close();
    });
    open();
    return texts;
}

QString ExporterOutput(const QStringList& args)
{
    QProcess exporter;
    exporter.start(QStringLiteral(ZELMORA_EXPORT_BINARY), args);
    exporter.waitForFinished(60000);
    EXPECT_EQ(exporter.exitCode(), 0) << exporter.readAllStandardError().toStdString();
    return QString::fromLatin1(exporter.readAllStandardOutput().toBase64());
}

} // namespace

// Ctrl+C copies the selection with the titles above it and the labels beside it, every cell as
// the window shows it: sums, "####" and empty cells alike, and the sum rows labelled by the
// captions that cover their fixed cells.
TEST_F(Viewer, CopiedSelectionsCarryTheirTitlesAndLabels)
{
    TMatchDocument doc = SampleWholeLog();
    doc.AddedColumns[0].Cells[3] = "viel"; // the costs of the second file: their sums are ####
    const QString withWord = Write("word.mpr", doc);
    // Without name and number columns first, nothing is fixed and no caption covers the sums.
    TMatchDocument plain = SampleWholeLog();
    plain.Columns = {-2, -12};
    const QString noLabels = Write("plain.mpr", plain);
    const struct {
        QString log;
        const char* grid;
        int left, top, right, bottom;
        const char* tsv;
    } cases[] = {
        {Sample(0), "files", 5, 2, 5, 3,
         "\t\t\tSätze\nDatei\tDateiname\tNr.\tBrutto\n"
         "KAT26\tkatalog_fruehjahr_2026.dat\t1\t120000\n"
         "ANZ26\tanzeigen_rueckläufer.dat\t2\t45500\n"},
        {Sample(0), "files", 8, 10, 9, 11,
         "\t\t\tDubletten\tDubletten\nDatei\tDateiname\tNr.\tTreffer\tin %\n"
         "Summe ohne Sperrdateien\t\t\t666\t5.55\nSumme mit  Sperrdateien\t\t\t22161\t\n"},
        {withWord, "files", 14, 7, 15, 11,
         "\t\t\tPorto\tRegion\nDatei\tDateiname\tNr.\tEUR\t\n"
         "ROBIN\trobinsonliste.dat\t6\t0\tbundesweit\n"
         "UMZUG\tumzugssperre.kpk\t7\t0\tbundesweit\n"
         "WIDER\twerbewiderspruch.dat\t8\t0\tbundesweit\n"
         "Summe ohne Sperrdateien\t\t\t####\t\nSumme mit  Sperrdateien\t\t\t####\t\n"},
        {Sample(1), "files", 12, 2, 13, 4,
         "\t\t\tSätze\tSätze\nDatei\tDateiname\tNr.\tSingle\tMulti\n"
         "KUNDE\tkundenstamm.dat\t3\t297850\t12400\n"
         "Summe ohne Sperrdateien\t\t\t511360\t21770\nSumme mit  Sperrdateien\t\t\t\t\n"},
        {Sample(0), "matrix", 4, 2, 5, 2,
         "Datei\tDateiname\t\t2\t3\nANZ26\tanzeigen_rueckläufer.dat\t2\t612\t987\n"},
        {Sample(3), "matrix", 5, 4, 5, 4, "Datei\t\t4\nINTER\t4\t380\n"},
        {Sample(3), "files", 2, 6, 3, 7,
         "\t\tSätze\tIntra-\nDatei\tNr.\tBrutto\tDubletten\n"
         "Summe ohne Sperrdateien\t\t504480\t0\nSumme mit  Sperrdateien\t\t504480\t\n"},
        {noLabels, "files", 0, 10, 1, 11, "Sätze\t\nBrutto\tDatei\n564480\t\n1927880\t\n"},
        {Sample(0), "ratings", 1, 3, 1, 4, "\tErsetungen\nF2\t3115\nF3\t806\n"},
    };
    TDocumentEditorForm* form = NewForm();
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.log.toStdString() << " " << c.grid << " " << c.left << "," << c.top);
        form->LoadFile(c.log);
        TStringGrid* grid = GridNamed(*form, c.grid);
        QApplication::clipboard()->clear();
        grid->SelectBlock(c.left, c.top, c.right, c.bottom);
        QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
        const QMimeData* data = QApplication::clipboard()->mimeData();
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(data->text().toStdString(), c.tsv);
        // The same table as HTML: one row per line, the fixed cells as header cells.
        const QStringList lines = QString::fromUtf8(c.tsv).split('\n', Qt::SkipEmptyParts);
        const QString html = data->html();
        EXPECT_EQ(html.count(QStringLiteral("<tr>")), lines.size());
        for (const QString& cell : lines.last().split('\t'))
            EXPECT_TRUE(html.contains(QStringLiteral(">%1</").arg(cell.toHtmlEscaped())))
                << cell.toStdString();
    }
    // The sum rows' labels are header cells; an empty sum an empty data cell.
    form->LoadFile(Sample(0));
    form->FilesGrid->SelectBlock(9, 11, 9, 11);
    QTest::keyClick(form->FilesGrid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(QApplication::clipboard()->mimeData()->html().contains(
        "<tr><th>Summe mit  Sperrdateien</th><th></th><th></th><td></td></tr>"));
}

// Each grid's context menu, by mouse, menu key and Shift+F10: "Alles kopieren" copies every
// cell, "Kopieren" the selection.
TEST_F(Viewer, GridContextMenusCopy)
{
    TDocumentEditorForm* form = NewForm();
    form->LoadFile(Sample(0));
    const QStringList entries{"Kopieren", "Alles kopieren", "Als CSV speichern…"};
    for (const std::string name : {"files", "matrix", "ratings"}) {
        SCOPED_TRACE(name);
        TStringGrid* grid = GridNamed(*form, name);
        form->PageControl->setCurrentWidget(grid->parentWidget());
        QApplication::clipboard()->clear();
        EXPECT_EQ(PickFromMenu([&] { QTest::keyClick(grid, Qt::Key_F10, Qt::ShiftModifier); },
                               "Alles kopieren"),
                  entries);
        std::ostringstream csv;
        WriteGridCsv(csv, form->Document(), name);
        // Every cell: the CSV's cells with tabs, except where the window shows sum captions.
        const QStringList tsv = QApplication::clipboard()->text().split('\n');
        const QStringList csvLines = QString::fromStdString(csv.str()).split("\r\n");
        ASSERT_EQ(tsv.size(), csvLines.size());
        EXPECT_EQ(tsv.first().split('\t'), csvLines.first().split(','));

        grid->SelectBlock(grid->FixedCols(), grid->FixedRows(), grid->FixedCols(),
                          grid->FixedRows());
        QApplication::clipboard()->clear();
        PickFromMenu([&] { QTest::keyClick(grid, Qt::Key_Menu); }, "Kopieren");
        EXPECT_EQ(QApplication::clipboard()->text().count('\n'), grid->FixedRows() + 1);
    }
}

// "Als CSV speichern…" writes exactly the bytes the exporter's --csv writes, for every grid of
// every sample in both languages, beside the log under the log's and the page's name; it never
// writes over the log it shows.
TEST_F(Viewer, SavedCsvIsWhatTheExporterWrites)
{
    TDocumentEditorForm* form = NewForm();
    for (int language = 0; language < 2; ++language) {
        for (int s = 0; s < 4; ++s) {
            const QString log = Sample(s);
            form->LoadFile(log);
            for (const std::string name : {"files", "matrix", "ratings"}) {
                TStringGrid* grid = GridNamed(*form, name);
                if (!form->PageControl->isTabVisible(
                        form->PageControl->indexOf(grid->parentWidget())))
                    continue;
                SCOPED_TRACE(testing::Message() << log.toStdString() << " " << name);
                const QString path = QString::fromStdString(dir.Path("out.csv"));
                dialogs.saveAnswers << path;
                dialogs.saveDialogs.clear();
                PickFromMenu([&] { QTest::keyClick(grid, Qt::Key_Menu); }, "Als CSV speichern…");
                ASSERT_EQ(dialogs.saveDialogs.size(), 1);
                const QFileInfo info(log);
                const QString page = name == "files"    ? "Dateien"
                                     : name == "matrix" ? "Matrix"
                                                        : "Ratings";
                EXPECT_EQ(dialogs.saveDialogs.first(),
                          "Als CSV speichern|" +
                              info.dir().filePath(info.completeBaseName() + "-" + page + ".csv") +
                              "|CSV-Datei (*.csv)|csv");
                QFile saved(path);
                ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
                const QString exported = ExporterOutput(
                    {"--lang", language ? "en" : "de", "--csv", QString::fromStdString(name), log});
                EXPECT_EQ(QString::fromLatin1(saved.readAll().toBase64()), exported);
                saved.close();
                QFile::remove(path);
            }
        }
        form->LocaleComboChange(1);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        form = TDocumentEditorForm::MainForm();
    }
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
    // Nothing else was left in the folder.
    EXPECT_EQ(QDir(QString::fromStdString(dir.Root().string())).entryList(QDir::Files).size(), 4);

    const QString log = Sample(0);
    form->LoadFile(log);
    const QByteArray before = [&] {
        QFile file(log);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }();
    dialogs.saveAnswers << log;
    form->FilesCommands->SaveCsv();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors.first().contains("wird nicht überschrieben"));
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
}

// The title page's texts can be selected with the mouse and copied, and keep their look.
TEST_F(Viewer, TitleTextsCanBeSelectedAndCopied)
{
    TDocumentEditorForm* form = NewForm();
    form->LoadFile(Sample(1));
    for (QLabel* label : {form->HeadDisplay, form->CustomerDisplay, form->TaskDisplay,
                          form->PercentDisplay, form->SingleNrDisplay}) {
        SCOPED_TRACE(label->objectName().toStdString());
        EXPECT_EQ(label->frameStyle(), QFrame::Panel | QFrame::Sunken);
        EXPECT_EQ(label->focusPolicy(), Qt::StrongFocus);
        QApplication::clipboard()->clear();
        label->setFocus();
        const QRect text = label->contentsRect();
        QTest::mouseDClick(label, Qt::LeftButton, Qt::NoModifier,
                           QPoint(text.left() + 1, text.center().y()));
        QTest::mousePress(label, Qt::LeftButton, Qt::NoModifier,
                          QPoint(text.left() + 1, text.center().y()));
        QTest::mouseMove(label, QPoint(text.right() - 1, text.center().y()));
        QTest::mouseRelease(label, Qt::LeftButton, Qt::NoModifier,
                            QPoint(text.right() - 1, text.center().y()));
        ASSERT_TRUE(label->hasSelectedText());
        EXPECT_EQ(label->selectedText(), label->text());
        QTest::keyClick(label, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QApplication::clipboard()->text(), label->text());
    }
}
