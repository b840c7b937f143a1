#include "ui/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace zrk6 {

bool UseQtTranslations(LanguageMode language)
{
    // One translator of our own on the application, replaced on every change of language.
    static const QString name = QStringLiteral("zrk6QtTranslator");
    QLocale::setDefault(NormalizeLanguage(language) == kChinese ? QLocale(QLocale::Chinese, QLocale::China)
                                                                : QLocale::system());
    QCoreApplication *app = QCoreApplication::instance();
    if (app == nullptr)
        return false;
    if (auto *old = app->findChild<QTranslator *>(name, Qt::FindDirectChildrenOnly)) {
        QCoreApplication::removeTranslator(old);
        delete old;
    }
    if (NormalizeLanguage(language) != kChinese)
        return true;
    auto *translator = new QTranslator(app);
    translator->setObjectName(name);
    // "qt" is the catalogue that pulls in qtbase and the other modules' texts.
    if (!translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qt"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

} // namespace zrk6
