#include "platform/db/Error.h"

namespace db {

QString describe(int number)
{
    switch (number) {
    case err::NoCurrentRecord: return QStringLiteral("カレント レコードがありません。");
    case err::DuplicateKey:
        return QStringLiteral("インデックス、主キー、またはリレーションシップで重複する値が生成されるため、"
                              "テーブルを変更できませんでした。");
    case err::FileNotFound: return QStringLiteral("ファイルが見つかりません。");
    case err::ReadOnly: return QStringLiteral("更新できません。データベースまたはオブジェクトは読み取り専用です。");
    case err::NotInEditMode: return QStringLiteral("AddNew または Edit を実行せずに Update または値の設定を行いました。");
    case err::NotADatabase:
        return QStringLiteral("データベースの形式が認識できません。ファイルが壊れているか、データベースではありません。");
    case err::NoPermission:
        return QStringLiteral("ファイルを開けません。ファイルを読み取る権限がありません。");
    case err::ObjectNotFound: return QStringLiteral("入力テーブルまたはクエリが見つかりません。");
    case err::InvalidBookmark: return QStringLiteral("ブックマークが正しくありません。");
    case err::FieldNotUpdatable: return QStringLiteral("フィールドを更新できません。");
    case err::RecordDeleted: return QStringLiteral("レコードは削除されています。");
    case err::Locked: return QStringLiteral("ほかのユーザーがロックしているため、更新できません。");
    case err::ItemNotFound: return QStringLiteral("コレクションに項目が見つかりません。");
    case err::TypeMismatch: return QStringLiteral("データ型の変換エラーです。");
    case err::NotInTransaction: return QStringLiteral("トランザクションを開始せずにコミットまたはロールバックを行いました。");
    case err::InvalidArgument: return QStringLiteral("引数が正しくありません。");
    case err::InvalidOperation: return QStringLiteral("この操作は実行できません。");
    case err::ObjectClosed: return QStringLiteral("オブジェクトは閉じられているか、設定されていません。");
    default: return QStringLiteral("データベース エラーです。");
    }
}

Error::Error(int number, QString detail) : number_(number)
{
    description_ = describe(number);
    if (!detail.isEmpty())
        description_ += QStringLiteral(" (") + detail + QLatin1Char(')');
    what_ = QString::number(number).toStdString() + ": " + description_.toStdString();
}

} // namespace db
