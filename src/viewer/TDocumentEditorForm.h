#pragma once

#include "ProductIdentity.h"
#include "TMatchDocument.h"

#include <QIcon>
#include <QWidget>

#include <exception>
#include <functional>
#include <memory>

class QComboBox;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QTabWidget;
class TFilesTable;
class TGridCommands;
class TMatrixTable;
class TPosRegister;
class TPrintSetupState;
class TQorButton;
class TRatingsTable;
class TStringGrid;

// The main window: one statistics log on four pages (title, files, matrix, ratings), the button
// bar (close, load, about, print) and the language list. It never changes or writes a log.
//
// Load failures are reported through the application's error report (TViewerDialogs) by the
// commands that load; LoadFile itself lets them through after returning to the empty state.
class TElidedLabel;
class TDocumentEditorForm : public QWidget {
    Q_OBJECT

public:
    static constexpr const char* kDefaultAppTitle = kProductVersion;

    explicit TDocumentEditorForm(QWidget* parent = nullptr);
    ~TDocumentEditorForm() override;

    // The window the program treats as its main window (F9 shows it; the language switch hands
    // the role on to the window it creates).
    static TDocumentEditorForm* MainForm();
    // The program's own icon, of its windows and of its desktop entry.
    static QIcon ApplicationIcon();
    static void SetMainForm(TDocumentEditorForm* form);

    void SetAppTitle(const QString& text);
    const QString& AppTitle() const { return m_appTitle; }
    // Loads a log; throws the load error after the window has returned to the empty state.
    // A wait cursor shows meanwhile; afterwards the keys go to the page shown (or to the empty
    // panel). Paths here are window-held names (LocalFileName.h): any name of the file system
    // opens.
    void LoadFile(const QString& path);
    // LoadFile, reporting a failure through the application's error report: the load error's
    // message, then the path on a line of its own. True when the log was loaded.
    bool LoadFileReported(const QString& path);
    void SetFileName(const QString& path);
    const QString& FileName() const { return m_fileName; }
    void UpdateCaption();
    void UpdateState();
    void ReadCurrentDocument();
    void WriteCurrentDocument();
    // The file the load dialog offers: the last one loaded.
    const QString& LoadDialogFileName() const { return m_loadDialogFileName; }

    // Commands of the button bar and the language list.
    void CloseButtonClick();
    void LoadButtonClick();
    void AboutButtonClick();
    void PrintButtonClick();
    // "Seitenansicht" with the remembered print choices: Ctrl+Shift+P, or the print button
    // with Shift.
    void PrintPreviewClick();
    void LocaleComboChange(int index);
    // Loads the first of the dropped files, if loading is possible now.
    void DropFiles(const QStringList& paths);

    void PageControlChange();
    // Gives the focus to the main control of the page shown, or to the empty panel without a
    // log.
    void FocusPage();
    void PageControlResize();
    void PlaceSumPanels();
    void FitRatingsColumn();
    void FillPages();

    // The print command of the print button: the setup dialog, then one job per printed part.
    static std::function<void(TDocumentEditorForm&)> PrintCommand;
    // The print command that starts with the preview.
    static std::function<void(TDocumentEditorForm&)> PreviewCommand;

    // The print choices carried from one print command to the next (reset with the window).
    TPrintSetupState& PrintSetupState() { return *m_printSetupState; }

    // Page data of the shown log.
    const TMatchDocument& Document() const { return *m_document; }
    const TFilesTable* FilesTable() const { return m_filesTable.get(); }
    const TMatrixTable* MatrixTable() const { return m_matrixTable.get(); }
    const TRatingsTable* RatingsTable() const { return m_ratingsTable.get(); }
    // The width of a digit in the grids' font.
    int DigitWidth = 0;

    // Components, named as in the form.
    QLabel* EmptyPanel = nullptr;
    QWidget* EditorPanel = nullptr;
    QTabWidget* PageControl = nullptr;
    QWidget* TitleSheet = nullptr;
    QWidget* FilesSheet = nullptr;
    QWidget* MatrixSheet = nullptr;
    QWidget* RatingsSheet = nullptr;
    QFrame* TopPanel = nullptr;
    QLabel* HeadDisplay = nullptr;
    QLabel* CustomerDisplay = nullptr;
    QPlainTextEdit* InfoMemo = nullptr;
    QFrame* BottomPanel = nullptr;
    QLabel* TaskDisplay = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* PercentDisplay = nullptr;
    QLabel* SingleNrDisplay = nullptr;
    TStringGrid* FilesGrid = nullptr;
    // Cut with "…" where too narrow, the whole text then in its tool tip.
    TElidedLabel* LegendPanel = nullptr;
    QLabel* Sum1Panel = nullptr;
    QLabel* Sum2Panel = nullptr;
    TElidedLabel* MatrixTypePanel = nullptr;
    TStringGrid* MatrixGrid = nullptr;
    TStringGrid* RatingsGrid = nullptr;
    QWidget* ButtonPanel = nullptr;
    TQorButton* CloseButton = nullptr;
    TQorButton* LoadButton = nullptr;
    TQorButton* AboutButton = nullptr;
    TQorButton* PrintButton = nullptr;
    QComboBox* LocaleCombo = nullptr;
    QLabel* CopyrightPanel = nullptr;
    // The copy commands and context menus of the three grids.
    TGridCommands* FilesCommands = nullptr;
    TGridCommands* MatrixCommands = nullptr;
    TGridCommands* RatingsCommands = nullptr;

    // A files-grid cell as the window shows it: the fixed cells of the sum rows lie under the
    // sum panels, whose caption (without its leading blanks) is then the row's label.
    QString FilesGridShownText(int col, int row) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void FormCreate();
    void FormDestroy();
    // True when the key was one of the window's own (F6, F9, F12) and is consumed.
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void SelectNextPage(bool forward);
    void SwitchLanguage(int index);

    void CreateComponents();
    QWidget* CreateTitleSheet();
    QWidget* CreateFilesSheet();
    QWidget* CreateMatrixSheet();
    QWidget* CreateRatingsSheet();
    QWidget* CreateButtonPanel();
    void CreateGridCommands();
    void FillTitlePage();
    void FillFilesPage(int rowHeight);
    void FillMatrixPage(int rowHeight);
    void FillRatingsPage(int rowHeight);
    void LayoutClientArea();
    // Runs a command that may fail; a failure goes to the application's error report.
    void Guarded(const std::function<void()>& command);
    // A page could not be painted (its texts need more memory than there is): the log is given
    // up and the failure reported, once, after the paint event.
    void PageFailed(std::exception_ptr failure);
    // Back to the window without a log, its page data freed.
    void DropLog();

    void FilesGridDrawCell(int col, int row, const QRect& rect, QPainter& painter);
    void MatrixGridDrawCell(int col, int row, const QRect& rect, QPainter& painter);

    bool m_printing = false;
    QString m_appTitle;
    QString m_fileName;
    QString m_loadDialogFileName;
    std::unique_ptr<TPrintSetupState> m_printSetupState;
    std::unique_ptr<TMatchDocument> m_document;
    std::unique_ptr<TPosRegister> m_posRegister;
    std::unique_ptr<TFilesTable> m_filesTable;
    std::unique_ptr<TMatrixTable> m_matrixTable;
    std::unique_ptr<TRatingsTable> m_ratingsTable;
    bool m_pageFailurePending = false;
};
