#pragma once

#include <stdexcept>
#include <string>

// Failures of the document layer. Every message is UTF-8 German text, ready to be shown.

// A general failure: not a statistics log, bad version, bad security code, ...
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message)
        : std::runtime_error(message)
    {
    }
};

// An input/output failure of the operating system, with the runtime's German text.
class EInOutError : public Exception {
public:
    EInOutError(const std::string& message, int errorCode)
        : Exception(message)
        , m_errorCode(errorCode)
    {
    }
    int ErrorCode() const { return m_errorCode; }

    // The runtime's text for an errno value ("Datei nicht gefunden", "E/A-Fehler 5", ...).
    static EInOutError FromErrno(int errnoValue);
    // "Versuch hinter dem Dateiende zu lesen".
    static EInOutError EndOfFile();

private:
    int m_errorCode;
};

// The message of a failure, ready to be shown: the exception's own text, or for running out of
// memory (std::bad_alloc, or a container that cannot grow that far) "Zu wenig Arbeitsspeicher",
// since the standard library's texts are neither German nor meant for users.
std::string ErrorMessage(const std::exception& failure);
