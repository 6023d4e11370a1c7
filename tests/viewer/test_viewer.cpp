#include "AllocationLimit.h"
#include "FifoWatch.h"
#include "GridCsv.h"
#include "HostileLogs.h"
#include "LocalFileName.h"
#include "MprWriter.h"
#include "PageExport.h"
#include "PrintCommand.h"
#include "ProductIdentity.h"
#include "ProgramEntry.h"
#include "QtText.h"
#include "ReportFonts.h"
#include "Samples.h"
#include "TDocumentEditorForm.h"
#include "TElidedLabel.h"
#include "TFilesTable.h"
#include "TGridCommands.h"
#include "TLocale.h"
#include "TPrintPreviewForm.h"
#include "TPrintProgressDialog.h"
#include "TPrintSetupForm.h"
#include "TPrintSetupState.h"
#include "TPrinterDriver.h"
#include "TQRPrintDialog.h"
#include "TQorButton.h"
#include "TQuickRep.h"
#include "TRegistryAccessor.h"
#include "TStringGrid.h"
#include "TViewerDialogs.h"
#include "TempDir.h"
#include "TempSettings.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPrintDialog>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QUrl>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>

// Readable failures.
void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

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

// The engine's print dialog, scripted: it chooses the PDF entry with the file, noting the call.
void ChoosePdfEntry(QStringList& calls, const QString& pdf)
{
    TQuickRep::PrintDialog = [&calls, pdf](TQuickRep& report) {
        calls << "print dialog";
        report.PrinterSettings().PrinterIndex = static_cast<int>(
            TPrinterDriver::PrinterNames().indexOf(TPrinterDriver::PdfPrinterName()));
        report.PrinterSettings().OutputFileName = pdf;
        return true;
    };
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
        form->SetAppTitle(kApplicationTitle);
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
    // The message names the file, and the path follows on a line of its own.
    const QString badPath = QString::fromStdString(bad);
    EXPECT_EQ(dialogs.errors[0], "\"" + badPath + "\" ist kein Statistik-Protokoll\n" + badPath);
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
              QString(kApplicationTitle) + " - Statistik-Protokoll - " + form->FileName());
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
    EXPECT_EQ(form->windowTitle(), QString(kApplicationTitle) + " - Statistik-Protokoll");
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
    const QString badPath = QString::fromStdString(bad);
    EXPECT_EQ(dialogs.errors[0], "\"" + badPath + "\" ist kein Statistik-Protokoll\n" + badPath);
    EXPECT_TRUE(form->FileName().isEmpty());
    EXPECT_FALSE(form->EditorPanel->isVisible());
    EXPECT_TRUE(form->EmptyPanel->isVisible());
    EXPECT_FALSE(form->PrintButton->isEnabled());
    EXPECT_EQ(form->windowTitle(), QString(kApplicationTitle) + " - Statistik-Protokoll");
    // The dialog offered the last log loaded.
    EXPECT_EQ(dialogs.offered, QStringList{good});
}

