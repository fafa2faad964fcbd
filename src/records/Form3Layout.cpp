// The record window's controls at their places (twips from the top left of the window).

#include "records/Form3.h"
#include "records/RecordListModel.h"

#include "platform/ui/Accessibility.h"
#include "platform/ui/FocusCommit.h"
#include "platform/ui/InputMode.h"
#include "platform/ui/ScrolledContent.h"
#include "platform/ui/TextFit.h"
#include "platform/ui/Twips.h"
#include "records/Boxes.h"
#include "records/RecordCaptions.h"
#include "records/RecordListView.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

using records::LockableComboBox;
using ui::InputMode;

namespace {

constexpr int kBoxHeight = 300;
constexpr int kLabelHeight = 255;
constexpr int kListHeadingTop = 6180;
constexpr int kListTop = 6450;
constexpr int kMargin = 240;

void place(QWidget* w, int left, int top, int width, int height)
{
    w->setGeometry(ui::twipsRect(left, top, width, height));
}

QLabel* label(QWidget* parent, const QString& systemName, int index, const QString& caption)
{
    auto* l = new QLabel(caption, parent);
    // Captions come from the book: shown as typed, never read as markup.
    l->setTextFormat(Qt::PlainText);
    ui::name(l, systemName, index);
    return l;
}

QFont fixedPitchFont()
{
    return QFont(QStringLiteral("ＭＳ ゴシック"), 9);
}

void colour(QLabel* l, const QColor& background, const QColor& text)
{
    QPalette p = l->palette();
    p.setColor(QPalette::Window, background);
    p.setColor(QPalette::WindowText, text);
    l->setPalette(p);
    l->setAutoFillBackground(true);
}

} // namespace

void Form3::BuildControls()
{
    setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック"), 9));
    BuildRecordFields();
    BuildValueFields();
    BuildFrames();
    BuildCommands();
    BuildListArea();
    // The design captions are the built-in ones.
    ApplyFieldCaptions();
    ApplyListHeadings();
    // A screen smaller than the design scrolls the controls; the list follows the room it gets.
    ui::WindowContent* content = ui::scrolledContent(this, QSize(ui::twips(16500), ui::twips(kListTop + 2400)));
    connect(content, &ui::WindowContent::resized, this, &Form3::PlaceListArea);
}

