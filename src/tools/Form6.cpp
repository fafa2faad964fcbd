#include "tools/Form6.h"

#include "edition/Profile.h"
#include "platform/db/Schema.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/FocusCommit.h"
#include "platform/ui/Twips.h"
#include "records/FieldLimits.h"
#include "shell/Formats.h"
#include "shell/Helpers.h"
#include "shell/Module1.h"

#include <QCloseEvent>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringListModel>
#include <QTimer>

using namespace Module1;

namespace {

const QString kTitle = QStringLiteral("Web管理");
const QString kPersons = QStringLiteral("Q_個人台帳登録区分順");
const QString kCategories = QStringLiteral("会員区分ｺｰﾄﾞ表");
const QString kCaptions = QStringLiteral("住所録ラベル");
const QString kCode = QStringLiteral("会員区分コード");
const QString kCategoryName = QStringLiteral("会員区分名称");

// The record fields of the three boxes and the record-window boxes whose limits they share.
const QString kBoxFields[3] = {QStringLiteral("氏名"), QStringLiteral("WebHome"), QStringLiteral("記事")};
constexpr int kRecordBoxes[3] = {2, 30, 28};

// A number taken meanwhile by another window is tried again with the largest number anew.
constexpr int kAddAttempts = 5;

QListView* listView(QWidget* parent, QStringListModel* model, const QString& systemName, const QString& accessibleName)
{
    auto* v = new QListView(parent);
    v->setModel(model);
    v->setUniformItemSizes(true);
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->setSelectionMode(QAbstractItemView::SingleSelection);
    ui::name(v, systemName, -1, accessibleName);
    return v;
}

} // namespace

Form6::Form6(QWidget* parent) : ui::Window(parent)
{
    ui::name(this, QStringLiteral("Form6"));
    setWindowTitle(kTitle);
    resize(ui::twips(15360), ui::twips(10800));

    Label3 = new QLabel(kTitle, this);
    ui::name(Label3, QStringLiteral("Label3"));
    QFont big = Label3->font();
    big.setPointSize(14);
    big.setBold(true);
    Label3->setFont(big);
    Label3->setGeometry(ui::twipsRect(240, 120, 2415, 495));

    const std::pair<int, const char*> buttons[] = {{0, "単独Web起動"}, {1, "全Web起動"}, {2, "編集"},
                                                   {3, "登録"},       {4, "削除"},       {9, "終了"}};
    int left = 3000;
    for (const auto& [i, caption] : buttons) {
        auto* b = new QPushButton(QString::fromUtf8(caption), this);
        ui::name(b, QStringLiteral("Command1"), i);
        b->setGeometry(ui::twipsRect(i == 9 ? 13800 : left, 120, 1335, 495));
        left += 1440;
        connect(b, &QPushButton::clicked, this, [this, i = i] { Command1_Click(i); });
        Command1[size_t(i)] = b;
    }

    const std::pair<int, QRect> labels[] = {{0, ui::twipsRect(240, 840, 3615, 255)},
                                            {1, ui::twipsRect(4080, 840, 6015, 255)},
                                            {3, ui::twipsRect(240, 6960, 1095, 255)},
                                            {4, ui::twipsRect(240, 7440, 1095, 255)},
                                            {5, ui::twipsRect(240, 7920, 1095, 255)}};
    const char* const labelTexts[6] = {"区分（分類）", "サイト名", "", "サイト名", "URL", "記事"};
    for (const auto& [i, place] : labels) {
        Label1[size_t(i)] = new QLabel(QString::fromUtf8(labelTexts[i]), this);
        ui::name(Label1[size_t(i)], QStringLiteral("Label1"), i);
        Label1[size_t(i)]->setGeometry(place);
    }

    CategoryModel = new QStringListModel(this);
    SiteModel = new QStringListModel(this);
    List1 = listView(this, CategoryModel, QStringLiteral("List1"), QStringLiteral("区分（分類）"));
    List1->setGeometry(ui::twipsRect(240, 1200, 3615, 5520));
    List2 = listView(this, SiteModel, QStringLiteral("List2"), QStringLiteral("サイト名"));
    List2->setGeometry(ui::twipsRect(4080, 1200, 6015, 5520));
    connect(List1->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!Filling)
            List1_Click();
    });
    connect(List2->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!Filling)
            List2_Click();
    });

    const char* const boxNames[3] = {"サイト名", "URL", "記事"};
    for (int i = 0; i < 3; ++i) {
        QWidget* box = nullptr;
        if (i == 2) {
            auto* memo = new QPlainTextEdit(this);
            memo->setTabChangesFocus(true);
            memo->setGeometry(ui::twipsRect(1440, 7920, 8655, 2415));
            box = memo;
        } else {
            auto* line = new QLineEdit(this);
            line->setGeometry(ui::twipsRect(1440, i == 0 ? 6960 : 7440, 8655, 330));
            box = line;
        }
        ui::name(box, QStringLiteral("Text2"), i, QString::fromUtf8(boxNames[i]));
        Text2[size_t(i)] = box;
        Commits[size_t(i)] = Watch(box, i);
    }
}

