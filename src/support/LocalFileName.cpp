#include "LocalFileName.h"

#include "Utf8.h"

#include <QFile>

#include <filesystem>
#include <string>
#include <system_error>

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool IsEscapedByte(const QString& name, qsizetype i)
{
    const char16_t c = name.at(i).unicode();
    return c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF &&
           (i == 0 || !name.at(i - 1).isHighSurrogate());
}

std::filesystem::path PathOf(const QString& name)
{
    const QByteArray bytes = FileNameBytes(name);
    return std::filesystem::path(std::string(bytes.constData(), std::size_t(bytes.size())));
}

} // namespace

QString FileNameFromBytes(const QByteArray& bytes)
{
    const std::string text = bytes.toStdString();
    QString name;
    name.reserve(bytes.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8SequenceAt(text, i);
        if (length == 0) {
            name += QChar(char16_t(kEscapeBase + static_cast<unsigned char>(text[i])));
            ++i;
        } else {
            name += QString::fromUtf8(text.data() + i, qsizetype(length));
            i += length;
        }
    }
    return name;
}

QByteArray FileNameBytes(const QString& name)
{
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype plainFrom = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!IsEscapedByte(name, i))
            continue;
        bytes += QStringView(name).mid(plainFrom, i - plainFrom).toUtf8();
        bytes += char(name.at(i).unicode() - kEscapeBase);
        plainFrom = i + 1;
    }
    bytes += QStringView(name).mid(plainFrom).toUtf8();
    return bytes;
}

QString ShownFileName(const QString& name) { return QFile::decodeName(FileNameBytes(name)); }

bool FileNameExistsBesideFolders(const QString& name)
{
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(PathOf(name), ec);
    return !name.isEmpty() && std::filesystem::exists(status) &&
           !std::filesystem::is_directory(status);
}

QString ChosenFileName(const QString& chosen)
{
    std::error_code ec;
    if (chosen.isEmpty() || std::filesystem::exists(PathOf(chosen), ec) ||
        !chosen.contains(QChar(QChar::ReplacementCharacter)))
        return chosen;
    const QStringList parts = chosen.split(QLatin1Char('/'));
    QString resolved;
    for (qsizetype k = 0; k < parts.size(); ++k) {
        const QString& part = parts.at(k);
        const QString candidate = k == 0 ? part : resolved + QLatin1Char('/') + part;
        if (part.isEmpty() || std::filesystem::exists(PathOf(candidate), ec) ||
            !part.contains(QChar(QChar::ReplacementCharacter))) {
            resolved = candidate;
            continue;
        }
        const QString folder = resolved.isEmpty() && k > 0 ? QStringLiteral("/")
                               : resolved.isEmpty()        ? QStringLiteral(".")
                                                           : resolved;
        QString match;
        int matches = 0;
        for (const auto& entry : std::filesystem::directory_iterator(PathOf(folder), ec)) {
            const std::string raw = entry.path().filename().string();
            const QString entryName = FileNameFromBytes(QByteArray::fromStdString(raw));
            if (ShownFileName(entryName) == part) {
                match = entryName;
                ++matches;
            }
        }
        if (matches != 1)
            return chosen;
        resolved = k == 0 ? match : resolved + QLatin1Char('/') + match;
    }
    return resolved;
}
