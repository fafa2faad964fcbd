#include "shell/Form2.h"
#include "edition/Profile.h"

#include "platform/text/Cp932.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/FocusCommit.h"
#include "platform/ui/InputMode.h"
#include "platform/ui/Twips.h"
#include "shell/Formats.h"
#include "shell/Helpers.h"
#include "shell/Module1.h"
#include "shell/SettingsStore.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

using namespace Module1;


namespace {

const QString kTooLong = QStringLiteral("入力データが不正またはデータが長すぎます");

QGroupBox* frame(QWidget* parent, const QString& systemName, const QString& caption)
{
    auto* f = new QGroupBox(caption, parent);
    ui::name(f, systemName);
    f->setStyleSheet(QStringLiteral("QGroupBox::title { color: blue; }"));
    return f;
}

} // namespace

Form2::Form2(QWidget* parent) : ui::Window(parent)
{
    ui::name(this, QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("各種設定"));
    resize(ui::twips(15400), ui::twips(11300));

    BuildFrame2();

    for (int i : {0, 9}) {
        auto* b = new QPushButton(i == 0 ? QStringLiteral("編集") : QStringLiteral("終了"), this);
        ui::name(b, QStringLiteral("Command2"), i);
        b->setGeometry(i == 0 ? ui::twipsRect(12960, 240, 855, 495) : ui::twipsRect(14040, 240, 855, 495));
        connect(b, &QPushButton::clicked, this, [this, i] { Command2_Click(i); });
        Command2[size_t(i)] = b;
    }

    Label2[2] = new QLabel(QStringLiteral("住所録タイトル"), this);
    ui::name(Label2[2], QStringLiteral("Label2"), 2);
    Label2[2]->setGeometry(ui::twipsRect(10320, 720, 1335, 255));
    Text3 = new QLineEdit(this);
    ui::name(Text3, QStringLiteral("Text3"), 0, QStringLiteral("住所録タイトル"));
    Text3->setGeometry(ui::twipsRect(10320, 1080, 4695, 270));
    Watch(Text3, [this] { Text3_LostFocus(0); }, [this] { Text3_GotFocus(0); });

    BuildFrame1();
    BuildFrame3();
}

ui::FocusCommit* Form2::Watch(QLineEdit* box, std::function<void()> lostFocus, std::function<void()> gotFocus)
{
    ui::FocusCommit* c = ui::onLostFocus(box, std::move(lostFocus));
    c->setGotFocus(std::move(gotFocus));
    Commits.insert(box, c);
    return c;
}

void Form2::BuildFrame1()
{
    Frame1 = frame(this, QStringLiteral("Frame1"), QStringLiteral("登録区分"));
    Frame1->setGeometry(ui::twipsRect(10200, 1800, 5055, 6975));

    const QString captions[2] = {QStringLiteral("追加登録"), QStringLiteral("更新")};
    const QRect places[2] = {ui::twipsRect(360, 240, 855, 495), ui::twipsRect(1440, 240, 975, 495)};
    for (int i = 0; i < 2; ++i) {
        auto* b = new QPushButton(captions[i], Frame1);
        ui::name(b, QStringLiteral("Command1"), i);
        b->setGeometry(places[i]);
        connect(b, &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
        Command1[size_t(i)] = b;
    }

    Label2[0] = new QLabel(QStringLiteral("■編集：［編集］→リスト選択→修正→［更新］"), Frame1);
    ui::name(Label2[0], QStringLiteral("Label2"), 0);
    // As wide as the name box: the substitute font is wider than the old one.
    Label2[0]->setGeometry(ui::twipsRect(240, 840, 4575, 255));

    Text1 = new QLineEdit(Frame1);
    ui::name(Text1, QStringLiteral("Text1"), -1, QStringLiteral("登録区分"));
    Text1->setGeometry(ui::twipsRect(120, 1200, 4695, 270));
    ui::setInputMode(Text1, ui::InputMode::Hiragana);
    Watch(Text1, [this] { Text1_LostFocus(); }, [this] { Text1_GotFocus(); });

    List1 = new QListWidget(Frame1);
    ui::name(List1, QStringLiteral("List1"), -1, QStringLiteral("登録区分一覧"));
    List1->setGeometry(ui::twipsRect(120, 1560, 4695, 5640));
    QPalette p = List1->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Button));
    List1->setPalette(p);
    connect(List1, &QListWidget::itemSelectionChanged, this, &Form2::List1_Click);
}

