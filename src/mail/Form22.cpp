// The mail window's frame: its controls on two tabs, the load, the caption and headings, the
// sign-on to the mail session, and the options kept in the book's settings row.

#include "mail/Form22.h"

#include "mail/ListHeadings.h"

#include "edition/Profile.h"
#include "platform/db/Error.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/InputMode.h"
#include "platform/ui/Options.h"
#include "platform/ui/ScrolledContent.h"
#include "platform/ui/Twips.h"
#include "records/DisplayOrder.h"
#include "records/RecordListModel.h"
#include "shell/Formats.h"
#include "shell/Helpers.h"
#include "shell/Module1.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStringListModel>
#include <QTabWidget>
#include <QVBoxLayout>

#include <limits>

using namespace Module1;

namespace {

QFont ListFont()
{
    return QFont(QStringLiteral("ＭＳ ゴシック"), 9);
}

template <class W>
W* Named(W* w, const QString& system, int index = -1)
{
    ui::name(w, system, index);
    return w;
}

QPushButton* Button(const QString& caption, const QString& system, int index)
{
    return Named(new QPushButton(caption), system, index);
}

QRadioButton* Radio(const QString& caption, const QString& system, int index)
{
    return Named(new QRadioButton(caption), system, index);
}

// A box that holds recipient lists of any length.
QLineEdit* LongBox(const QString& system)
{
    auto* box = Named(new QLineEdit, system);
    box->setMaxLength(std::numeric_limits<int>::max());
    box->setFont(ListFont());
    return box;
}

// The names and addresses boxes: any length, only what is shown laid out.
mail::RecipientBox* RecipientsBox(const QString& system)
{
    auto* box = Named(new mail::RecipientBox, system);
    box->setFont(ListFont());
    return box;
}

QListView* FixedList(const QString& system)
{
    auto* list = Named(new QListView, system);
    list->setFont(ListFont());
    list->setUniformItemSizes(true);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list->setWordWrap(false);
    return list;
}

QGroupBox* Frame(const QString& title, const QList<QWidget*>& members, bool vertical = true)
{
    auto* frame = new QGroupBox(title);
    frame->setObjectName(title);
    QBoxLayout* layout = vertical ? static_cast<QBoxLayout*>(new QVBoxLayout(frame))
                                  : static_cast<QBoxLayout*>(new QHBoxLayout(frame));
    for (QWidget* w : members)
        layout->addWidget(w);
    return frame;
}

} // namespace

void Form22::Guarded(const std::function<void()>& step)
{
    try {
        step();
    } catch (const db::Error& e) {
        ReportError(e);
    } catch (const mailclient::MailError& e) {
        ReportError(e.number(), e.description());
    } catch (const std::exception& e) {
        ReportError(0, QString::fromLocal8Bit(e.what()));
    }
}

Form22::Form22(QWidget* parent) : ui::Window(parent)
{
    ui::name(this, QStringLiteral("Form22"));
    setWindowTitle(QStringLiteral("メール整理"));
    BuildControls();
    ConnectHandlers();
}

Form22::~Form22() = default;

void Form22::BuildControls()
{
    auto* top = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    bar->addStretch();
    Command2[9] = Button(QStringLiteral("終了"), QStringLiteral("Command2"), 9);
    bar->addWidget(Command2[9]);
    top->addLayout(bar);

    SSTab1 = Named(new QTabWidget, QStringLiteral("SSTab1"));
    SSTab1->addTab(BuildSendTab(), QStringLiteral("送信メール"));
    SSTab1->addTab(BuildReceiveTab(), QStringLiteral("受信メール"));
    SSTab1->setCurrentIndex(1);
    top->addWidget(SSTab1, 1);
    NameBoxes();
    // A screen narrower than the window's design scrolls it instead of cutting 終了 off.
    ui::scrolledContent(this);
}