ui::FocusCommit* Form6::Watch(QWidget* box, int index)
{
    ui::FocusCommit* c = ui::onLostFocus(box, [this, index] { Text2_LostFocus(index); });
    c->setGotFocus([this, index] { Text2_GotFocus(index); });
    return c;
}

// ---- load ----

void Form6::formLoad()
{
    WindowDbFile = CurrentDbFile;
    Book = CurrentDb;
    QVariant title;
    try {
        title = Book.scalar(QStringLiteral("SELECT \"タイトル\" FROM \"管理情報\""));
    } catch (const db::Error& e) {
        ReportError(e);
    }
    SetCaption((title.isNull() ? edition::profile().EditionName : title.toString()) + QString(10, QLatin1Char(' '))
               + WindowDbFile.FullPath);

    try {
        CaptionRs = Book.openRecordset(kCaptions, db::RecordsetType::Table);
        OpenPersons();
        CategoryRs = Book.openRecordset(kCategories, db::RecordsetType::Dynaset);
    } catch (const db::Error& e) {
        ReportError(e);
    }
    ApplyFieldCaptions();
    FillCategoryList();
    if (!CategoryRows.isEmpty())
        selectCategory(0);
    EditMode = 0;
}

void Form6::SetCaption(const QString& title)
{
    setWindowTitle(FitBytes(title, 160) + FormatCaptionDate(ui::dialogs().today()));
}

void Form6::OpenPersons()
{
    PersonRs.close();
    PersonRs = Book.openRecordset(kPersons, db::RecordsetType::Dynaset);
    CategoryStart = {};
    if (PersonRs.recordCount() > 0)
        CategoryStart = PersonRs.bookmarkAt(0);
}

void Form6::ApplyFieldCaptions()
{
    // A caption never stored, Null or empty shows the field's own name.
    const std::pair<int, QString> captions[] = {
        {0, QStringLiteral("登録区分")}, {1, QStringLiteral("氏名")}, {5, QStringLiteral("記事")}};
    for (const auto& [label, field] : captions) {
        QString text;
        try {
            if (CaptionRs.isOpen() && !CaptionRs.eof() && CaptionRs.hasField(field))
                text = CaptionRs.text(field);
        } catch (const db::Error& e) {
            ReportError(e);
        }
        Label1[size_t(label)]->setText(text.isEmpty() ? field : text);
    }
    List1->setAccessibleName(Label1[0]->text());
    List2->setAccessibleName(Label1[1]->text());
    Text2[2]->setAccessibleName(Label1[5]->text());
}

