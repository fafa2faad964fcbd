// A seeded mutation run of the message reader: generated messages are damaged at random (bytes
// flipped, inserted, cut, repeated, encodings and boundaries broken) and read. The reader must not
// crash, and what it gives must hold: valid UTF-8, no control characters in header texts, bodies
// with only LF and tab, dates of one form, attachment file names of one component. The structure
// count that runs before GMime parses never counts fewer parts or levels than GMime builds.
//
//   mail_mutation [--seed S] [--cases N]

#include "platform/mail/MailCore.h"
#include "platform/mail/MailReaderInternal.h"
#include "platform/mail/MailText.h"

#include "MaildirMaker.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

int failures = 0;

void fail(int c, const char* what, const std::string& value)
{
    ++failures;
    std::fprintf(stderr, "case %d: %s: [%s]\n", c, what, value.substr(0, 200).c_str());
}

bool hasControl(const std::string& s, bool body)
{
    for (size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (body && (c == '\n' || c == '\t'))
            continue;
        if (c < 0x20 || c == 0x7F)
            return true;
        if (c == 0xC2 && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) >= 0x80 && static_cast<unsigned char>(s[i + 1]) <= 0x9F)
            return true;
    }
    return false;
}

void checkHeader(int c, const char* what, const std::string& s)
{
    if (!mailcore::isValidUtf8(s))
        fail(c, what, "invalid UTF-8");
    if (hasControl(s, false))
        fail(c, what, s);
}

bool dateForm(const std::string& d)
{
    if (d.empty())
        return true;
    if (d.size() != 16)
        return false;
    for (size_t i = 0; i < d.size(); ++i) {
        const char ch = d[i];
        const bool ok = (i == 4 || i == 7) ? ch == '/' : i == 10 ? ch == ' ' : i == 13 ? ch == ':' : (ch >= '0' && ch <= '9');
        if (!ok)
            return false;
    }
    return true;
}

const char* const Fragments[] = {"=?", "?=", "=?UTF-8?B?", "=?ISO-2022-JP?Q?=1B$B", "\x1b$B", "\x1b(I", "\x1b$(D", "\r\n",
                                 "\n\n", "--", "Content-Type: multipart/mixed; boundary=x\n", "Content-Transfer-Encoding: base64\n",
                                 "filename*0*=x''%", "; name=\"", "\"", "<", ">", "(", ";", "=", "%", "&#", "<br>", "<script>",
                                 "\xff\xfe", "\x87\x40", "\xad\xa1", "\xc2\x85", "\0"};

std::string mutate(std::mt19937_64& rng, std::string s)
{
    const int steps = std::uniform_int_distribution<int>(1, 8)(rng);
    for (int k = 0; k < steps && !s.empty(); ++k) {
        std::uniform_int_distribution<size_t> pos(0, s.size() - 1);
        switch (std::uniform_int_distribution<int>(0, 5)(rng)) {
        case 0:  // flip a byte
            s[pos(rng)] = static_cast<char>(rng());
            break;
        case 1: {  // insert a fragment
            const char* f = Fragments[std::uniform_int_distribution<size_t>(0, std::size(Fragments) - 1)(rng)];
            s.insert(pos(rng), f, std::max<size_t>(std::strlen(f), 1));
            break;
        }
        case 2: {  // cut a range
            const size_t a = pos(rng);
            s.erase(a, std::uniform_int_distribution<size_t>(1, 200)(rng));
            break;
        }
        case 3: {  // repeat a range
            const size_t a = pos(rng);
            const std::string piece = s.substr(a, std::uniform_int_distribution<size_t>(1, 300)(rng));
            s.insert(pos(rng), piece);
            break;
        }
        case 4:  // truncate
            s.resize(pos(rng));
            break;
        default: {  // random bytes
            std::string junk(std::uniform_int_distribution<size_t>(1, 16)(rng), '\0');
            for (char& ch : junk)
                ch = static_cast<char>(rng());
            s.insert(pos(rng), junk);
        }
        }
    }
    return s;
}