void Form3::BuildRecordFields()
{
    auto line = [this](int index, int left, int top, int width, InputMode mode) {
        auto* e = new QLineEdit(this);
        ui::name(e, QStringLiteral("Text1"), index);
        ui::setInputMode(e, mode);
        place(e, left, top, width, kBoxHeight);
        Text1[size_t(index)] = e;
        return e;
    };
    auto combo = [this](const QString& systemName, int index, int left, int top, int width) {
        auto* c = new LockableComboBox(this);
        ui::name(c, systemName, index);
        place(c, left, top, width, kBoxHeight);
        return c;
    };
    auto fieldLabel = [this](std::array<QLabel*, 34>& labels, int index, int left, int top, int width) {
        labels[size_t(index)] = label(this, QStringLiteral("Label6"), index, QString());
        place(labels[size_t(index)], left, top + 30, width, kLabelHeight);
    };
    auto dateLabel = [this](int index, int left, int top) {
        Label3[size_t(index)] = label(this, QStringLiteral("Label3"), index, QString());
        place(Label3[size_t(index)], left, top + 30, 1695, kLabelHeight);
    };

    // Left column: number, dates, category, name, birth, address.
    const int l = kMargin, lw = 1335, b = 1680;
    Label4[0] = label(this, QStringLiteral("Label4"), 0, QString());
    place(Label4[0], l, 150, lw, kLabelHeight);
    line(0, b, 120, 1215, InputMode::Off);

    fieldLabel(Label6, 0, l, 450, lw);
    Combo3 = combo(QStringLiteral("Combo3"), -1, b, 450, 855);
    line(24, 2580, 450, 975, InputMode::Off);
    dateLabel(7, 3630, 450);
    line(4, 5400, 450, 735, InputMode::Hiragana);

    fieldLabel(Label6, 1, l, 780, lw);
    Combo2 = combo(QStringLiteral("Combo2"), -1, b, 780, 2415);
    ui::setInputMode(Combo2, InputMode::Hiragana);
    Check1 = new QCheckBox(QStringLiteral("メール送信拒否"), this);
    ui::name(Check1, QStringLiteral("Check1"));
    place(Check1, 4200, 780, 1935, kBoxHeight);

    fieldLabel(Label6, 2, l, 1110, lw);
    line(1, b, 1110, 4455, InputMode::HalfWidthKatakana);
    fieldLabel(Label6, 3, l, 1440, lw);
    line(2, b, 1440, 4455, InputMode::Hiragana);

    fieldLabel(Label6, 4, l, 1770, lw);
    Combo1 = combo(QStringLiteral("Combo1"), -1, b, 1770, 855);
    line(3, 2580, 1770, 975, InputMode::Off);
    dateLabel(0, 3630, 1770);
    line(6, 5400, 1770, 495, InputMode::Off);
    Label2[2] = label(this, QStringLiteral("Label2"), 2, QStringLiteral("歳"));
    place(Label2[2], 5940, 1800, 375, kLabelHeight);

    fieldLabel(Label6, 5, l, 2100, lw);
    line(5, b, 2100, 1215, InputMode::Off);
    fieldLabel(Label6, 6, 3000, 2100, 1020);
    Combo5[0] = combo(QStringLiteral("Combo5"), 0, 4080, 2100, 2055);
    fieldLabel(Label6, 7, l, 2430, lw);
    Combo5[1] = combo(QStringLiteral("Combo5"), 1, b, 2430, 4455);
    for (LockableComboBox* c : Combo5)
        ui::setInputMode(c, InputMode::Hiragana);
    fieldLabel(Label6, 8, l, 2760, lw);
    line(27, b, 2760, 4455, InputMode::Off);
    fieldLabel(Label6, 9, l, 3090, lw);
    line(7, b, 3090, 4455, InputMode::Off);

    // Middle column: telephones, mail, work, leaving.
    const int m = 6360, mw = 1695, mb = 8100;
    auto button = [this](const QString& systemName, int index, const QString& caption, int left, int top, int width) {
        auto* p = new QPushButton(caption, this);
        ui::name(p, systemName, index);
        place(p, left, top, width, kBoxHeight);
        return p;
    };
    fieldLabel(Label6, 10, m, 120, mw);
    line(8, mb, 120, 2415, InputMode::Off);
    Command5[0] = button(QStringLiteral("Command5"), 0, QStringLiteral("電話"), 10560, 120, 615);
    fieldLabel(Label6, 33, m, 450, mw);
    line(25, mb, 450, 2415, InputMode::Off);
    fieldLabel(Label6, 16, m, 780, mw);
    line(14, mb, 780, 2415, InputMode::Off);
    Command5[1] = button(QStringLiteral("Command5"), 1, QStringLiteral("電話"), 10560, 780, 615);
    fieldLabel(Label6, 11, m, 1110, mw);
    line(9, mb, 1110, 2415, InputMode::Off);
    Command6[0] = button(QStringLiteral("Command6"), 0, QStringLiteral("送信"), 10560, 1110, 615);
    fieldLabel(Label6, 17, m, 1440, mw);
    line(15, mb, 1440, 2415, InputMode::Off);
    Command6[1] = button(QStringLiteral("Command6"), 1, QStringLiteral("送信"), 10560, 1440, 615);
    fieldLabel(Label6, 12, m, 1770, mw);
    line(10, mb, 1770, 3075, InputMode::Hiragana);
    fieldLabel(Label6, 13, m, 2100, mw);
    line(11, mb, 2100, 3075, InputMode::Hiragana);
    fieldLabel(Label6, 14, m, 2430, mw);
    line(12, mb, 2430, 3075, InputMode::Hiragana);
    fieldLabel(Label6, 15, m, 2760, mw);
    line(13, mb, 2760, 3075, InputMode::Off);
    fieldLabel(Label6, 30, m, 3090, mw);
    Combo4 = combo(QStringLiteral("Combo4"), -1, mb, 3090, 855);
    line(29, 9000, 3090, 975, InputMode::Off);
    dateLabel(1, 10020, 3090);
    // The hidden commands of the design: their handlers run only when called.
    for (QPushButton* p : {Command5[0], Command5[1]})
        p->hide();

    // Free texts: each head label stands directly above its own box, in the boxes' font.
    const int t = 5520, tw = 1455, tb = 7080, tbw = 4095;
    auto head = [this](int index, int top) {
        Label6[size_t(index)] = label(this, QStringLiteral("Label6"), index, QString());
        Label6[size_t(index)]->setFont(fixedPitchFont());
        place(Label6[size_t(index)], 7080, top, 4095, 240);
    };
    head(27, 3420);
    fieldLabel(Label6, 18, t, 3660, tw);
    line(21, tb, 3660, tbw, InputMode::Hiragana)->setFont(fixedPitchFont());
    head(28, 3990);
    fieldLabel(Label6, 19, t, 4230, tw);
    line(22, tb, 4230, tbw, InputMode::Hiragana)->setFont(fixedPitchFont());
    head(29, 4560);
    fieldLabel(Label6, 20, t, 4800, tw);
    line(23, tb, 4800, tbw, InputMode::Hiragana)->setFont(fixedPitchFont());
    fieldLabel(Label6, 21, t, 5130, tw);
    auto* notes = new QPlainTextEdit(this);
    ui::name(notes, QStringLiteral("Text1"), 28);
    notes->setTabChangesFocus(true);
    ui::setInputMode(notes, InputMode::Hiragana);
    place(notes, tb, 5130, tbw, 660);
    Text1[28] = notes;

    // The web address, under the value fields.
    Label9 = label(this, QStringLiteral("Label9"), -1, QStringLiteral("ホームページ"));
    place(Label9, l, 4860, lw, kLabelHeight);
    line(30, b, 4830, 3015, InputMode::Off);
    Command2 = button(QStringLiteral("Command2"), -1, QStringLiteral("表示"), 4740, 4830, 555);

    // Boxes that only show what the window works out.
    for (int i : {4, 6})
        static_cast<QLineEdit*>(Text1[size_t(i)])->setReadOnly(true);
}