void Form6::FillCategoryList()
{
    Filling = true;
    QStringList names;
    CategoryRows.clear();
    try {
        if (CategoryRs.isOpen() && CategoryRs.recordCount() > 0) {
            for (CategoryRs.moveFirst(); !CategoryRs.eof(); CategoryRs.moveNext()) {
                names << CategoryRs.text(kCategoryName);
                CategoryRows << CategoryRs.bookmark();
            }
            CategoryRs.moveFirst();
        }
    } catch (const db::Error& e) {
        ReportError(e);
    }
    CategoryModel->setStringList(names);
    Filling = false;
}

QVariant Form6::CategoryCode() const
{
    if (!CategoryRs.isOpen() || CategoryRs.eof() || CategoryRs.bof())
        return {};
    return CategoryRs.value(kCode);
}

void Form6::FillSiteList()
{
    Filling = true;
    Sites.clear();
    SiteModel->setStringList({});
    Filling = false;
    try {
        if (PersonRs.isOpen())
            Sites = tools::ReadSiteLines(PersonRs, CategoryCode());
    } catch (const db::Error& e) {
        ReportError(e);
    }
    if (Sites.isEmpty())
        return;
    CategoryStart = Sites.first().row;
    QStringList names;
    names.reserve(Sites.size());
    for (const tools::SiteLine& s : Sites)
        names << s.name;
    Filling = true;
    SiteModel->setStringList(names);
    Filling = false;
    SelectSiteLine(0);
}

void Form6::SelectSiteLine(int line)
{
    if (line < 0 || line >= Sites.size())
        return;
    Filling = true;
    const QModelIndex i = SiteModel->index(line);
    List2->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
    List2->scrollTo(i);
    Filling = false;
    List2_Click();
}

// ---- lists ----

void Form6::List1_Click()
{
    const int line = selectedCategory();
    if (line < 0 || line >= CategoryRows.size())
        return;
    Filling = true;
    Sites.clear();
    SiteModel->setStringList({});
    Filling = false;
    ShownSite = {};
    for (int i = 0; i < 3; ++i)
        setText2(i, QString());
    try {
        CategoryRs.setBookmark(CategoryRows[line]);
    } catch (const db::Error& e) {
        ReportError(e);
        return;
    }
    if (!PersonRs.isOpen() || PersonRs.recordCount() == 0)
        return;
    FillSiteList();
}

void Form6::List2_Click()
{
    ShowSiteDetails();
}

bool Form6::MoveToSelectedSite()
{
    const int line = selectedSite();
    if (line < 0 || line >= Sites.size())
        return false;
    try {
        PersonRs.setBookmark(Sites[line].row);
        return true;
    } catch (const db::Error& e) {
        if (e.number() != db::err::RecordDeleted && e.number() != db::err::InvalidBookmark) {
            ReportError(e);
            return false;
        }
    }
    RefillAfterVanished();
    return false;
}

void Form6::RefillAfterVanished()
{
    // Another window deleted the record: the line would now name someone else.
    ui::dialogs().beep();
    try {
        OpenPersons();
    } catch (const db::Error& e) {
        ReportError(e);
    }
    ShownSite = {};
    for (int i = 0; i < 3; ++i)
        setText2(i, QString());
    FillSiteList();
}

void Form6::ShowSiteDetails()
{
    ShownSite = {};
    for (int i = 0; i < 3; ++i)
        setText2(i, QString());
    if (!MoveToSelectedSite())
        return;
    try {
        ShownSite = PersonRs.bookmark();
        for (int i = 0; i < 3; ++i)
            setText2(i, PersonRs.text(kBoxFields[i]));
    } catch (const db::Error& e) {
        ReportError(e);
    }
}

// ---- commands ----

void Form6::Command1_Click(int index)
{
    switch (index) {
    case 0:
        OpenSelectedPage();
        break;
    case 1:
        OpenCategoryPages();
        break;
    case 2:
        if (selectedSite() < 0)
            return;
        EditMode = EditMode == 0 ? 1 : 0;
        Command1[2]->setText(EditMode == 1 ? QStringLiteral("編集解除") : QStringLiteral("編集"));
        break;
    case 3:
        AddSite();
        break;
    case 4:
        DeleteSite();
        break;
    case 9:
        close();
        break;
    default:
        break;
    }
}