TEST_F(Viewer, ALogWhoseNameIsNotUtf8OpensFromTheCommandLineTheLoadDialogAndADrop)
{
    // A Latin-1 name, as a log copied from an old share has it.
    const std::string bytes = dir.Path("Gr\xFC\xDF.mpr");
    WriteFileBytes(bytes, MprFile(SampleWholeLog()));
    const QString name = FileNameFromBytes(QByteArray::fromStdString(bytes));
    const QString shown = QString::fromStdString(dir.Path("Gr\uFFFD\uFFFD.mpr"));
    const QString caption =
        QString::fromLatin1(kApplicationTitle) + " - Statistik-Protokoll - " + shown;

    ASSERT_EQ(RunViewer({name}, false), 0);
    TDocumentEditorForm* form = TDocumentEditorForm::MainForm();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->EditorPanel->isVisible());
    EXPECT_EQ(form->windowTitle(), caption);

    // Qt's load dialog lists the file by its shown name.
    TDocumentEditorForm* loaded = NewForm();
    dialogs.answers << QFile::decodeName(QByteArray::fromStdString(bytes));
    QTest::keyClick(loaded, Qt::Key_L, Qt::AltModifier);
    EXPECT_EQ(FileNameBytes(loaded->FileName()).toStdString(), bytes);
    EXPECT_EQ(loaded->windowTitle(), caption);

    // A file manager drops it as a URL of its percent-encoded bytes.
    TDocumentEditorForm* dropped = NewForm();
    QMimeData data;
    const QByteArray encoded = QByteArray::fromStdString(bytes).toPercentEncoding("/");
    data.setUrls({QUrl::fromEncoded("file://" + encoded)});
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    // Straight to the window: QApplication only passes on a drop it saw a drag for.
    static_cast<QObject*>(dropped)->event(&drop);
    QTest::qWait(10);
    EXPECT_EQ(FileNameBytes(dropped->FileName()).toStdString(), bytes);
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
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
    EXPECT_EQ(english->windowTitle(), QString(kProductVersion) + " - Statistic-Protocol - " + path);

    // A log gone since: the new window still shows, without a log.
    QFile::remove(path);
    english->LocaleComboChange(0);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    TDocumentEditorForm* german = TDocumentEditorForm::MainForm();
    ASSERT_NE(german, nullptr);
    EXPECT_TRUE(german->isVisible());
    EXPECT_TRUE(german->FileName().isEmpty());
    // A message that does not name the file gets its path on a second line.
    EXPECT_EQ(dialogs.errors, QStringList{"Datei nicht gefunden\n" + path});
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
        {2, {-12, -13, -11, -2, -5}, 3, true}, {1, {-12, -11, -2, -5}, 2, true},
        {0, {-13, -11, -2, -5}, 2, true},      {7, {-11, -2, -5}, 1, true},
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
        EXPECT_EQ(form->FilesTable()->SumPanelsEnabled, c.panels);
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
    EXPECT_EQ(form->Sum1Panel->y(),
              grid->viewport()->mapTo(form->FilesSheet, sumCell.topLeft()).y());
    grid->SetTopRow(rows);
    EXPECT_TRUE(form->Sum1Panel->isVisible());
    EXPECT_TRUE(form->Sum2Panel->isVisible());
    EXPECT_EQ(form->Sum2Panel->y() - form->Sum1Panel->y(),
              grid->DefaultRowHeight() + grid->GridLineWidth());
    // The panels cover the name and number columns, which are at least as wide as the narrower
    // caption plus 24 pixels.
    const QFontMetrics fm(form->EditorPanel->font());
    EXPECT_GE(form->Sum1Panel->width(), std::min(fm.horizontalAdvance(form->Sum1Panel->text()),
                                                 fm.horizontalAdvance(form->Sum2Panel->text())) +
                                            24 - 2);
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
        for (const auto& [name, grid] :
             {std::pair<const char*, TStringGrid*>{"files", form->FilesGrid},
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
    ChoosePdfEntry(calls, pdf);
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

TEST_F(Viewer, HostileLogsOpenOrAreRefused)
{
    // Each log of the family either shows, every page painted, with bounded column widths and
    // labels, or is refused with its message and leaves the window without a log.
    TDocumentEditorForm* form = NewForm();
    for (const HostileLog& log : HostileLogs()) {
        SCOPED_TRACE(log.Name);
        const TMatchDocument doc = log.Build();
        const QString path = Write(log.Name + ".mpr", doc);
        dialogs.errors.clear();
        dialogs.answers << path;
        form->LoadButtonClick();
        QFile::remove(path);
        if (log.Refused) {
            ASSERT_EQ(dialogs.errors.size(), 1);
            EXPECT_TRUE(dialogs.errors[0].contains("ist zu groß zum Anzeigen: "));
            EXPECT_TRUE(form->EmptyPanel->isVisible());
            continue;
        }
        ASSERT_EQ(dialogs.errors, QStringList());
        ASSERT_EQ(form->FileName(), path);
        TStringGrid* grid = form->FilesGrid;
        for (int c = 0; c < grid->ColCount(); ++c)
            ASSERT_LE(grid->ColWidth(c), TStringGrid::MaxColWidth);
        for (int c = 1; c < grid->ColCount(); ++c) {
            if (c != form->FilesTable()->NameColumnCount && doc.Columns[c] == doc.Columns[c - 1]) {
                ASSERT_EQ(grid->ColWidth(c), grid->ColWidth(c - 1)) << "column " << c;
            }
        }
        EXPECT_LE(form->HeadDisplay->text().size(), 8192);
        EXPECT_TRUE(FromCp1252(doc.HeadText).startsWith(form->HeadDisplay->text()));
        for (QWidget* page :
             {form->TitleSheet, form->FilesSheet, form->MatrixSheet, form->RatingsSheet}) {
            form->PageControl->setCurrentWidget(page);
            EXPECT_FALSE(form->grab().isNull());
        }
    }
}

TEST_F(Viewer, RunningOutOfMemoryWhilePaintingGivesUpTheLogWithAMessage)
{
    // One cell of 12 million "ü" loads in 12 MB; painting it needs its 24 MB of UTF-8 at once,
    // which a machine without 16 MB in one piece left cannot give.
    TMatchDocument doc = PlainFilesLog(1);
    TMatchDocAddColEntry column;
    column.Cells = {"Notiz", "", std::string(12000000, '\xFC'), "", ""};
    doc.AddedColumns = {column};
    doc.Columns.push_back(1);
    TDocumentEditorForm* form = NewForm();
    form->LoadFile(Write("wide.mpr", doc));
    ASSERT_FALSE(form->FileName().isEmpty());
    {
        const ScopedAllocationLimit limit(16u << 20);
        form->PageControl->setCurrentWidget(form->FilesSheet);
        form->grab();
        form->grab(); // a second failing paint before the report is reported once
        QApplication::processEvents();
    }
    EXPECT_EQ(dialogs.errors, QStringList{"Zu wenig Arbeitsspeicher"});
    EXPECT_TRUE(form->FileName().isEmpty());
    EXPECT_TRUE(form->EmptyPanel->isVisible());
    EXPECT_FALSE(form->PrintButton->isEnabled());
    EXPECT_EQ(form->Document().AddedColumns.size(), 0u);
    // The window goes on: the next log opens.
    form->LoadFile(Sample(0));
    EXPECT_TRUE(form->EditorPanel->isVisible());
}

TEST_F(Viewer, AFailureThatLeavesAnEventHandlerIsReportedAfterIt)
{
    struct Failing : QWidget {
        bool event(QEvent* event) override
        {
            if (event->type() == QEvent::User)
                throw std::bad_alloc();
            return QWidget::event(event);
        }
    } widget;
    QEvent event(QEvent::User);
    EXPECT_FALSE(QApplication::sendEvent(&widget, &event));
    EXPECT_TRUE(dialogs.errors.isEmpty()); // not from inside the event
    QApplication::processEvents();
    EXPECT_EQ(dialogs.errors, QStringList{"Zu wenig Arbeitsspeicher"});
}

TEST_F(Viewer, AFifoIsRefusedWithoutWaitingForAWriter)
{
    FifoWatch fifo(dir.Path("fifo.mpr"));
    const QString path = QString::fromStdString(dir.Path("fifo.mpr"));
    // From the command line, the load dialog and a drop.
    EXPECT_EQ(RunViewer({path}, false), 1);
    TDocumentEditorForm* form = NewForm();
    dialogs.answers << path;
    form->LoadButtonClick();
    form->DropFiles({path});
    EXPECT_EQ(dialogs.fatals, QStringList());
    EXPECT_EQ(dialogs.errors, QStringList(3, "Dateizugriff verweigert\n" + path));
    EXPECT_TRUE(form->FileName().isEmpty());
    EXPECT_FALSE(fifo.OpenedForReading());
}

TEST_F(Viewer, AnAbsurdStoredWindowSizeIsBroughtOntoTheScreen)
{
    TRegistryAccessor& registry = settings.accessor();
    registry.setRootKey(TRegistryAccessor::kProgramRoot);
    ASSERT_TRUE(registry.openKey(registry.keyUnderRoot("Positions\\DocumentEditor"), true));
    for (const char* name : {"Left", "Top"})
        registry.writeInteger(QString::fromLatin1(name), 0);
    for (const char* name : {"Width", "Height"})
        registry.writeInteger(QString::fromLatin1(name), 1000000000);
    registry.closeKey();
    TDocumentEditorForm* form = NewForm();
    form->LoadFile(Sample(0));
    const QRect area = form->screen()->availableVirtualGeometry();
    EXPECT_EQ(form->size(), area.size());
    // Position and size as they are stored: the frame's position, the size inside it.
    EXPECT_TRUE(area.contains(QRect(form->pos(), form->size())));
    // The pages lay out at that size.
    EXPECT_EQ(form->EditorPanel->width(), area.width());
    EXPECT_FALSE(form->grab().isNull());
}

namespace {

// The keys and wheel notches a user may send to whatever has the focus; none of them may
// change the language while the language list is closed.
void StrayKeysAndWheel(QWidget* target)
{
    for (int key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_End,
                    Qt::Key_Home, Qt::Key_Right, Qt::Key_Left, Qt::Key_E})
        QTest::keyClick(target, Qt::Key(key));
    QTest::keyClicks(target, QStringLiteral("englisch"));
    for (int delta : {-120, 120, -120}) {
        const QPointF at(target->width() / 2.0, target->height() / 2.0);
        QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &wheel);
    }
    QApplication::processEvents();
}

QWidget* ActiveModal() { return QApplication::activeModalWidget(); }

// Runs the check on the next modal widget that shows up (from inside its event loop); a watchdog
// closes whatever is still open after a few seconds, so a fault fails the test instead of hanging.
// Each poll schedules a copy of itself: nothing refers to itself, so nothing is left over.
struct TModalPoll {
    std::function<void(QWidget*)> Check;
    QDeadlineTimer Deadline;
    void operator()() const
    {
        QWidget* modal = ActiveModal();
        if (!modal && !Deadline.hasExpired()) {
            QTimer::singleShot(20, *this);
            return;
        }
        if (modal)
            Check(modal);
    }
};

void OnNextModal(std::function<void(QWidget*)> check)
{
    QTimer::singleShot(0, TModalPoll{std::move(check), QDeadlineTimer(8000)});
}

void CloseAllModals()
{
    while (QWidget* modal = ActiveModal()) {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
        QApplication::processEvents();
    }
}

} // namespace

