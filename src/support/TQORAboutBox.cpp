#include "TQORAboutBox.h"

#include "CaptionText.h"
#include "EAboutBoxError.h"

#include <QLabel>
#include <QPointer>
#include <QTabWidget>

namespace {

// Slot texts come from Windows-made design data as well as from our own code, so a line may end
// in CR LF, CR or LF; the label shows every one of them as one line break.
QString withLineFeeds(const QString& text)
{
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return lines;
}

} // namespace

TQORAboutBox::TQORAboutBox(QObject* parent)
    : QObject(parent)
{
}

TQORAboutBox::~TQORAboutBox() = default;

QString TQORAboutBox::Slot(int index) const
{
    if (index < 1 || index > SlotCount)
        return QString();
    return m_slots[index - 1];
}

void TQORAboutBox::SetSlot(int index, const QString& text)
{
    if (index < 1 || index > SlotCount)
        return;
    m_slots[index - 1] = text;
}

void TQORAboutBox::Execute()
{
    std::unique_ptr<TAboutBoxDialog> dialog = CreateDialog(qobject_cast<QWidget*>(parent()));
    setUpDialog(*dialog);
    const QPointer<TAboutBoxDialog> alive = dialog.get();
    dialog->exec();
    // Should the parent window go while the box is showing, it takes the box with it.
    if (!alive)
        (void)dialog.release();
}

std::unique_ptr<TAboutBoxDialog> TQORAboutBox::CreateDialog(QWidget* parent) const
{
    return std::make_unique<TAboutBoxDialog>(parent);
}

void TQORAboutBox::setUpDialog(TAboutBoxDialog& dialog) const
{
    const QPixmap logos[] = {m_produktLogo, m_kundeLogo, m_vertriebLogo, m_herstellerLogo};
    const TAboutPage pages[] = {abProdukt, abKunde, abVertrieb, abHersteller};
    for (int page = TAboutBoxDialog::ProduktPage; page <= TAboutBoxDialog::HerstellerPage; ++page) {
        const QPixmap& logo = logos[page - 1];
        QLabel* image = dialog.Image(page);
        image->setPixmap(logo);
        image->resize(logo.deviceIndependentSize().toSize());
        image->setVisible(!logo.isNull());
        QTabWidget* tabs = dialog.pcPages();
        tabs->setTabVisible(tabs->indexOf(dialog.Sheet(page)), m_pages.testFlag(pages[page - 1]));
    }

    for (int index = 1; index <= SlotCount; ++index)
        setSlot(dialog, index);
    layOutSlots(dialog);

    dialog.setWindowTitle(m_caption);
    dialog.SetKeyHandlers(m_onKeyDown, m_onKeyPress, m_onKeyUp);
}

void TQORAboutBox::setSlot(TAboutBoxDialog& dialog, int index) const
{
    const QString& text = m_slots[index - 1];
    QLabel* label = dialog.SlotLabel(index);
    if (!label) {
        const QString message = QStringLiteral("SetAboutBoxInfo(%1, %2)").arg(index).arg(text);
        throw EAboutBoxError(message.toStdString());
    }
    label->setText(CaptionText(withLineFeeds(text)));
    label->adjustSize();
    label->setVisible(!text.isEmpty());
    if (QWidget* bullet = dialog.SlotBullet(index))
        bullet->setVisible(!label->isHidden());
}

void TQORAboutBox::layOutSlots(const TAboutBoxDialog& dialog)
{
    int page = 0;
    int row = 0;
    int extra = 0;
    for (int index = 1; index <= SlotCount; ++index) {
        QLabel* label = dialog.SlotLabel(index);
        const int labelPage = TAboutBoxDialog::Tag(label) / 100;
        if (labelPage != page) {
            page = labelPage;
            row = 0;
            extra = 0;
        }
        label->move(label->x(), 190 + 20 * row + extra);
        if (QWidget* bullet = dialog.SlotBullet(index))
            bullet->move(bullet->x(), 194 + 20 * row + extra);
        extra += 15 * int(label->text().count(QLatin1Char('\n')));
        if (!label->isHidden())
            ++row;
    }
}
