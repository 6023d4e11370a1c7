// The viewer program as a shell starts it: answers that need no display, and a display that
// cannot be used.
#include "MprWriter.h"
#include "ProductIdentity.h"
#include "Samples.h"
#include "TempDir.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

struct ProgramRun {
    int code = -1;
    QString out, err;
};

// The viewer with no window system set, then the given variables.
ProgramRun RunProgram(const QStringList& arguments, const QStringList& variables,
                      const TempDir& runtime)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE"})
        environment.remove(QString::fromLatin1(name));
    // Wayland's client library complains on its own without a runtime folder.
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"),
                       QString::fromStdString(runtime.Root().string()));
    for (const QString& variable : variables)
        environment.insert(variable.section(QLatin1Char('='), 0, 0),
                           variable.section(QLatin1Char('='), 1));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(ZELMORA_VIEWER_BINARY), arguments);
    if (!program.waitForFinished(30000))
        return {};
    ProgramRun run;
    run.code = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    run.out = QString::fromUtf8(program.readAllStandardOutput());
    run.err = QString::fromUtf8(program.readAllStandardError());
    return run;
}

} // namespace

TEST(ViewerCommandLine, AnswersAndDisplayFailures)
{
    const TempDir runtime;
    std::filesystem::permissions(runtime.Root(), std::filesystem::perms::owner_all);
    const TempDir dir;
    const SampleLog sample = AllSamples()[0];
    const QString log = QString::fromStdString(dir.Path(sample.FileName));
    WriteFileBytes(log.toStdString(), MprFile(sample.Document, sample.Options));
    struct Case {
        QStringList arguments;
        QStringList variables;
        int code;
        QString outStart; // the start of stdout; empty: nothing on stdout
        QString reason;   // why no window opens; empty: nothing on stderr
    };
    const Case cases[] = {
        // Asked for help or the version: stdout, exit 0, no display needed.
        {{"--help"}, {}, 0, "Aufruf: ZelmoraViewer [<Protokoll-Datei>]\n", ""},
        {{"--version"}, {}, 0, QString(kApplicationTitle) + "\n", ""},
        // A stale X display, a Wayland socket that is not there, no display at all, a platform
        // that does not exist: a German line and exit 1, not Qt's abort.
        {{}, {"DISPLAY=:999"}, 1, "", "die Anzeige ist nicht erreichbar (DISPLAY=:999)"},
        {{log},
         {"WAYLAND_DISPLAY=zelmora-no-socket"},
         1,
         "",
         "die Anzeige ist nicht erreichbar (WAYLAND_DISPLAY=zelmora-no-socket)"},
        {{"--check-display"},
         {},
         1,
         "",
         "es ist keine Anzeige eingestellt (DISPLAY, WAYLAND_DISPLAY)"},
        {{"--check-display"},
         {"QT_QPA_PLATFORM=zelmora-none"},
         1,
         "",
         "die Anzeige ist nicht erreichbar (QT_QPA_PLATFORM=zelmora-none)"},
        // A platform that starts passes the check silently.
        {{"--check-display"}, {"QT_QPA_PLATFORM=offscreen"}, 0, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.arguments + c.variables).join(QLatin1Char(' ')).toStdString());
        const ProgramRun run = RunProgram(c.arguments, c.variables, runtime);
        EXPECT_EQ(run.code, c.code);
        const QString err =
            c.reason.isEmpty()
                ? QString()
                : QString::fromUtf8("ZelmoraViewer kann hier kein Fenster öffnen: ") + c.reason +
                      QStringLiteral(".\n");
        EXPECT_EQ(run.err.toStdString(), err.toStdString());
        if (c.outStart.isEmpty())
            EXPECT_EQ(run.out.toStdString(), "");
        else
            EXPECT_TRUE(run.out.startsWith(c.outStart)) << run.out.toStdString();
    }
}
