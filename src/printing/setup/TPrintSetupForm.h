#pragma once

#include <QDialog>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class TInteger;
class TPrintSetter;
class TPrintSetupState;
class TQorButton;

// The "Drucker einstellen" dialog: printer (chosen through the engine's print dialog), paper
// bin, orientation and what a print of a statistics log contains. The application has one;
// it keeps the printer it shows, so the bin list is only read again when the printer changes.
//
// Bin errors of the driver ("Error: Retrieving number of Bins.", "Error allocating memory for
// BinNames.") leave Execute as std::runtime_error; raised by the "auswählen" button they are
// shown through ErrorReport and the dialog stays open.
class TPrintSetupForm : public QDialog {
    Q_OBJECT

public:
    explicit TPrintSetupForm(QWidget* parent = nullptr);
    ~TPrintSetupForm() override;

    // The application's dialog, created on first use and kept until Release.
    static TPrintSetupForm& Application();
    static void Release();

    // Shows the dialog modally; replaced by tests, which script the dialog and return its
    // result. Without a replacement: exec().
    static std::function<int(TPrintSetupForm& form)> ShowModal;
    // Shows an error message with the dialog open; replaced by tests.
    static std::function<void(QWidget* parent, const QString& message)> ErrorReport;

    // Offers the remembered choices of the state, shows the dialog when asked and, when it is
    // confirmed (or not shown), stores the choices in the state and hands bin and orientation
    // to the setter. False when the engine's print dialog or this dialog was cancelled.
    // "Vorschau" confirms the choices like Ok and asks for the preview first (PreviewChosen).
    bool Execute(TPrintSetter& setter, TPrintSetupState& state, bool showDialog,
                 bool singlesAllowed, bool ratingsAllowed, bool matrixAllowed);

    void ShowPrinter(const QString& name, bool force);
    void FillBins(bool hasPrinter);
    void ClearBins();
    void FillOrientations();
    void UpdateOkState();
    // Appends the bins of the platform's current printer to the list.
    void ListPrinterBins(QComboBox& list);
    // The driver code attached to an entry of the bin list, or -1 for none.
    int BinCode(int index) const;

    void OkButtonClick();
    void CancelButtonClick();
    void PreviewButtonClick();
    // The dialog's result when "Vorschau" closed it.
    static constexpr int PreviewResult = 2;
    // The last Execute was confirmed with "Vorschau".
    bool PreviewChosen = false;
    void SetupButtonClick();
    void CheckBoxClick();

    TPrintSetter* Setter = nullptr;
    QString ShownPrinter;
    bool PrinterShown = false;

    QLabel* PrinterLabel = nullptr;
    QLineEdit* PrinterNameEdit = nullptr;
    TQorButton* SetupButton = nullptr;
    QLabel* BinsLabel = nullptr;
    QComboBox* BinsComboBox = nullptr;
    QLabel* OrientationLabel = nullptr;
    QComboBox* OrientationComboBox = nullptr;
    QFrame* ProtContentsPanel = nullptr;
    QCheckBox* TableCheckBox = nullptr;
    QCheckBox* MatrixCheckBox = nullptr;
    QCheckBox* RatingsCheckBox = nullptr;
    QCheckBox* SinglesCheckBox = nullptr;
    QFrame* ButtonPanel = nullptr;
    TQorButton* OkButton = nullptr;
    TQorButton* CancelButton = nullptr;
    TQorButton* PreviewButton = nullptr;

    static const char* const kNoBinText;
    static const char* const kNoPrinterText;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void CreateComponents();
    void FormCreate();
    void FormDestroy();
    void FormActivate();
    // True when the key is consumed.
    bool FormKeyDown(int key);
    bool ComboDroppedDown() const;

    std::vector<std::unique_ptr<TInteger>> m_binCodes;
};
