#include "ProductInformation.h"

#include "EscapeAmpersands.h"
#include "ProductLogos.h"
#include "TQORAboutBox.h"

#include <QWidget>

void SetUpProductInformation(TQORAboutBox& box)
{
    box.SetCaption(QString::fromUtf8("Produkt-Information"));
    box.SetPages(TQORAboutBox::abHersteller | TQORAboutBox::abProdukt | TQORAboutBox::abVertrieb);

    box.SetVertriebAdresse(
        QString::fromUtf8("Korvandelis Vertrieb GmbH\r\nHafenstraße 4\r\n12345 Musterstadt"));
    box.SetVertriebWeb(QString::fromUtf8("www.zelmora.example.com"));
    box.SetVertriebEMail(QString::fromUtf8("vertrieb@zelmora.example.com"));
    box.SetVertriebHotline(QString::fromUtf8("Hotline: 030 23125-400 (Mo–Fr 9–17 Uhr)"));

    box.SetHerstellerAdresse(
        QString::fromUtf8("Korvandelis Software GmbH\r\nLindenallee 17\r\n12345 Musterstadt"));
    box.SetHerstellerWeb(QString::fromUtf8("www.korvandelis.example.com"));
    box.SetHerstellerEMail(QString::fromUtf8("info@korvandelis.example.com"));

    box.SetProduktLogo(ZelmoraProductLogo());
    box.SetVertriebLogo(KorvandelisVertriebLogo());
    box.SetHerstellerLogo(KorvandelisHerstellerLogo());
}

void FillProductInformation(TQORAboutBox& box, const QString& appTitle)
{
    const QString version = QString::fromUtf8(kProductVersion);
    box.SetCopyright(EscapeAmpersands(QString::fromUtf8(kMakerNotice)));
    box.SetProduktName(appTitle);
    box.SetProduktVersion(appTitle != version ? version : QString());
}

void ShowProductInformation(QWidget* parent, const QString& appTitle)
{
    TQORAboutBox box(parent);
    SetUpProductInformation(box);
    FillProductInformation(box, appTitle);
    box.Execute();
}