// After every kind of load, failed or not, and after a language switch, the keys go to the page
// shown; stray keys and wheel notches then change neither the page data nor the language.
TEST_F(Viewer, FocusGoesToThePageAfterEveryLoad)
{
    const QString good = Sample(0);
    const QString bad = QString::fromStdString(dir.Path("bad.mpr"));
    WriteFileBytes(bad.toStdString(), "short");
    struct Case {
        const char* name;
        std::function<void(TDocumentEditorForm*&)> load;
        bool loaded;
    };
    const auto drop = [](TDocumentEditorForm* form, const QString& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(form, &enter);
        QDropEvent event(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form, &event);
        // The window loads once the drop is over.
        QTest::qWait(20);
    };
    const Case cases[] = {
        {"command line",
         [&](TDocumentEditorForm*& form) {
             delete form;
             ASSERT_EQ(RunViewer({good}, false), 0);
             form = TDocumentEditorForm::MainForm();
         },
         true},
        {"load dialog",
         [&](TDocumentEditorForm*& form) {
             dialogs.answers << good;
             QTest::keyClick(form, Qt::Key_L, Qt::AltModifier);
         },
         true},
        {"drop", [&](TDocumentEditorForm*& form) { drop(form, good); }, true},
        {"failed drop", [&](TDocumentEditorForm*& form) { drop(form, bad); }, false},
        {"failed load dialog",
         [&](TDocumentEditorForm*& form) {
             dialogs.answers << bad;
             QTest::keyClick(form, Qt::Key_L, Qt::AltModifier);
         },
         false},
        {"language switch",
         [&](TDocumentEditorForm*& form) {
             form->LoadFile(good);
             form->LocaleComboChange(1);
             QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
             form = TDocumentEditorForm::MainForm();
         },
         true},
        {"language switch without log",
         [&](TDocumentEditorForm*& form) {
             form->LocaleComboChange(1);
             QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
             form = TDocumentEditorForm::MainForm();
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Locale().SetBase(TLocale::kGermanBase);
        TDocumentEditorForm* form = NewForm();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form));
        for (int page : {0, 1}) {
            if (page == 1 && !c.loaded)
                break;
            // The files page too: after a load the page shown keeps the keys.
            if (page == 1)
                form->PageControl->setCurrentWidget(form->FilesSheet);
            // Where the trap began: the user had just used the language list.
            form->LocaleCombo->setFocus();
            c.load(form);
            ASSERT_NE(form, nullptr);
            ASSERT_TRUE(QTest::qWaitForWindowActive(form));
            QWidget* expected = !c.loaded ? static_cast<QWidget*>(form->EmptyPanel)
                                : form->PageControl->currentWidget() == form->FilesSheet
                                    ? static_cast<QWidget*>(form->FilesGrid)
                                    : static_cast<QWidget*>(form->InfoMemo);
            EXPECT_EQ(QApplication::focusWidget(), expected)
                << page << " " << form->FileName().toStdString() << " "
                << (QApplication::focusWidget()
                        ? QApplication::focusWidget()->objectName().toStdString()
                        : "none");
            const TDocumentEditorForm* before = TDocumentEditorForm::MainForm();
            const int base = Locale().Base;
            StrayKeysAndWheel(QApplication::focusWidget());
            EXPECT_EQ(TDocumentEditorForm::MainForm(), before);
            EXPECT_EQ(Locale().Base, base);
            // Tab from the language list goes only where the user can see: the page shown (or
            // the empty panel without a log), never a panel covered by another.
            for (int tab = 0; tab < 8; ++tab) {
                form->LocaleCombo->setFocus();
                for (int step = 0; step <= tab; ++step)
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QWidget* at = QApplication::focusWidget();
                ASSERT_NE(at, nullptr);
                const bool onPage = c.loaded ? form->PageControl->currentWidget()->isAncestorOf(at)
                                             : at == form->EmptyPanel;
                EXPECT_TRUE(onPage || at == form->LocaleCombo)
                    << tab << " tabs: " << at->objectName().toStdString();
            }
        }
        dialogs.errors.clear();
        delete TDocumentEditorForm::MainForm();
    }
}

