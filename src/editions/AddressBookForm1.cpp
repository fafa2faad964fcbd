#include "editions/AddressBookForm1.h"

#include "edition/Profile.h"
#include "editions/AddressBookRules.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/Twips.h"
#include "platform/ui/WindowRegistry.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

namespace editions {

AddressBookForm1::AddressBookForm1(QWidget* parent) : Form1(parent)
{
    // No web links and no logo.
    delete Command1[6];
    Command1[6] = nullptr;
    delete Image3;
    Image3 = nullptr;

    List1->setFont(QApplication::font());
    List1->setGeometry(ui::twipsRect(360, 840, 3255, 5820));
    const std::pair<int, int> tops[6] = {{2, 840}, {1, 1800}, {3, 2760}, {4, 3720}, {5, 4680}, {0, 5640}};
    for (const auto& [i, top] : tops)
        Command1[size_t(i)]->setGeometry(ui::twipsRect(3840, top, 1455, 735));
    Label2->setGeometry(ui::twipsRect(360, 6720, 9735, 255));

    Label1[1] = new QLabel(edition::profile().EditionName, this);
    ui::name(Label1[1], QStringLiteral("Label1"), 1);
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"), 12);
    font.setBold(true);
    Label1[1]->setFont(font);
    QPalette p = Label1[1]->palette();
    p.setColor(QPalette::WindowText, QColor(0, 128, 0));
    Label1[1]->setPalette(p);
    Label1[1]->setGeometry(ui::twipsRect(240, 360, 3495, 375));
}

QString AddressBookForm1::DatabaseListLine(const QDir&, const QString& fileName) const
{
    return BareDatabaseName(fileName);
}

void AddressBookForm1::Command1_Click(int index)
{
    if (index < 0 || index > 5)
        return;
    if (index != 4) {
        Form1::Command1_Click(index);
        return;
    }
    // A book that cannot be opened has been reported; the menu stays for another choice.
    if (!OpenCurrentBook())
        return;
    auto& registry = ui::WindowRegistry::instance();
    registry.show(QStringLiteral("Form2"));
    const QWidget* settings = registry.find(QStringLiteral("Form2"));
    if (settings && settings->isVisible())
        close();
}

} // namespace editions