void Form22::NameBoxes()
{
    // Boxes and lists are read by the heading or caption shown with them.
    SSTab1->setAccessibleName(QStringLiteral("送信メール・受信メール"));
    List4->setAccessibleName(QStringLiteral("定型一覧"));
    const std::pair<QWidget*, QLabel*> captioned[] = {{Text1, Label1[0]}, {Text2, Label1[1]}, {Text3, Label1[2]},
                                                      {Text4, Label1[3]}, {Text5, Label1[4]}, {List2, Label1[5]},
                                                      {Text7[0], Label2[6]}, {Text7[1], Label2[5]},
                                                      {Text7[2], Label2[4]}, {Text7[3], Label2[7]},
                                                      {List5, Label2[8]}};
    for (const auto& [box, caption] : captioned)
        box->setAccessibleName(caption->text());
    List1->setAccessibleName(QStringLiteral("住所録一覧"));
    List3->setAccessibleName(QStringLiteral("受信メール一覧"));
    Text6->setAccessibleName(QStringLiteral("本文（プレビュー）"));
    // The stepper moves through the received mail, as the record window's through its records.
    HScroll1->setAccessibleName(QStringLiteral("受信メール位置"));
}

QWidget* Form22::BuildSendTab()
{
    auto* tab = new QWidget;
    auto* grid = new QGridLayout(tab);

    // Left column: commands and the separator and order frames.
    auto* left = new QVBoxLayout;
    Command1[0] = Button(QStringLiteral("送信"), QStringLiteral("Command1"), 0);
    Command3[2] = Button(QStringLiteral("宛名リスト選択表示"), QStringLiteral("Command3"), 2);
    Command3[3] = Button(QStringLiteral("初期オプション記憶"), QStringLiteral("Command3"), 3);
    Command3[1] = Button(QStringLiteral("電話"), QStringLiteral("Command3"), 1);
    Command3[0] = Button(QStringLiteral("読込"), QStringLiteral("Command3"), 0);
    Command3[1]->setVisible(false);
    Command3[0]->setVisible(false);
    for (QWidget* w : {static_cast<QWidget*>(Command1[0]), static_cast<QWidget*>(Command3[2]),
                       static_cast<QWidget*>(Command3[3]), static_cast<QWidget*>(Command3[1]),
                       static_cast<QWidget*>(Command3[0])})
        left->addWidget(w);
    Option9[0] = Radio(QStringLiteral("；"), QStringLiteral("Option9"), 0);
    Option9[1] = Radio(QStringLiteral("，"), QStringLiteral("Option9"), 1);
    left->addWidget(Frame(QStringLiteral("区切文字"), {Option9[0], Option9[1]}, false));
    const QStringList orders = {QStringLiteral("登録番号"), QStringLiteral("登録日"), QStringLiteral("フリガナ"),
                                QStringLiteral("登録区分"), QStringLiteral("生年月日"), QStringLiteral("誕生日")};
    QList<QWidget*> orderButtons;
    for (int i = 0; i < 6; ++i)
        orderButtons << (Option6[size_t(i)] = Radio(orders[i], QStringLiteral("Option6"), i));
    left->addWidget(Frame(QStringLiteral("住所録表示順"), orderButtons));
    left->addStretch();
    grid->addLayout(left, 0, 0, 3, 1);

    // Top row: the option frames, then the template commands and list.
    auto* options = new QHBoxLayout;
    Option1[0] = Radio(QStringLiteral("全員（リスト選択者は除く）"), QStringLiteral("Option1"), 0);
    Option1[1] = Radio(QStringLiteral("住所録リストの選択者"), QStringLiteral("Option1"), 1);
    Option1[2] = Radio(QStringLiteral("テキスト指定内容"), QStringLiteral("Option1"), 2);
    options->addWidget(Frame(QStringLiteral("送信先対象者"), {Option1[0], Option1[1], Option1[2]}));
    Option2[0] = Radio(QStringLiteral("インターネットメール"), QStringLiteral("Option2"), 0);
    Option2[1] = Radio(QStringLiteral("携帯メール"), QStringLiteral("Option2"), 1);
    Option2[2] = Radio(QStringLiteral("上記両方（インターネット、携帯メール）"), QStringLiteral("Option2"), 2);
    Check2 = Named(new QCheckBox(QStringLiteral("なし時携帯メール")), QStringLiteral("Check2"));
    options->addWidget(Frame(QStringLiteral("メールアドレス選択"), {Option2[0], Option2[1], Option2[2], Check2}));
    Option7[0] = Radio(QStringLiteral("する"), QStringLiteral("Option7"), 0);
    Option7[1] = Radio(QStringLiteral("しない"), QStringLiteral("Option7"), 1);
    options->addWidget(Frame(QStringLiteral("宛名本文挿入"), {Option7[0], Option7[1]}));
    Option8[0] = Radio(QStringLiteral("様"), QStringLiteral("Option8"), 0);
    Option8[1] = Radio(QStringLiteral("殿"), QStringLiteral("Option8"), 1);
    Option8[2] = Radio(QStringLiteral("御中"), QStringLiteral("Option8"), 2);
    options->addWidget(Frame(QStringLiteral("敬称"), {Option8[0], Option8[1], Option8[2]}));
    Option3[0] = Radio(QStringLiteral("一括送信"), QStringLiteral("Option3"), 0);
    Option3[1] = Radio(QStringLiteral("個別送信"), QStringLiteral("Option3"), 1);
    QGroupBox* sendWay = Frame(QStringLiteral("送信方法"), {Option3[0], Option3[1]});
    sendWay->setVisible(false);
    options->addWidget(sendWay);
    auto* templates = new QVBoxLayout;
    const QStringList templateCaptions = {QStringLiteral("定型表示"), QStringLiteral("定型登録"),
                                          QStringLiteral("定型更新"), QStringLiteral("定型削除")};
    auto* templateButtons = new QHBoxLayout;
    for (int i = 5; i <= 8; ++i)
        templateButtons->addWidget(Command1[size_t(i)] = Button(templateCaptions[i - 5], QStringLiteral("Command1"), i));
    templates->addLayout(templateButtons);
    Option10[0] = Radio(QStringLiteral("全て"), QStringLiteral("Option10"), 0);
    Option10[1] = Radio(QStringLiteral("宛名"), QStringLiteral("Option10"), 1);
    Option10[2] = Radio(QStringLiteral("件名、本文"), QStringLiteral("Option10"), 2);
    templates->addWidget(Frame(QStringLiteral("定型表示"), {Option10[0], Option10[1], Option10[2]}, false));
    List4 = Named(new QListWidget, QStringLiteral("List4"));
    List4->setFont(ListFont());
    templates->addWidget(List4);
    options->addLayout(templates, 1);
    grid->addLayout(options, 0, 1);

    // Middle: the recipient, CC, subject and body boxes, the attachment list.
    auto* boxes = new QGridLayout;
    const QStringList boxCaptions = {QStringLiteral("宛名の名称"), QStringLiteral("メールアドレス"), QStringLiteral("ＣＣ"),
                                     QStringLiteral("件名"), QStringLiteral("本文"), QStringLiteral("添付ファイルリスト")};
    for (int i = 0; i < 6; ++i)
        Label1[size_t(i)] = Named(new QLabel(boxCaptions[i]), QStringLiteral("Label1"), i);
    Text1 = RecipientsBox(QStringLiteral("Text1"));
    Text2 = RecipientsBox(QStringLiteral("Text2"));
    Text3 = LongBox(QStringLiteral("Text3"));
    Text4 = LongBox(QStringLiteral("Text4"));
    Text5 = Named(new QPlainTextEdit, QStringLiteral("Text5"));
    Text5->setFont(ListFont());
    // Tab leaves the body, as in every other multi-line box; a body takes no tab characters.
    Text5->setTabChangesFocus(true);
    List2 = Named(new QListWidget, QStringLiteral("List2"));
    List2->setFont(ListFont());
    QWidget* boxWidgets[6] = {Text1, Text2, Text3, Text4, Text5, List2};
    for (int i = 0; i < 6; ++i) {
        boxes->addWidget(Label1[size_t(i)], i, 0);
        boxes->addWidget(boxWidgets[i], i, 1);
    }
    Command1[4] = Button(QStringLiteral("宛先をCCへコピー"), QStringLiteral("Command1"), 4);
    Command1[4]->setVisible(false);
    boxes->addWidget(Command1[4], 2, 2);
    auto* attach = new QVBoxLayout;
    attach->addWidget(Command1[1] = Button(QStringLiteral("参照"), QStringLiteral("Command1"), 1));
    attach->addWidget(Command1[2] = Button(QStringLiteral("削除"), QStringLiteral("Command1"), 2));
    attach->addWidget(Command1[3] = Button(QStringLiteral("クリア"), QStringLiteral("Command1"), 3));
    boxes->addLayout(attach, 5, 2);
    grid->addLayout(boxes, 1, 1);

    // Bottom: the address-book list under its headings, placed in twips over the line's columns.
    auto* listArea = new QWidget;
    auto* listLayout = new QVBoxLayout(listArea);
    auto* headings = new QWidget;
    headings->setMinimumHeight(ui::twips(255));
    const QStringList headingCaptions = {
        QStringLiteral("NO"),       QStringLiteral("氏名"),     QStringLiteral("生年月日"),
        QStringLiteral("年齢"),     QStringLiteral("住所"),     QStringLiteral("自宅電話"),
        QStringLiteral("携帯電話"), QStringLiteral("インターネットメールアドレス"),
        QStringLiteral("携帯メールアドレス"), QStringLiteral("登録区分"), QStringLiteral("備考")};
    const int lefts[11] = {120, 960, 2040, 2760, 3120, 5280, 6600, 7920, 10800, 13680, 14400};
    const int widths[11] = {855, 1095, 735, 375, 2175, 1335, 1335, 2895, 2895, 735, 735};
    for (int i = 0; i < 11; ++i) {
        auto* l = Named(new QLabel(headingCaptions[i], headings), QStringLiteral("Label3"), i);
        l->setGeometry(ui::twipsRect(lefts[i] - 120, 0, widths[i], 255));
    }
    listLayout->addWidget(headings);
    List1 = FixedList(QStringLiteral("List1"));
    List1->setSelectionMode(QAbstractItemView::MultiSelection);
    List1Model = new records::RecordListModel(mail::AddressListFields(), &mail::AddressListLine, this);
    List1->setModel(List1Model);
    listLayout->addWidget(List1, 1);
    grid->addWidget(listArea, 2, 1);
    grid->setRowStretch(2, 1);
    for (int i = 0; i < 11; ++i)
        Label3[size_t(i)] = headings->findChild<QLabel*>(ui::objectNameFor(QStringLiteral("Label3"), i));

    // Design choices.
    Option1[1]->setChecked(true);
    Option2[0]->setChecked(true);
    Check2->setChecked(true);
    Option7[1]->setChecked(true);
    Option8[0]->setChecked(true);
    Option3[1]->setChecked(true);
    Option9[0]->setChecked(true);
    Option6[0]->setChecked(true);
    Option10[0]->setChecked(true);
    return tab;
}

