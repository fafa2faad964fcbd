#include "edition/Profile.h"

namespace edition {

QString Profile::DatabaseDialogTitle() const
{
    return EditionName + QStringLiteral("システム Microsoft Access2000 データベース設定");
}

QString Profile::AboutFirstLine() const
{
    return QStringLiteral("  「") + ProgramTitle + QStringLiteral("」");
}

QString Profile::MakerNotice() const
{
    return QStringLiteral("Copyright (C) ") + CompanyName + QStringLiteral("　このソフトウェアは無保証です");
}

const Profile& InformationManagerProfile()
{
    static const Profile p{Edition::InformationManager,
                           QStringLiteral("TovariInfolta"),
                           QStringLiteral("Infolta"),
                           QStringLiteral("TovariInfolta 1.3\u30002023/01/13"),
                           QStringLiteral("kartovia"),
                           QStringLiteral("1.00"),
                           QStringLiteral("Tovari プロジェクト"),
                           true,
                           true};
    return p;
}

const Profile& AddressBookProfile()
{
    static const Profile p{Edition::AddressBook,
                           QStringLiteral("TovariAdrolta"),
                           QStringLiteral("Adrolta"),
                           QStringLiteral("TovariAdrolta 1.1\u30002022/03/28"),
                           QStringLiteral("adrovia"),
                           QStringLiteral("1.00"),
                           QStringLiteral("Tovari プロジェクト"),
                           false,
                           false};
    return p;
}

namespace {
const Profile* current = nullptr;
}

const Profile& profile()
{
    return current ? *current : InformationManagerProfile();
}

void setProfile(const Profile& p)
{
    current = &p;
}

} // namespace edition
