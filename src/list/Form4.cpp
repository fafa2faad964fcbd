// The list window's frame: its controls and places, its load and its caption, and the focused row.

#include "list/Form4.h"

#include "edition/Profile.h"
#include "list/ListTopBar.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Options.h"
#include "platform/ui/ScrolledContent.h"
#include "platform/ui/TextFit.h"
#include "platform/ui/Twips.h"
#include "records/DisplayOrder.h"
#include "shell/Module1.h"

#include <QContextMenuEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

using namespace Module1;

namespace {

// Where each cell column lies: its heading, screen line, place and look.
struct Column {
    int heading;
    int line;  // 1 or 2; 0 spans both lines
    int left;
    int width;
    Qt::Alignment align;
    QColor text;
    QColor back;  // invalid: the window's background
};

const QColor kLine1Back(128, 255, 255);

// Text1 .. Text24.
const Column kColumns[listwin::CellColumns] = {
    {0, 0, 120, 855, Qt::AlignCenter, Qt::white, QColor(128, 128, 255)},
    {1, 1, 2880, 1095, Qt::AlignCenter, Qt::black, kLine1Back},
    {2, 1, 3960, 1095, Qt::AlignCenter, Qt::black, kLine1Back},
    {3, 1, 5040, 855, Qt::AlignLeft, Qt::black, kLine1Back},
    {4, 1, 5880, 1215, Qt::AlignLeft, Qt::black, kLine1Back},
    {5, 1, 960, 1935, Qt::AlignLeft, Qt::black, kLine1Back},
    {6, 1, 7080, 1095, Qt::AlignCenter, Qt::black, kLine1Back},
    {7, 1, 8160, 495, Qt::AlignRight, Qt::black, kLine1Back},
    {8, 1, 8640, 2775, Qt::AlignLeft, Qt::black, kLine1Back},
    {9, 1, 11400, 1335, Qt::AlignLeft, Qt::black, kLine1Back},
    {10, 1, 12720, 1335, Qt::AlignLeft, Qt::black, kLine1Back},
    {11, 1, 14040, 1095, Qt::AlignLeft, Qt::black, kLine1Back},
    {12, 2, 960, 1215, Qt::AlignLeft, Qt::black, Qt::white},
    {13, 2, 2160, 975, Qt::AlignLeft, Qt::black, QColor()},
    {14, 2, 3120, 2535, Qt::AlignLeft, Qt::black, QColor()},
    {15, 2, 5640, 975, Qt::AlignRight, Qt::black, QColor()},
    {16, 2, 6600, 855, Qt::AlignRight, Qt::black, QColor()},
    {17, 2, 7440, 855, Qt::AlignRight, Qt::black, QColor()},
    {18, 2, 8280, 855, Qt::AlignRight, Qt::black, QColor()},
    {19, 2, 9120, 855, Qt::AlignRight, Qt::black, QColor()},
    {20, 2, 9960, 855, Qt::AlignRight, Qt::black, QColor()},
    {21, 2, 10800, 1935, Qt::AlignLeft, Qt::black, QColor()},
    {22, 2, 12720, 735, Qt::AlignLeft, Qt::black, QColor()},
    {23, 2, 13440, 1695, Qt::AlignLeft, Qt::black, QColor()},
};

constexpr int kHeadingTop1 = 480;
constexpr int kHeadingTop2 = 720;
constexpr int kHeadingHeight = 255;
constexpr int kGridTop = 960;
constexpr int kRowPitch = 480;
constexpr int kLineHeight = 240;
constexpr int kBottomTop = 10560;

void Colour(QWidget* w, QPalette::ColorRole textRole, const QColor& text, QPalette::ColorRole backRole, const QColor& back)
{
    QPalette p = w->palette();
    p.setColor(textRole, text);
    if (back.isValid()) {
        p.setColor(backRole, back);
        w->setAutoFillBackground(true);
    }
    w->setPalette(p);
}

} // namespace