QWidget* Form22::BuildReceiveTab()
{
    auto* tab = new QWidget;
    auto* column = new QVBoxLayout(tab);
    const auto label2 = [this](int i, const QString& caption) {
        return Label2[size_t(i)] = Named(new QLabel(caption), QStringLiteral("Label2"), i);
    };

    auto* row = new QHBoxLayout;
    row->addWidget(Command2[0] = Button(QStringLiteral("再受信"), QStringLiteral("Command2"), 0));
    row->addWidget(Command2[1] = Button(QStringLiteral("返信"), QStringLiteral("Command2"), 1));
    const QStringList filters = {QStringLiteral("全メール"), QStringLiteral("差出人指定"), QStringLiteral("件名指定"),
                                 QStringLiteral("住所録登録者")};
    QList<QWidget*> filterButtons;
    for (int i = 0; i < 4; ++i)
        filterButtons << (Option4[size_t(i)] = Radio(filters[i], QStringLiteral("Option4"), i));
    row->addWidget(Frame(QStringLiteral("表示対象"), filterButtons, false));
    row->addWidget(label2(12, QStringLiteral("件数")));
    Option5[0] = Radio(QStringLiteral("受信順"), QStringLiteral("Option5"), 0);
    Option5[1] = Radio(QStringLiteral("受信トレイ指定"), QStringLiteral("Option5"), 1);
    QGroupBox* order = Frame(QStringLiteral("表示順番"), {Option5[0], Option5[1]}, false);
    order->setVisible(false);
    row->addWidget(order);
    Check1 = Named(new QCheckBox(QStringLiteral("メールをダウンロードする")), QStringLiteral("Check1"));
    Check1->setVisible(false);
    row->addWidget(Check1);
    const std::pair<int, const char*> hidden[] = {{2, "転送"}, {6, "既定値設定"}, {3, "削除"}, {4, "差出人住所録登録"}};
    for (const auto& [i, caption] : hidden) {
        Command2[size_t(i)] = Button(QString::fromUtf8(caption), QStringLiteral("Command2"), i);
        Command2[size_t(i)]->setVisible(false);
        row->addWidget(Command2[size_t(i)]);
    }
    row->addWidget(Command2[7] = Button(QStringLiteral("添付ファイルを開く"), QStringLiteral("Command2"), 7));
    row->addWidget(Command2[5] = Button(QStringLiteral("CSV形式ファイル出力"), QStringLiteral("Command2"), 5));
    HScroll1 = Named(new QScrollBar(Qt::Horizontal), QStringLiteral("HScroll1"));
    HScroll1->setRange(0, 0);
    row->addWidget(HScroll1, 1);
    column->addLayout(row);

    // The headings stand over the columns of the lines below, placed from the same widths.
    List3 = FixedList(QStringLiteral("List3"));
    List3->setSelectionMode(QAbstractItemView::SingleSelection);
    List3Model = new mail::ReceivedMailListModel(this);
    List3->setModel(List3Model);
    ReceivedHeadings = new mail::ListHeadings(List3);
    const mail::ReceivedMailColumnStarts at = mail::ReceivedMailColumns(false);
    ReceivedHeadings->setColumn(label2(0, QStringLiteral("日時")), at.date);
    ReceivedHeadings->setColumn(label2(10, QStringLiteral("読")), at.readMark);
    ReceivedHeadings->setColumn(label2(11, QStringLiteral("添")), at.attachments);
    ReceivedHeadings->setColumn(label2(1, QStringLiteral("差出人")), at.sender);
    ReceivedHeadings->setColumn(label2(2, QStringLiteral("件名")), at.subject);
    ReceivedHeadings->setColumn(label2(3, QStringLiteral("本文（プレビュー）")), at.body);
    column->addWidget(ReceivedHeadings);
    column->addWidget(List3, 2);

    auto* preview = new QGridLayout;
    const int previewLabels[4] = {6, 5, 4, 7};
    const QStringList previewCaptions = {QStringLiteral("日時"), QStringLiteral("差出人"), QStringLiteral("メールアドレス"),
                                         QStringLiteral("件名")};
    for (int i = 0; i < 4; ++i) {
        preview->addWidget(label2(previewLabels[i], previewCaptions[i]), 0, i);
        Text7[size_t(i)] = Named(new QLineEdit, QStringLiteral("Text7"), i);
        Text7[size_t(i)]->setFont(ListFont());
        Text7[size_t(i)]->setMaxLength(std::numeric_limits<int>::max());
        Text7[size_t(i)]->installEventFilter(this);
        preview->addWidget(Text7[size_t(i)], 1, i);
    }
    ui::setInputMode(Text7[3], ui::InputMode::Hiragana);
    column->addLayout(preview);
    Text6 = Named(new QPlainTextEdit, QStringLiteral("Text6"));
    Text6->setFont(ListFont());
    Text6->setTabChangesFocus(true);
    column->addWidget(Text6, 1);

    List5 = FixedList(QStringLiteral("List5"));
    List5->setSelectionMode(QAbstractItemView::SingleSelection);
    List5Model = new QStringListModel(this);
    List5->setModel(List5Model);
    SenderHeadings = new mail::ListHeadings(List5);
    const mail::SenderColumnStarts sender = mail::SenderColumns();
    SenderHeadings->setColumn(label2(8, QStringLiteral("差出人一覧")), sender.name);
    SenderHeadings->setColumn(label2(14, QStringLiteral("メールアドレス")), sender.address);
    SenderHeadings->setColumn(label2(15, QStringLiteral("受信記録")), sender.dates);
    SenderHeadings->setColumn(label2(16, QStringLiteral("件数")), sender.count);
    column->addWidget(SenderHeadings);
    column->addWidget(List5, 1);

    Option4[0]->setChecked(true);
    Option5[0]->setChecked(true);
    // Label2(9) and Label2(13) are not part of the window.
    return tab;
}

