#include <QApplication>

#include "platform/ui/Fonts.h"
#include "platform/ui/Translations.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    ui::installFontSubstitutions();
    ui::installJapaneseTranslations(app);
    QApplication::setQuitOnLastWindowClosed(true);
    return 0;
}
