#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

class QSettings;

// The program's settings store, addressed like the current user's registry hive: a key is a
// full path from the hive ("\Software\Korvandelis\ZelmoraViewer\2\Positions\DocumentEditor"),
// separated by backslashes, and holds named string and 32-bit integer values.
//
// Where the store lives:
// - the file named by the environment variable ZELMORA_SETTINGS_FILE, when it is set (an INI
//   file; tests point it at a temporary file);
// - otherwise on Windows the registry under HKEY_CURRENT_USER;
// - otherwise the INI file Korvandelis/ZelmoraViewer.ini in the user's configuration folder.
// In an INI file the key path becomes the group path ("Software/Korvandelis/ZelmoraViewer/2/...").
//
// Types in an INI file: plain INI text has no types, so every value this class writes carries a
// prefix: "int:" followed by the decimal number for integers, "str:" followed by the text for
// strings (QSettings escapes the rest). A value without either prefix (edited by hand) counts as
// a string. In the registry the native REG_DWORD and REG_SZ types are used.
//
// Use: open one key, read or write values, close it. Only one key is open at a time; opening
// another closes the previous one. The program creates one accessor at start and frees it at
// the end; it is reachable through shared() meanwhile.
//
// Failures:
// - readString/readInteger throw ERegistryException "Fehler beim Holen der Daten für '<name>'"
//   when the open key has no such value (or no key is open), and "Ungültiger Datentyp für
//   '<name>'" when the value has the other type or is not a valid 32-bit number.
// - Writes never report anything: a key that cannot be opened for writing makes openKey return
//   false, and writes without a key opened for writing are dropped.
class TRegistryAccessor {
public:
    // The program's root key.
    static const QString kProgramRoot;
    static constexpr const char* kSettingsFileVariable = "ZELMORA_SETTINGS_FILE";

    // Decides where the store lives (see above) and becomes shared() unless another accessor
    // already is.
    TRegistryAccessor();
    ~TRegistryAccessor();
    TRegistryAccessor(const TRegistryAccessor&) = delete;
    TRegistryAccessor& operator=(const TRegistryAccessor&) = delete;

    // The program's accessor; null before it is created and after it is freed.
    static TRegistryAccessor* shared();

    // The root every user of the store prefixes its subkeys with; kProgramRoot at start.
    const QString& rootKey() const { return m_rootKey; }
    void setRootKey(const QString& rootKey) { m_rootKey = rootKey; }
    // rootKey() and subKey joined with exactly one backslash between them.
    QString keyUnderRoot(const QString& subKey) const;

    // The INI file in use, or an empty string when the registry is used.
    const QString& fileName() const { return m_fileName; }

    // Opens an existing key for reading; false (and nothing open) when it does not exist.
    bool openKeyReadOnly(const QString& key);
    // Opens a key for writing, creating it on the first write when canCreate is set; false
    // when the key is missing and canCreate is not set, or when the store cannot be written.
    bool openKey(const QString& key, bool canCreate);
    // Closes the open key, writing out what was written to it. Does nothing without one.
    void closeKey();
    bool hasOpenKey() const { return m_settings != nullptr; }

    bool valueExists(const QString& name) const;
    QString readString(const QString& name) const;
    int32_t readInteger(const QString& name) const;
    void writeString(const QString& name, const QString& value);
    void writeInteger(const QString& name, int32_t value);

private:
    bool usesRegistry() const { return m_fileName.isEmpty(); }
    std::unique_ptr<QSettings> openStore(const QStringList& keyParts) const;
    bool keyExists(const QStringList& keyParts) const;
    bool open(const QString& key, bool forWriting, bool canCreate);

    QString m_rootKey;
    QString m_fileName;
    std::unique_ptr<QSettings> m_settings;
    bool m_writable = false;
};