void Form22::ConnectHandlers()
{
    for (int i = 0; i < int(Command1.size()); ++i)
        if (Command1[size_t(i)])
            connect(Command1[size_t(i)], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
    for (int i = 0; i < int(Command2.size()); ++i)
        if (Command2[size_t(i)])
            connect(Command2[size_t(i)], &QPushButton::clicked, this, [this, i] { Command2_Click(i); });
    for (int i = 0; i < 4; ++i)
        connect(Command3[size_t(i)], &QPushButton::clicked, this, [this, i] { Command3_Click(i); });
    // The send options react to a change of choice, not to a click on the chosen button.
    ui::onOptionChecked(Option6, [this](int i) { Option6_Click(i); });
    ui::onOptionChecked(Option1, [this](int i) { Option1_Click(i); });
    ui::onOptionChecked(Option2, [this](int i) { Option2_Click(i); });
    ui::onOptionChecked(Option9, [this](int i) { Option9_Click(i); });
    // A click on the chosen filter or order applies it again (a changed subject, a new fetch).
    ui::onOptionChecked(Option4, [this](int i) { Option4_Click(i); }, ui::ChosenClick::Runs);
    ui::onOptionChecked(Option5, [this](int i) { Option5_Click(i); }, ui::ChosenClick::Runs);
    ui::onCheckChanged(Check1, [this] { Check1_Click(); });
    connect(List1, &QListView::clicked, this, [this] { List1_Click(); });
    connect(List3->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { List3_Click(); });
    connect(List5->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { List5_Click(); });
    connect(HScroll1, &QScrollBar::valueChanged, this, [this] { HScroll1_Change(); });
}

bool Form22::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut)
        for (int i = 0; i < 4; ++i)
            if (watched == Text7[size_t(i)])
                Text7_LostFocus(i);
    return ui::Window::eventFilter(watched, event);
}

