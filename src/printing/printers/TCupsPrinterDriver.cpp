#include "TCupsPrinterDriver.h"

#include <QFile>
#include <QHash>
#include <QPrintEngine>
#include <QPrinter>
#include <QTemporaryFile>

#include <cups/cups.h>

#include <algorithm>

namespace {

// Qt's CUPS print engine takes extra job options as name/value pairs under this key.
constexpr auto kCupsOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);
const char* const kMediaSource = "media-source";

// The bin of the PDF entry: a file has one way of taking paper.
const char* const kPdfBinName = "Standard";

// A CUPS destination with its supported values, freed on every path.
class TCupsDest {
public:
    explicit TCupsDest(const QString& name)
    {
        const QByteArray queue = name.toLocal8Bit();
        m_dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.constData(), nullptr);
        if (!m_dest)
            return;
        char resource[1024];
        m_http = cupsConnectDest(m_dest, CUPS_DEST_FLAGS_NONE, 30000, nullptr, resource,
                                 sizeof resource, nullptr, nullptr);
        if (m_http)
            m_info = cupsCopyDestInfo(m_http, m_dest);
    }
    ~TCupsDest()
    {
        if (m_info)
            cupsFreeDestInfo(m_info);
        if (m_http)
            httpClose(m_http);
        if (m_dest)
            cupsFreeDests(1, m_dest);
    }
    TCupsDest(const TCupsDest&) = delete;
    TCupsDest& operator=(const TCupsDest&) = delete;

    bool Valid() const { return m_info != nullptr; }

    QStringList Values(const char* option) const
    {
        QStringList values;
        if (!Valid())
            return values;
        ipp_attribute_t* supported = cupsFindDestSupported(m_http, m_dest, m_info, option);
        const int count = supported ? ippGetCount(supported) : 0;
        for (int i = 0; i < count; ++i)
            values << QString::fromUtf8(ippGetString(supported, i, nullptr));
        return values;
    }

    QString Localized(const char* option, const QString& value) const
    {
        const QByteArray raw = value.toUtf8();
        return QString::fromUtf8(
            cupsLocalizeDestValue(m_http, m_dest, m_info, option, raw.constData()));
    }

    QString Attribute(const char* name) const
    {
        return m_dest ? QString::fromUtf8(cupsGetOption(name, m_dest->num_options, m_dest->options))
                      : QString();
    }

private:
    cups_dest_t* m_dest = nullptr;
    http_t* m_http = nullptr;
    cups_dinfo_t* m_info = nullptr;
};

// One quoted string of a strings file starting at pos; pos ends behind the closing quote.
bool ReadQuoted(const QString& text, int& pos, QString& out)
{
    if (pos >= text.size() || text.at(pos) != QLatin1Char('"'))
        return false;
    out.clear();
    for (++pos; pos < text.size(); ++pos) {
        const QChar c = text.at(pos);
        if (c == QLatin1Char('"')) {
            ++pos;
            return true;
        }
        if (c == QLatin1Char('\\') && pos + 1 < text.size()) {
            const QChar next = text.at(++pos);
            out += next == QLatin1Char('n') ? QChar(QLatin1Char('\n')) : next;
        } else {
            out += c;
        }
    }
    return false;
}

// "key" = "value"; lines of a printer's strings file.
QHash<QString, QString> ParseStrings(const QString& text)
{
    QHash<QString, QString> strings;
    int pos = 0;
    const auto skipBlanks = [&] {
        while (pos < text.size() && text.at(pos).isSpace())
            ++pos;
    };
    while (pos < text.size()) {
        skipBlanks();
        QString key;
        QString value;
        if (!ReadQuoted(text, pos, key)) {
            pos = text.indexOf(QLatin1Char('\n'), pos);
            if (pos < 0)
                break;
            continue;
        }
        skipBlanks();
        if (pos < text.size() && text.at(pos) == QLatin1Char('='))
            ++pos;
        skipBlanks();
        if (ReadQuoted(text, pos, value))
            strings.insert(key, value);
    }
    return strings;
}

