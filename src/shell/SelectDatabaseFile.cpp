#include "shell/SelectDatabaseFile.h"
#include "edition/Profile.h"

#include "platform/ui/Accessibility.h"
#include "platform/ui/Dialogs.h"
#include "shell/Module1.h"

namespace Module1 {

bool SelectDatabaseFile(const DbFile& source, DbFile& target)
{
    auto& registry = ui::WindowRegistry::instance();
    if (!registry.hasFactory(QStringLiteral("Form10")))
        registry.registerFactory(QStringLiteral("Form10"), [] { return new Form10; });
    registry.reach(QStringLiteral("Form10"));

    ui::OpenFileOptions options;
    options.title = edition::profile().DatabaseDialogTitle();
    options.filters = {{QStringLiteral("Microsoft Access MDB (*.mdb)"), QStringLiteral("*.mdb")},
                       {QStringLiteral("すべてのﾌｧｲﾙ (*.*)"), QStringLiteral("*.*")}};
    options.selectedFilter = 0;
    options.initialFile = source.FullPath;
    options.mustExist = true;
    const std::optional<QString> chosen = ui::dialogs().openFile(options);
    if (!chosen || chosen->isEmpty())
        return false;

    DbFile picked = target;
    picked.FullPath = *chosen;
    if (!SplitDbFilePathHead(picked, picked))
        return false;
    target.FullPath = picked.FullPath;
    target.Drive = picked.Drive;
    target.Folder = picked.Folder;
    target.FileName = picked.FileName;

    const ui::Answer answer = ui::dialogs().question(target.FullPath + QStringLiteral(" 初期起動パスとして設定しますか ?"),
                                                     {}, ui::Icon::Exclamation, ui::Buttons::YesNo);
    if (answer == ui::Answer::Yes) {
        QString error;
        if (!WritePmPath(StartDir, target.FullPath, &error))
            ui::dialogs().message(error, {}, ui::Icon::Exclamation);
    }
    return true;
}

} // namespace Module1

Form10::Form10(QWidget* parent) : ui::Window(parent)
{
    setWindowTitle(QStringLiteral("ファイル読み込み"));
    ui::name(this, QStringLiteral("Form10"));
}