void checkShape(int c, const std::string& bytes)
{
    const mailcore::MimeShape scan = mailcore::scanMimeShape(bytes.data(), bytes.size());
    if (!scan.withinBounds)
        return;  // GMime never sees it
    const mailcore::MimeShape tree = mailcore::parsedMimeShape(bytes);
    if (tree.parts > scan.parts || tree.depth > scan.depth)
        fail(c, "structure counted short",
             std::to_string(scan.parts) + "/" + std::to_string(scan.depth) + " < " + std::to_string(tree.parts) + "/" +
                 std::to_string(tree.depth));
}

void readOne(int c, const std::string& bytes)
{
    checkShape(c, bytes);
    mailcore::MessageInfo m;
    try {
        m = mailcore::parseMessage(bytes);
    } catch (const mailcore::MailError&) {
        return;
    }
    checkHeader(c, "subject", m.subject);
    checkHeader(c, "display name", m.displayName);
    checkHeader(c, "address", m.address);
    if (!dateForm(m.dateReceived))
        fail(c, "date", m.dateReceived);
    for (size_t j = 0; j < m.attachments.size(); ++j) {
        const mailcore::AttachmentInfo& a = m.attachments[j];
        checkHeader(c, "attachment name", a.name);
        if (a.fileName.empty() || a.fileName == "." || a.fileName == ".." || a.fileName.find('/') != std::string::npos)
            fail(c, "attachment file name", a.fileName);
        try {
            mailcore::readAttachment(bytes, m, j);
        } catch (const mailcore::MailError&) {
        }
    }
    const std::string body = mailcore::readBody(bytes, m);
    if (!mailcore::isValidUtf8(body))
        fail(c, "body", "invalid UTF-8");
    if (hasControl(body, true))
        fail(c, "body control character", body);
}

} // namespace

int main(int argc, char* argv[])
{
    std::uint64_t seed = 1;
    int cases = 200;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--seed") == 0)
            seed = std::strtoull(argv[i + 1], nullptr, 10);
        else if (std::strcmp(argv[i], "--cases") == 0)
            cases = std::atoi(argv[i + 1]);
    }
    std::mt19937_64 rng(seed);
    maildirmaker::Options o;
    o.seed = seed;
    o.attachmentShare = 0.4;
    o.malformedShare = 0.3;
    o.attachmentBytes = 600;
    const char* const charsets[] = {"iso-2022-jp", "shift_jis", "euc-jp", "utf-8", "us-ascii", "x-unknown", "iso-8859-1", ""};
    for (int c = 0; c < cases; ++c) {
        const std::string original = maildirmaker::makeMessage(rng, o, c);
        readOne(c, original);
        readOne(c, mutate(rng, original));
        // Deep and wide structures, damaged: the count holds against GMime's tree.
        const std::string nested = maildirmaker::nestedMessage(std::uniform_int_distribution<int>(2, 12)(rng));
        checkShape(c, mutate(rng, nested));
        checkShape(c, mutate(rng, maildirmaker::manyPartsMessage(40, 5, true)));
        // The text pieces on their own, with damaged input.
        const std::string junk = mutate(rng, original.substr(0, 400));
        checkHeader(c, "decodeHeaderText", mailcore::cleanHeaderText(mailcore::decodeHeaderText(junk)));
        checkHeader(c, "headerParameter", mailcore::cleanHeaderText(mailcore::headerParameter(junk, "filename")));
        const std::string text = mailcore::toUtf8(junk, charsets[c % std::size(charsets)]);
        if (!mailcore::isValidUtf8(text))
            fail(c, "toUtf8", charsets[c % std::size(charsets)]);
        if (!mailcore::isValidUtf8(mailcore::htmlToText(text)))
            fail(c, "htmlToText", "invalid UTF-8");
    }
    std::printf("%d cases from seed %llu: %d failures\n", cases, static_cast<unsigned long long>(seed), failures);
    return failures == 0 ? 0 : 1;
}
