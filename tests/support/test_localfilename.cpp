#include "LocalFileName.h"

#include "MprWriter.h"
#include "TempDir.h"

#include <QFile>

#include <gtest/gtest.h>

#include <random>

#include <sys/stat.h>

TEST(LocalFileName, AnyNameKeepsItsBytesAndShowsAsQtShowsIt)
{
    std::mt19937 random(29);
    std::uniform_int_distribution<int> anyByte(1, 255);
    // UTF-8 text, Latin-1 names and every broken sequence between.
    const std::vector<std::string> pieces = {
        "a",    "/",    "\xC3\xBC",     "\xE2\x82\xAC",     "\xF0\x9F\x98\x80",
        "\xFC", "\xC3", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xC0\xAF"};
    for (int round = 0; round < 3000; ++round) {
        std::string bytes;
        for (int n = round % 9; n > 0; --n)
            bytes += round % 2 ? std::string(1, char(anyByte(random)))
                               : pieces[std::size_t(anyByte(random)) % pieces.size()];
        const QByteArray raw = QByteArray::fromStdString(bytes);
        const QString name = FileNameFromBytes(raw);
        ASSERT_EQ(FileNameBytes(name), raw) << round;
        ASSERT_EQ(ShownFileName(name), QFile::decodeName(raw)) << round;
        if (QString::fromUtf8(raw).toUtf8() == raw) {
            ASSERT_EQ(name, QString::fromUtf8(raw)) << round;
        }
    }
}

TEST(LocalFileName, AFileChosenByItsShownNameIsFound)
{
    const TempDir dir;
    const std::string folder = dir.Path("Ablage \xE9t\xE9");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    const std::string log = folder + "/Gr\xFC\xDF.mpr";
    WriteFileBytes(log, "log");
    // Two names that show alike: neither is guessed.
    WriteFileBytes(folder + "/a\xFC.mpr", "one");
    WriteFileBytes(folder + "/a\xFD.mpr", "two");
    const auto shown = [](const std::string& bytes) {
        return QFile::decodeName(QByteArray::fromStdString(bytes));
    };
    const QString utf8 = QString::fromStdString(dir.Path("plain.mpr"));
    struct Case {
        QString chosen;
        QString found;
    };
    for (const Case& c : {
             Case{shown(log), FileNameFromBytes(QByteArray::fromStdString(log))},
             Case{shown(folder + "/a\xFC.mpr"), shown(folder + "/a\xFC.mpr")},
             Case{shown(folder + "/missing\xFC.mpr"), shown(folder + "/missing\xFC.mpr")},
             Case{utf8, utf8},
             Case{QString(), QString()},
         }) {
        EXPECT_EQ(ChosenFileName(c.chosen), c.found) << c.chosen.toStdString();
    }
    EXPECT_TRUE(FileNameExistsBesideFolders(ChosenFileName(shown(log))));
    EXPECT_FALSE(FileNameExistsBesideFolders(FileNameFromBytes(QByteArray::fromStdString(folder))));
}
