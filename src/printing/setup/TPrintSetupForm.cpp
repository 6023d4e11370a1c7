#include "TPrintSetupForm.h"

#include "TQuickRep.h"

#include "TInteger.h"
#include "TPrintSetter.h"
#include "TPrintSetupState.h"
#include "TPrinterDriver.h"
#include "TQorButton.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>

#include <cstdint>
#include <new>
#include <stdexcept>

namespace {

const int kClientWidth = 404;
const int kClientHeight = 329;
const int kButtonPanelHeight = 41;
// The bin names of the driver are cut where its fixed-size slots end.
const int kBinNameLength = 24;

const QColor kMagenta(255, 0, 255);

std::unique_ptr<TPrintSetupForm>& ApplicationForm()
{
    static std::unique_ptr<TPrintSetupForm> form;
    return form;
}

QLabel* AddLabel(QWidget* parent, const char* caption, int left, int top, QWidget* buddy)
{
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->move(left, top);
    label->adjustSize();
    label->setBuddy(buddy);
    return label;
}

TQorButton* AddButton(QWidget* parent, const char* name, const char* caption, const char* hint,
                      const QRect& geometry)
{
    auto* button = new TQorButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(QString::fromUtf8(caption));
    button->setToolTip(QString::fromUtf8(hint));
    button->setGeometry(geometry);
    return button;
}

QCheckBox* AddCheckBox(QWidget* parent, const char* name, const char* caption, int left, int top)
{
    auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
    box->setObjectName(QString::fromLatin1(name));
    box->move(left, top);
    box->adjustSize();
    return box;
}

} // namespace

const char* const TPrintSetupForm::kNoBinText = "--- nicht ausdrücklich einstellen ---";
const char* const TPrintSetupForm::kNoPrinterText = "--- kein Drucker ---";

std::function<int(TPrintSetupForm& form)> TPrintSetupForm::ShowModal;
std::function<void(QWidget* parent, const QString& message)> TPrintSetupForm::ErrorReport;

TPrintSetupForm::TPrintSetupForm(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("PrintSetupForm"));
    setWindowTitle(QStringLiteral("Drucker einstellen"));
    CreateComponents();
    FormCreate();
}

TPrintSetupForm::~TPrintSetupForm() { FormDestroy(); }

TPrintSetupForm& TPrintSetupForm::Application()
{
    std::unique_ptr<TPrintSetupForm>& form = ApplicationForm();
    if (!form)
        form = std::make_unique<TPrintSetupForm>();
    return *form;
}

void TPrintSetupForm::Release() { ApplicationForm().reset(); }

