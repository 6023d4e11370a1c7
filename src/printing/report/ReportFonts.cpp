#include "ReportFonts.h"

#include "TQRPage.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QStringList>

namespace {

bool Known(const QString& family)
{
    // Not QFontDatabase::hasFamily: it resolves aliases, and the font configuration may
    // alias the report font to its substitute.
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

} // namespace

QString ReportFontFolder()
{
    if (qEnvironmentVariableIsSet("ZELMORA_REPORT_FONTS"))
        return qEnvironmentVariable("ZELMORA_REPORT_FONTS");
#ifdef _WIN32
    return QString();
#else
    return QStringLiteral("/usr/share/wine/fonts");
#endif
}

bool RegisterReportFonts(const QString& folder)
{
    const QString family = TQRPage::DefaultFont().family();
    if (Known(family))
        return true;
    if (folder.isEmpty())
        return false;
    const QDir dir(folder);
    for (const QString& name : {QStringLiteral("tahoma.ttf"), QStringLiteral("tahomabd.ttf")}) {
        const QString path = dir.filePath(name);
        if (!QFileInfo(path).isFile())
            continue;
        // A file of that name that holds another family stays out of the font list.
        const int id = QFontDatabase::addApplicationFont(path);
        if (id >= 0 && !QFontDatabase::applicationFontFamilies(id).contains(family))
            QFontDatabase::removeApplicationFont(id);
    }
    return Known(family);
}
