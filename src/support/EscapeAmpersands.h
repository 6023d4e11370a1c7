#pragma once

#include <QString>

// The text with every "&" doubled, so that a caption or label shows the character itself
// instead of underlining the letter after it.
QString EscapeAmpersands(const QString& text);
