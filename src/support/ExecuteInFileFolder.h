#pragma once

#include <QString>

class QFileDialog;

// The folder part of a file name, trailing separator included ("/data/a.mpr" -> "/data/");
// empty when the name has none. On Windows backslashes and a drive colon count as well.
QString ExtractFileFolder(const QString& fileName);

// Runs the dialog modally, starting in the folder of fileName - the file the dialog offers,
// usually the one loaded last - with its name preselected. Without a folder part the dialog
// starts where it would anyway. True when the user confirmed a file.
bool ExecuteInFileFolder(QFileDialog& dialog, const QString& fileName);