void Form3::BuildValueFields()
{
    struct Row {
        int boxLeft, top, labelLeft, labelWidth;
    };
    static const Row rows[10] = {
        {1680, 3480, 240, 1335}, {1680, 3720, 240, 1335}, {1680, 3960, 360, 1215}, {1680, 4200, 240, 1335},
        {1680, 4440, 240, 1335}, {4440, 3480, 2640, 1695}, {4440, 3720, 2640, 1695}, {4440, 3960, 2640, 1695},
        {4440, 4200, 2640, 1695}, {4440, 4440, 2640, 1695},
    };
    for (int k = 0; k < 10; ++k) {
        const Row& r = rows[k];
        Label7[size_t(k)] = label(this, QStringLiteral("Label7"), k, QString());
        place(Label7[size_t(k)], r.labelLeft, r.top, r.labelWidth, kLabelHeight);
        auto* e = new QLineEdit(this);
        ui::name(e, QStringLiteral("Text2"), k);
        e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        ui::setInputMode(e, InputMode::Off);
        place(e, r.boxLeft, r.top, 855, 270);
        Text2[size_t(k)] = e;
    }
}

void Form3::BuildFrames()
{
    const int c = 11880, cw = 2400;
    Image1 = new QLabel(this);
    ui::name(Image1, QStringLiteral("Image1"), -1, QStringLiteral("写真"));
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setFrameShape(QFrame::Box);
    Image1->setCursor(Qt::PointingHandCursor);
    place(Image1, c, 120, cw, 1800);

    auto frame = [this](const QString& systemName, const QString& caption, int top, int height) {
        auto* g = new QGroupBox(caption, this);
        ui::name(g, systemName);
        place(g, 11880, top, 2400, height);
        return g;
    };
    auto option = [](QGroupBox* parent, const QString& systemName, int index, const QString& caption,
                     int left, int top, int width) {
        auto* o = new QRadioButton(caption, parent);
        ui::name(o, systemName, index);
        place(o, left, top, width, kLabelHeight);
        return o;
    };
    Frame1 = frame(QStringLiteral("Frame1"), QStringLiteral("性別"), 2040, 555);
    Option18[0] = option(Frame1, QStringLiteral("Option18"), 0, QStringLiteral("男"), 120, 240, 1000);
    Option18[1] = option(Frame1, QStringLiteral("Option18"), 1, QStringLiteral("女"), 1200, 240, 1000);
    Frame4 = frame(QStringLiteral("Frame4"), QStringLiteral("状態"), 2640, 555);
    static const char* const states[3] = {"会員", "休会", "退会"};
    for (int i = 0; i < 3; ++i)
        Option1[size_t(i)] = option(Frame4, QStringLiteral("Option1"), i, QString::fromUtf8(states[i]), 120 + 760 * i, 240, 740);

    Frame2 = frame(QStringLiteral("Frame2"), QStringLiteral("表示順番"), 3240, 1095);
    static const char* const orders[6] = {"登録番号", "登録日", "フリガナ", "登録区分", "生年月日", "誕生日順"};
    for (int i = 0; i < 6; ++i)
        Option2[size_t(i)] = option(Frame2, QStringLiteral("Option2"), i, QString::fromUtf8(orders[i]),
                                    120 + 1140 * (i % 2), 240 + 270 * (i / 2), 1110);

    // The operating guide: a frame the design keeps hidden.
    Frame3 = frame(QStringLiteral("Frame3"), QStringLiteral("操作ガイド"), 4440, 4200);
    static const char* const guide[14] = {
        "【検索】キーデータ検索　［検索］→入力（黄色）→［検索実行］", "", "", "", "", "", "", "", "",
        "登録番号", "登録日　：　登録日→フリガナ", "フリガナ　：　フリガナ→住所→生年月日",
        "登録区分　：　登録区分→フリガナ→住所", "生年月日　：　生年月日→フリガナ",
    };
    for (int i = 0; i < 14; ++i) {
        Label5[size_t(i)] = label(Frame3, QStringLiteral("Label5"), i, QString::fromUtf8(guide[i]));
        place(Label5[size_t(i)], 120, 240 + 270 * i, 2160, kLabelHeight);
    }
    Frame3->hide();

    // Colour samples of the search boxes, never shown.
    const QColor silver(0xC0, 0xC0, 0xC0);
    const QColor colours[3][2] = {{Qt::yellow, Qt::black}, {Qt::white, Qt::black}, {silver, Qt::black}};
    for (int i = 0; i < 3; ++i) {
        Label11[size_t(i)] = label(this, QStringLiteral("Label11"), i, QString());
        colour(Label11[size_t(i)], colours[i][0], colours[i][1]);
        place(Label11[size_t(i)], c + 300 * i, 4500, 255, kLabelHeight);
        Label11[size_t(i)]->hide();
    }
}

