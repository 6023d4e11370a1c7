#pragma once

#include <QString>

// What a caption written with the "&" convention shows: "&&" shows one "&", a single "&" only
// marks the letter after it as the mnemonic and is not shown itself (a trailing one is kept).
// Qt's labels show "&" literally unless they have a buddy, so texts that went through
// EscapeAmpersands pass through here before a plain label shows them.
QString CaptionText(const QString& caption);
