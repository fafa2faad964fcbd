#include "list/ListTopBar.h"

namespace listwin {

namespace {

BarItem item(const char* name, int index, const char* caption, int left, int width)
{
    return BarItem{QString::fromUtf8(name), index, QString::fromUtf8(caption), left, width};
}

} // namespace

QList<BarItem> TopBar(const edition::Profile& profile)
{
    if (profile.isAddressBook()) {
        return {
            item("Command1", 0, "先頭画面", 0, 855),
            item("Command1", 1, "前画面", 840, 855),
            item("Command1", 2, "次画面", 1680, 855),
            item("Command1", 3, "最終画面", 2520, 855),
            // Between "最終画面" (ending at 3375) and "明細表示".
            item("HScroll1", -1, "", 3420, 975),
            item("Command1", 4, "明細表示", 4440, 975),
            item("Label2", -1, "表示順番", 5400, 855),
            item("Option2", 0, "登録番号", 6300, 1095),
            item("Option2", 1, "登録日", 7395, 975),
            item("Option2", 2, "フリガナ", 8370, 1095),
            item("Option2", 3, "登録区分", 9465, 1215),
            item("Option2", 4, "生年月日", 10680, 1215),
            item("Option2", 5, "誕生日", 11895, 975),
            item("Command1", 5, "WEB表示", 13440, 855),
            item("Command1", 6, "写真", 14400, 855),
            item("Command1", 9, "終了", 15240, 855),
        };
    }
    return {
        item("Command1", 0, "先頭", 0, 735),
        item("Command1", 1, "前画面", 720, 735),
        item("Command1", 2, "次画面", 1440, 735),
        item("Command1", 3, "最終", 2160, 735),
        item("HScroll1", -1, "", 2880, 975),
        item("Command1", 4, "明細表示", 4080, 975),
        item("Label2", -1, "表示順番", 5040, 855),
        item("Option2", 0, "登録番号", 5940, 1095),
        item("Option2", 1, "登録日", 7035, 975),
        item("Option2", 2, "フリガナ", 8010, 1095),
        item("Option2", 3, "登録区分", 9105, 1095),
        item("Option2", 4, "生年月日", 10200, 1095),
        item("Option2", 5, "誕生日", 11295, 975),
        item("Command1", 5, "WEB表示", 12480, 975),
        item("Command1", 7, "WEB区分", 13440, 855),
        item("Command1", 6, "写真", 14400, 855),
        item("Command1", 9, "終了", 15240, 855),
    };
}

} // namespace listwin
