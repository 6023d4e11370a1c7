#include "ExecuteInFileFolder.h"

#include <QFileDialog>

#include <algorithm>

QString ExtractFileFolder(const QString& fileName)
{
    int cut = fileName.lastIndexOf(QLatin1Char('/'));
#ifdef Q_OS_WIN
    cut = std::max({cut, int(fileName.lastIndexOf(QLatin1Char('\\'))),
                    int(fileName.lastIndexOf(QLatin1Char(':')))});
#endif
    return fileName.left(cut + 1);
}

bool ExecuteInFileFolder(QFileDialog& dialog, const QString& fileName)
{
    const QString folder = ExtractFileFolder(fileName);
    if (!folder.isEmpty())
        dialog.setDirectory(folder);
    const QString name = fileName.mid(folder.size());
    if (!name.isEmpty())
        dialog.selectFile(name);
    return dialog.exec() == QDialog::Accepted;
}
