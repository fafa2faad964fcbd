// The dialler's frame: its controls, its load and the dialling settings of "基本情報".

#include "tools/Form11.h"

#include "platform/comm/ModemLine.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/FocusCommit.h"
#include "platform/ui/Options.h"
#include "platform/ui/Twips.h"
#include "records/FieldLimits.h"
#include "shell/Formats.h"
#include "shell/Helpers.h"
#include "shell/Module1.h"
#include "tools/CallHistory.h"
#include "tools/DialNumbers.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <array>

using namespace Module1;

namespace {

namespace field {
const QString Com = QStringLiteral("com");
const QString PushLine = QStringLiteral("プッシュ回線");
const QString UseOutsideLine = QStringLiteral("外線使用");
const QString OutsideLineNumber = QStringLiteral("外線番号");
const QString UsePrefix = QStringLiteral("付加番号使用");
const QString Prefix = QStringLiteral("付加番号");
} // namespace field

const QString kStatusCaption = QStringLiteral("電話番号をﾀﾞｲｱﾙする場合は、[ﾀﾞｲｱﾙ] をｸﾘｯｸします");

QLabel* label(QWidget* parent, const QString& systemName, int index, const QString& caption, const QRect& place)
{
    auto* l = new QLabel(caption, parent);
    ui::name(l, systemName, index);
    l->setGeometry(place);
    return l;
}

QLineEdit* box(QWidget* parent, const QString& systemName, int index, const QString& readAs, const QRect& place)
{
    auto* b = new QLineEdit(parent);
    ui::name(b, systemName, index, readAs);
    b->setGeometry(place);
    return b;
}

QPushButton* button(QWidget* parent, const QString& systemName, int index, const QString& caption, const QRect& place)
{
    auto* b = new QPushButton(caption, parent);
    ui::name(b, systemName, index);
    b->setGeometry(place);
    return b;
}

// Runs a load step; a step that fails is passed over.
template <class F>
void step(F&& f)
{
    try {
        f();
    } catch (const db::Error&) {
    }
}

} // namespace

Form11::Form11(QWidget* parent) : ui::Window(parent)
{
    ui::name(this, QStringLiteral("Form11"));
    setWindowTitle(QStringLiteral("電話"));
    BuildControls();
    // A program that ends with a dial or a call under way still hangs up and closes its row.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { EndWhateverIsUnderWay(); });
}

Form11::~Form11()
{
    EndWhateverIsUnderWay();
}

QGroupBox* Form11::frame(const QString& caption, int left, int top, int width, int height)
{
    auto* f = new QGroupBox(caption, this);
    f->setGeometry(ui::twipsRect(left, top, width, height));
    return f;
}

QRadioButton* Form11::option(QWidget* parent, const QString& systemName, int index, const QString& caption, int left,
                             int top, int width)
{
    auto* o = new QRadioButton(caption, parent);
    ui::name(o, systemName, index);
    o->setGeometry(ui::twipsRect(left, top, width, 300));
    return o;
}

