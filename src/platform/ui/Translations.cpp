#include "platform/ui/Translations.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace ui {

bool installJapaneseTranslations(QApplication& app)
{
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    // "qt_ja" gathers the translations of the Qt modules; "qtbase_ja" alone is enough for the
    // file and print dialogs where the gathering file is missing.
    for (const char* catalogue : {"qt_ja", "qtbase_ja"}) {
        auto* translator = new QTranslator(&app);
        if (translator->load(QString::fromLatin1(catalogue), folder) && QApplication::installTranslator(translator))
            return true;
        delete translator;
    }
    return false;
}

}  // namespace ui