void Form2::formLoad()
{
    SettingsDbFile = CurrentDbFile;
    Book = CurrentDb;
    TitleSize = settings::textFieldSize(Book, settings::SettingsTable, BookSettings::Title);
    CategoryNameSize = settings::textFieldSize(Book, settings::CategoryTable, settings::CategoryName);
    for (int i = 0; i < settings::FieldCaptionCount; ++i)
        CaptionSizes[size_t(i)] = settings::textFieldSize(Book, settings::CaptionTable, settings::fieldCaption(i).field);

    QVariant title;
    try {
        SettingsRs = Book.openRecordset(settings::SettingsTable, db::RecordsetType::Table);
        ShowTitle();
        if (!SettingsRs.eof())
            title = SettingsRs.value(BookSettings::Title);
        OpenCategories();
        SettingsCaptionRs = Book.openRecordset(settings::CaptionTable, db::RecordsetType::Dynaset);
    } catch (const db::Error& e) {
        ReportError(e);
    }
    SetCaption(QStringLiteral("各種設定　") + title.toString() + QString(10, QLatin1Char(' ')) + SettingsDbFile.FullPath);

    FillCategoryList();
    LoadFieldCaptions();
    SettingsEditMode = false;
    for (QLineEdit* box : Text2)
        box->setReadOnly(true);
}

void Form2::SetCaption(const QString& title)
{
    setWindowTitle(FitBytes(title, 160) + FormatCaptionDate(ui::dialogs().today()));
}

void Form2::ShowTitle()
{
    try {
        const QVariant title = SettingsRs.eof() ? QVariant() : SettingsRs.value(BookSettings::Title);
        Text3->setText(title.isNull() ? edition::profile().EditionName : title.toString());
        Text3->setCursorPosition(0);  // a long title shows its start
    } catch (const db::Error& e) {
        ReportError(e);
    }
}

void Form2::OpenCategories()
{
    SettingsCategoryRs.close();
    SettingsCategoryRs = Book.openRecordset(settings::CategoryTable, db::RecordsetType::Dynaset);
}

void Form2::closeEvent(QCloseEvent* event)
{
    // Closing commits the box being edited, as leaving it would.
    if (ui::FocusCommit* c = Commits.value(focusWidget()))
        c->commit();
    ui::Window::closeEvent(event);
}

// ---- edit mode ----

void Form2::Command2_Click(int index)
{
    if (index == 9) {
        close();
        return;
    }
    if (index != 0)
        return;
    SettingsEditMode = !SettingsEditMode;
    Command2[0]->setText(SettingsEditMode ? QStringLiteral("編集解除") : QStringLiteral("編集処理"));
    for (QLineEdit* box : Text2)
        box->setReadOnly(!SettingsEditMode);
}

void Form2::SelectOnEntry(QLineEdit* box)
{
    // After the click that brought the focus has placed the cursor.
    QTimer::singleShot(0, box, [box] {
        if (box->hasFocus())
            box->selectAll();
    });
}

bool Form2::Fits(QLineEdit* box, int limit)
{
    if (limit <= 0 || text::byteWidth(box->text()) <= limit)
        return true;
    ui::dialogs().beep();
    ui::dialogs().message(kTooLong);
    ui::refocusLater(box);
    return false;
}

// ---- title ----

void Form2::Text3_GotFocus(int)
{
    if (SettingsEditMode && !Text3->text().isEmpty())
        SelectOnEntry(Text3);
}