void Form11::BuildControls()
{
    // Record and numbers, top left.
    Text2[0] = box(this, QStringLiteral("Text2"), 0, QStringLiteral("会員NO"), ui::twipsRect(120, 120, 1335, 300));
    Text2[1] = box(this, QStringLiteral("Text2"), 1, QStringLiteral("氏名"), ui::twipsRect(1560, 120, 3375, 300));
    for (QLineEdit* b : Text2) {
        b->setText(QStringLiteral("Text2"));
        b->setReadOnly(true);
        QPalette p = b->palette();
        p.setColor(QPalette::Base, p.color(QPalette::Button));
        b->setPalette(p);
    }
    QGroupBox* callee = frame(QStringLiteral("通話先"), 120, 480, 4815, 1035);
    ui::name(callee, QStringLiteral("Frame1"));
    Option1[0] = option(callee, QStringLiteral("Option1"), 0, QStringLiteral("自宅電話"), 120, 300, 1215);
    Option1[1] = option(callee, QStringLiteral("Option1"), 1, QStringLiteral("携帯電話"), 120, 660, 1215);
    Text1[0] = box(callee, QStringLiteral("Text1"), 0, QStringLiteral("自宅電話"), ui::twipsRect(1440, 300, 3255, 300));
    Text1[1] = box(callee, QStringLiteral("Text1"), 1, QStringLiteral("携帯電話"), ui::twipsRect(1440, 660, 3255, 300));
    for (QLineEdit* b : Text1) {
        b->setText(QStringLiteral("Text1"));
    }

    Label2[0] = label(this, QStringLiteral("Label2"), 0, QStringLiteral("用件"), ui::twipsRect(120, 1680, 615, 255));
    Text4 = box(this, QStringLiteral("Text4"), -1, QStringLiteral("用件"), ui::twipsRect(780, 1650, 3495, 300));
    Command1 = button(this, QStringLiteral("Command1"), -1, QStringLiteral("更新"), ui::twipsRect(4320, 1620, 615, 360));

    Status = label(this, QStringLiteral("Status"), -1, kStatusCaption, ui::twipsRect(120, 2100, 4815, 300));
    DialButton = button(this, QStringLiteral("DialButton"), -1, QStringLiteral("ダイアル"), ui::twipsRect(120, 2460, 1095, 420));
    CancelButton = button(this, QStringLiteral("CancelButton"), -1, QStringLiteral("ｷｬﾝｾﾙ"), ui::twipsRect(1320, 2460, 1095, 420));
    QuitButton[0] = button(this, QStringLiteral("QuitButton"), 0, QStringLiteral("通話終了"), ui::twipsRect(2520, 2460, 1095, 420));
    QuitButton[1] = button(this, QStringLiteral("QuitButton"), 1, QStringLiteral("終了"), ui::twipsRect(3720, 2460, 1095, 420));

    Label1[6] = label(this, QStringLiteral("Label1"), 6, QStringLiteral("通話時間"), ui::twipsRect(120, 3000, 855, 255));
    Label3[0] = label(this, QStringLiteral("Label3"), 0, QStringLiteral("hh:mm:ss"), ui::twipsRect(1020, 3000, 1095, 255));
    Label1[7] = label(this, QStringLiteral("Label1"), 7, QStringLiteral("～"), ui::twipsRect(2160, 3000, 255, 255));
    Label3[1] = label(this, QStringLiteral("Label3"), 1, QStringLiteral("hh:mm:ss (hh:mm:ss)"), ui::twipsRect(2460, 3000, 2415, 255));

    // Settings column on the right.
    QGroupBox* port = frame(QStringLiteral("通信ポート設定"), 5160, 60, 3255, 675);
    ui::name(port, QStringLiteral("Frame2"));
    for (int i = 0; i < 3; ++i)
        Option2[size_t(i)] = option(port, QStringLiteral("Option2"), i, QStringLiteral("COM%1").arg(i + 1), 120 + i * 1020, 300, 975);
    QGroupBox* lineType = frame(QStringLiteral("電話回線設定"), 8520, 60, 3615, 675);
    ui::name(lineType, QStringLiteral("Frame3"));
    Option3[0] = option(lineType, QStringLiteral("Option3"), 0, QStringLiteral("プッシュ回線"), 120, 300, 1695);
    Option3[1] = option(lineType, QStringLiteral("Option3"), 1, QStringLiteral("トーン回線"), 1860, 300, 1695);
    QGroupBox* outside = frame(QStringLiteral("外線番号"), 5160, 840, 6975, 675);
    ui::name(outside, QStringLiteral("Frame4"));
    Option4[0] = option(outside, QStringLiteral("Option4"), 0, QStringLiteral("使用する"), 120, 300, 1335);
    Option4[1] = option(outside, QStringLiteral("Option4"), 1, QStringLiteral("使用しない"), 1560, 300, 1455);
    Text3 = box(outside, QStringLiteral("Text3"), -1, QStringLiteral("外線番号"), ui::twipsRect(3120, 270, 735, 300));
    Text3->setText(QStringLiteral("0"));
    QGroupBox* prefix = frame(QStringLiteral("携帯電話への通話料が安くなる番号付加"), 5160, 1620, 6975, 1095);
    ui::name(prefix, QStringLiteral("Frame5"));
    Option5[0] = option(prefix, QStringLiteral("Option5"), 0, QStringLiteral("付加しない"), 120, 300, 1695);
    Option5[1] = option(prefix, QStringLiteral("Option5"), 1, QStringLiteral("0033（NTTコミュニケーション）"), 1920, 300, 4935);
    Option5[2] = option(prefix, QStringLiteral("Option5"), 2, QStringLiteral("0036（NTT東日本）"), 120, 660, 2535);
    Option5[3] = option(prefix, QStringLiteral("Option5"), 3, QStringLiteral("指定番号"), 2760, 660, 1335);
    Text5 = box(prefix, QStringLiteral("Text5"), -1, QStringLiteral("指定番号"), ui::twipsRect(4200, 630, 2655, 300));

    // Memos.
    Label4 = label(this, QStringLiteral("Label4"), -1, QStringLiteral("メモ登録修正"), ui::twipsRect(120, 3480, 1335, 255));
    Label1[1] = label(this, QStringLiteral("Label1"), 1, QStringLiteral("日付"), ui::twipsRect(1560, 3480, 495, 255));
    Text6[0] = box(this, QStringLiteral("Text6"), 0, QStringLiteral("日付"), ui::twipsRect(2100, 3450, 2775, 300));
    Label1[8] = label(this, QStringLiteral("Label1"), 8, QStringLiteral("メモ"), ui::twipsRect(4980, 3480, 495, 255));
    Text6[1] = box(this, QStringLiteral("Text6"), 1, QStringLiteral("メモ"), ui::twipsRect(5520, 3450, 5175, 300));
    Command3 = button(this, QStringLiteral("Command3"), -1, QStringLiteral("登録／修正"), ui::twipsRect(10800, 3420, 1335, 360));

    // History.
    Label1[0] = label(this, QStringLiteral("Label1"), 0, QStringLiteral("<通話履歴>"), ui::twipsRect(120, 3960, 1335, 255));
    Command2[1] = button(this, QStringLiteral("Command2"), 1, QStringLiteral("選択履歴削除"), ui::twipsRect(8880, 3900, 1575, 360));
    Command2[0] = button(this, QStringLiteral("Command2"), 0, QStringLiteral("全履歴削除"), ui::twipsRect(10560, 3900, 1575, 360));
    // The headings stand over the list's fixed-width columns (a half-width character is 90 twips).
    Label1[2] = label(this, QStringLiteral("Label1"), 2, QStringLiteral("通話先"), ui::twipsRect(180, 4320, 1335, 255));
    Label1[3] = label(this, QStringLiteral("Label1"), 3, QStringLiteral("日付"), ui::twipsRect(180 + 19 * 90, 4320, 1335, 255));
    Label1[4] = label(this, QStringLiteral("Label1"), 4, QStringLiteral("時間"), ui::twipsRect(180 + 34 * 90, 4320, 1335, 255));
    Label1[5] = label(this, QStringLiteral("Label1"), 5, QStringLiteral("用件＆メモ"), ui::twipsRect(180 + 67 * 90, 4320, 1335, 255));
    HistoryModel = new dialler::HistoryListModel(this);
    List1 = new QListView(this);
    ui::name(List1, QStringLiteral("List1"), -1, QStringLiteral("通話履歴"));
    List1->setGeometry(ui::twipsRect(120, 4560, 12015, 3495));
    List1->setModel(HistoryModel);
    List1->setUniformItemSizes(true);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List1->setFont(QFont(QStringLiteral("ＭＳ ゴシック"), 9));

    // Handlers.
    ui::onOptionChecked(Option2, [this](int i) { Option2_Click(i); });
    ui::onOptionChecked(Option3, [this](int i) { Option3_Click(i); });
    ui::onOptionChecked(Option4, [this](int i) { Option4_Click(i); });
    ui::onOptionChecked(Option5, [this](int i) { Option5_Click(i); });
    Commits << ui::onLostFocus(Text3, [this] { Text3_LostFocus(); }) << ui::onLostFocus(Text5, [this] { Text5_LostFocus(); });
    ui::FocusCommit* date = ui::onLostFocus(Text6[0], [] {});
    date->setGotFocus([this] { Text6_GotFocus(0); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(DialButton, &QPushButton::clicked, this, [this] { DialButton_Click(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButton_Click(); });
    for (int i = 0; i < 2; ++i) {
        connect(QuitButton[size_t(i)], &QPushButton::clicked, this, [this, i] { QuitButton_Click(i); });
        connect(Command2[size_t(i)], &QPushButton::clicked, this, [this, i] { Command2_Click(i); });
    }
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(List1->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (SelectedLine() >= 0)
            List1_Click();
    });
}

// ---- load and caption ----

void Form11::formLoad()
{
    Loading = true;
    StoreRefusalReported = false;
    // The caller's own book; a caller that handed none over leaves the current book.
    Book = DialDatabase.isOpen() ? DialDatabase : CurrentDb;
    DialDatabase = db::Database();
    // One member number for the history shown and the rows written.
    MemberNo = records::ParseMemberNo(DialMemberNo);

    db::Recordset& s = CommonSettingsRs;
    step([&] { ComPort = s.text(field::Com); });
    step([&] {
        const QString com = s.text(field::Com);
        if (com == QLatin1String("1") || com == QLatin1String("2") || com == QLatin1String("3"))
            Option2[size_t(com.toInt() - 1)]->setChecked(true);
    });
    step([&] { Option3[s.value(field::PushLine).toBool() ? 0 : 1]->setChecked(true); });
    step([&] { Option4[s.value(field::UseOutsideLine).toBool() ? 0 : 1]->setChecked(true); });
    step([&] {
        const QVariant n = s.value(field::OutsideLineNumber);
        OutsideLineNumber = n;
        Text3->setText(n.isNull() ? QString() : QString::number(n.toLongLong()));
    });
    step([&] { Option5[s.value(field::UsePrefix).toBool() ? 1 : 0]->setChecked(true); });
    step([&] { Text5->setText(s.text(field::Prefix)); });
    Label3[0]->clear();
    Label3[1]->clear();
    PlaceWindowAndSetCaption(QStringLiteral("電話"));

    if (MemberNo)
        step([&] { HistoryRs = dialler::OpenMemberHistory(Book, *MemberNo); });
    Text4->clear();
    Text6[0]->clear();
    Text6[1]->clear();
    step([&] { FillHistoryList(); });

    SetCallButtons(true, false, false, true);
    SetDeleteButtons(true);
    PlaceWindowAndSetCaption(QStringLiteral("電話"));
    Loading = false;
}

void Form11::PlaceWindowAndSetCaption(const QString& title)
{
    // The window opens maximised; the place and size serve when it is restored.
    move(0, 0);
    resize(ui::twips(12340), ui::twips(8560));
    setWindowTitle(FitBytes(title, 160) + FormatCaptionDate(ui::dialogs().today()));
}

void Form11::closeEvent(QCloseEvent* event)
{
    // The close box is "終了": refused while a dial or a call is under way.
    if (!QuitButton[1]->isEnabled()) {
        event->ignore();
        return;
    }
    for (ui::FocusCommit* c : Commits)
        if (focusWidget() && c->parent() == focusWidget())
            c->commit();
    ui::Window::closeEvent(event);
}

// ---- settings ----

void Form11::StoreSetting(const QString& name, const QVariant& value, bool quiet)
{
    try {
        CommonSettingsRs.edit();
        CommonSettingsRs.setValue(name, value);
        CommonSettingsRs.update();
    } catch (const db::Error& e) {
        try {
            if (CommonSettingsRs.isOpen())
                CommonSettingsRs.cancelUpdate();
        } catch (const db::Error&) {
        }
        // A settings row that refuses one store refuses the next for the same reason.
        if (!quiet && !StoreRefusalReported) {
            StoreRefusalReported = true;
            ReportError(e);
        }
    }
}

void Form11::Option2_Click(int index)
{
    if (Loading || index < 0 || index > 2)
        return;
    // The chosen port is used whether its store succeeds or not.
    ComPort = QString::number(index + 1);
    StoreSetting(field::Com, ComPort);
}

void Form11::Option3_Click(int index)
{
    if (Loading || index < 0 || index > 1)
        return;
    StoreSetting(field::PushLine, index == 0);
}

void Form11::Option4_Click(int index)
{
    if (Loading || index < 0 || index > 1)
        return;
    StoreSetting(field::UseOutsideLine, index == 0);
}

void Form11::Option5_Click(int index)
{
    // "0036" and "指定番号" hold only while the window is open.
    if (Loading || index < 0 || index > 1)
        return;
    StoreSetting(field::UsePrefix, index == 1, true);
}

void Form11::Text3_LostFocus()
{
    const std::optional<qint64> n = dialler::ParseOutsideLineNumber(Text3->text());
    if (!n) {
        ui::dialogs().beep();
        Text3->clear();
        ui::refocusLater(Text3);
        return;
    }
    OutsideLineNumber = *n;
    StoreSetting(field::OutsideLineNumber, *n);
}

void Form11::Text5_LostFocus()
{
    if (Text5->text().isEmpty())
        return;
    StoreSetting(field::Prefix, Text5->text());
}

void Form11::BuildDialNumbers()
{
    dialler::DialSettings settings;
    settings.outsideLine = Option4[0]->isChecked();
    settings.outsideLineNumber = OutsideLineNumber;
    for (int i = 0; i < 4; ++i)
        if (Option5[size_t(i)]->isChecked())
            settings.prefix = dialler::CarrierPrefix(i);
    settings.customPrefix = Text5->text();
    const dialler::DialStrings s = dialler::BuildDialNumbers(settings, Text1[0]->text(), Text1[1]->text());
    HomeDialString = s.home;
    MobileDialString = s.mobile;
}

// ---- shared pieces ----

void Form11::SetCallButtons(bool dial, bool cancel, bool endCall, bool quit)
{
    const std::array<std::pair<QPushButton*, bool>, 4> states = {
        {{DialButton, dial}, {CancelButton, cancel}, {QuitButton[0], endCall}, {QuitButton[1], quit}}};
    // A call button that is turned off while it has the focus would hand it on along the Tab
    // order, away from the call; it goes to the button of the call's next step instead.
    QWidget* focused = focusWidget();
    const bool losesFocus = std::any_of(states.begin(), states.end(), [focused](const auto& s) {
        return s.first == focused && !s.second;
    });
    for (const auto& [button, on] : states)
        if (on)
            button->setEnabled(true);
    if (losesFocus) {
        QPushButton* next = cancel ? CancelButton : endCall ? QuitButton[0] : dial ? DialButton : quit ? QuitButton[1] : nullptr;
        if (next)
            next->setFocus(Qt::OtherFocusReason);
    }
    for (const auto& [button, on] : states)
        if (!on)
            button->setEnabled(false);
}

void Form11::SetDeleteButtons(bool enabled)
{
    Command2[0]->setEnabled(enabled);
    Command2[1]->setEnabled(enabled);
}

bool Form11::FitsPurpose(QLineEdit* b)
{
    if (records::FitsLimit(b->text(), dialler::history::PurposeLimit))
        return true;
    ui::dialogs().beep();
    ui::dialogs().message(records::InvalidInputMessage());
    ui::refocusLater(b);
    return false;
}
