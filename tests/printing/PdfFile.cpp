#include "PdfFile.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <stdexcept>

PdfFile::PdfFile(const QString& path)
    : m_path(path)
{
}

QString PdfFile::run(const QString& program, const QStringList& arguments) const
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        throw std::runtime_error(
            QStringLiteral("%1 failed: %2")
                .arg(program, QString::fromLocal8Bit(process.readAllStandardError()))
                .toStdString());
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString PdfFile::infoField(const QString& name) const
{
    const QString info = run(QStringLiteral("pdfinfo"), {m_path});
    const QRegularExpression field(QStringLiteral("^%1:\\s*(.*)$").arg(name),
                                   QRegularExpression::MultilineOption);
    const auto match = field.match(info);
    return match.hasMatch() ? match.captured(1).trimmed() : QString();
}

int PdfFile::Pages() const { return infoField(QStringLiteral("Pages")).toInt(); }

QSizeF PdfFile::PageSize() const
{
    const QRegularExpression size(QStringLiteral("([0-9.]+) x ([0-9.]+) pts"));
    const auto match = size.match(infoField(QStringLiteral("Page size")));
    if (!match.hasMatch())
        return {};
    return {match.captured(1).toDouble(), match.captured(2).toDouble()};
}

QString PdfFile::Title() const { return infoField(QStringLiteral("Title")); }

QString PdfFile::Producer() const { return infoField(QStringLiteral("Producer")); }

QString PdfFile::Text(int page) const
{
    const QString number = QString::number(page);
    return run(QStringLiteral("pdftotext"),
               {QStringLiteral("-layout"), QStringLiteral("-f"), number, QStringLiteral("-l"),
                number, m_path, QStringLiteral("-")});
}

std::vector<PdfFile::Word> PdfFile::Words() const
{
    const QString html =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), m_path, QStringLiteral("-")});
    static const QRegularExpression item(
        QStringLiteral("<page |<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" "
                       "yMax=\"([0-9.]+)\">([^<]*)</word>"));
    std::vector<Word> words;
    int page = 0;
    for (auto it = item.globalMatch(html); it.hasNext();) {
        const auto match = it.next();
        if (match.captured(0).startsWith(QStringLiteral("<page"))) {
            ++page;
            continue;
        }
        words.push_back({page, match.captured(5), match.captured(1).toDouble(),
                         match.captured(2).toDouble(), match.captured(3).toDouble(),
                         match.captured(4).toDouble()});
    }
    return words;
}

std::vector<PdfFile::Word> PdfFile::Find(const QString& text) const
{
    std::vector<Word> found;
    for (const Word& word : Words()) {
        if (word.text == text)
            found.push_back(word);
    }
    return found;
}

QImage PdfFile::Render(int page, int dpi) const
{
    return render(QStringLiteral("pdftoppm"), page, dpi);
}

QImage PdfFile::RenderSmooth(int page, int dpi) const
{
    return render(QStringLiteral("pdftocairo"), page, dpi);
}

QImage PdfFile::render(const QString& program, int page, int dpi) const
{
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("page"));
    const QString number = QString::number(page);
    run(program,
        {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"),
         number, QStringLiteral("-l"), number, QStringLiteral("-singlefile"), m_path, prefix});
    return QImage(prefix + QStringLiteral(".png"));
}

QStringList PdfFile::Fonts() const
{
    QStringList lines = run(QStringLiteral("pdffonts"), {m_path}).split(QLatin1Char('\n'));
    lines.removeAll(QString());
    return lines.mid(2);
}
