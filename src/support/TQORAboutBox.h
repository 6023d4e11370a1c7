#pragma once

#include "TAboutBoxDialog.h"

#include <QFlags>
#include <QObject>
#include <QPixmap>
#include <QString>

#include <array>
#include <memory>

// The product-information box of a window: caption, the visible pages, sixteen text slots and
// four logos, kept until Execute builds a TAboutBoxDialog from them and shows it modally.
//
// Slots, by index and name: 1 ProduktName, 2 ProduktVersion, 3 ProduktDatum, 4 Lizenz,
// 5 Copyright (page Produkt); 6 VertriebAdresse, 7 VertriebWeb, 8 VertriebEMail,
// 9 VertriebHotline (Vertrieb); 10 KundeAdresse, 11 KundeEMail, 12 KundeWeb, 13 KundeTelNr
// (Kunde); 14 HerstellerAdresse, 15 HerstellerWeb, 16 HerstellerEMail (Hersteller).
// An empty slot is hidden and the slots below it on its page close up; every line break of a
// slot (CR LF, CR or LF) moves the rest of its page down by 15 pixels. Slot texts follow the
// "&" convention of captions: "&&" shows one "&" (see EscapeAmpersands).
class TQORAboutBox : public QObject {
    Q_OBJECT

public:
    enum TAboutPage { abHersteller = 0x1, abProdukt = 0x2, abKunde = 0x4, abVertrieb = 0x8 };
    Q_DECLARE_FLAGS(TAboutPages, TAboutPage)

    static constexpr int SlotCount = 16;
    using TKeyHandler = TAboutBoxDialog::TKeyHandler;

    // The dialog is shown over the parent when that is a widget.
    explicit TQORAboutBox(QObject* parent = nullptr);
    ~TQORAboutBox() override;

    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption) { m_caption = caption; }
    TAboutPages Pages() const { return m_pages; }
    void SetPages(TAboutPages pages) { m_pages = pages; }

    // Slot texts by index 1 ... 16; other indexes read as empty and are not stored.
    QString Slot(int index) const;
    void SetSlot(int index, const QString& text);

    QString ProduktName() const { return Slot(1); }
    void SetProduktName(const QString& text) { SetSlot(1, text); }
    QString ProduktVersion() const { return Slot(2); }
    void SetProduktVersion(const QString& text) { SetSlot(2, text); }
    QString ProduktDatum() const { return Slot(3); }
    void SetProduktDatum(const QString& text) { SetSlot(3, text); }
    QString Lizenz() const { return Slot(4); }
    void SetLizenz(const QString& text) { SetSlot(4, text); }
    QString Copyright() const { return Slot(5); }
    void SetCopyright(const QString& text) { SetSlot(5, text); }
    QString VertriebAdresse() const { return Slot(6); }
    void SetVertriebAdresse(const QString& text) { SetSlot(6, text); }
    QString VertriebWeb() const { return Slot(7); }
    void SetVertriebWeb(const QString& text) { SetSlot(7, text); }
    QString VertriebEMail() const { return Slot(8); }
    void SetVertriebEMail(const QString& text) { SetSlot(8, text); }
    QString VertriebHotline() const { return Slot(9); }
    void SetVertriebHotline(const QString& text) { SetSlot(9, text); }
    QString KundeAdresse() const { return Slot(10); }
    void SetKundeAdresse(const QString& text) { SetSlot(10, text); }
    QString KundeEMail() const { return Slot(11); }
    void SetKundeEMail(const QString& text) { SetSlot(11, text); }
    QString KundeWeb() const { return Slot(12); }
    void SetKundeWeb(const QString& text) { SetSlot(12, text); }
    QString KundeTelNr() const { return Slot(13); }
    void SetKundeTelNr(const QString& text) { SetSlot(13, text); }
    QString HerstellerAdresse() const { return Slot(14); }
    void SetHerstellerAdresse(const QString& text) { SetSlot(14, text); }
    QString HerstellerWeb() const { return Slot(15); }
    void SetHerstellerWeb(const QString& text) { SetSlot(15, text); }
    QString HerstellerEMail() const { return Slot(16); }
    void SetHerstellerEMail(const QString& text) { SetSlot(16, text); }

    // Logos shown at the top left of their page; a null pixmap shows none.
    QPixmap ProduktLogo() const { return m_produktLogo; }
    void SetProduktLogo(const QPixmap& logo) { m_produktLogo = logo; }
    QPixmap KundeLogo() const { return m_kundeLogo; }
    void SetKundeLogo(const QPixmap& logo) { m_kundeLogo = logo; }
    QPixmap VertriebLogo() const { return m_vertriebLogo; }
    void SetVertriebLogo(const QPixmap& logo) { m_vertriebLogo = logo; }
    QPixmap HerstellerLogo() const { return m_herstellerLogo; }
    void SetHerstellerLogo(const QPixmap& logo) { m_herstellerLogo = logo; }

    // Key handlers handed to the dialog; they see every key before its controls do.
    void SetOnKeyDown(TKeyHandler handler) { m_onKeyDown = std::move(handler); }
    void SetOnKeyPress(TKeyHandler handler) { m_onKeyPress = std::move(handler); }
    void SetOnKeyUp(TKeyHandler handler) { m_onKeyUp = std::move(handler); }

    // Builds the dialog, shows it modally and returns when it is closed. Throws EAboutBoxError
    // when the dialog has no label for a slot; the dialog is released in any case.
    void Execute();

protected:
    // The dialog Execute fills; a subclass may supply another.
    virtual std::unique_ptr<TAboutBoxDialog> CreateDialog(QWidget* parent) const;

private:
    void setUpDialog(TAboutBoxDialog& dialog) const;
    void setSlot(TAboutBoxDialog& dialog, int index) const;
    static void layOutSlots(const TAboutBoxDialog& dialog);

    QString m_caption;
    TAboutPages m_pages = TAboutPages(abHersteller | abProdukt | abKunde | abVertrieb);
    std::array<QString, SlotCount> m_slots;
    QPixmap m_produktLogo;
    QPixmap m_kundeLogo;
    QPixmap m_vertriebLogo;
    QPixmap m_herstellerLogo;
    TKeyHandler m_onKeyDown;
    TKeyHandler m_onKeyPress;
    TKeyHandler m_onKeyUp;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TQORAboutBox::TAboutPages)