// The closed language list takes no arrow, page, Home/End or letter key and no wheel notch, with
// or without the focus; a language changes only when picked from the open list, by mouse or
// keyboard, and picking the language shown changes nothing.
TEST_F(Viewer, LanguageChangesOnlyWhenPickedFromTheOpenList)
{
    TDocumentEditorForm* form = NewForm();
    form->LoadFile(Sample(0));
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    QComboBox* list = form->LocaleCombo;

    form->FilesGrid->setFocus();
    StrayKeysAndWheel(list); // wheel and keys on the list without its focus
    list->setFocus();
    StrayKeysAndWheel(list);
    EXPECT_EQ(TDocumentEditorForm::MainForm(), form);
    EXPECT_EQ(Locale().Base, TLocale::kGermanBase);
    EXPECT_EQ(list->currentIndex(), 0);

    // Opening and leaving it with Escape changes nothing; nor does picking German again.
    QTest::keyClick(list, Qt::Key_F4);
    ASSERT_TRUE(list->view()->isVisible());
    QTest::keyClick(list->view(), Qt::Key_Down);
    QTest::keyClick(list->view(), Qt::Key_Escape);
    EXPECT_FALSE(list->view()->isVisible());
    QTest::keyClick(list, Qt::Key_Space);
    ASSERT_TRUE(list->view()->isVisible());
    QTest::keyClick(list->view(), Qt::Key_Enter);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(TDocumentEditorForm::MainForm(), form);
    EXPECT_EQ(Locale().Base, TLocale::kGermanBase);

    // Keyboard: open with Alt+Down, step to English, Space.
    QTest::keyClick(list, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(list->view()->isVisible());
    QTest::keyClick(list->view(), Qt::Key_Down);
    QTest::keyClick(list->view(), Qt::Key_Space);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    TDocumentEditorForm* english = TDocumentEditorForm::MainForm();
    ASSERT_NE(english, nullptr);
    EXPECT_NE(english, form);
    EXPECT_EQ(Locale().Base, TLocale::kEnglishBase);
    EXPECT_EQ(english->LocaleCombo->currentIndex(), 1);

    // Mouse: a click opens the list, a click on "Deutsch" picks it.
    ASSERT_TRUE(QTest::qWaitForWindowActive(english));
    list = english->LocaleCombo;
    QTest::mouseClick(list, Qt::LeftButton);
    ASSERT_TRUE(list->view()->isVisible());
    QAbstractItemView* view = list->view();
    // The list ignores the release of the click that opened it for a double-click's time.
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    const QRect german = view->visualRect(view->model()->index(0, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, german.center());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Locale().Base, TLocale::kGermanBase);
    EXPECT_NE(TDocumentEditorForm::MainForm(), english);
    EXPECT_EQ(OpenEditorForms(), 1);
}

// The real load dialog, in German: it offers "*.mpr" as the system names it, lists logs in any
// letter case, and a name typed without extension finds the lower-case ".mpr" file.
TEST_F(Viewer, LoadDialogListsLogsInAnyCaseAndAddsTheLowerCaseSuffix)
{
    const QString whole = Write("whole-log.mpr", SampleWholeLog());
    const QString upper = Write("OTHER.MPR", SampleWholeLog());
    WriteFileBytes(dir.Path("notes.txt"), "no log");
    TDocumentEditorForm* form = NewForm();
    form->LoadFile(upper);
    TQtViewerDialogs qtDialogs;
    TViewerDialogs::Install(&qtDialogs);

    QStringList listed;
    QString filterText, lookIn, openButton, cancelButton;
    OnNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog)
            return CloseAllModals();
        filterText = dialog->findChild<QComboBox*>("fileTypeCombo")->currentText();
        lookIn = dialog->findChild<QLabel*>("lookInLabel")->text();
        auto* buttons = dialog->findChild<QDialogButtonBox*>("buttonBox");
        openButton = buttons->button(QDialogButtonBox::Open)->text();
        cancelButton = buttons->button(QDialogButtonBox::Cancel)->text();
        auto* view = dialog->findChild<QListView*>("listView");
        QDeadlineTimer listing(5000);
        while (view->model()->rowCount(view->rootIndex()) < 2 && !listing.hasExpired())
            QTest::qWait(20);
        for (int r = 0; r < view->model()->rowCount(view->rootIndex()); ++r)
            listed << view->model()->index(r, 0, view->rootIndex()).data().toString();
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        name->clear();
        QTest::keyClicks(name, QStringLiteral("whole-log"));
        // A name the dialog cannot find keeps it open behind a message: a fault, not a hang.
        QTimer::singleShot(1500, [] { CloseAllModals(); });
        QTest::keyClick(name, Qt::Key_Return);
    });
    QTest::keyClick(form, Qt::Key_L, Qt::AltModifier);
    TViewerDialogs::Install(&dialogs);

    EXPECT_EQ(filterText, "Statistik-Protokoll-Datei (*.mpr)");
    listed.sort();
    EXPECT_EQ(listed, (QStringList{"OTHER.MPR", "whole-log.mpr"}));
    EXPECT_EQ(form->FileName(), whole);
    // Qt's German translation is installed and loaded.
    EXPECT_EQ(lookIn, "Suchen in:");
    EXPECT_EQ(openButton, "&Öffnen");
    EXPECT_EQ(cancelButton, "Abbrechen");
}

