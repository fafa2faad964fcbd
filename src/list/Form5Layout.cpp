// The printing window's controls at their places (twips from the top left of the window).

#include "list/Form5.h"
#include "list/PrintListModel.h"

#include "edition/Profile.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/ScrolledContent.h"
#include "platform/ui/Twips.h"

#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>

#include <iterator>

namespace {

constexpr int kListLeft = 120;
constexpr int kListWidth = 15135;
constexpr int kHeadingTop = 2340;
constexpr int kListTop = 2600;
// One byte of the list font ("ＭＳ ゴシック", 9 point) is 90 twips wide.
constexpr int kByteTwips = 90;

void place(QWidget* w, int left, int top, int width, int height)
{
    w->setGeometry(ui::twipsRect(left, top, width, height));
}

QLabel* label(QWidget* parent, const QString& systemName, int index, const QString& caption)
{
    auto* l = new QLabel(caption, parent);
    l->setTextFormat(Qt::PlainText);
    ui::name(l, systemName, index);
    return l;
}

// The list where only the window changes the choice: a click and the space bar toggle one line
// through the window, never a range, and no key chooses every line.
class ChoiceList : public QListView {
public:
    using QListView::QListView;
    void selectAll() override {}

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex&, const QEvent*) const override
    {
        return QItemSelectionModel::NoUpdate;
    }
};

void colour(QWidget* w, const QColor& background, const QColor& text)
{
    QPalette p = w->palette();
    if (background.isValid())
        p.setColor(QPalette::Window, background);
    p.setColor(QPalette::WindowText, text);
    w->setPalette(p);
    w->setAutoFillBackground(background.isValid());
}

} // namespace

void Form5::BuildControls()
{
    setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック"), 9));

    Label1 = label(this, QStringLiteral("Label1"), -1, QStringLiteral("宛名印刷"));
    QFont big(QStringLiteral("ＭＳ Ｐゴシック"), 18);
    big.setBold(true);
    Label1->setFont(big);
    colour(Label1, QColor(), Qt::blue);
    place(Label1, kListLeft, 120, 3600, 495);

    Frame1 = new QGroupBox(QStringLiteral("印刷種別"), this);
    ui::name(Frame1, QStringLiteral("Frame1"));
    place(Frame1, kListLeft, 720, 3600, 1335);
    static const char* const kinds[3] = {"宛名ラベル（Ａ４、縦）", "はがき（縦）", "往復はがき（横）"};
    for (int i = 0; i < 3; ++i) {
        Option1[size_t(i)] = new QRadioButton(QString::fromUtf8(kinds[i]), Frame1);
        ui::name(Option1[size_t(i)], QStringLiteral("Option1"), i);
        place(Option1[size_t(i)], 240, 300 + 330 * i, 3240, 300);
    }
    Option1[0]->setChecked(true);
    // The address book's program offers no return postcards.
    if (!edition::profile().HasReturnPostcards)
        Option1[2]->hide();

    Frame2 = new QGroupBox(QStringLiteral("対象者"), this);
    ui::name(Frame2, QStringLiteral("Frame2"));
    place(Frame2, 3960, 720, 2400, 1005);
    static const char* const targets[2] = {"全員", "リスト選択者"};
    for (int i = 0; i < 2; ++i) {
        Option2[size_t(i)] = new QRadioButton(QString::fromUtf8(targets[i]), Frame2);
        ui::name(Option2[size_t(i)], QStringLiteral("Option2"), i);
        place(Option2[size_t(i)], 240, 300 + 330 * i, 2040, 300);
    }
    Option2[0]->setChecked(true);

    static const char* const commands[2] = {"印刷", "終了"};
    for (int i = 0; i < 2; ++i) {
        Command1[size_t(i)] = new QPushButton(QString::fromUtf8(commands[i]), this);
        ui::name(Command1[size_t(i)], QStringLiteral("Command1"), i);
        place(Command1[size_t(i)], 6600 + 1560 * i, 840, 1335, 495);
    }

    Label2 = label(this, QStringLiteral("Label2"), -1,
                   QStringLiteral("※プリンタ設定画面が表示されるので該当する用紙サイズを設定してください"));
    place(Label2, 6600, 1560, 8400, 255);

    // Headings over the first byte of their columns of the list.
    struct Heading {
        int index;
        const char* caption;
        int byte;
    };
    static const Heading headings[] = {
        {12, "会員NO", 0},   {11, "氏名", 9},     {10, "生年月日", 21},
        {4, "住所", 33},     {5, "自宅電話", 61}, {6, "携帯電話", 75},
        {2, "Ｅメールアドレス", 89}, {8, "携帯メールアドレス", 120},
        {9, "登録区分", 150}, {13, "備考", 158},
    };
    const int count = int(std::size(headings));
    for (int k = 0; k < count; ++k) {
        const Heading& h = headings[k];
        // The list's frame stands one pixel before its first byte; the last heading ends with the list.
        const int left = kListLeft + 15 + kByteTwips * h.byte;
        const int width = k + 1 < count ? kByteTwips * (headings[k + 1].byte - h.byte) : kListLeft + kListWidth - left;
        QLabel* l = label(this, QStringLiteral("Label3"), h.index, QString::fromUtf8(h.caption));
        colour(l, Qt::blue, Qt::white);
        place(l, left, kHeadingTop, width, 255);
        Label3[size_t(h.index)] = l;
    }

    List1 = new ChoiceList(this);
    ui::name(List1, QStringLiteral("List1"), -1, QStringLiteral("住所録一覧"));
    List1->setFont(QFont(QStringLiteral("ＭＳ ゴシック"), 9));
    List1->setUniformItemSizes(true);
    // Simple multiple selection: each click toggles one line, no modifier keys (ToggleLine).
    List1->setSelectionMode(QAbstractItemView::MultiSelection);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    List1->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    List1Model = new list::PrintListModel(this);
    List1Model->setFont(List1->font());
    List1->setModel(List1Model);
    List1Model->attach(List1->selectionModel());
    connect(List1Model, &list::PrintListModel::widestChanged, List1, &QListView::doItemsLayout);
    List1->installEventFilter(this);
    PlaceList();
    // A screen smaller than the design scrolls the controls; the list follows the room it gets.
    ui::WindowContent* content = ui::scrolledContent(this, QSize(ui::twips(kListLeft + kListWidth + 240), ui::twips(kListTop + 2400)));
    connect(content, &ui::WindowContent::resized, this, &Form5::PlaceList);
}

void Form5::PlaceList()
{
    const int bottom = qMax(ui::twips(kListTop + 1200), List1->parentWidget()->height() - ui::twips(120));
    List1->setGeometry(ui::twips(kListLeft), ui::twips(kListTop), ui::twips(kListWidth), bottom - ui::twips(kListTop));
}
