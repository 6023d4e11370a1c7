#include "TRegistryAccessor.h"

#include "ERegistryException.h"

#include <QSettings>
#include <QVariant>

#include <limits>

namespace {

TRegistryAccessor* s_shared = nullptr;

const QString kIntegerPrefix = QStringLiteral("int:");
const QString kStringPrefix = QStringLiteral("str:");

QStringList splitKey(const QString& key)
{
    // Forward slashes would silently become group separators in QSettings; treat them like
    // backslashes so a key always means the same path in both stores.
    QString path = key;
    path.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

[[noreturn]] void throwMissing(const QString& name)
{
    throw ERegistryException(
        QStringLiteral("Fehler beim Holen der Daten für '%1'").arg(name).toStdString());
}

[[noreturn]] void throwWrongType(const QString& name)
{
    throw ERegistryException(
        QStringLiteral("Ungültiger Datentyp für '%1'").arg(name).toStdString());
}

enum class ValueType { String, Integer, Other };

struct TypedValue {
    ValueType type = ValueType::Other;
    QString text;
    qint64 number = 0;
    bool numberValid = false;
};

TypedValue decodeIniValue(const QVariant& value)
{
    TypedValue result;
    if (value.typeId() != QMetaType::QString)
        return result;
    const QString text = value.toString();
    if (text.startsWith(kIntegerPrefix)) {
        result.type = ValueType::Integer;
        result.number = text.mid(kIntegerPrefix.size()).toLongLong(&result.numberValid);
        return result;
    }
    result.type = ValueType::String;
    result.text = text.startsWith(kStringPrefix) ? text.mid(kStringPrefix.size()) : text;
    return result;
}

TypedValue decodeRegistryValue(const QVariant& value)
{
    TypedValue result;
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
        // REG_DWORD holds 32 bits; values above 2^31 - 1 are the negative ones, as stored.
        result.type = ValueType::Integer;
        result.number = static_cast<int32_t>(value.toUInt());
        result.numberValid = true;
        break;
    case QMetaType::QString:
        result.type = ValueType::String;
        result.text = value.toString();
        break;
    default:
        break;
    }
    return result;
}

} // namespace

const QString TRegistryAccessor::kProgramRoot =
    QStringLiteral("\\Software\\Korvandelis\\ZelmoraViewer\\2\\");

TRegistryAccessor::TRegistryAccessor()
    : m_rootKey(kProgramRoot)
{
    m_fileName = qEnvironmentVariable(kSettingsFileVariable);
#ifndef Q_OS_WIN
    if (m_fileName.isEmpty()) {
        m_fileName = QSettings(QSettings::IniFormat, QSettings::UserScope,
                               QStringLiteral("Korvandelis"), QStringLiteral("ZelmoraViewer"))
                         .fileName();
    }
#endif
    if (!s_shared)
        s_shared = this;
}

TRegistryAccessor::~TRegistryAccessor()
{
    closeKey();
    if (s_shared == this)
        s_shared = nullptr;
}

TRegistryAccessor* TRegistryAccessor::shared() { return s_shared; }

QString TRegistryAccessor::keyUnderRoot(const QString& subKey) const
{
    if (m_rootKey.endsWith(QLatin1Char('\\')) || subKey.startsWith(QLatin1Char('\\')))
        return m_rootKey + subKey;
    return m_rootKey + QLatin1Char('\\') + subKey;
}

std::unique_ptr<QSettings> TRegistryAccessor::openStore(const QStringList& keyParts) const
{
    if (usesRegistry()) {
        QString path = QStringLiteral("HKEY_CURRENT_USER");
        for (const QString& part : keyParts)
            path += QLatin1Char('\\') + part;
        return std::make_unique<QSettings>(path, QSettings::NativeFormat);
    }
    auto settings = std::make_unique<QSettings>(m_fileName, QSettings::IniFormat);
    if (!keyParts.isEmpty())
        settings->beginGroup(keyParts.join(QLatin1Char('/')));
    return settings;
}

bool TRegistryAccessor::keyExists(const QStringList& keyParts) const
{
    if (keyParts.isEmpty())
        return true;
    // A key exists when its parent lists it; registry key names ignore letter case.
    const auto parent = openStore(keyParts.mid(0, keyParts.size() - 1));
    const Qt::CaseSensitivity sensitivity =
        usesRegistry() ? Qt::CaseInsensitive : Qt::CaseSensitive;
    return parent->childGroups().contains(keyParts.last(), sensitivity);
}

bool TRegistryAccessor::open(const QString& key, bool forWriting, bool canCreate)
{
    closeKey();
    const QStringList parts = splitKey(key);
    if (!(forWriting && canCreate) && !keyExists(parts))
        return false;
    auto settings = openStore(parts);
    if (settings->status() != QSettings::NoError)
        return false;
    if (forWriting && !settings->isWritable())
        return false;
    m_settings = std::move(settings);
    m_writable = forWriting;
    return true;
}

bool TRegistryAccessor::openKeyReadOnly(const QString& key) { return open(key, false, false); }

bool TRegistryAccessor::openKey(const QString& key, bool canCreate)
{
    return open(key, true, canCreate);
}

void TRegistryAccessor::closeKey()
{
    if (!m_settings)
        return;
    // A failed write-out is dropped like any other write that cannot reach its key.
    if (m_writable)
        m_settings->sync();
    m_settings.reset();
    m_writable = false;
}

bool TRegistryAccessor::valueExists(const QString& name) const
{
    return m_settings && m_settings->contains(name);
}

QString TRegistryAccessor::readString(const QString& name) const
{
    if (!valueExists(name))
        throwMissing(name);
    const QVariant raw = m_settings->value(name);
    const TypedValue value = usesRegistry() ? decodeRegistryValue(raw) : decodeIniValue(raw);
    if (value.type != ValueType::String)
        throwWrongType(name);
    return value.text;
}

int32_t TRegistryAccessor::readInteger(const QString& name) const
{
    if (!valueExists(name))
        throwMissing(name);
    const QVariant raw = m_settings->value(name);
    const TypedValue value = usesRegistry() ? decodeRegistryValue(raw) : decodeIniValue(raw);
    if (value.type != ValueType::Integer || !value.numberValid ||
        value.number < std::numeric_limits<int32_t>::min() ||
        value.number > std::numeric_limits<int32_t>::max())
        throwWrongType(name);
    return static_cast<int32_t>(value.number);
}

void TRegistryAccessor::writeString(const QString& name, const QString& value)
{
    if (!m_settings || !m_writable)
        return;
    m_settings->setValue(name, usesRegistry() ? value : kStringPrefix + value);
}

void TRegistryAccessor::writeInteger(const QString& name, int32_t value)
{
    if (!m_settings || !m_writable)
        return;
    if (usesRegistry())
        m_settings->setValue(name, static_cast<int>(value));
    else
        m_settings->setValue(name, kIntegerPrefix + QString::number(value));
}