Form4::Form4(QWidget* parent) : ui::Window(parent)
{
    ui::name(this, QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("住所録一覧表"));
    QFont small = font();
    small.setPointSize(9);
    setFont(small);
    BuildTopBar();
    BuildGrid();
    BuildRowMenu();
    // A screen narrower than the design scrolls the page instead of cutting 終了 off.
    ui::scrolledContent(this, QSize(ui::twips(16200), ui::twips(10900)));
}

Form4::~Form4() = default;

void Form4::BuildTopBar()
{
    for (const listwin::BarItem& item : listwin::TopBar(edition::profile())) {
        const QRect place = ui::twipsRect(item.left, listwin::BarTop, item.width, listwin::BarHeight);
        QWidget* w = nullptr;
        if (item.systemName == QLatin1String("Command1")) {
            auto* b = new QPushButton(item.caption, this);
            const int i = item.index;
            connect(b, &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
            Command1[size_t(i)] = b;
            w = b;
        } else if (item.systemName == QLatin1String("Option2")) {
            auto* o = new QRadioButton(item.caption, this);
            const int i = item.index;
            Option2[size_t(i)] = o;
            w = o;
        } else if (item.systemName == QLatin1String("HScroll1")) {
            HScroll1 = new QScrollBar(Qt::Horizontal, this);
            HScroll1->setRange(0, 0);
            HScroll1->setSingleStep(1);
            HScroll1->setPageStep(1);
            connect(HScroll1, &QScrollBar::valueChanged, this, [this] { HScroll1_Change(); });
            w = HScroll1;
            ui::name(w, item.systemName, -1, QStringLiteral("表示位置"));
        } else {
            Label2 = new QLabel(item.caption, this);
            Colour(Label2, QPalette::WindowText, QColor(0, 0, 255), QPalette::Window, QColor());
            Label2->setAlignment(Qt::AlignCenter);
            w = Label2;
        }
        if (item.systemName != QLatin1String("HScroll1"))
            ui::name(w, item.systemName, item.index);
        w->setGeometry(place);
    }
    // Read with the caption the bar shows before them, as the record window's order options are
    // read with their frame's.
    ui::groupControls({Option2.begin(), Option2.end()}, Label2->text());
    Option2[0]->setChecked(true);  // the design's selection
    // Connected after it: the design's selection is no order change.
    ui::onOptionChecked(Option2, [this](int i) { Option2_Click(i); }, ui::ChosenClick::Runs);
}

void Form4::BuildGrid()
{
    // The cells are narrow (the old fixed-pitch font at 9 points): a size smaller than the
    // window's keeps a number or a date whole in its cell; the headings match.
    QFont cellFont = font();
    cellFont.setPointSizeF(cellFont.pointSizeF() * 0.85);
    for (int h = 0; h < listwin::HeadingCount; ++h) {
        const Column* c = nullptr;
        for (const Column& col : kColumns)
            if (col.heading == h)
                c = &col;
        auto* l = new QLabel(this);
        ui::name(l, QStringLiteral("Label1"), h);
        l->setFont(cellFont);
        l->setAlignment(Qt::AlignCenter);
        Colour(l, QPalette::WindowText, QColor(255, 255, 0), QPalette::Window, h == 0 ? QColor(0, 0, 64) : QColor(0, 0, 128));
        if (c->line == 0)
            l->setGeometry(ui::twipsRect(c->left, kHeadingTop1, c->width, 495));
        else
            l->setGeometry(ui::twipsRect(c->left, c->line == 1 ? kHeadingTop1 : kHeadingTop2, c->width, kHeadingHeight));
        Label1[size_t(h)] = l;
    }

    // A page move rewrites up to 480 cells: their texts (Japanese and digits, no script that
    // needs it) are laid out without the shaping step, which is most of a move's time.
    QFont cellTextFont = cellFont;
    cellTextFont.setStyleStrategy(QFont::PreferNoShaping);
    // Each row's cells in a box of their own: a page move repaints 480 cells, and Qt works out
    // for each painted cell which of its siblings cover it, so fewer siblings paint faster. The
    // boxes are transparent, span the row from the window's left edge (a cell's left is the
    // same in its box as in the window) and hold nothing else.
    int gridRight = 0;
    for (const Column& c : kColumns)
        gridRight = qMax(gridRight, c.left + c.width);
    std::array<QWidget*, listwin::PageRows> rowBoxes{};
    for (int r = 0; r < listwin::PageRows; ++r) {
        QWidget* box = new QWidget(this);
        box->setAccessibleName(QStringLiteral("%1行目").arg(r + 1));
        box->setGeometry(ui::twipsRect(0, kGridTop + kRowPitch * r, gridRight, 495));
        rowBoxes[size_t(r)] = box;
    }
    for (int k = 0; k < listwin::CellColumns; ++k) {
        const Column& c = kColumns[k];
        for (int r = 0; r < listwin::PageRows; ++r) {
            auto* e = new QLineEdit(rowBoxes[size_t(r)]);
            ui::name(e, QStringLiteral("Text%1").arg(k + 1), r);
            // Read-only: the page is only shown; focus, selection and copying still work.
            e->setReadOnly(true);
            e->setFrame(false);
            e->setFont(cellTextFont);
            e->setTextMargins(1, 0, 1, 0);
            e->setAlignment(c.align | Qt::AlignVCenter);
            Colour(e, QPalette::Text, c.text, QPalette::Base, c.back.isValid() ? c.back : palette().color(QPalette::Window));
            const int top = kGridTop + kRowPitch * r + (c.line == 2 ? kLineHeight : 0);
            e->setGeometry(ui::twipsRect(c.left, top, c.width, c.line == 0 ? 495 : kLineHeight)
                               .translated(-rowBoxes[size_t(r)]->pos()));
            e->installEventFilter(this);
            Cells[size_t(k)][size_t(r)] = e;
        }
    }
    // The tab order runs row by row, so that the number cell of row 0 comes first.
    QWidget* previous = nullptr;
    for (int r = 0; r < listwin::PageRows; ++r) {
        for (int k : {0, 5, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23}) {
            QWidget* w = Cells[size_t(k)][size_t(r)];
            if (previous)
                setTabOrder(previous, w);
            previous = w;
        }
    }

    Label3 = new QLabel(QStringLiteral("【注意】コマンド表示（明細、WEB,写真）は事前にカーソルを表示する対象個所に移動後行ってください"), this);
    ui::name(Label3, QStringLiteral("Label3"));
    Label3->setGeometry(ui::twipsRect(1080, kBottomTop, 8055, kLineHeight));
    Label4 = new QLabel(this);
    // Read by the position it shows ("21/57"); "Label4" is its description.
    ui::name(Label4, QStringLiteral("Label4"));
    Label4->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label4->setGeometry(ui::twipsRect(13800, kBottomTop, 1335, kLineHeight));
    // The note whole in the room before the page indicator.
    ui::fitText(Label3, Label3->x(), Label4->x() - ui::twips(120));
}

bool Form4::CellPlace(const QObject* watched, int* column, int* row) const
{
    for (int k = 0; k < listwin::CellColumns; ++k)
        for (int r = 0; r < listwin::PageRows; ++r)
            if (Cells[size_t(k)][size_t(r)] == watched) {
                *column = k;
                *row = r;
                return true;
            }
    return false;
}

bool Form4::eventFilter(QObject* watched, QEvent* event)
{
    int column = -1, row = -1;
    switch (event->type()) {
    case QEvent::FocusIn:
        // Any cell that gets the focus makes its row the focused row, the 状態 column included.
        if (CellPlace(watched, &column, &row))
            FocusedRow = row;
        break;
    case QEvent::KeyPress:
        if (CellKey(watched, static_cast<QKeyEvent*>(event)))
            return true;
        break;
    case QEvent::ContextMenu:
        // A right click, or the Menu key where the desktop sends it as a menu request: the row's
        // commands instead of the cell's own editing menu.
        if (CellPlace(watched, &column, &row)) {
            const auto* request = static_cast<QContextMenuEvent*>(event);
            const bool byKeys = request->reason() == QContextMenuEvent::Keyboard;
            auto* cell = static_cast<QWidget*>(watched);
            ShowRowMenu(row, byKeys ? cell->mapToGlobal(QPoint(0, cell->height())) : request->globalPos(), byKeys);
            return true;
        }
        break;
    default:
        break;
    }
    return ui::Window::eventFilter(watched, event);
}

bool Form4::CellKey(QObject* watched, const QKeyEvent* key)
{
    int column = -1, row = -1;
    if (!CellPlace(watched, &column, &row))
        return false;
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    // The row's commands by keys, where the user stands, as the desktop opens a context menu.
    if ((key->key() == Qt::Key_Menu && modifiers == Qt::NoModifier)
        || (key->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier)) {
        auto* cell = static_cast<QWidget*>(watched);
        ShowRowMenu(row, cell->mapToGlobal(QPoint(0, cell->height())), true);
        return true;
    }
    if (modifiers != Qt::NoModifier)
        return false;
    switch (key->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down: {
        // The same column of the row above or below; the page's first and last rows are its ends.
        const int to = row + (key->key() == Qt::Key_Up ? -1 : 1);
        if (to >= 0 && to < listwin::PageRows)
            Cells[size_t(column)][size_t(to)]->setFocus(Qt::OtherFocusReason);
        return true;
    }
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        // As the buttons do; the focus follows the focused row they leave (row 0 after a page
        // move), in the column it was in.
        Command1_Click(key->key() == Qt::Key_PageUp ? 1 : 2);
        Cells[size_t(column)][size_t(FocusedRow)]->setFocus(Qt::OtherFocusReason);
        return true;
    default:
        return false;
    }
}

// ---- load ----

void Form4::formLoad()
{
    // From here on the window keeps to the book it was loaded with.
    WindowDbFile = CurrentDbFile;
    WindowDb = CurrentDb;
    WindowSettingsRs = BookSettingsRs;

    QString title = edition::profile().EditionName;
    try {
        if (WindowSettingsRs.isOpen() && !WindowSettingsRs.eof() && !WindowSettingsRs.isNull(BookSettings::Title))
            title = WindowSettingsRs.text(BookSettings::Title);
    } catch (const db::Error& e) {
        ReportError(e);
    }
    SetCaption(title + QString(10, QLatin1Char(' ')) + WindowDbFile.FullPath);
    DisplayOrder = 9;
    StoreRefusalReported = false;

    try {
        CaptionRs = WindowDb.openRecordset(QStringLiteral("住所録ラベル"), db::RecordsetType::Table);
    } catch (const db::Error& e) {
        // Without the caption row every heading and option keeps its built-in caption.
        if (e.number() != db::err::ObjectNotFound)
            ReportError(e);
    }
    const std::array<QString, 6> captions = listwin::OrderOptionCaptions(listwin::ReadCaptionRow(CaptionRs));
    for (int i = 0; i < 6; ++i)
        Option2[size_t(i)]->setText(captions[size_t(i)]);

    // An order that is not "1" to "6" opens the first one.
    const int k = records::StoredDisplayOrder(WindowSettingsRs) - 1;
    ui::checkOption(Option2[size_t(k)]);
    FocusedRow = 0;
    Cells[0][0]->setFocus(Qt::OtherFocusReason);
}

void Form4::SetCaption(const QString& title)
{
    setWindowTitle(listwin::WindowCaption(title, ui::dialogs().today()));
    LastScrollValue = 0;
}

void Form4::SyncAccessibleNames(const std::array<QString, listwin::HeadingCount>& headings)
{
    if (headings == ShownHeadings)
        return;
    ShownHeadings = headings;
    for (int k = 0; k < listwin::CellColumns; ++k) {
        const int h = kColumns[k].heading;
        QString heading = headings[size_t(h)];
        // A value column the book gave no caption shows an empty heading: read by its field.
        if (heading.isEmpty() && h >= 15 && h <= 20)
            heading = QStringLiteral("数値%1").arg(h - 14);
        for (QLineEdit* e : Cells[size_t(k)])
            e->setAccessibleName(heading);
    }
}