// At the window's minimum size the legend is cut with "…" and tells its whole text as its tool
// tip; at a large size it shows whole, without a tool tip.
TEST_F(Viewer, LegendIsElidedWithItsWholeTextAsToolTip)
{
    TDocumentEditorForm* form = NewForm();
    form->LoadFile(Sample(0));
    form->PageControl->setCurrentWidget(form->FilesSheet);
    TElidedLabel* legend = form->LegendPanel;
    const QString whole = legend->text();
    ASSERT_TRUE(whole.startsWith("G = Grunddatei")) << whole.toStdString();
    for (const QSize size : {form->minimumSize(), QSize(1500, 900)}) {
        SCOPED_TRACE(testing::Message() << size.width());
        form->resize(size);
        QApplication::processEvents();
        const bool fits = legend->fontMetrics().horizontalAdvance(whole) <=
                          legend->contentsRect().width() - 2 * legend->margin();
        EXPECT_EQ(fits, size.width() > 1000);
        EXPECT_EQ(legend->ShownText() == whole, fits);
        EXPECT_LE(legend->fontMetrics().horizontalAdvance(legend->ShownText()),
                  legend->contentsRect().width());
        const QPoint at = legend->rect().center();
        QHelpEvent help(QEvent::ToolTip, at, legend->mapToGlobal(at));
        QApplication::sendEvent(legend, &help);
        if (!fits) {
            EXPECT_TRUE(legend->ShownText().endsWith(QChar(0x2026)));
            EXPECT_EQ(QToolTip::text(), whole);
        }
        EXPECT_EQ(help.isAccepted(), !fits);
    }
    EXPECT_EQ(form->LegendPanel->width(), form->FilesSheet->width());
}

namespace {

// How much a widget's picture stands out from its background colour.
double Ink(QWidget* widget)
{
    const QImage image = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QColor back = widget->palette().color(widget->backgroundRole());
    double ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            ink += std::abs(c.red() - back.red()) + std::abs(c.green() - back.green()) +
                   std::abs(c.blue() - back.blue());
        }
    }
    return ink;
}

