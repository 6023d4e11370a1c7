#pragma once

#include <QByteArray>
#include <QString>

// File names as the window holds them. The operating system's names are bytes that need not be
// UTF-8 (a log copied from an old share may be named in Latin-1); Qt decodes every byte that is
// not part of a UTF-8 sequence as U+FFFD, a name that exists nowhere, so such a log could not be
// opened by the QString Qt gives for it. A window-held name keeps each such byte b as the lone
// surrogate U+DC00 + b instead, which no valid name decodes to: the name keeps all its bytes.

// The window-held name of a file name's bytes.
QString FileNameFromBytes(const QByteArray& bytes);
// The bytes of a window-held name (the name Qt would use for a plain one).
QByteArray FileNameBytes(const QString& name);
// The name as the user sees it: every byte that is not UTF-8 as U+FFFD, as Qt shows it.
QString ShownFileName(const QString& name);
// Whether something other than a folder (a file, a FIFO, a device) has that window-held name.
bool FileNameExistsBesideFolders(const QString& name);

// The file a file dialog chose. Qt's dialogs list a name that is not UTF-8 by its shown form,
// which names no file; this finds the file it stands for, part by part of the path: the one
// entry of its folder whose shown name it is. Unchanged when the chosen name exists, or when
// no single file matches.
QString ChosenFileName(const QString& chosen);