void Form6::OpenSelectedPage()
{
    if (!MoveToSelectedSite())
        return;
    QVariant address;
    try {
        address = PersonRs.value(kBoxFields[1]);
    } catch (const db::Error& e) {
        ReportError(e);
        return;
    }
    if (tools::HasAddress(address))
        OpenUrl(address.toString());
}

void Form6::OpenCategoryPages()
{
    if (Sites.isEmpty())
        return;
    QStringList pages;
    try {
        pages = tools::CategoryPages(PersonRs, CategoryStart);
    } catch (const db::Error& e) {
        if (e.number() == db::err::RecordDeleted || e.number() == db::err::InvalidBookmark)
            RefillAfterVanished();
        else
            ReportError(e);
        return;
    }
    if (pages.size() > tools::PagesWithoutQuestion
        && ui::dialogs().question(tools::OpenPagesQuestion(pages.size()), kTitle, ui::Icon::None, ui::Buttons::YesNo)
               != ui::Answer::Yes)
        return;
    tools::OpenPages(pages, [](const QList<tools::PageFailure>& failures) {
        ui::dialogs().message(tools::FailedPagesMessage(failures), kTitle, ui::Icon::Exclamation);
    });
}

void Form6::AddSite()
{
    if (ui::dialogs().question(QStringLiteral("新規登録を行いますか？"), kTitle, ui::Icon::None, ui::Buttons::YesNo)
        != ui::Answer::Yes)
        return;
    const int category = selectedCategory();
    if (category < 0 || category >= CategoryRows.size())
        return;  // no category: nothing to add the site to
    QVariant code;
    try {
        CategoryRs.setBookmark(CategoryRows[category]);
        code = CategoryRs.value(kCode);
    } catch (const db::Error& e) {
        ReportError(e);
        return;
    }
    for (int attempt = 1;; ++attempt) {
        try {
            // The largest number now, not at load: the record window may have added one since.
            const QVariant largest = Book.scalar(QStringLiteral("SELECT MAX(\"会員NO\") FROM \"%1\"").arg(db::schema::personTableName()));
            const qint64 no = largest.isNull() ? 1 : largest.toLongLong() + 1;
            PersonRs.addNew();
            PersonRs.setValue(QStringLiteral("会員NO"), no);
            PersonRs.setValue(QStringLiteral("登録日"), ui::dialogs().today());
            PersonRs.setValue(QStringLiteral("性別"), QStringLiteral("1"));
            PersonRs.setValue(QStringLiteral("状態"), QStringLiteral("1"));
            PersonRs.setValue(QStringLiteral("会員区分"), code.isNull() ? QVariant() : QVariant(code.toLongLong()));
            PersonRs.setValue(QStringLiteral("フリガナ"), QString(""));
            PersonRs.setValue(QStringLiteral("氏名"), QStringLiteral("新規"));
            PersonRs.update();
            break;
        } catch (const db::Error& e) {
            if (PersonRs.isOpen())
                PersonRs.cancelUpdate();
            if (e.number() == db::err::DuplicateKey && attempt < kAddAttempts)
                continue;
            ReportError(e);
            return;
        }
    }
    try {
        OpenPersons();
    } catch (const db::Error& e) {
        ReportError(e);
        return;
    }
    FillSiteList();
}

void Form6::DeleteSite()
{
    if (selectedSite() < 0 || !PersonRs.isOpen() || PersonRs.recordCount() == 0)
        return;
    if (ui::dialogs().question(QStringLiteral("表示されているレコードを削除しますが、よろしいですか？"), kTitle,
                               ui::Icon::None, ui::Buttons::YesNo)
        != ui::Answer::Yes)
        return;
    if (!MoveToSelectedSite())
        return;
    try {
        PersonRs.deleteRecord();
        OpenPersons();
    } catch (const db::Error& e) {
        ReportError(e);
    }
    ShownSite = {};
    for (int i = 0; i < 3; ++i)
        setText2(i, QString());
    FillSiteList();
}