void TPrintSetupForm::CreateComponents()
{
    // The window's outer minimum of 412 x 356 less its frame is the design's client area.
    resize(kClientWidth, kClientHeight);
    setMinimumSize(kClientWidth, kClientHeight);

    PrinterNameEdit = new QLineEdit(this);
    PrinterNameEdit->setObjectName(QStringLiteral("PrinterNameEdit"));
    PrinterNameEdit->setGeometry(16, 24, 241, 21);
    PrinterNameEdit->setReadOnly(true);
    PrinterNameEdit->setAutoFillBackground(true);
    PrinterLabel = AddLabel(this, "&Drucker", 16, 6, PrinterNameEdit);

    SetupButton = AddButton(this, "SetupButton", "&auswählen...", "Drucker auswählen: ALT-A",
                            QRect(280, 24, 105, 22));
    SetupButton->SetKeyCode(65);

    BinsComboBox = new QComboBox(this);
    BinsComboBox->setObjectName(QStringLiteral("BinsComboBox"));
    BinsComboBox->setGeometry(16, 72, 241, 21);
    BinsLabel = AddLabel(this, "&Schacht", 16, 54, BinsComboBox);

    OrientationComboBox = new QComboBox(this);
    OrientationComboBox->setObjectName(QStringLiteral("OrientationComboBox"));
    OrientationComboBox->setGeometry(16, 120, 241, 21);
    OrientationLabel = AddLabel(this, "&Orientierung", 16, 102, OrientationComboBox);

    ProtContentsPanel = new QFrame(this);
    ProtContentsPanel->setObjectName(QStringLiteral("ProtContentsPanel"));
    ProtContentsPanel->setGeometry(16, 168, 369, 101);
    // A lowered outer and a raised inner bevel: Qt draws that pair as a sunken box.
    ProtContentsPanel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    TableCheckBox = AddCheckBox(ProtContentsPanel, "TableCheckBox", "&Titel und Tabelle", 16, 14);
    MatrixCheckBox = AddCheckBox(ProtContentsPanel, "MatrixCheckBox", "&Matrix", 16, 42);
    RatingsCheckBox = AddCheckBox(ProtContentsPanel, "RatingsCheckBox", "&Ratings", 16, 70);
    SinglesCheckBox =
        AddCheckBox(ProtContentsPanel, "SinglesCheckBox", "&Einzelprotokolle", 192, 14);

    ButtonPanel = new QFrame(this);
    ButtonPanel->setObjectName(QStringLiteral("ButtonPanel"));
    ButtonPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ButtonPanel->setGeometry(0, kClientHeight - kButtonPanelHeight, kClientWidth,
                             kButtonPanelHeight);
    OkButton = AddButton(ButtonPanel, "OkButton", "Ok", "mit dieser Einstellung drucken: RETURN",
                         QRect(16, 10, 65, 22));
    CancelButton =
        AddButton(ButtonPanel, "CancelButton", "Abbruch", "Abbruch: ESC", QRect(96, 10, 89, 22));
    PreviewButton =
        AddButton(ButtonPanel, "PreviewButton", "&Vorschau",
                  "Seitenansicht mit dieser Einstellung: ALT-V", QRect(200, 10, 89, 22));
    PreviewButton->SetKeyCode(86);

    connect(SetupButton, &QToolButton::clicked, this, &TPrintSetupForm::SetupButtonClick);
    connect(OkButton, &QToolButton::clicked, this, &TPrintSetupForm::OkButtonClick);
    connect(CancelButton, &QToolButton::clicked, this, &TPrintSetupForm::CancelButtonClick);
    connect(PreviewButton, &QToolButton::clicked, this, &TPrintSetupForm::PreviewButtonClick);
    for (QCheckBox* box : {TableCheckBox, MatrixCheckBox, RatingsCheckBox, SinglesCheckBox})
        connect(box, &QCheckBox::clicked, this, &TPrintSetupForm::CheckBoxClick);

    // Key preview: the form sees every key before the control that has the focus.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

void TPrintSetupForm::FormCreate() { FillOrientations(); }

void TPrintSetupForm::FormDestroy() { ClearBins(); }

void TPrintSetupForm::FormActivate() { BinsComboBox->setFocus(); }

void TPrintSetupForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    FormActivate();
}

void TPrintSetupForm::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    const int grow = width() - kClientWidth;
    for (QWidget* control :
         {static_cast<QWidget*>(PrinterNameEdit), static_cast<QWidget*>(BinsComboBox),
          static_cast<QWidget*>(OrientationComboBox)})
        control->resize(241 + grow, control->height());
    SetupButton->move(280 + grow, SetupButton->y());
    ButtonPanel->setGeometry(0, height() - kButtonPanelHeight, width(), kButtonPanelHeight);
}

