// The settings window's frame "DBファイル初期化".

#include "shell/Form2.h"

#include "platform/ui/Accessibility.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/InputMode.h"
#include "platform/ui/TextFit.h"
#include "platform/ui/Twips.h"
#include "shell/DatabaseInitialisation.h"
#include "shell/Module1.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

void Form2::BuildFrame3()
{
    Frame3 = new QGroupBox(QStringLiteral("DBファイル初期化"), this);
    ui::name(Frame3, QStringLiteral("Frame3"));
    Frame3->setStyleSheet(QStringLiteral("QGroupBox::title { color: blue; }"));
    Frame3->setGeometry(ui::twipsRect(10200, 8880, 5055, 1815));

    Check1[0] = new QCheckBox(QStringLiteral("タイトル、ラベル、登録区分を初期化"), Frame3);
    ui::name(Check1[0], QStringLiteral("Check1"), 0);
    Check1[0]->setGeometry(ui::twipsRect(240, 360, 3375, 255));
    Check1[1] = new QCheckBox(QStringLiteral("データレコードを削除し、新規に登録"), Frame3);
    ui::name(Check1[1], QStringLiteral("Check1"), 1);
    Check1[1]->setGeometry(ui::twipsRect(240, 720, 3495, 255));
    Check1[1]->setChecked(true);

    Label5[1] = new QLabel(QStringLiteral("登録件数"), Frame3);
    ui::name(Label5[1], QStringLiteral("Label5"), 1);
    Label5[1]->setGeometry(ui::twipsRect(240, 1200, 1215, 255));
    Text4 = new QLineEdit(QStringLiteral("20"), Frame3);
    ui::name(Text4, QStringLiteral("Text4"), -1, QStringLiteral("登録件数"));
    Text4->setGeometry(ui::twipsRect(1680, 1200, 615, 270));
    Text4->setAlignment(Qt::AlignRight);
    ui::setInputMode(Text4, ui::InputMode::Off);
    Watch(Text4, {}, [this] { Text4_GotFocus(); });
    Label5[0] = new QLabel(QStringLiteral("件"), Frame3);
    ui::name(Label5[0], QStringLiteral("Label5"), 0);
    Label5[0]->setGeometry(ui::twipsRect(2520, 1200, 615, 255));
    // The largest count the box takes shows whole; "件" keeps its distance after the box.
    const int wider = ui::widthForText(Text4, QString::number(settings::MaxRecordCount)) - Text4->width();
    if (wider > 0) {
        Text4->resize(Text4->width() + wider, Text4->height());
        Label5[0]->move(Label5[0]->x() + wider, Label5[0]->y());
    }
    // The first check box's caption whole, up to the command beside it.
    ui::fitText(Check1[0], Check1[0]->x(), ui::twips(3720) - ui::twips(45));

    Command3 = new QPushButton(QStringLiteral("実行"), Frame3);
    ui::name(Command3, QStringLiteral("Command3"));
    Command3->setGeometry(ui::twipsRect(3720, 240, 1215, 495));
    connect(Command3, &QPushButton::clicked, this, &Form2::Command3_Click);
}

void Form2::Text4_GotFocus()
{
    if (SettingsEditMode && !Text4->text().isEmpty())
        SelectOnEntry(Text4);
}

void Form2::Command3_Click()
{
    settings::Initialisation what;
    what.resetSettings = Check1[0]->isChecked();
    what.replaceRecords = Check1[1]->isChecked();
    if (!what.resetSettings && !what.replaceRecords)
        return;
    // The count is checked before anything is asked or changed.
    if (what.replaceRecords) {
        const std::optional<int> count = settings::parseRecordCount(Text4->text());
        if (!count) {
            ui::dialogs().beep();
            ui::dialogs().message(QStringLiteral("件数を入力してください"));
            return;
        }
        what.count = *count;
    }
    if (ui::dialogs().question(QStringLiteral("初期化を行います　よろしいですか？"), QStringLiteral("住所録初期化"),
                               ui::Icon::Question, ui::Buttons::YesNo)
        != ui::Answer::Yes)
        return;
    what.today = ui::dialogs().today();

    bool done = false;
    bool cancelled = false;
    try {
        // Many records take long: the user sees how far it is and may cancel, which leaves the
        // book as it was.
        std::unique_ptr<ui::Progress> progress;
        if (what.replaceRecords)
            progress = ui::dialogs().progress(QStringLiteral("データレコードを登録しています..."), what.count,
                                              QStringLiteral("住所録初期化"));
        done = settings::initialiseBook(Book, what, ui::stepsOf(progress.get()));
        cancelled = !done;
    } catch (const db::Error& e) {
        Module1::ReportError(e);
    }
    // The category recordset held the rows as they were before; read them again either way.
    try {
        OpenCategories();
    } catch (const db::Error& e) {
        Module1::ReportError(e);
    }
    FillCategoryList();
    if (cancelled)
        ui::dialogs().message(QStringLiteral("初期化を取り消しました。住所録は変更されていません。"), QStringLiteral("住所録初期化"));
    if (!done)
        return;
    if (what.resetSettings) {
        // The boxes show what is now stored, so that leaving them does not write the old texts back.
        ShowTitle();
        LoadFieldCaptions();
    }
    if (what.replaceRecords) {
        // The records are stored; a cancel here only stops making their folders.
        int made = 0;
        {
            const std::unique_ptr<ui::Progress> progress = ui::dialogs().progress(
                QStringLiteral("レコードフォルダを作成しています..."), what.count, QStringLiteral("住所録初期化"));
            made = settings::makeRecordFolders(SettingsDbFile, what.count, ui::stepsOf(progress.get()));
            if (!progress->wasCanceled())
                made = what.count;
        }
        if (made < what.count)
            ui::dialogs().message(QStringLiteral("初期化完了\nレコードフォルダの作成は %1 件で中止しました。").arg(made));
        else
            ui::dialogs().message(QStringLiteral("初期化完了"));
    }
}
