#include "EscapeAmpersands.h"
#include "ExecuteInFileFolder.h"
#include "TInteger.h"
#include "TempDir.h"

#include <QDir>
#include <QFileDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <limits>

namespace {

TEST(EscapeAmpersands, DoublesEveryAmpersand)
{
    const struct {
        QString text;
        QString escaped;
    } cases[] = {
        {QString(), QString()},
        {QStringLiteral("Müller GmbH"), QStringLiteral("Müller GmbH")},
        {QStringLiteral("Müller & Söhne"), QStringLiteral("Müller && Söhne")},
        {QStringLiteral("&"), QStringLiteral("&&")},
        {QStringLiteral("&&"), QStringLiteral("&&&&")},
        {QStringLiteral("A&B&C&"), QStringLiteral("A&&B&&C&&")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EscapeAmpersands(c.text), c.escaped) << c.text.toStdString();
}

TEST(ExecuteInFileFolder, FolderPartKeepsItsTrailingSeparator)
{
    const struct {
        QString fileName;
        QString folder;
    } cases[] = {
        {QString(), QString()},
        {QStringLiteral("lauf.mpr"), QString()},
        {QStringLiteral("/daten/lauf.mpr"), QStringLiteral("/daten/")},
        {QStringLiteral("/daten/"), QStringLiteral("/daten/")},
        {QStringLiteral("/lauf.mpr"), QStringLiteral("/")},
        {QStringLiteral("a/b/c.mpr"), QStringLiteral("a/b/")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExtractFileFolder(c.fileName), c.folder) << c.fileName.toStdString();
}

// Runs the dialog and answers it from inside its own modal loop.
bool runAndAnswer(QFileDialog& dialog, const QString& fileName, bool confirm)
{
    QTimer::singleShot(0, &dialog, [&dialog, confirm] {
        if (confirm)
            static_cast<QDialog&>(dialog).accept();
        else
            dialog.reject();
    });
    return ExecuteInFileFolder(dialog, fileName);
}

TEST(ExecuteInFileFolder, StartsInTheFolderOfTheFileAndPreselectsIt)
{
    TempDir dir;
    const QString file = QString::fromStdString(dir.Path("lauf 1.mpr"));
    std::ofstream(file.toStdString()) << "x";
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);

    EXPECT_TRUE(runAndAnswer(dialog, file, true));
    EXPECT_EQ(QDir(dialog.directory()).canonicalPath(),
              QDir(QString::fromStdString(dir.Root().string())).canonicalPath());
    ASSERT_EQ(dialog.selectedFiles().size(), 1);
    EXPECT_EQ(QFileInfo(dialog.selectedFiles().first()).canonicalFilePath(),
              QFileInfo(file).canonicalFilePath());

    EXPECT_FALSE(runAndAnswer(dialog, file, false));
}

TEST(ExecuteInFileFolder, NameWithoutFolderLeavesTheDialogWhereItWas)
{
    TempDir dir;
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setDirectory(QString::fromStdString(dir.Root().string()));
    const QString before = dialog.directory().absolutePath();
    EXPECT_FALSE(runAndAnswer(dialog, QStringLiteral("lauf.mpr"), false));
    EXPECT_EQ(dialog.directory().absolutePath(), before);
    EXPECT_FALSE(runAndAnswer(dialog, QString(), false));
    EXPECT_EQ(dialog.directory().absolutePath(), before);
}

TEST(TInteger, HoldsAnyThirtyTwoBitValue)
{
    for (int32_t value :
         {0, 1, -1, 259, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()})
        EXPECT_EQ(TInteger(value).Value(), value);
}

} // namespace
