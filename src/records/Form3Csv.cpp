// The record window's CSV export and import of the whole address book.

#include "records/AddressBookCsv.h"
#include "records/Boxes.h"
#include "records/Form3.h"

#include "platform/text/Cp932.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Options.h"
#include "shell/Module1.h"

#include <QRadioButton>

using namespace Module1;

void Form3::ExportCsv()
{
    CommitFocusedField();
    const QString path = records::CsvPathWithoutExtension(WindowDbFile);
    records::CsvExportResult r;
    {
        // A large book takes a while: its progress shows, and a cancel keeps the earlier file.
        const std::unique_ptr<ui::Progress> progress = ui::dialogs().progress(
            QStringLiteral("ＣＳＶファイルを作成しています..."), Cursor.count(), QStringLiteral("ＣＳＶファイル形式出力"));
        r = records::ExportAddressBookCsv(Cursor.record(), records::ReadCaptionRow(CaptionRs), path, ui::dialogs().today(),
                                          ui::stepsOf(progress.get()));
    }
    Cursor.record();  // the records stand on the shown record again
    if (r.cancelled) {
        ui::dialogs().message(QStringLiteral("ＣＳＶファイルの作成を取り消しました。"), {}, ui::Icon::Information);
    } else if (!r.ok) {
        ui::dialogs().message(QStringLiteral("ＣＳＶファイルを作成できません。\n") + path + QStringLiteral(".csv\n") + r.error,
                              {}, ui::Icon::Exclamation);
    } else if (r.substitutedCells > 0) {
        ui::dialogs().message(
            QStringLiteral("シフトJISで書けない文字を含む項目が %1 件ありました。\nこれらの文字は「?」で書き出しました。")
                .arg(r.substitutedCells),
            {}, ui::Icon::Exclamation);
    }
    EnableCommandButtons();
}

void Form3::ImportCsv()
{
    const QString typed = records::BoxText(Combo5[0]);
    const QString defaultPrefecture = typed.isEmpty() ? records::BuiltInDefaultPrefecture() : typed;

    DialogCancelled = false;
    ui::OpenFileOptions options;
    options.title = QStringLiteral("入力ＣＳＶデータパス問い合わせ");
    options.filters = {{QStringLiteral("ＣＳＶファイル (*.CSV;*.csv)"), QString()}};
    options.initialFile = WindowDbFile.Drive + WindowDbFile.Folder + PathSeparator(WindowDbFile) + QStringLiteral("*.csv");
    options.mustExist = true;
    const std::optional<QString> chosen = ui::dialogs().openFile(options);
    if (!chosen || chosen->isEmpty()) {
        DialogCancelled = true;
        EnableCommandButtons();
        return;
    }

    // The whole file is read before anything is asked or changed.
    const text::ReadResult file = text::readCp932File(*chosen);
    if (!file.ok) {
        ui::dialogs().message(QStringLiteral("ＣＳＶファイルを読み込めません。\n") + *chosen + QStringLiteral("\n") + file.error, {},
                              ui::Icon::Exclamation);
        EnableCommandButtons();
        return;
    }
    const records::ParsedCsv parsed = records::ParseAddressBookCsv(
        file.content, records::ReadCaptionRow(CaptionRs), records::ReadCategories(CategoryRs), defaultPrefecture,
        ui::dialogs().today());

    const bool replace = ui::dialogs().question(QStringLiteral("現在のデータをすべて削除します　よろしいですか？"),
                                                QStringLiteral("ＣＳＶ形式ファイル読込"), ui::Icon::None, ui::Buttons::YesNo)
                         == ui::Answer::Yes;
    CommitFocusedField();  // into the record on the screen, before the records are replaced

    records::CsvImportResult result;
    {
        const std::unique_ptr<ui::Progress> progress = ui::dialogs().progress(
            QStringLiteral("ＣＳＶファイルを読み込んでいます..."), parsed.recordCount, QStringLiteral("ＣＳＶ形式ファイル読込"));
        result = records::ImportAddressBookCsv(WindowDb, parsed, replace, ui::stepsOf(progress.get()));
    }
    if (result.ok) {
        // The window shows the book as it now is, from its first record in number order.
        Cursor.reset(WindowDb.openRecordset(QStringLiteral("Q_個人台帳"), db::RecordsetType::Dynaset));
        ClearRecordControls();
        ShowRecord();
        if (DisplayOrder != 1 && !Cursor.isEmpty()) {
            ui::checkOption(Option2[0]);  // stores order 1 and rebuilds the list
        } else {
            FillRecordList();
        }
    }
    ui::dialogs().message(records::ImportReport(result), {},
                          result.ok || result.cancelled ? ui::Icon::Information : ui::Icon::Exclamation);
    EnableCommandButtons();
}