void Form2::Text3_LostFocus(int)
{
    if (!SettingsEditMode)
        return;
    if (Text3->text().isEmpty()) {
        ui::dialogs().beep();
        ui::refocusLater(Text3);
        return;
    }
    if (!Fits(Text3, TitleSize))
        return;
    StoreTitle(Text3->text());
}

void Form2::StoreTitle(const QString& title)
{
    try {
        SettingsRs.edit();
        SettingsRs.setValue(BookSettings::Title, title.isNull() ? QStringLiteral("") : title);
        SettingsRs.update();
    } catch (const db::Error& e) {
        // The title stored before stays.
        if (SettingsRs.isOpen())
            SettingsRs.cancelUpdate();
        ReportError(e);
    }
}

// ---- categories ----

void Form2::FillCategoryList()
{
    const QSignalBlocker block(List1);
    Text1->clear();
    List1->clear();
    CategoryRows.clear();
    SelectedCategoryIndex = -1;
    if (!SettingsCategoryRs.isOpen())
        return;
    try {
        if (SettingsCategoryRs.recordCount() == 0)
            return;
        QStringList names;
        for (SettingsCategoryRs.moveFirst(); !SettingsCategoryRs.eof(); SettingsCategoryRs.moveNext()) {
            names << SettingsCategoryRs.text(settings::CategoryName);  // Null shows as the empty text
            CategoryRows << SettingsCategoryRs.bookmark();
        }
        List1->addItems(names);
    } catch (const db::Error& e) {
        ReportError(e);
    }
}

void Form2::List1_Click()
{
    if (PickCategory())
        Text1->setFocus(Qt::OtherFocusReason);
}

bool Form2::PickCategory()
{
    const int row = List1->currentRow();
    if (row < 0 || row >= CategoryRows.size() || !List1->item(row)->isSelected())
        return false;
    try {
        SettingsCategoryRs.setBookmark(CategoryRows[row]);
        SelectedCategoryIndex = row;
        Text1->setText(SettingsCategoryRs.text(settings::CategoryName));
        Text1->setCursorPosition(0);
    } catch (const db::Error& e) {
        ReportError(e);
        return false;
    }
    return true;
}

void Form2::Text1_GotFocus()
{
    if (SettingsEditMode && !Text1->text().isEmpty())
        SelectOnEntry(Text1);
}

void Form2::Text1_LostFocus()
{
    Command1_Click(1);
}

void Form2::Command1_Click(int index)
{
    if (index == 1) {
        if (!Text1->text().isEmpty())
            RenameCategory();
        return;
    }
    if (index != 0)
        return;
    try {
        const std::optional<qint64> code = settings::nextCategoryCode(SettingsCategoryRs);
        if (!code) {
            ui::dialogs().beep();
            return;
        }
        SettingsCategoryRs.addNew();
        SettingsCategoryRs.setValue(settings::CategoryCode, *code);
        SettingsCategoryRs.setValue(settings::CategoryName, QStringLiteral("新規名称"));
        SettingsCategoryRs.update();
        OpenCategories();
    } catch (const db::Error& e) {
        if (SettingsCategoryRs.isOpen())
            SettingsCategoryRs.cancelUpdate();
        ReportError(e);
    }
    FillCategoryList();
}

void Form2::RenameCategory()
{
    if (!SettingsEditMode || Text1->text().isEmpty())
        return;
    // Only the line the user picked, and only while it is still in the list.
    if (SelectedCategoryIndex < 0 || SelectedCategoryIndex >= CategoryRows.size()) {
        ui::dialogs().beep();
        return;
    }
    if (!Fits(Text1, CategoryNameSize))
        return;
    try {
        SettingsCategoryRs.setBookmark(CategoryRows[SelectedCategoryIndex]);
        SettingsCategoryRs.edit();
        SettingsCategoryRs.setValue(settings::CategoryName, Text1->text());
        SettingsCategoryRs.update();
    } catch (const db::Error& e) {
        if (SettingsCategoryRs.isOpen())
            SettingsCategoryRs.cancelUpdate();
        ReportError(e);
        return;
    }
    FillCategoryList();
}
