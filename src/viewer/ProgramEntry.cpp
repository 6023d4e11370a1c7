#include "ProgramEntry.h"

#include "LocalFileName.h"
#include "ProductIdentity.h"
#include "ReportFonts.h"
#include "TDocumentEditorForm.h"
#include "TFile.h"
#include "TQRPrintDialog.h"
#include "TQuickRep.h"
#include "TRegistryAccessor.h"
#include "TViewerApplication.h"
#include "TViewerDialogs.h"

#include <QApplication>
#include <QByteArray>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <ostream>

const char* const kCheckDisplayOption = "--check-display";

namespace {

constexpr int kFatalExitCode = 255;
constexpr char kUsage[] = "Aufruf: ZelmoraViewer [<Protokoll-Datei>]";

// What Qt says while its platform starts: worth showing only when the start succeeds.
QByteArray& StartMessages()
{
    static QByteArray messages;
    return messages;
}

QString NoWindowSystemMessage()
{
    QStringList settings;
    for (const char* name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty())
            settings << QString::fromLatin1(name) + QLatin1Char('=') + value;
    }
    const QString reason =
        settings.isEmpty()
            ? QString::fromUtf8("es ist keine Anzeige eingestellt (DISPLAY, WAYLAND_DISPLAY)")
            : QString::fromUtf8("die Anzeige ist nicht erreichbar (%1)")
                  .arg(settings.join(QStringLiteral(", ")));
    return QString::fromUtf8("ZelmoraViewer kann hier kein Fenster öffnen: %1.").arg(reason);
}

void StartMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type != QtFatalMsg) {
        StartMessages() += qFormatLogMessage(type, context, text).toLocal8Bit() + '\n';
        return;
    }
    // Qt's fatal message here means no platform plugin could start; it would abort next.
    const QByteArray message = NoWindowSystemMessage().toLocal8Bit() + '\n';
    std::fwrite(message.constData(), 1, static_cast<size_t>(message.size()), stderr);
    std::fflush(stderr);
    // The half-built application must not be torn down by exit handlers.
    std::_Exit(1);
}

int Fatal(const QString& message)
{
    TViewerDialogs::Current().ShowFatal(message);
    return kFatalExitCode;
}

} // namespace

int RunViewer(const QStringList& arguments, bool runLoop)
{
    if (arguments.size() > 1)
        return Fatal(QString::fromLatin1(kUsage));
    static std::unique_ptr<TRegistryAccessor> registry;
    if (!TRegistryAccessor::shared())
        registry = std::make_unique<TRegistryAccessor>();
    TRegistryAccessor::shared()->setRootKey(TRegistryAccessor::kProgramRoot);

    QString path;
    if (arguments.size() == 1) {
        path = FileNameFromBytes(QByteArray::fromStdString(
            ExpandFileName(FileNameBytes(arguments.first()).toStdString())));
        // What is there but is no regular file (a FIFO, a device) exists all the same: loading
        // refuses it, without opening it.
        if (!FileNameExistsBesideFolders(path)) {
            const QString message = QStringLiteral("Das Statistik-Protokoll \"%1\" gibt es nicht.")
                                        .arg(ShownFileName(path));
            // A start message is at most 255 characters long.
            return Fatal(message.left(255));
        }
    }
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    QApplication::setWindowIcon(TDocumentEditorForm::ApplicationIcon());
    RegisterReportFonts();

    TQuickRep::PrintDialog = &TQRPrintDialog::Run;
    auto* form = new TDocumentEditorForm;
    TDocumentEditorForm::SetMainForm(form);
    form->SetAppTitle(QString::fromLatin1(kApplicationTitle));
    if (!path.isEmpty()) {
        if (!form->LoadFileReported(path)) {
            delete form;
            return 1;
        }
    }
    form->show();
    return runLoop ? QApplication::exec() : 0;
}

int AnswerInformationOption(const QStringList& arguments, std::ostream& out)
{
    if (arguments == QStringList{QStringLiteral("--help")}) {
        out << kUsage << "\n"
            << "Zeigt ein Statistik-Protokoll (.mpr) an, auf Deutsch oder Englisch, und druckt "
               "es.\n"
               "\n"
               "  --check-display  nur prüfen, ob sich hier ein Fenster öffnen lässt\n"
               "  --help           diese Hilfe zeigen\n"
               "  --version        die Version zeigen\n"
               "\n"
               "Rückgabewert: 0 nach dem Schließen des Fensters; 1, wenn sich das Protokoll der\n"
               "Befehlszeile nicht lesen oder kein Fenster öffnen lässt; 255 bei falschem Aufruf\n"
               "oder einem Protokoll, das es nicht gibt.\n";
        return 0;
    }
    if (arguments == QStringList{QStringLiteral("--version")}) {
        out << kApplicationTitle << "\n" << kMakerNotice << "\n";
        return 0;
    }
    return -1;
}

std::unique_ptr<QApplication> CreateApplication(int& argc, char** argv)
{
    StartMessages().clear();
    const QtMessageHandler previous = qInstallMessageHandler(StartMessageHandler);
    auto application = std::make_unique<TViewerApplication>(argc, argv);
    qInstallMessageHandler(previous);
    std::fwrite(StartMessages().constData(), 1, static_cast<size_t>(StartMessages().size()),
                stderr);
    StartMessages().clear();
    return application;
}
