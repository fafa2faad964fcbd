#pragma once
// Texts of received mail turned into clean UTF-8: charsets (the Japanese ones through code page
// 932, so that ①, ㈱ and 髙 survive), encoded words of headers, parameters of MIME headers, and
// the cleaning of control characters. Plain C++: no Qt and no glib here.

#include <string>
#include <string_view>

namespace mailcore {

// The bytes in the charset as UTF-8. ISO-2022-JP, Shift_JIS and EUC-JP (and their aliases) decode
// through code page 932; an empty or unknown charset, or bytes that do not fit the named one, are
// read as UTF-8 when they are valid UTF-8, else as the Japanese charset they look like, else as
// Latin-1. Bytes that cannot be decoded become U+FFFD; the result is always valid UTF-8.
std::string toUtf8(std::string_view bytes, std::string_view charset);

// Header text with its encoded words ("=?charset?B|Q?...?=") decoded. Adjacent words of one
// charset are joined before decoding, so a character split over two words survives; the space
// between two encoded words is dropped. Raw 8-bit text is read as toUtf8 with no charset reads it.
std::string decodeHeaderText(std::string_view raw);

// The end of the encoded word starting at s[i], npos when none starts there. Readers of
// address headers skip such words whole: a sloppy Q-encoded name may hold "<", "(" or ",".
size_t encodedWordEnd(std::string_view s, size_t i);

// One parameter of a raw Content-Type or Content-Disposition value, decoded: RFC 2231 forms
// (name*=charset'lang'%XX, name*0*=..., name*1=...) win over the plain one; a plain value may hold
// encoded words. "" when the parameter is absent.
std::string headerParameter(std::string_view rawValue, std::string_view name);
// The first token of such a value ("attachment", "text/plain"), lower case.
std::string headerToken(std::string_view rawValue);

// Folded header text unfolded: CR and LF removed, so the folding white space stays as it was.
std::string unfold(std::string_view raw);

// Each control character (C0, DEL, C1) of a header text becomes a space.
std::string cleanHeaderText(std::string_view utf8);
// A body text: CR LF and lone CR become LF; LF and tab stay; every other control character
// becomes a space.
std::string cleanBodyText(std::string_view utf8);

// Visible text of an HTML document: no scripts, styles or head; line breaks at block ends;
// entities decoded. Nothing it refers to is fetched.
std::string htmlToText(std::string_view html);

// Whether the bytes are valid UTF-8.
bool isValidUtf8(std::string_view bytes);

} // namespace mailcore
