#include "ProgramEntry.h"

#include "LocalFileName.h"
#include "TDocumentEditorForm.h"
#include "TFile.h"
#include "TQRPrintDialog.h"
#include "TQuickRep.h"
#include "TRegistryAccessor.h"
#include "TViewerDialogs.h"
#include "ViewerText.h"

#include <QApplication>

#include <memory>

const char* const kViewerTitle = "ZelmoraViewer 2.0.3";

namespace {

constexpr int kFatalExitCode = 255;

int Fatal(const QString& message)
{
    TViewerDialogs::Current().ShowFatal(message);
    return kFatalExitCode;
}

} // namespace

int RunViewer(const QStringList& arguments, bool runLoop)
{
    if (arguments.size() > 1)
        return Fatal(QStringLiteral("Aufruf: ZelmoraViewer [<Protokoll-Datei>]"));
    static std::unique_ptr<TRegistryAccessor> registry;
    if (!TRegistryAccessor::shared())
        registry = std::make_unique<TRegistryAccessor>();
    TRegistryAccessor::shared()->setRootKey(TRegistryAccessor::kProgramRoot);

    QString path;
    if (arguments.size() == 1) {
        path = FileNameFromBytes(QByteArray::fromStdString(
            ExpandFileName(FileNameBytes(arguments.first()).toStdString())));
        if (!FileNameIsFile(path)) {
            const QString message = QStringLiteral("Das Statistik-Protokoll \"%1\" gibt es nicht.")
                                        .arg(ShownFileName(path));
            // A start message is at most 255 characters long.
            return Fatal(message.left(255));
        }
    }
    QApplication::setApplicationName(QString::fromLatin1(kViewerTitle));

    TQuickRep::PrintDialog = &TQRPrintDialog::Run;
    auto* form = new TDocumentEditorForm;
    TDocumentEditorForm::SetMainForm(form);
    form->SetAppTitle(QString::fromLatin1(kViewerTitle));
    if (!path.isEmpty()) {
        try {
            form->LoadFile(path);
        } catch (const std::exception& e) {
            TViewerDialogs::Current().ShowError(form, FromUtf8(e.what()));
            delete form;
            return 1;
        }
    }
    form->show();
    return runLoop ? QApplication::exec() : 0;
}
