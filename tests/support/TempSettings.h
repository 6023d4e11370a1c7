#pragma once

#include "TRegistryAccessor.h"
#include "TempDir.h"

#include <QByteArray>

#include <fstream>
#include <memory>
#include <string>

// A settings store of its own in a fresh temporary INI file, reached through a new shared
// accessor. The environment variable that redirects the store is put back afterwards.
class TempSettings {
public:
    enum class Kind { Writable, Unwritable };

    // Unwritable: the file would have to live in a folder inside a plain file, which nobody,
    // not even root, can create.
    explicit TempSettings(Kind kind = Kind::Writable)
        : m_hadVariable(qEnvironmentVariableIsSet(TRegistryAccessor::kSettingsFileVariable))
        , m_oldVariable(qgetenv(TRegistryAccessor::kSettingsFileVariable))
    {
        if (kind == Kind::Writable) {
            m_file = QString::fromStdString(m_dir.Path("settings.ini"));
        } else {
            std::ofstream(m_dir.Path("blocker")) << "not a folder";
            m_file = QString::fromStdString(m_dir.Path("blocker")) + "/sub/settings.ini";
        }
        qputenv(TRegistryAccessor::kSettingsFileVariable, m_file.toUtf8());
        m_accessor = std::make_unique<TRegistryAccessor>();
    }
    ~TempSettings()
    {
        m_accessor.reset();
        if (m_hadVariable)
            qputenv(TRegistryAccessor::kSettingsFileVariable, m_oldVariable);
        else
            qunsetenv(TRegistryAccessor::kSettingsFileVariable);
    }
    TempSettings(const TempSettings&) = delete;
    TempSettings& operator=(const TempSettings&) = delete;

    TRegistryAccessor& accessor() { return *m_accessor; }
    const QString& file() const { return m_file; }

private:
    TempDir m_dir;
    bool m_hadVariable;
    QByteArray m_oldVariable;
    QString m_file;
    std::unique_ptr<TRegistryAccessor> m_accessor;
};
