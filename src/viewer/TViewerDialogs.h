#pragma once

#include <QString>

class QWidget;

// The modal dialogs of the viewer behind one seam, so that tests drive the window without a
// real modal dialog. The program uses the Qt implementation; tests install their own.
class TViewerDialogs {
public:
    virtual ~TViewerDialogs() = default;

    // The application's standard error report: a message box with the message text.
    virtual void ShowError(QWidget* parent, const QString& message) = 0;
    // A fatal start message: a modal box with the error icon and the caption "Fehler".
    virtual void ShowFatal(const QString& message) = 0;
    // The load dialog, started in the folder of defaultFileName; the chosen path, or an empty
    // string when the user cancelled.
    virtual QString ChooseLogFile(QWidget* parent, const QString& defaultFileName) = 0;
    // A warning about a command that cannot be done as asked.
    virtual void ShowWarning(QWidget* parent, const QString& message) = 0;
    // The dialog for a file to write, offering suggestedPath; the chosen path (an existing file
    // only after the user agreed to replace it), or an empty string when the user cancelled.
    virtual QString ChooseSaveFile(QWidget* parent, const QString& title,
                                   const QString& suggestedPath, const QString& filter,
                                   const QString& suffix) = 0;

    // The dialogs in use; the Qt dialogs unless a test installed others.
    static TViewerDialogs& Current();
    // Installs dialogs (not owned) or, with nullptr, the Qt dialogs again.
    static void Install(TViewerDialogs* dialogs);
};

// The real dialogs.
class TQtViewerDialogs : public TViewerDialogs {
public:
    void ShowError(QWidget* parent, const QString& message) override;
    void ShowFatal(const QString& message) override;
    QString ChooseLogFile(QWidget* parent, const QString& defaultFileName) override;
    void ShowWarning(QWidget* parent, const QString& message) override;
    QString ChooseSaveFile(QWidget* parent, const QString& title, const QString& suggestedPath,
                           const QString& filter, const QString& suffix) override;
};
