#include "ReportFonts.h"

#include "TQRPage.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QPainterPath>
#include <QRawFont>

namespace {

bool Known(const QString& family)
{
    // Not QFontDatabase::hasFamily: it resolves aliases, and the font configuration may
    // alias the report font to its substitute.
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The ink width of a stem, in pixels at 100 to the em.
double StemWidth(const QByteArray& font)
{
    const QRawFont raw(font, 100);
    const QList<quint32> glyphs = raw.glyphIndexesForString(QStringLiteral("l"));
    return glyphs.isEmpty() ? 0 : raw.pathForGlyph(glyphs.front()).boundingRect().width();
}

// Registers the font unless it holds another family; true when it went in.
bool Register(const QByteArray& font, const QString& family)
{
    const int id = QFontDatabase::addApplicationFontFromData(font);
    if (id < 0)
        return false;
    if (QFontDatabase::applicationFontFamilies(id).contains(family))
        return true;
    QFontDatabase::removeApplicationFont(id);
    return false;
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
    const QByteArray regular = Contents(dir.filePath(QStringLiteral("tahoma.ttf")));
    if (regular.isEmpty() || !Register(regular, family))
        return false;
    // A bold whose outlines are the regular ones (the wine fonts' is bold in its screen bitmaps
    // only) would print as regular letters spaced for bold. Without it the font system
    // thickens the regular, which prints bold.
    const QByteArray bold = Contents(dir.filePath(QStringLiteral("tahomabd.ttf")));
    if (!bold.isEmpty() && StemWidth(bold) > 1.1 * StemWidth(regular))
        Register(bold, family);
    return true;
}
