#pragma once

// Qt's own dialogs (file, print, message boxes) speak German like the rest of the program: loads
// Qt's German translation from Qt's translations folder into the application, whatever the
// user's language settings. A QCoreApplication must exist. False when the translation is not
// installed (Debian: qt6-translations-l10n); Qt's English texts stay then.
bool InstallQtTranslation();