// ---- the detail boxes ----

void Form6::Text2_GotFocus(int index)
{
    if (EditMode != 1 || text2(index).isEmpty())
        return;
    QWidget* box = Text2[size_t(index)];
    // After the click that brought the focus has placed the cursor.
    QTimer::singleShot(0, box, [box] {
        if (!box->hasFocus())
            return;
        if (auto* line = qobject_cast<QLineEdit*>(box))
            line->selectAll();
        else if (auto* memo = qobject_cast<QPlainTextEdit*>(box))
            memo->selectAll();
    });
}

bool Form6::Fits(int index)
{
    const records::TextBoxField* f = records::TextBoxFieldOf(kRecordBoxes[index]);
    if (!f || records::FitsLimit(text2(index), f->limit))
        return true;
    ui::dialogs().beep();
    ui::dialogs().message(records::InvalidInputMessage());
    ui::refocusLater(Text2[size_t(index)]);
    return false;
}

void Form6::Text2_LostFocus(int index)
{
    if (EditMode != 1 || !ShownSite.valid || Sites.isEmpty())
        return;
    if (!Fits(index))
        return;
    const int line = selectedSite();
    if (line < 0 || line >= Sites.size() || !(Sites[line].row == ShownSite))
        return;
    if (!MoveToSelectedSite())
        return;
    const QString text = text2(index);
    try {
        PersonRs.edit();
        PersonRs.setValue(kBoxFields[index], index == 1 ? records::StoredWebAddress(text) : text);
        PersonRs.update();
    } catch (const db::Error& e) {
        if (PersonRs.isOpen())
            PersonRs.cancelUpdate();
        ReportError(e);
        return;
    }
    if (index != 0)
        return;
    // The new name in its line, the same line selected, then on to the address.
    FillSiteList();
    SelectSiteLine(qMin(line, int(Sites.size()) - 1));
    ui::refocusLater(Text2[1]);
}

void Form6::closeEvent(QCloseEvent* event)
{
    // Closing commits the box being edited, as leaving it would.
    for (int i = 0; i < 3; ++i)
        if (Text2[size_t(i)]->hasFocus())
            Commits[size_t(i)]->commit();
    ui::Window::closeEvent(event);
}

// ---- access ----

QStringList Form6::categoryLines() const { return CategoryModel->stringList(); }
QStringList Form6::siteLines() const { return SiteModel->stringList(); }

int Form6::selectedCategory() const
{
    const QModelIndexList rows = List1->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

int Form6::selectedSite() const
{
    const QModelIndexList rows = List2->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void Form6::selectCategory(int line)
{
    if (line < 0 || line >= CategoryModel->rowCount())
        return;
    List1->selectionModel()->setCurrentIndex(CategoryModel->index(line), QItemSelectionModel::ClearAndSelect);
}

void Form6::selectSite(int line)
{
    if (line < 0 || line >= SiteModel->rowCount())
        return;
    List2->selectionModel()->setCurrentIndex(SiteModel->index(line), QItemSelectionModel::ClearAndSelect);
}

QString Form6::text2(int index) const
{
    QWidget* box = Text2[size_t(index)];
    if (auto* line = qobject_cast<QLineEdit*>(box))
        return line->text();
    return static_cast<QPlainTextEdit*>(box)->toPlainText();
}

void Form6::setText2(int index, const QString& text)
{
    QWidget* box = Text2[size_t(index)];
    if (auto* line = qobject_cast<QLineEdit*>(box)) {
        line->setText(text);
        line->setCursorPosition(0);  // the start of a long address, not its end
    } else {
        static_cast<QPlainTextEdit*>(box)->setPlainText(text);
    }
}
