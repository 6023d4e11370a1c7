#include "InstallQtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

#include <memory>

bool InstallQtTranslation()
{
    // The application owns the translator; a second call finds it installed.
    static QPointer<QTranslator> installed;
    if (installed)
        return true;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_de"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator.get()))
        return false;
    translator->setParent(QCoreApplication::instance());
    installed = translator.release();
    return true;
}
