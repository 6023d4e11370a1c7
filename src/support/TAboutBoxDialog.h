#pragma once

#include <QDialog>

#include <functional>

class QKeyEvent;
class QLabel;
class QPushButton;
class QTabWidget;

// The product-information window: four tab sheets (Produkt, Kunde, Vertrieb, Hersteller), each a
// white panel with a logo image at the top and the labels of its text slots below, every label
// with a small black bullet to its left. Labels and bullets carry the tag page x 100 + slot
// (page 1 Produkt, 2 Kunde, 3 Vertrieb, 4 Hersteller); TQORAboutBox finds them by that tag,
// fills them and lays them out. The one close button travels to whichever sheet is showing.
//
// Return and Escape both close the window with QDialog::Accepted, as the close button does.
class TAboutBoxDialog : public QDialog {
    Q_OBJECT

public:
    // Page numbers as used in the tags.
    enum { ProduktPage = 1, KundePage = 2, VertriebPage = 3, HerstellerPage = 4 };

    // A key handler sees the key before the control that has the focus; returning true swallows
    // the key.
    using TKeyHandler = std::function<bool(QKeyEvent& event)>;

    explicit TAboutBoxDialog(QWidget* parent = nullptr);

    QTabWidget* pcPages() const { return m_pcPages; }
    QWidget* tsProdukt() const { return m_tsProdukt; }
    QWidget* tsKunde() const { return m_tsKunde; }
    QWidget* tsVertrieb() const { return m_tsVertrieb; }
    QWidget* tsHersteller() const { return m_tsHersteller; }
    QPushButton* btnClose() const { return m_btnClose; }
    // The sheet of a page number, nullptr for any other number.
    QWidget* Sheet(int page) const;
    // The logo image of a page number, nullptr for any other number.
    QLabel* Image(int page) const;

    // The tag of a label or bullet; 0 for widgets without one.
    static int Tag(const QObject* object);
    // The label whose tag modulo 100 is index, nullptr if there is none.
    QLabel* SlotLabel(int index) const;
    // The bullet whose tag modulo 100 is index, nullptr if there is none.
    QWidget* SlotBullet(int index) const;

    // Handlers that preview every key of the window; empty ones are not called.
    void SetKeyHandlers(TKeyHandler keyDown, TKeyHandler keyPress, TKeyHandler keyUp);

    void FormCreate();
    void pcPagesChange(int index);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* addSheet(const QString& caption, int page);
    void addSlot(QWidget* panel, int page, int index);
    bool previewKey(QKeyEvent& event);

    QTabWidget* m_pcPages = nullptr;
    QWidget* m_tsProdukt = nullptr;
    QWidget* m_tsKunde = nullptr;
    QWidget* m_tsVertrieb = nullptr;
    QWidget* m_tsHersteller = nullptr;
    QLabel* m_images[4] = {};
    QPushButton* m_btnClose = nullptr;
    TKeyHandler m_onKeyDown;
    TKeyHandler m_onKeyPress;
    TKeyHandler m_onKeyUp;
};
