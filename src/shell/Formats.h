#pragma once
// The date and number patterns the windows use, made by hand so that the system locale
// never changes them. Invalid dates give "".

#include <QDate>
#include <QList>
#include <QString>

#include "shell/Helpers.h"

namespace Module1 {

// "aaa": the weekday as one kanji, 日 月 火 水 木 金 土.
QString WeekdayKanji(const QDate& date);

// "yyyy年mm月dd日(aaa) " with its trailing space (window captions).
QString FormatCaptionDate(const QDate& date);
// "yyyy/mm/dd(aaa)"
QString FormatSlashDateWeekday(const QDate& date);
// "yyyy/mm/dd"
QString FormatSlashDate(const QDate& date);
// "yy/mm/dd"
QString FormatShortSlashDate(const QDate& date);
// "yy/mm/dd(aaa)"
QString FormatShortSlashDateWeekday(const QDate& date);
// "mm/dd"
QString FormatMonthDay(const QDate& date);
// "/mm/dd"
QString FormatSlashMonthDay(const QDate& date);
// "ggg": the name of the era the date falls in; "" before the first era.
QString FormatEraName(const QList<Era>& eras, const QDate& date);

// "00": at least two digits.
QString FormatTwoDigits(qint64 value);
// "00000000": the record number with eight digits.
QString FormatMemberNo(qint64 value);
// "#######0", "######0", "##0": plain digits without leading zeros.
QString FormatPlain(qint64 value);
// "#,###,##0" (decimals 0) and "#,###,##0.0" (decimals 1): rounded half away from zero,
// thousands separated by ",", negative numbers with "-". "" for infinity or NaN.
QString FormatNumber(double value, int decimals);
// "@@": the text padded on the left with spaces to at least two characters.
QString FormatAtLeastTwo(const QString& text);

} // namespace Module1