void Form22::formLoad()
{
    Loading = true;
    SelectingRows = false;
    AskedToRegisterSenders = false;

    // From here on the window keeps to the book it was loaded with.
    WindowDbFile = CurrentDbFileCopy;
    WindowDb = CurrentDb;
    WindowSettingsRs = BookSettingsRs;

    ClearTextsAndSetCaption(QStringLiteral("メール整理") + QString(10, u' ') + WindowDbFile.FullPath);
    Guarded([this] { CaptionRs = WindowDb.openRecordset(QStringLiteral("住所録ラベル"), db::RecordsetType::Table); });
    Guarded([this] { ApplyListHeadings(); });
    Guarded([this] { ReadOptions(); });
    Guarded([this] { OpenRecordsetBySortOption(); });
    Guarded([this] { FillRecordList(); });

    SubjectFilter.clear();
    SignedOn = false;
    MAPISession1.setDownLoadMail(false);
    if (SignOnMailSession())
        FetchInbox();

    Templates.reset();
    Guarded([this] { Templates = std::make_unique<mail::MailTemplates>(WindowDb); });
    Guarded([this] { FillTemplateList(0); });
    Loading = false;
    AddressSeparator = Option9[0]->isChecked() ? QStringLiteral(";") : QStringLiteral(",");

    const int rows = List3Model->rowCount();
    if (rows > 0) {
        HScroll1->setValue(rows - 1);
        setList3Index(rows - 1);
    }
}

