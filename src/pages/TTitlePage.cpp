#include "TTitlePage.h"

#include "Cp1252.h"
#include "TLocale.h"

TTitlePage::TTitlePage(const TMatchDocument& doc)
    : Head(doc.HeadText)
    , Customer("  " + doc.CustomerText)
    , Task("  " + doc.TaskText)
    , Percent("  " + doc.PercentText + " %")
    , Info(doc.InfoLines)
{
    if (doc.SingleNumber > 0)
        SingleNr = Locale().ProtocolTitle + " " + std::to_string(doc.SingleNumber) + "  ";
}

std::string WindowCaption(const std::string& appTitle, const std::string& fileName)
{
    const std::string kindName =
        Cp1252ToUtf8(Locale().StatisticTitle + "-" + Locale().ProtocolTitle);
    if (fileName.empty())
        return appTitle + " - " + kindName;
    return appTitle + " - " + kindName + " - " + fileName;
}