QImage IconImage(const QIcon& icon, const QSize& size = QSize(24, 24))
{
    return icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

// The window has the program's own icon; the print button shows a printer (the desktop theme's,
// else the program's own), and a disabled button looks it: its glyph much fainter than enabled.
TEST_F(Viewer, IconsAndDisabledButtons)
{
    ASSERT_EQ(RunViewer({}, false), 0);
    TDocumentEditorForm* form = TDocumentEditorForm::MainForm();
    const QImage own = IconImage(TDocumentEditorForm::ApplicationIcon());
    ASSERT_FALSE(own.isNull()) << "the SVG icon engine or the icon resource is missing";
    EXPECT_EQ(IconImage(form->windowIcon()), own);
    EXPECT_EQ(IconImage(QApplication::windowIcon()), own);

    const QIcon themed = QIcon::fromTheme(QStringLiteral("document-print"));
    const QImage printer =
        IconImage(themed.isNull() ? QIcon(QStringLiteral(":/icons/document-print.svg")) : themed,
                  form->PrintButton->iconSize());
    ASSERT_FALSE(printer.isNull());
    const QSize glyph = form->PrintButton->iconSize();
    EXPECT_EQ(IconImage(form->PrintButton->icon(), glyph), printer);

    EXPECT_FALSE(form->PrintButton->isEnabled());
    const double disabled = Ink(form->PrintButton);
    form->LoadFile(Sample(0));
    ASSERT_TRUE(form->PrintButton->isEnabled());
    const double enabled = Ink(form->PrintButton);
    EXPECT_LT(disabled, enabled * 0.5) << disabled << " " << enabled;
}

namespace {

// Counts the paint events a widget gets.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++Paints;
        return false;
    }
    int Paints = 0;
};

} // namespace

// "Abbrechen" in the print's progress stops it after the current page: the part finished before
// stays, the file of the part being written is gone, later parts never start; the window
// repaints while the print runs.
TEST_F(Viewer, CancellingThePrintKeepsFinishedPartsAndRemovesTheOneBegun)
{
    const QString pdf = QString::fromStdString(dir.Path("log.pdf"));
    TQuickRep::PrintDialog = [&](TQuickRep& report) {
        report.PrinterSettings().PrinterIndex = static_cast<int>(
            TPrinterDriver::PrinterNames().indexOf(TPrinterDriver::PdfPrinterName()));
        report.PrinterSettings().OutputFileName = pdf;
        return true;
    };
    TPrintSetupForm::ShowModal = [&](TPrintSetupForm& form) {
        form.SinglesCheckBox->setChecked(true);
        form.OkButtonClick();
        return form.result();
    };
    TPrintProgressDialog::ShowDelay = 0;

    TDocumentEditorForm* form = NewForm();
    form->LoadFile(Write("big.mpr", GeneratedLog(12)));
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    const PaintCounter paints(form->FilesGrid->viewport());
    form->PageControl->setCurrentWidget(form->FilesSheet);
    QApplication::processEvents();
    const int paintsBefore = paints.Paints;

    // Watches the print from inside it, by the events it lets through, and presses "Abbrechen"
    // once the second part has printed a page.
    QStringList seen;
    bool wholeLogDone = false;
    QTimer watch;
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* progress = qobject_cast<QProgressDialog*>(ActiveModal());
        if (!progress)
            return;
        form->FilesGrid->viewport()->update();
        const QString text = progress->labelText();
        if (seen.isEmpty() || seen.last() != text)
            seen << text;
        if (text.startsWith("Teil 2 von 13: ") && text.endsWith(" wird gedruckt")) {
            wholeLogDone = QFileInfo(pdf).size() > 0;
            for (QPushButton* button : progress->findChildren<QPushButton*>()) {
                if (button->text() == "Abbrechen")
                    QTest::mouseClick(button, Qt::LeftButton);
            }
            watch.stop();
        }
    });
    watch.start();
    QTest::keyClick(form, Qt::Key_P, Qt::AltModifier);
    watch.stop();
    TPrintProgressDialog::ShowDelay = 500;
    TQuickRep::PrintDialog = nullptr;
    TPrintSetupForm::ShowModal = nullptr;
    TPrintSetupForm::Release();

    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
    ASSERT_FALSE(seen.isEmpty()) << "no progress dialog";
    EXPECT_TRUE(seen.first().startsWith("Teil 1 von 13: Seite 1 wird "))
        << seen.first().toStdString();
    EXPECT_TRUE(wholeLogDone);
    EXPECT_GT(QFileInfo(pdf).size(), 0);
    for (int n = 1; n <= 12; ++n)
        EXPECT_FALSE(QFileInfo::exists(PartFileName(pdf, n))) << n;
    EXPECT_GT(paints.Paints, paintsBefore + 1);
    EXPECT_EQ(ActiveModal(), nullptr);
    EXPECT_TRUE(form->isVisible());
}

namespace {

// Notes whether the wait cursor showed whenever a widget of the window was shown: the pages
// are shown in the middle of a load, the new window in the middle of a language switch.
class CursorWatch : public QObject {
public:
    CursorWatch() { qApp->installEventFilter(this); }
    ~CursorWatch() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            const QCursor* cursor = QApplication::overrideCursor();
            Seen << (cursor && cursor->shape() == Qt::WaitCursor);
        }
        return false;
    }
    QList<bool> Seen;
};

} // namespace