bool TPrintSetupForm::Execute(TPrintSetter& setter, TPrintSetupState& state, bool showDialog,
                              bool singlesAllowed, bool ratingsAllowed, bool matrixAllowed)
{
    Setter = &setter;
    const bool printerKnown = state.PrinterChosen && setter.SelectPrinter(state.PrinterName);
    // The PDF entry needs its file: a print command starts without one and asks for it again,
    // the parts of one command carry it along.
    const bool fileMissing = printerKnown &&
                             state.PrinterName == TPrinterDriver::PdfPrinterName() &&
                             setter.Report.PrinterSettings().OutputFileName.isEmpty();
    if (!printerKnown || fileMissing || setter.HasJobOptions()) {
        // Asked again, the PDF entry offers itself and its last file, as a printer would.
        if (fileMissing)
            setter.Report.PrinterSettings().OutputFileName = state.PdfFileName;
        if (!setter.RunPrinterDialog())
            return false;
        const QString confirmed = setter.GetPrinterName();
        // Bin and orientation belong to the printer they were chosen for. Asking again only
        // for copies or a page range, on the same printer, must not drop them: the user
        // confirmed them for this very print.
        if (!printerKnown || confirmed != state.PrinterName) {
            state.BinIndex = 0;
            state.OrientationIndex = 0;
        }
        state.PrinterName = confirmed;
        state.PrinterChosen = true;
    }
    ShowPrinter(state.PrinterName, false);

    if (state.BinIndex >= 0 && state.BinIndex < BinsComboBox->count())
        BinsComboBox->setCurrentIndex(state.BinIndex);
    if (state.OrientationIndex >= 0 && state.OrientationIndex < OrientationComboBox->count())
        OrientationComboBox->setCurrentIndex(state.OrientationIndex);

    TableCheckBox->setChecked(state.TitleAndTable);
    MatrixCheckBox->setChecked(matrixAllowed && state.Matrix);
    MatrixCheckBox->setEnabled(matrixAllowed);
    RatingsCheckBox->setChecked(ratingsAllowed && state.Ratings);
    RatingsCheckBox->setEnabled(ratingsAllowed);
    SinglesCheckBox->setChecked(singlesAllowed && state.Singles);
    SinglesCheckBox->setEnabled(singlesAllowed);
    UpdateOkState();

    bool result = true;
    PreviewChosen = false;
    if (showDialog) {
        setResult(QDialog::Rejected);
        const int answer = ShowModal ? ShowModal(*this) : exec();
        PreviewChosen = answer == PreviewResult;
        result = answer == QDialog::Accepted || PreviewChosen;
    }
    if (!result)
        return false;

    state.TitleAndTable = TableCheckBox->isChecked();
    if (matrixAllowed)
        state.Matrix = MatrixCheckBox->isChecked();
    if (ratingsAllowed)
        state.Ratings = RatingsCheckBox->isChecked();
    if (singlesAllowed)
        state.Singles = SinglesCheckBox->isChecked();
    state.PrinterName = ShownPrinter;
    // A part's own file (the single logs' "-n" names) is not the one the user chose.
    if (showDialog && ShownPrinter == TPrinterDriver::PdfPrinterName())
        state.PdfFileName = setter.Report.PrinterSettings().OutputFileName;
    state.BinIndex = BinsComboBox->currentIndex();
    setter.SetBin(BinCode(state.BinIndex));
    state.OrientationIndex = OrientationComboBox->currentIndex();
    switch (state.OrientationIndex) {
    case 1:
        setter.SetOrientation(0);
        break;
    case 2:
        setter.SetOrientation(1);
        break;
    default:
        setter.SetOrientation(TPrintSetter::kNoOrientation);
        break;
    }
    return true;
}

void TPrintSetupForm::ShowPrinter(const QString& name, bool force)
{
    if (!force && PrinterShown && name == ShownPrinter)
        return;
    PrinterShown = false;
    QPalette palette = PrinterNameEdit->palette();
    if (!name.isEmpty()) {
        PrinterNameEdit->setText(name);
        palette.setColor(QPalette::Base, palette.color(QPalette::Button));
        PrinterNameEdit->setPalette(palette);
        FillBins(true);
    } else {
        PrinterNameEdit->setText(QString::fromUtf8(kNoPrinterText));
        palette.setColor(QPalette::Base, kMagenta);
        PrinterNameEdit->setPalette(palette);
        FillBins(false);
    }
    ShownPrinter = name;
    PrinterShown = true;
}

void TPrintSetupForm::FillBins(bool hasPrinter)
{
    {
        const QSignalBlocker updatesSuspended(BinsComboBox);
        BinsComboBox->setUpdatesEnabled(false);
        try {
            ClearBins();
            BinsComboBox->addItem(QString::fromUtf8(kNoBinText));
            if (hasPrinter)
                ListPrinterBins(*BinsComboBox);
        } catch (...) {
            BinsComboBox->setUpdatesEnabled(true);
            throw;
        }
        BinsComboBox->setUpdatesEnabled(true);
    }
    BinsComboBox->setCurrentIndex(0);
}

void TPrintSetupForm::ClearBins()
{
    BinsComboBox->clear();
    m_binCodes.clear();
}

