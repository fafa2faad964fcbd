#include "records/KanaIndex.h"

namespace records {

QString KanaOrderOnlyMessage()
{
    return QStringLiteral("表示順番が「ふりがな」のみ有効です");
}

const QString& KanaTable()
{
    static const QString table = QStringLiteral("ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔｲﾕｴﾖﾗﾘﾙﾚﾛﾜｲｳｴｵ");
    return table;
}

QString KanaKey(int label, int* rowStart, int* column)
{
    if (label >= 0 && label < 10) {
        *rowStart = label * 5;
        *column = 0;
    } else if (label >= 10 && label < KanaLabelCount) {
        *column = label - 10;
    }
    return KanaTable().mid(*rowStart + *column, 1);
}

int KanaPosition(const QList<QVariantList>& readings, const QString& key)
{
    for (int i = 0; i < readings.size(); ++i) {
        const QVariantList& row = readings[i];
        if (row.isEmpty() || row.first().isNull())
            continue;
        const QString reading = row.first().toString();
        if (!reading.isEmpty() && QStringView(reading).left(key.size()).compare(key) >= 0)
            return i;
    }
    return int(readings.size()) - 1;
}

} // namespace records
