#include "ui/qt_translations.h"

#include <QCoreApplication>
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
    // Qt's catalogue is built into the program (Windows has no system folder of them).
    if (!translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QStringLiteral(":/qt-translations"))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

} // namespace zrk6
