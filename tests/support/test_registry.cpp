#include "ERegistryException.h"
#include "TRegistryAccessor.h"
#include "TempSettings.h"

#include <QFile>
#include <QSettings>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <limits>

namespace {

const QString kPositions =
    QStringLiteral("\\Software\\Korvandelis\\ZelmoraViewer\\2\\Positions\\Main");

std::string readError(const std::function<void()>& read)
{
    try {
        read();
    } catch (const ERegistryException& error) {
        return error.what();
    }
    return "(no error)";
}

TEST(RegistryAccessor, FirstAccessorIsSharedUntilItGoes)
{
    EXPECT_EQ(TRegistryAccessor::shared(), nullptr);
    {
        TempSettings settings;
        EXPECT_EQ(TRegistryAccessor::shared(), &settings.accessor());
        TRegistryAccessor second;
        EXPECT_EQ(TRegistryAccessor::shared(), &settings.accessor());
    }
    EXPECT_EQ(TRegistryAccessor::shared(), nullptr);
}

TEST(RegistryAccessor, RootAndStoreLocation)
{
    TempSettings settings;
    TRegistryAccessor& registry = settings.accessor();
    EXPECT_EQ(registry.rootKey(), QStringLiteral("\\Software\\Korvandelis\\ZelmoraViewer\\2\\"));
    EXPECT_EQ(registry.fileName(), settings.file());
    EXPECT_EQ(registry.keyUnderRoot(QStringLiteral("Paths")),
              QStringLiteral("\\Software\\Korvandelis\\ZelmoraViewer\\2\\Paths"));
    registry.setRootKey(QStringLiteral("\\Software\\Other"));
    EXPECT_EQ(registry.keyUnderRoot(QStringLiteral("Paths")),
              QStringLiteral("\\Software\\Other\\Paths"));
}

TEST(RegistryAccessor, MissingKeyDoesNotOpenAndIsNotCreatedByReading)
{
    TempSettings settings;
    TRegistryAccessor& registry = settings.accessor();
    EXPECT_FALSE(registry.openKeyReadOnly(kPositions));
    EXPECT_FALSE(registry.hasOpenKey());
    EXPECT_FALSE(registry.openKey(kPositions, false));
    EXPECT_FALSE(registry.hasOpenKey());
    EXPECT_FALSE(QFile::exists(settings.file()));
    EXPECT_FALSE(registry.openKeyReadOnly(kPositions));
}

TEST(RegistryAccessor, KeyCreatedForWritingOpensLaterForReading)
{
    TempSettings settings;
    TRegistryAccessor& registry = settings.accessor();
    ASSERT_TRUE(registry.openKey(kPositions, true));
    registry.writeInteger(QStringLiteral("Left"), 7);
    registry.closeKey();

    // The parent key exists as well, the sibling does not; slashes address the same key.
    EXPECT_TRUE(registry.openKeyReadOnly(QStringLiteral("\\Software\\Korvandelis\\ZelmoraViewer")));
    EXPECT_FALSE(registry.openKeyReadOnly(QStringLiteral("\\Software\\Korvandelis\\Other")));
    ASSERT_TRUE(registry.openKeyReadOnly(
        QStringLiteral("Software/Korvandelis/ZelmoraViewer/2/Positions/Main/")));
    EXPECT_EQ(registry.readInteger(QStringLiteral("Left")), 7);
    registry.closeKey();

    // An existing key also opens for writing without permission to create.
    EXPECT_TRUE(registry.openKey(kPositions, false));
}

TEST(RegistryAccessor, ValuesSurviveIntoTheNextProgramRun)
{
    const QString strings[] = {
        QString(),
        QStringLiteral("C:\\Daten\\lauf 1.mpr"),
        QStringLiteral("/home/anna/Größe €, März.mpr"),
        QStringLiteral("int:5"),
        QStringLiteral("str:text"),
        QStringLiteral("@ByteArray(x)"),
        QStringLiteral("a,b,c"),
        QStringLiteral("  leading and trailing  "),
        QStringLiteral("semi;colon=equals \"quoted\" # hash"),
    };
    const int32_t integers[] = {0, 100, -1, std::numeric_limits<int32_t>::min(),
                                std::numeric_limits<int32_t>::max()};
    TempSettings settings;
    {
        TRegistryAccessor& registry = settings.accessor();
        ASSERT_TRUE(registry.openKey(kPositions, true));
        int i = 0;
        for (const QString& text : strings)
            registry.writeString(QStringLiteral("S%1").arg(i++), text);
        i = 0;
        for (int32_t number : integers)
            registry.writeInteger(QStringLiteral("I%1").arg(i++), number);
        registry.closeKey();
    }
    TRegistryAccessor nextRun;
    ASSERT_TRUE(nextRun.openKeyReadOnly(kPositions));
    int i = 0;
    for (const QString& text : strings) {
        const QString name = QStringLiteral("S%1").arg(i++);
        EXPECT_TRUE(nextRun.valueExists(name));
        EXPECT_EQ(nextRun.readString(name), text) << name.toStdString();
    }
    i = 0;
    for (int32_t number : integers) {
        const QString name = QStringLiteral("I%1").arg(i++);
        EXPECT_EQ(nextRun.readInteger(name), number) << name.toStdString();
    }
}

TEST(RegistryAccessor, MissingAndMistypedValuesRaiseTheirGermanErrors)
{
    TempSettings settings;
    TRegistryAccessor& registry = settings.accessor();
    ASSERT_TRUE(registry.openKey(kPositions, true));
    registry.writeString(QStringLiteral("Width"), QStringLiteral("640"));
    registry.writeInteger(QStringLiteral("Pfad"), 3);
    registry.closeKey();

    // Reading without an open key is the same as a missing value.
    EXPECT_EQ(readError([&] { registry.readInteger(QStringLiteral("Left")); }),
              "Fehler beim Holen der Daten f\xC3\xBCr 'Left'");

    ASSERT_TRUE(registry.openKeyReadOnly(kPositions));
    EXPECT_FALSE(registry.valueExists(QStringLiteral("Left")));
    EXPECT_EQ(readError([&] { registry.readInteger(QStringLiteral("Left")); }),
              "Fehler beim Holen der Daten f\xC3\xBCr 'Left'");
    EXPECT_EQ(readError([&] { registry.readString(QStringLiteral("Größe")); }),
              "Fehler beim Holen der Daten f\xC3\xBCr 'Gr\xC3\xB6\xC3\x9F"
              "e'");
    EXPECT_EQ(readError([&] { registry.readInteger(QStringLiteral("Width")); }),
              "Ung\xC3\xBCltiger Datentyp f\xC3\xBCr 'Width'");
    EXPECT_EQ(readError([&] { registry.readString(QStringLiteral("Pfad")); }),
              "Ung\xC3\xBCltiger Datentyp f\xC3\xBCr 'Pfad'");
}

TEST(RegistryAccessor, HandEditedValuesAreStringsOrBroken)
{
    TempSettings settings;
    {
        std::ofstream ini(settings.file().toStdString());
        ini << "[Software]\n"
               "Korvandelis\\ZelmoraViewer\\2\\Positions\\Main\\Plain=100\n"
               "Korvandelis\\ZelmoraViewer\\2\\Positions\\Main\\Huge=int:99999999999\n"
               "Korvandelis\\ZelmoraViewer\\2\\Positions\\Main\\Junk=int:12abc\n"
               "Korvandelis\\ZelmoraViewer\\2\\Positions\\Main\\List=a, b\n";
    }
    TRegistryAccessor& registry = settings.accessor();
    ASSERT_TRUE(registry.openKeyReadOnly(kPositions));
    EXPECT_EQ(registry.readString(QStringLiteral("Plain")), QStringLiteral("100"));
    for (const char* name : {"Plain", "Huge", "Junk", "List"}) {
        EXPECT_EQ(readError([&] { registry.readInteger(QString::fromLatin1(name)); }),
                  std::string("Ung\xC3\xBCltiger Datentyp f\xC3\xBCr '") + name + "'");
    }
    EXPECT_EQ(readError([&] { registry.readString(QStringLiteral("List")); }),
              "Ung\xC3\xBCltiger Datentyp f\xC3\xBCr 'List'");
}

TEST(RegistryAccessor, FileKeepsTheKeyPathsAndTypeMarks)
{
    TempSettings settings;
    TRegistryAccessor& registry = settings.accessor();
    ASSERT_TRUE(registry.openKey(kPositions, true));
    registry.writeInteger(QStringLiteral("Left"), -12);
    registry.writeString(QStringLiteral("Name"), QStringLiteral("x"));
    registry.closeKey();

    QSettings raw(settings.file(), QSettings::IniFormat);
    raw.beginGroup(QStringLiteral("Software/Korvandelis/ZelmoraViewer/2/Positions/Main"));
    EXPECT_EQ(raw.value(QStringLiteral("Left")).toString(), QStringLiteral("int:-12"));
    EXPECT_EQ(raw.value(QStringLiteral("Name")).toString(), QStringLiteral("str:x"));
}

TEST(RegistryAccessor, WritesWithoutAWritableKeyAreDropped)
{
    TempSettings settings;
    TRegistryAccessor& registry = settings.accessor();
    ASSERT_TRUE(registry.openKey(kPositions, true));
    registry.writeInteger(QStringLiteral("Left"), 1);
    registry.closeKey();

    registry.writeInteger(QStringLiteral("Left"), 2);
    ASSERT_TRUE(registry.openKeyReadOnly(kPositions));
    registry.writeInteger(QStringLiteral("Left"), 3);
    registry.writeString(QStringLiteral("Top"), QStringLiteral("4"));
    registry.closeKey();

    ASSERT_TRUE(registry.openKeyReadOnly(kPositions));
    EXPECT_EQ(registry.readInteger(QStringLiteral("Left")), 1);
    EXPECT_FALSE(registry.valueExists(QStringLiteral("Top")));
}

TEST(RegistryAccessor, StoreThatCannotBeWrittenDropsWritesSilently)
{
    TempSettings settings(TempSettings::Kind::Unwritable);
    TRegistryAccessor& registry = settings.accessor();
    EXPECT_FALSE(registry.openKey(kPositions, true));
    EXPECT_FALSE(registry.hasOpenKey());
    EXPECT_NO_THROW(registry.writeInteger(QStringLiteral("Left"), 5));
    EXPECT_NO_THROW(registry.closeKey());
    EXPECT_FALSE(registry.openKeyReadOnly(kPositions));
}

} // namespace