void Form22::ClearTextsAndSetCaption(const QString& title)
{
    Text1->clear();
    Text2->clear();
    Text3->clear();
    Text4->clear();
    Text5->clear();
    Text6->clear();
    for (QLineEdit* box : Text7)
        box->clear();
    setWindowTitle(FitBytes(title, 160) + FormatCaptionDate(ui::dialogs().today()));
}

void Form22::ApplyListHeadings()
{
    const auto caption = [this](const QString& field) -> QVariant {
        if (!CaptionRs.isOpen() || CaptionRs.bof() || CaptionRs.eof() || !CaptionRs.hasField(field))
            return {};
        return CaptionRs.value(field);
    };
    const QVariant number = caption(QStringLiteral("登録番号"));
    Label3[0]->setText(number.isNull() || number.toString().isEmpty() ? QStringLiteral("登録番号")
                                                                      : number.toString().left(4));
    const QVariant name = caption(QStringLiteral("氏名"));
    Label3[1]->setText(name.isNull() ? QStringLiteral("氏名") : name.toString());
    const QVariant birth = caption(QStringLiteral("生年月日"));
    if (birth.isNull()) {
        Label3[2]->setText(QStringLiteral("誕生日"));
        Label3[3]->setText(QStringLiteral("年齢"));
    } else if (birth.toString() == QStringLiteral("生年月日")) {
        Label3[2]->setText(QStringLiteral("生年月日"));
        Label3[3]->setText(QStringLiteral("年齢"));
    } else {
        Label3[2]->clear();
        Label3[3]->clear();
    }
    const std::pair<const char*, const char*> rest[] = {
        {"自宅電話", "自宅電話"}, {"携帯電話", "携帯電話"}, {"Eメールアドレス", "Ｅメールアドレス"},
        {"携帯メールアドレス", "携帯メールアドレス"}, {"登録区分", "登録区分"}, {"備考", "備考"}};
    for (int i = 0; i < 6; ++i) {
        const QVariant v = caption(QString::fromUtf8(rest[i].first));
        Label3[size_t(5 + i)]->setText(v.isNull() ? QString::fromUtf8(rest[i].second) : v.toString());
    }
}