// The scheduler hands out the driver's own option texts (those of its PPD) as a strings file,
// but does not name that file in the destination information libcups localizes from; without
// it the bins would carry CUPS's generic names instead of the printer's.
QHash<QString, QString> PrinterStrings(const TCupsDest& dest)
{
    const QByteArray printerUri = dest.Attribute("printer-uri-supported").toUtf8();
    if (printerUri.isEmpty())
        return {};
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 printerUri.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "printer-strings-uri");
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    if (!response)
        return {};
    ipp_attribute_t* attr = ippFindAttribute(response, "printer-strings-uri", IPP_TAG_URI);
    const QByteArray stringsUri = attr ? QByteArray(ippGetString(attr, 0, nullptr)) : QByteArray();
    ippDelete(response);
    if (stringsUri.isEmpty())
        return {};

    char scheme[32], userpass[256], host[256], resource[1024];
    int port = 0;
    if (httpSeparateURI(HTTP_URI_CODING_ALL, stringsUri.constData(), scheme, sizeof scheme,
                        userpass, sizeof userpass, host, sizeof host, &port, resource,
                        sizeof resource) < HTTP_URI_STATUS_OK)
        return {};
    QTemporaryFile file;
    if (!file.open())
        return {};
    // The scheduler names its own strings without its port, so a connection made from the
    // address alone would miss it: ask the scheduler first, the named host only after that.
    http_status_t status = cupsGetFd(CUPS_HTTP_DEFAULT, resource, file.handle());
    if (status != HTTP_STATUS_OK) {
        const http_encryption_t encryption =
            qstrcmp(scheme, "https") == 0 ? HTTP_ENCRYPTION_ALWAYS : HTTP_ENCRYPTION_IF_REQUESTED;
        http_t* http = httpConnect2(host, port, nullptr, AF_UNSPEC, encryption, 1, 30000, nullptr);
        if (!http)
            return {};
        file.resize(0);
        status = cupsGetFd(http, resource, file.handle());
        httpClose(http);
    }
    QHash<QString, QString> strings;
    if (status == HTTP_STATUS_OK) {
        QFile content(file.fileName());
        if (content.open(QIODevice::ReadOnly))
            strings = ParseStrings(QString::fromUtf8(content.readAll()));
    }
    return strings;
}

} // namespace

QStringList TCupsPrinterDriver::MediaSources(const QString& printer)
{
    if (printer == PdfPrinterName())
        return {QString::fromLatin1(kPdfBinName)};
    return TCupsDest(printer).Values(kMediaSource);
}

QStringList TCupsPrinterDriver::MediaSourceNames(const QString& printer)
{
    if (printer == PdfPrinterName())
        return {QString::fromLatin1(kPdfBinName)};
    const TCupsDest dest(printer);
    const QStringList values = dest.Values(kMediaSource);
    if (values.isEmpty())
        return {};
    const QHash<QString, QString> strings = PrinterStrings(dest);
    QStringList names;
    for (const QString& value : values) {
        const QString key = QLatin1String(kMediaSource) + QLatin1Char('.') + value;
        names << strings.value(key, dest.Localized(kMediaSource, value));
    }
    return names;
}

int TCupsPrinterDriver::BinNameCount(const QString& printer)
{
    return static_cast<int>(MediaSources(printer).size());
}

int TCupsPrinterDriver::BinCodeCount(const QString& printer)
{
    return static_cast<int>(MediaSources(printer).size());
}

void TCupsPrinterDriver::GetBins(const QString& printer, std::vector<QString>& names,
                                 std::vector<std::int16_t>& codes)
{
    const QStringList found = MediaSourceNames(printer);
    // The printer may have changed since it was counted; what is not there stays empty.
    const size_t count = std::min(names.size(), static_cast<size_t>(found.size()));
    for (size_t i = 0; i < count; ++i)
        names[i] = found.at(static_cast<int>(i));
    for (size_t i = 0; i < codes.size(); ++i)
        codes[i] = static_cast<std::int16_t>(i);
}

void TCupsPrinterDriver::DropJob(QPrinter& printer)
{
    if (printer.abort() || printer.outputFormat() != QPrinter::NativeFormat)
        return;
    QPrintEngine* engine = printer.printEngine();
    // The engine sends its own copy count first when it is above one: keep it at one, so that
    // the refused count is the only one the job carries.
    engine->setProperty(QPrintEngine::PPK_CopyCount, 1);
    QStringList options = engine->property(kCupsOptionsKey).toStringList();
    options << QStringLiteral("copies") << QStringLiteral("0");
    engine->setProperty(kCupsOptionsKey, options);
}

void TCupsPrinterDriver::ApplyBin(QPrinter& printer, const QString& printerName, int code)
{
    if (printer.outputFormat() != QPrinter::NativeFormat)
        return;
    const QStringList sources = MediaSources(printerName);
    if (code < 0 || code >= sources.size())
        return;
    QPrintEngine* engine = printer.printEngine();
    QStringList options = engine->property(kCupsOptionsKey).toStringList();
    for (int i = 0; i + 1 < options.size();) {
        if (options.at(i) == QLatin1String(kMediaSource))
            options.remove(i, 2);
        else
            i += 2;
    }
    options << QString::fromLatin1(kMediaSource) << sources.at(code);
    engine->setProperty(kCupsOptionsKey, options);
}

QString TCupsPrinterDriver::JobRefusal()
{
    const ipp_status_t status = cupsLastError();
    if (status < IPP_STATUS_REDIRECTION_OTHER_SITE)
        return QString();
    const char* text = cupsLastErrorString();
    return text && *text ? QString::fromUtf8(text) : QString::fromUtf8(ippErrorString(status));
}
