#include "mail/Recipients.h"

#include <algorithm>
#include <memory>
#include <vector>

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
int eachAddress(QStringView all, Take&& take)
{
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

    // Whether record k is one of the recipients the target asks for.
    bool includes(int k, const QVariant& refuses) const
    {
        return o_.target == Target::AllExceptSelected ? !refuses.toBool() && !(selected_ && selected_(k))
                                                      : selected_ && selected_(k);
    }

    // An included record's addresses, each with the record's name as the names box holds it.
    void add(QStringView name, QStringView email, QStringView mobile)
    {
        const auto take = [&](QStringView address) {
            if (entries_++ > 0) {
                texts_.names += o_.separator;
                texts_.addresses += o_.separator;
            }
            appendName(name);
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
    // NameForBoxes, written straight into the names text.
    void appendName(QStringView name)
    {
        const qsizetype at = texts_.names.size();
        texts_.names += name;
        QChar* p = texts_.names.data() + at;
        for (QChar* const end = texts_.names.data() + texts_.names.size(); p != end; ++p) {
            if (*p == u';')
                *p = u'；';
            else if (*p == u',')
                *p = u'，';
        }
    }

    const std::function<bool(int)>& selected_;
    const RecipientOptions& o_;
    RecipientTexts texts_;
    qsizetype entries_ = 0;
};

// Texts decoded one after the other, grown without clearing what is about to be written over.
class Buffer {
public:
    qsizetype size() const { return size_; }
    const QChar* at(qsizetype i) const { return reinterpret_cast<const QChar*>(data_.get()) + i; }
    // Room for n more characters, written from the place returned on.
    QChar* room(qsizetype n)
    {
        if (size_ + n > capacity_) {
            const qsizetype capacity = std::max(size_ + n, 2 * capacity_ + 4096);
            std::unique_ptr<char16_t[]> grown(new char16_t[size_t(capacity)]);
            std::copy(data_.get(), data_.get() + size_, grown.get());
            data_ = std::move(grown);
            capacity_ = capacity;
        }
        return reinterpret_cast<QChar*>(data_.get()) + size_;
    }
    // Keeps what was written into the room up to end; returns how many characters that is.
    int keep(const QChar* end)
    {
        const qsizetype n = end - at(size_);
        size_ += n;
        return int(n);
    }
    void clear() { size_ = 0; }

private:
    std::unique_ptr<char16_t[]> data_;
    qsizetype size_ = 0;
    qsizetype capacity_ = 0;
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
        if (boxes.includes(k, r.refuses))
            boxes.add(r.name.toString(), r.email.toString(), r.mobile.toString());
    }
    return boxes.take();
}

RecipientTexts BuildRecipients(const db::Recordset& persons, const std::function<bool(int)>& selected,
                               const RecipientOptions& options)
{
    if (options.target == Target::Typed)
        return {};
    Boxes boxes(selected, options);
    const bool readsEmail = options.kind != AddressKind::Mobile;
    const bool readsMobile = options.kind != AddressKind::Internet || options.mobileWhenNoInternet;

    // The book hands its rows over in its own stored order, and the boxes follow the list's. Each
    // record's texts are decoded into one buffer as they come, with no value or list made per
    // record; the records are added in the list's order as soon as all before them have come, so
    // that where the two orders agree the buffer holds one record at a time.
    constexpr qsizetype kUnseen = -1;
    constexpr qsizetype kNothing = -2;
    struct Placed {
        qsizetype at = kUnseen;  // kNothing, or where its email, mobile and name start, in turn
        int email = 0;
        int mobile = 0;
        int name = 0;
    };
    const int n = std::max(0, persons.recordCount());
    std::vector<Placed> placed(static_cast<size_t>(n));
    Buffer buffer;
    int next = 0;           // the first record of the list not yet added
    qsizetype waiting = 0;  // records in the buffer
    const auto add = [&](const Placed& p) {
        const QChar* text = buffer.at(p.at);
        boxes.add(QStringView(text + p.email + p.mobile, p.name), QStringView(text, p.email),
                  QStringView(text + p.email, p.mobile));
    };
    const auto put = [&buffer](const db::ScannedRow& row, int i) -> int {
        const QByteArrayView bytes = row.storedText(i);
        if (bytes.data())  // UTF-16 is never longer than its UTF-8
            return buffer.keep(db::AppendStoredText(buffer.room(bytes.size()), bytes));
        const QVariant v = row.value(i);
        if (v.isNull())
            return 0;
        const QString text = v.toString();
        return buffer.keep(std::copy(text.cbegin(), text.cend(), buffer.room(text.size())));
    };
    persons.scanColumns(RecipientFields, [&](int k, const db::ScannedRow& row) {
        if (k < 0 || k >= n)
            return;
        Placed& p = placed[size_t(k)];
        p.at = kNothing;
        if (boxes.includes(k, row.value(3))) {
            const qsizetype at = buffer.size();
            p.email = readsEmail ? put(row, 1) : 0;
            p.mobile = readsMobile ? put(row, 2) : 0;
            if (p.email > 0 || p.mobile > 0) {  // else its name is never used
                p.name = put(row, 0);
                p.at = at;
                ++waiting;
            }
        }
        if (k == next) {
            for (; next < n && placed[size_t(next)].at != kUnseen; ++next) {
                if (placed[size_t(next)].at >= 0) {
                    add(placed[size_t(next)]);
                    --waiting;
                }
            }
        }
        if (waiting == 0)
            buffer.clear();
    });
    // Records deleted elsewhere never come.
    for (; next < n; ++next)
        if (placed[size_t(next)].at >= 0)
            add(placed[size_t(next)]);
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