void Form22::ReadOptions()
{
    if (!WindowSettingsRs.isOpen() || WindowSettingsRs.bof() || WindowSettingsRs.eof())
        return;
    const auto stored = [this](const QString& field) -> QVariant {
        return WindowSettingsRs.hasField(field) ? WindowSettingsRs.value(field) : QVariant();
    };
    const auto truth = [](const QVariant& v) { return !v.isNull() && v.toBool(); };
    const auto choice = [](const QVariant& v, int count) {
        bool ok = false;
        const int n = v.isNull() ? 0 : v.toString().toInt(&ok);
        return ok && v.toString() == QString::number(n) && n >= 1 && n <= count ? n - 1 : -1;
    };
    const int order = choice(stored(BookSettings::DisplayOrder), 6);
    if (order >= 0)
        Option6[size_t(order)]->setChecked(true);
    Option9[truth(stored(BookSettings::SemicolonSeparator)) ? 0 : 1]->setChecked(true);
    Option7[truth(stored(BookSettings::InsertName)) ? 0 : 1]->setChecked(true);
    Option8[size_t(std::max(0, choice(stored(BookSettings::Honorific), 3)))]->setChecked(true);
    Option2[size_t(std::max(0, choice(stored(BookSettings::MailChoice), 3)))]->setChecked(true);
    Check2->setChecked(truth(stored(BookSettings::UseMobileMail)));
}

int Form22::ChosenIndex(const QRadioButton* const* buttons, int count) const
{
    for (int i = 0; i < count; ++i)
        if (buttons[i]->isChecked())
            return i;
    return 0;
}

bool Form22::SignOnMailSession()
{
    try {
        if (SignedOn) {
            MAPISession1.SignOff();
            MAPISession1.SignOn();
        } else {
            MAPISession1.setLogonUI(false);
            MAPISession1.SignOn();
        }
        SignedOn = true;
        return true;
    } catch (const mailclient::MailError&) {
        // The Maildir that was looked for: $MAILDIR, else ~/Maildir.
        QString folder = qEnvironmentVariable("MAILDIR");
        if (folder.isEmpty())
            folder = QDir::home().filePath(QStringLiteral("Maildir"));
        ui::dialogs().beep();
        ui::dialogs().message(QStringLiteral("サインオンに失敗しました\nメールフォルダ（Maildir）が見つかりません: ") + folder);
        SignedOn = false;
        return false;
    }
}

void Form22::ClearSignOnFlag()
{
    if (SignedOn)
        SignedOn = false;
}

void Form22::Command3_Click(int index)
{
    switch (index) {
    case 1:
        DialSelectedRecords();
        break;
    case 2:
        SelectTypedAddresses();
        break;
    case 3:
        StoreOptions();
        break;
    default:
        break;
    }
}

void Form22::StoreOptions()
{
    try {
        WindowSettingsRs.edit();
        WindowSettingsRs.setValue(BookSettings::DisplayOrder, QString::number(ChosenIndex(Option6.data(), 6) + 1));
        WindowSettingsRs.setValue(BookSettings::SemicolonSeparator, Option9[0]->isChecked());
        WindowSettingsRs.setValue(BookSettings::InsertName, Option7[0]->isChecked());
        WindowSettingsRs.setValue(BookSettings::Honorific, QString::number(ChosenIndex(Option8.data(), 3) + 1));
        WindowSettingsRs.setValue(BookSettings::MailChoice, QString::number(ChosenIndex(Option2.data(), 3) + 1));
        WindowSettingsRs.setValue(BookSettings::UseMobileMail, Check2->isChecked());
        WindowSettingsRs.update();
    } catch (const db::Error& e) {
        if (WindowSettingsRs.isOpen() && WindowSettingsRs.editMode() != db::EditMode::None)
            WindowSettingsRs.cancelUpdate();
        ReportError(e);
    }
}

void Form22::closeEvent(QCloseEvent* event)
{
    ClearSignOnFlag();
    ui::Window::closeEvent(event);
}
