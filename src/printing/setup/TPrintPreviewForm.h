#pragma once

#include <QDialog>
#include <QTimer>

#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QToolButton;
class TPreviewPageView;
class TPrintPreview;

// "Seitenansicht": the pages of a print command as they will print, one at a time, with
// navigation (first, previous, next, last, a page number field, Page Up/Down, Ctrl+Home/End),
// zoom (page width, whole page, 50 to 400 % chosen or typed; Ctrl with + and -, Ctrl with the
// wheel) and "Drucken", which closes the preview so that the command prints with the same
// choices.
// Escape and "Schließen" close it without printing.
//
// The page count grows while the preview counts the pages in the background ("von 12 …" until
// it is known); going to a page not yet counted, or to the last, counts on first, with the
// wait cursor. Only the page shown is kept as an image. An error of the report (a device that
// fails, running out of memory) shows its message in the bar, counting stops, and the pages
// known so far stay to be looked at.
class TPrintPreviewForm : public QDialog {
    Q_OBJECT

public:
    // The dialog's result when "Drucken" closed it.
    static constexpr int PrintResult = QDialog::Accepted;

    enum class ZoomMode { PageWidth, WholePage, Percent };
    static constexpr int MinPercent = 50;
    static constexpr int MaxPercent = 400;

    explicit TPrintPreviewForm(TPrintPreview& preview, QWidget* parent = nullptr);
    ~TPrintPreviewForm() override;

    // Shows the preview modally; replaced by tests, which drive the dialog and return its
    // result. Without a replacement: exec(). True when "Drucken" closed it.
    static std::function<int(TPrintPreviewForm& form)> ShowModal;
    bool Execute();

    int Page() const { return m_page; }
    // Shows page n, clamped to the pages there are (counting on as far as needed).
    void ShowPage(int n);
    void FirstPage();
    void PreviousPage();
    void NextPage();
    void LastPage();
    void SetZoom(ZoomMode mode, int percent = 100);
    ZoomMode Zoom() const { return m_zoom; }
    int Percent() const { return m_percent; }
    // Pixels per millimetre of paper the page is shown with.
    double PixelsPerMm() const;
    // Counts on for a slice of time, as the idle timer does; false once all pages are known.
    bool CountMore();
    void PrintButtonClick();

    QToolButton* FirstButton = nullptr;
    QToolButton* PreviousButton = nullptr;
    QSpinBox* PageEdit = nullptr;
    QLabel* PageCountLabel = nullptr;
    QToolButton* NextButton = nullptr;
    QToolButton* LastButton = nullptr;
    QComboBox* ZoomComboBox = nullptr;
    QLabel* PartLabel = nullptr;
    QPushButton* PrintButton = nullptr;
    QPushButton* CloseButton = nullptr;
    TPreviewPageView* PageView = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void CreateComponents();
    // True when the key is one of the preview's own and is consumed.
    bool FormKeyDown(const QKeyEvent& event);
    void ZoomComboChange(int index);
    // A size typed into the zoom list: a percentage (clamped to the range) or an entry's text.
    void ZoomTextChange();
    void StepZoom(int steps);
    void Render(bool toTop);
    // Runs work of the preview; a failure stops counting and shows its message. False then.
    bool Guarded(const std::function<void()>& work);
    void UpdateControls();

    TPrintPreview& m_preview;
    QTimer m_counting;
    int m_page = 1;
    ZoomMode m_zoom = ZoomMode::WholePage;
    int m_percent = 100;
    double m_shownPerMm = 0;
    int m_shownPage = 0;
    QString m_failure;
};