void Form3::BuildCommands()
{
    struct Command {
        int index;
        const char* caption;
        bool shown;
    };
    static const Command commands[] = {
        {0, "編集", true}, {1, "検索", true}, {2, "登録", true}, {3, "削除", true},
        {10, "リスト再表示", true}, {4, "CSV形式　住所録書込", true}, {6, "CSV形式　住所録読込", true},
        {5, "住所録ＤＢファイル読込", false}, {7, "宛名印刷", false}, {9, "終了", true},
    };
    int top = 120;
    for (const Command& c : commands) {
        auto* p = new QPushButton(QString::fromUtf8(c.caption), this);
        ui::name(p, QStringLiteral("Command9"), c.index);
        place(p, 14460, top, 1815, 375);
        p->setVisible(c.shown);
        // A caption wider than the design's button, whole, within the window's design width.
        ui::fitText(p, p->x(), ui::twips(16500 - 60));
        if (c.shown)
            top += 435;
        Command9[size_t(c.index)] = p;
    }
    Command3 = new QPushButton(QStringLiteral("一覧表画面 "), this);
    ui::name(Command3, QStringLiteral("Command3"));
    place(Command3, 14460, top, 1815, 375);
    Command3->hide();
    Command4 = new QPushButton(QStringLiteral("出張履歴"), this);
    ui::name(Command4, QStringLiteral("Command4"));
    place(Command4, 14460, top + 435, 1815, 375);
    Command4->hide();
}

