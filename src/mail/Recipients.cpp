#include "mail/Recipients.h"

namespace mail {

QStringList SplitAddresses(const QVariant& field)
{
    QStringList parts;
    if (field.isNull())
        return parts;
    const QString text = field.toString();
    // Most fields hold one address: no list to cut.
    if (!text.contains(u';') && !text.contains(u',')) {
        const QString part = text.trimmed();
        if (!part.isEmpty())
            parts << part;
        return parts;
    }
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != u';' && text[i] != u',')
            continue;
        const QString part = text.mid(start, i - start).trimmed();
        if (!part.isEmpty())
            parts << part;
        start = i + 1;
    }
    return parts;
}

bool HasAddress(const QVariant& field)
{
    return !SplitAddresses(field).isEmpty();
}

QString NameForBoxes(const QVariant& name)
{
    QString text = name.toString();
    text.replace(u';', u'；');
    text.replace(u',', u'，');
    return text;
}

QString RepeatNameForAddresses(const QVariant& name, const QVariant& field, QChar separator)
{
    const qsizetype n = SplitAddresses(field).size();
    QStringList names;
    for (qsizetype i = 0; i < n; ++i)
        names << NameForBoxes(name);
    return names.join(separator);
}

namespace {

// Each address of an address field, as SplitAddresses cuts them, handed to `take` without a
// list between. Returns how many there were.
template <typename Take>
int eachAddress(const QVariant& field, Take&& take)
{
    if (field.isNull())
        return 0;
    const QString text = field.toString();
    const QStringView all(text);
    int n = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= all.size(); ++i) {
        if (i < all.size() && all[i] != u';' && all[i] != u',')
            continue;
        const QStringView part = all.mid(start, i - start).trimmed();
        if (!part.isEmpty()) {
            take(part);
            ++n;
        }
        start = i + 1;
    }
    return n;
}

// The boxes built record by record: one name per address, both joined by the separator as
// they go (a book of 100,000 records gives texts of megabytes, built without lists between).
class Boxes {
public:
    Boxes(const std::function<bool(int)>& selected, const RecipientOptions& options) : selected_(selected), o_(options) {}

    void add(int k, const QVariant& name, const QVariant& email, const QVariant& mobile, const QVariant& refuses)
    {
        const bool included = o_.target == Target::AllExceptSelected ? !refuses.toBool() && !(selected_ && selected_(k))
                                                                      : selected_ && selected_(k);
        if (!included)
            return;
        QString shown;
        bool named = false;
        const auto take = [&](QStringView address) {
            if (!named) {
                shown = NameForBoxes(name);
                named = true;
            }
            if (entries_++ > 0) {
                texts_.names += o_.separator;
                texts_.addresses += o_.separator;
            }
            texts_.names += shown;
            texts_.addresses += address;
        };
        switch (o_.kind) {
        case AddressKind::Internet:
            if (eachAddress(email, take) == 0 && o_.mobileWhenNoInternet)
                eachAddress(mobile, take);
            break;
        case AddressKind::Mobile:
            eachAddress(mobile, take);
            break;
        case AddressKind::Both:
            eachAddress(email, take);
            eachAddress(mobile, take);
            break;
        }
    }

    RecipientTexts take() { return std::move(texts_); }

private:
    const std::function<bool(int)>& selected_;
    const RecipientOptions& o_;
    RecipientTexts texts_;
    qsizetype entries_ = 0;
};

} // namespace

RecipientTexts BuildRecipients(const QList<RecipientRecord>& records, const std::function<bool(int)>& selected,
                               const RecipientOptions& options)
{
    if (options.target == Target::Typed)
        return {};
    Boxes boxes(selected, options);
    for (int k = 0; k < records.size(); ++k) {
        const RecipientRecord& r = records[k];
        boxes.add(k, r.name, r.email, r.mobile, r.refuses);
    }
    return boxes.take();
}

RecipientTexts BuildRecipients(const db::Recordset& persons, const std::function<bool(int)>& selected,
                               const RecipientOptions& options)
{
    if (options.target == Target::Typed)
        return {};
    const QList<QVariantList> rows = persons.readColumns(RecipientFields);
    Boxes boxes(selected, options);
    // A row deleted elsewhere is empty and keeps its place, so that record k is still row k of
    // the list.
    for (int k = 0; k < rows.size(); ++k) {
        const QVariantList& row = rows[k];
        if (row.size() == 4)
            boxes.add(k, row[0], row[1], row[2], row[3]);
    }
    return boxes.take();
}

RecipientTexts ConvertSeparator(const RecipientTexts& texts, QChar from, QChar to)
{
    RecipientTexts out = texts;
    if (out.names.isEmpty())
        return out;
    // Pair by pair, as long as the addresses hold the old separator.
    qsizetype pn = 0;
    qsizetype pa = 0;
    for (;;) {
        const qsizetype i = out.names.indexOf(from, pn);
        if (i >= 0) {
            out.names[i] = to;
            pn = i + 1;
        }
        const qsizetype j = out.addresses.indexOf(from, pa);
        if (j < 0)
            break;
        out.addresses[j] = to;
        pa = j + 1;
    }
    return out;
}

QList<OutgoingMessage> PairIndividually(const QString& names, const QString& addresses, QChar separator)
{
    QList<OutgoingMessage> out;
    qsizetype p = 0;
    qsizetype q = 0;
    for (;;) {
        OutgoingMessage m;
        const qsizetype e = names.indexOf(separator, p);
        if (e >= 0) {
            m.name = names.mid(p, e - p);
            p = e + 1;
        } else {
            m.name = names.mid(p);  // the last name again for the addresses left
        }
        const qsizetype g = addresses.indexOf(separator, q);
        m.address = g >= 0 ? addresses.mid(q, g - q) : addresses.mid(q);
        // A typed part may hold several addresses joined by the other separator: each still
        // gets a message of its own, so that nobody sees another recipient's address.
        const QStringList several = SplitAddresses(m.address);
        if (several.size() > 1) {
            for (const QString& a : several)
                out << OutgoingMessage{m.name, a};
        } else {
            out << m;
        }
        if (g < 0)
            return out;
        q = g + 1;
    }
}

QString HonorificSuffix(int option)
{
    switch (option) {
    case 1:
        return QStringLiteral(" 殿");
    case 2:
        return QStringLiteral(" 御中");
    default:
        return QStringLiteral(" 様");
    }
}

QString NoteText(const QString& name, bool salutation, int honorific, const QString& body)
{
    if (body.isEmpty())
        return {};
    QString text = body;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (salutation && !name.isEmpty())
        text.prepend(name + HonorificSuffix(honorific) + QStringLiteral("\n\n"));
    return text;
}

} // namespace mail
