#include "QtText.h"

#include "Cp1252.h"

QString FromCp1252(const std::string& text) { return QString::fromStdString(Cp1252ToUtf8(text)); }

QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }
