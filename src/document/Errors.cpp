#include "Errors.h"

#include <cerrno>
#include <new>

namespace {
// The runtime's own I/O error numbers; the messages belong to them.
constexpr int kFileNotFound = 2;
constexpr int kTooManyOpenFiles = 4;
constexpr int kAccessDenied = 5;
constexpr int kInvalidFileName = 123;
constexpr int kReadBeyondEnd = 100;
} // namespace

EInOutError EInOutError::FromErrno(int errnoValue)
{
    switch (errnoValue) {
    case ENOENT:
    case ENOTDIR:
        return EInOutError("Datei nicht gefunden", kFileNotFound);
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
        return EInOutError("Dateizugriff verweigert", kAccessDenied);
    case ENAMETOOLONG:
    case EINVAL:
    case ELOOP:
        return EInOutError("Ungültiger Dateiname", kInvalidFileName);
    case EMFILE:
    case ENFILE:
        return EInOutError("Zu viele geöffnete Dateien", kTooManyOpenFiles);
    default:
        return EInOutError("E/A-Fehler " + std::to_string(errnoValue), errnoValue);
    }
}

EInOutError EInOutError::EndOfFile()
{
    return EInOutError("Versuch hinter dem Dateiende zu lesen", kReadBeyondEnd);
}

std::string ErrorMessage(const std::exception& failure)
{
    if (dynamic_cast<const std::bad_alloc*>(&failure) ||
        dynamic_cast<const std::length_error*>(&failure))
        return "Zu wenig Arbeitsspeicher";
    return failure.what();
}