// A wait cursor shows while a log loads and while the language switches, and is gone when the
// window is ready, also after a failed load, whose message shows with the ordinary cursor.
TEST_F(Viewer, WaitCursorWhileLoadingAndSwitching)
{
    TDocumentEditorForm* form = NewForm();
    QApplication::processEvents();
    const QString good = Sample(0);
    const QString bad = QString::fromStdString(dir.Path("bad.mpr"));
    WriteFileBytes(bad.toStdString(), "short");
    QList<bool> cursorAtMessage;
    struct WatchingDialogs : ScriptedDialogs {
        QList<bool>* atMessage = nullptr;
        void ShowError(QWidget* parent, const QString& message) override
        {
            *atMessage << (QApplication::overrideCursor() != nullptr);
            ScriptedDialogs::ShowError(parent, message);
        }
    } watching;
    watching.atMessage = &cursorAtMessage;

    {
        CursorWatch watch;
        form->LoadFile(good);
        EXPECT_TRUE(watch.Seen.contains(true)) << "no wait cursor while loading";
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    {
        CursorWatch watch;
        form->LocaleComboChange(1);
        EXPECT_TRUE(watch.Seen.contains(true)) << "no wait cursor while switching";
        EXPECT_FALSE(watch.Seen.contains(false));
    }
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    form = TDocumentEditorForm::MainForm();
    watching.answers << bad;
    QTest::keyClick(form, Qt::Key_L, Qt::AltModifier);
    EXPECT_EQ(cursorAtMessage, QList<bool>{false});
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The PDF entry is remembered like a printer: the next print's dialog (Qt's, in German, calling
// the entry by the name the setup dialog shows) offers it with the file written last, and
// confirming it keeps the orientation chosen for it.
TEST_F(Viewer, PdfEntryAndItsFileAreRememberedLikeAPrinter)
{
    const QString pdf = QString::fromStdString(dir.Path("bericht.pdf"));
    struct Shown {
        QString printer, file, optionsButton;
        int orientation = -1;
    };
    QList<Shown> shown;
    TQuickRep::PrintDialog = &TQRPrintDialog::Run;
    TQRPrintDialog::ShowModal = [&](QPrintDialog& dialog) {
        QTimer::singleShot(0, &dialog, [&] {
            auto* printers = dialog.findChild<QComboBox*>("printers");
            auto* file = dialog.findChild<QLineEdit*>("filename");
            Shown seen;
            seen.printer = printers->currentText();
            seen.file = file->text();
            for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
                if (button->text().contains(">>"))
                    seen.optionsButton = button->text();
            }
            shown << seen;
            if (shown.size() == 1) {
                // The first time the user picks the entry and names the file.
                printers->setCurrentIndex(printers->findText(TPrinterDriver::PdfPrinterName()));
                file->setText(pdf);
            }
            // Qt asks before writing over the file of the print before.
            QTimer::singleShot(300, [] {
                if (auto* box = qobject_cast<QMessageBox*>(ActiveModal()))
                    box->button(QMessageBox::Yes)->click();
            });
            QTest::keyClick(&dialog, Qt::Key_Return);
        });
        QTimer::singleShot(8000, [] { CloseAllModals(); });
        return dialog.exec();
    };
    TPrintSetupForm::ShowModal = [&](TPrintSetupForm& form) {
        QTimer::singleShot(0, &form, [&] {
            shown.last().orientation = form.OrientationComboBox->currentIndex();
            if (shown.size() == 1)
                form.OrientationComboBox->setCurrentIndex(2); // "Querformat"
            QTest::keyClick(&form, Qt::Key_Return);
        });
        return form.exec();
    };

    TDocumentEditorForm* form = NewForm();
    form->LoadFile(Sample(0));
    for (int print = 0; print < 2; ++print) {
        QTest::keyClick(form, Qt::Key_P, Qt::AltModifier);
        ASSERT_EQ(shown.size(), print + 1);
        EXPECT_GT(QFileInfo(pdf).size(), 0) << print;
    }
    TQRPrintDialog::ShowModal = nullptr;
    TQuickRep::PrintDialog = nullptr;
    TPrintSetupForm::ShowModal = nullptr;
    TPrintSetupForm::Release();

    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
    EXPECT_EQ(shown[0].optionsButton, "&Einstellungen >>");
    EXPECT_EQ(shown[1].printer, TPrinterDriver::PdfPrinterName());
    EXPECT_EQ(shown[1].file, pdf);
    EXPECT_EQ(shown[1].orientation, 2);
    EXPECT_EQ(form->PrintSetupState().OrientationIndex, 2);
    EXPECT_EQ(form->PrintSetupState().PdfFileName, pdf);
}

// The sum captions follow the grid when the window is resized: shown again when the sum rows
// come into view by growing the window, gone when they leave it by shrinking.
TEST_F(Viewer, SumPanelsFollowResizing)
{
    TDocumentEditorForm* form = NewForm();
    form->LoadFile(Sample(0));
    form->PageControl->setCurrentWidget(form->FilesSheet);
    QApplication::processEvents();
    TStringGrid* grid = form->FilesGrid;
    const auto sumRowShown = [&] {
        const int rows = grid->RowCount();
        return grid->TopRow() + grid->VisibleRowCount() >= rows - 1;
    };
    for (const QSize size : {QSize(1500, 950), form->minimumSize(), QSize(1500, 950),
                             QSize(792, 518), form->minimumSize()}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        form->resize(size);
        QApplication::processEvents();
        EXPECT_EQ(form->Sum1Panel->isVisible(), sumRowShown());
        if (form->Sum1Panel->isVisible()) {
            const QRect cell = grid->CellRect(0, grid->RowCount() - 2);
            EXPECT_EQ(form->Sum1Panel->y(),
                      grid->viewport()->mapTo(form->FilesSheet, cell.topLeft()).y());
        }
    }
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

    // The log itself is refused and stays as it is; a folder that is not there leaves nothing;
    // another file is replaced whole.
    const QString log = Sample(0);
    form->LoadFile(log);
    const auto contents = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
    };
    const QByteArray logBytes = contents(log);
    const QString other = QString::fromStdString(dir.Path("other.csv"));
    WriteFileBytes(other.toStdString(), "old contents");
    std::ostringstream files;
    WriteGridCsv(files, form->Document(), "files");
    const struct {
        QString path;
        const char* error;
        QByteArray after;
    } targets[] = {
        {log, "das ist die Eingabedatei selbst", logBytes},
        {QString::fromStdString(dir.Path("missing/out.csv")), "kann nicht geschrieben werden",
         "(none)"},
        {other, nullptr, QByteArray::fromStdString(files.str())},
    };
    for (const auto& target : targets) {
        SCOPED_TRACE(target.path.toStdString());
        dialogs.errors.clear();
        dialogs.saveAnswers << target.path;
        form->FilesCommands->SaveCsv();
        if (target.error) {
            ASSERT_EQ(dialogs.errors.size(), 1);
            EXPECT_TRUE(dialogs.errors.first().contains(target.error))
                << dialogs.errors.first().toStdString();
            EXPECT_TRUE(dialogs.errors.first().contains(target.path));
        } else {
            EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
        }
        EXPECT_EQ(contents(target.path), target.after);
    }
    EXPECT_EQ(QDir(QString::fromStdString(dir.Root().string())).entryList(QDir::Files).size(), 5);
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

// Ctrl+Shift+P and the print button with Shift open "Seitenansicht" with the remembered print
// choices, without the setup dialog; Ctrl+P alone does not.
TEST_F(Viewer, CtrlShiftPAndShiftClickOpenThePreview)
{
    const QString pdf = QString::fromStdString(dir.Path("log.pdf"));
    QStringList calls;
    ChoosePdfEntry(calls, pdf);
    TPrintSetupForm::ShowModal = [&](TPrintSetupForm& setup) {
        calls << "setup dialog";
        setup.OkButtonClick();
        return setup.result();
    };
    QStringList shown;
    TPrintPreviewForm::ShowModal = [&](TPrintPreviewForm& preview) {
        preview.show();
        while (preview.CountMore()) {
        }
        shown << preview.PageCountLabel->text();
        return int(QDialog::Rejected);
    };

    TDocumentEditorForm* form = NewForm();
    form->LoadFile(Sample(0));
    form->PageControl->setCurrentWidget(form->FilesSheet);
    QTest::keyClick(form->FilesGrid, Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::mouseClick(form->PrintButton, Qt::LeftButton, Qt::ShiftModifier);
    QTest::keyClick(form->FilesGrid, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(shown, (QStringList{"von 3", "von 3"}));
    EXPECT_EQ(calls, (QStringList{"print dialog", "print dialog"}));
    EXPECT_FALSE(QFileInfo::exists(pdf));
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();

    TQuickRep::PrintDialog = nullptr;
    TPrintSetupForm::ShowModal = nullptr;
    TPrintPreviewForm::ShowModal = nullptr;
    TPrintSetupForm::Release();
}

// "Alles kopieren" on a matrix of more cells than the clipboard takes says so, naming the
// limit, and leaves the clipboard alone; a copy that fits goes as text only beyond the HTML
// limit.
TEST_F(Viewer, CopiesTooLargeForTheClipboardAreRefusedWithTheLimit)
{
    TDocumentEditorForm* form = NewForm();
    form->LoadFile(Write("large.mpr", GeneratedLog(2300)));
    QApplication::clipboard()->setText(QStringLiteral("before"));
    form->MatrixCommands->Copy(true);
    ASSERT_EQ(dialogs.warnings.size(), 1);
    EXPECT_TRUE(
        dialogs.warnings.first().contains(QStringLiteral("Die Tabelle ist mit 5.299.203 Zellen")))
        << dialogs.warnings.first().toStdString();
    EXPECT_TRUE(dialogs.warnings.first().contains(QStringLiteral("höchstens 5.000.000 Zellen")));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("before"));

    // A block of it copies, without HTML above its limit.
    form->MatrixGrid->SelectBlock(3, 1, 402, 400);
    form->MatrixCommands->Copy(false);
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_FALSE(data->hasHtml());
    EXPECT_EQ(data->text().count('\n'), 401);
}