void Form3::BuildListArea()
{
    HScroll1 = new QScrollBar(Qt::Horizontal, this);
    ui::name(HScroll1, QStringLiteral("HScroll1"), -1, QStringLiteral("レコード位置"));
    // The change is raised when the user lets go, not at every step of a drag.
    HScroll1->setTracking(false);
    HScroll1->setRange(0, 0);
    place(HScroll1, kMargin, 5190, 4455, kLabelHeight);
    Label15 = label(this, QStringLiteral("Label15"), -1, QString());
    place(Label15, 4740, 5190, 1335, kLabelHeight);
    // The position of eight digits each side stands whole before the "記事" caption; the
    // scroll bar gives up the room it needs.
    const int end = Label6[21]->x() - ui::twips(60);
    const int need = QFontMetrics(Label15->font()).horizontalAdvance(QStringLiteral("99999999/99999999")) + 2;
    const int start = qMin(Label15->x(), end - need);
    Label15->setGeometry(start, Label15->y(), end - start, Label15->height());
    if (HScroll1->geometry().right() >= start - ui::twips(60))
        HScroll1->setGeometry(HScroll1->x(), HScroll1->y(), start - ui::twips(60) - HScroll1->x(), HScroll1->height());

    static const char* const kana = "ｱｶｻﾀﾅﾊﾏﾔﾗﾜｱｲｳｴｵ";
    const QString kanaText = QString::fromUtf8(kana);
    for (int i = 0; i < 15; ++i) {
        Label1[size_t(i)] = label(this, QStringLiteral("Label1"), i, kanaText.mid(i, 1));
        Label1[size_t(i)]->setAlignment(Qt::AlignCenter);
        Label1[size_t(i)]->setCursor(Qt::PointingHandCursor);
        colour(Label1[size_t(i)], Qt::yellow, Qt::blue);
        const int row = i < 10 ? 0 : 1, column = i < 10 ? i : i - 10;
        place(Label1[size_t(i)], kMargin + 330 * column, 5520 + 300 * row, 300, kLabelHeight);
    }
    // The two lines both start with "ｱ": each is read as what it indexes.
    ui::groupControls({Label1.begin(), Label1.begin() + 10}, QStringLiteral("五十音索引（行）"));
    ui::groupControls({Label1.begin() + 10, Label1.end()}, QStringLiteral("五十音索引（段）"));

    // List headings, left to right over the columns of the record list.
    for (int i : {12, 11, 10, 4, 5, 6, 2, 8, 9, 13}) {
        const QString caption = i == 4 ? QStringLiteral("住所") : QString();
        Label3[size_t(i)] = label(this, QStringLiteral("Label3"), i, caption);
    }

    // Rows of one fixed height (a list view would lay out every line each time it is filled).
    List1 = new records::RecordListView(this);
    ui::name(List1, QStringLiteral("List1"), -1, QStringLiteral("住所録一覧"));
    List1->setFont(fixedPitchFont());
    List1->verticalHeader()->setDefaultSectionSize(QFontMetrics(List1->font()).height() + 2);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    List1Model = new records::RecordListModel(this);
    List1->setModel(List1Model);
    PlaceListArea();
}

void Form3::PlaceListArea()
{
    if (!List1)
        return;
    const int left = ui::twips(kMargin);
    const int top = ui::twips(kListTop);
    const QWidget* room = List1->parentWidget();
    List1->setGeometry(left, top, qMax(ui::twips(8000), room->width() - 2 * left),
                       qMax(ui::twips(2000), room->height() - top - left));

    // Each heading starts over its column: the columns are fixed widths of the list's font.
    struct Column {
        int label, start;
    };
    static const Column columns[] = {{12, 0}, {11, 9}, {10, 21}, {4, 33}, {5, 61}, {6, 75}, {2, 89}, {8, 120}, {9, 150}, {13, 158}};
    const int cell = QFontMetrics(List1->font()).horizontalAdvance(QLatin1Char('0'));
    const int x0 = left + List1->frameWidth() + 2;
    for (const Column& c : columns) {
        QLabel* l = Label3[size_t(c.label)];
        l->setGeometry(x0 + cell * c.start, ui::twips(kListHeadingTop), qMax(cell * 8, l->sizeHint().width()), ui::twips(kLabelHeight));
    }
}
