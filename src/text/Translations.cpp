#include "text/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace stowage::Translations {

namespace {

// The compiled catalogues sit in the program's resources under this folder.
const QString catalogueFolder = QStringLiteral(":/i18n");

// The translator belongs to the application object and lives as long as it.
bool install(const QLocale& locale, const QString& name, const QString& folder)
{
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(locale, name, QStringLiteral("_"), folder) && QCoreApplication::installTranslator(translator))
        return true;
    delete translator;
    return false;
}

}  // namespace

void installEnglish()
{
    install(QLocale(QLocale::English), QStringLiteral("stowage"), catalogueFolder);
}

void installFor(const QLocale& locale)
{
    installEnglish();
    // Installed last, searched first: a text the language lacks falls back to English.
    if (install(locale, QStringLiteral("stowage"), catalogueFolder))
        install(locale, QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

}  // namespace stowage::Translations
