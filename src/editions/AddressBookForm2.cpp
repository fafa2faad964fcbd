#include "editions/AddressBookForm2.h"

#include "platform/ui/Accessibility.h"
#include "platform/ui/Twips.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace editions {

namespace {

QLabel* frameLabel(QWidget* frame, const QString& text, int index, const QRect& place)
{
    auto* l = new QLabel(text, frame);
    ui::name(l, QStringLiteral("Label2"), index);
    l->setGeometry(place);
    return l;
}

} // namespace

AddressBookForm2::AddressBookForm2(QWidget* parent) : Form2(parent)
{
    Frame1->setTitle(QStringLiteral("タイトル、登録区分設定"));
    Frame1->setGeometry(ui::twipsRect(10200, 720, 5055, 8055));

    Label2[2]->setParent(Frame1);
    Label2[2]->setGeometry(ui::twipsRect(240, 300, 1335, 255));
    Label2[2]->show();
    Text3->setParent(Frame1);
    Text3->setGeometry(ui::twipsRect(120, 600, 4695, 270));
    Text3->show();

    Label2[3] = frameLabel(Frame1, QStringLiteral("登録区分"), 3, ui::twipsRect(240, 1020, 1215, 255));
    QFont bold = Label2[3]->font();
    bold.setBold(true);
    Label2[3]->setFont(bold);

    Command1[0]->setText(QStringLiteral("登録"));
    Command1[0]->setGeometry(ui::twipsRect(360, 1320, 855, 495));
    Command1[1]->setGeometry(ui::twipsRect(1440, 1320, 975, 495));
    Label2[0]->setGeometry(ui::twipsRect(240, 1920, 4575, 255));
    Label2[1] = frameLabel(Frame1, QStringLiteral("■追加：［編集］→テキスト入力→［登録］"), 1, ui::twipsRect(240, 2220, 4575, 255));
    Text1->setGeometry(ui::twipsRect(120, 2580, 4695, 270));
    List1->setGeometry(ui::twipsRect(120, 2940, 4695, 4920));
    QWidget::setTabOrder(Text3, Command1[0]);

    Frame3->setTitle(QStringLiteral("住所録の初期化"));
    Check1[0]->setText(QStringLiteral("タイトル、ラベルを初期化"));
    Label5[1]->setText(QStringLiteral("新規登録"));
    // The count box is read by the label beside it.
    Text4->setAccessibleName(Label5[1]->text());
}

void AddressBookForm2::Command1_Click(int index)
{
    // Both buttons wait for a name in the box; "登録" still adds "新規名称".
    if (Text1->text().isEmpty())
        return;
    Form2::Command1_Click(index);
}

void AddressBookForm2::List1_Click()
{
    PickCategory();
}

void AddressBookForm2::Text1_LostFocus()
{
    // A name typed for a new category renames nothing and makes no sound; "登録" adds it.
    if (SelectedCategoryIndex < 0)
        return;
    Form2::Text1_LostFocus();
}

void AddressBookForm2::Text3_LostFocus(int)
{
    if (!SettingsEditMode)
        return;
    // An emptied box stores the empty text (not Null), so captions show an empty title.
    if (!Fits(Text3, TitleSize))
        return;
    StoreTitle(Text3->text());
}

} // namespace editions