void TPrintSetupForm::FillOrientations()
{
    OrientationComboBox->clear();
    OrientationComboBox->addItem(QString::fromUtf8(kNoBinText));
    OrientationComboBox->addItem(QStringLiteral("Hochformat"));
    OrientationComboBox->addItem(QStringLiteral("Querformat"));
    OrientationComboBox->setCurrentIndex(0);
}

void TPrintSetupForm::ListPrinterBins(QComboBox& list)
{
    TPrinterDriver& driver = TPrinterDriver::Instance();
    const QString printer = TPrinterDriver::CurrentPrinter();
    const int nameCount = driver.BinNameCount(printer);
    const int codeCount = driver.BinCodeCount(printer);
    if (nameCount <= 0 || codeCount <= 0 || nameCount != codeCount)
        throw std::runtime_error("Error: Retrieving number of Bins.");

    std::vector<QString> names;
    std::vector<std::int16_t> codes;
    try {
        names.resize(static_cast<size_t>(nameCount));
        codes.resize(static_cast<size_t>(codeCount));
        driver.GetBins(printer, names, codes);
    } catch (const std::bad_alloc&) {
        throw std::runtime_error("Error allocating memory for BinNames.");
    } catch (const std::length_error&) {
        throw std::runtime_error("Error allocating memory for BinNames.");
    }
    for (size_t i = 0; i < names.size(); ++i) {
        m_binCodes.push_back(std::make_unique<TInteger>(codes[i]));
        list.addItem(names[i].left(kBinNameLength),
                     QVariant::fromValue(static_cast<int>(m_binCodes.size())));
    }
}

int TPrintSetupForm::BinCode(int index) const
{
    if (index < 0 || index >= BinsComboBox->count())
        return TPrintSetter::kNoBin;
    // The entry's data counts its code object from 1; the first entry has none.
    const int object = BinsComboBox->itemData(index).toInt();
    if (object <= 0 || object > static_cast<int>(m_binCodes.size()))
        return TPrintSetter::kNoBin;
    return m_binCodes[static_cast<size_t>(object - 1)]->Value();
}

void TPrintSetupForm::UpdateOkState()
{
    const bool anyContents = TableCheckBox->isChecked() || MatrixCheckBox->isChecked() ||
                             RatingsCheckBox->isChecked() || SinglesCheckBox->isChecked();
    OkButton->setEnabled(!ShownPrinter.isEmpty() && anyContents);
    PreviewButton->setEnabled(OkButton->isEnabled());
}

void TPrintSetupForm::CheckBoxClick() { UpdateOkState(); }

void TPrintSetupForm::OkButtonClick()
{
    if (OkButton->isEnabled())
        done(QDialog::Accepted);
}

void TPrintSetupForm::CancelButtonClick() { done(QDialog::Rejected); }

void TPrintSetupForm::PreviewButtonClick()
{
    if (PreviewButton->isEnabled())
        done(PreviewResult);
}

void TPrintSetupForm::SetupButtonClick()
{
    if (!SetupButton->isEnabled() || !Setter)
        return;
    try {
        if (!Setter->RunPrinterDialog())
            return;
        ShowPrinter(Setter->GetPrinterName(), true);
        UpdateOkState();
    } catch (const std::exception& e) {
        const QString message = QString::fromUtf8(e.what());
        if (ErrorReport)
            ErrorReport(this, message);
        else
            QMessageBox::critical(this, windowTitle(), message);
    }
}

bool TPrintSetupForm::ComboDroppedDown() const
{
    return BinsComboBox->view()->isVisible() || OrientationComboBox->view()->isVisible();
}

bool TPrintSetupForm::FormKeyDown(int key)
{
    if (ComboDroppedDown())
        return false;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        OkButtonClick();
        return true;
    case Qt::Key_Escape:
        CancelButtonClick();
        return true;
    default:
        return false;
    }
}

bool TPrintSetupForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && FormKeyDown(static_cast<QKeyEvent*>(event)->key()))
        return true;
    return QDialog::eventFilter(watched, event);
}

void TPrintSetupForm::keyPressEvent(QKeyEvent* event)
{
    if (FormKeyDown(event->key())) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
