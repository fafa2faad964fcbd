#pragma once
// Code page 932 (Shift-JIS as Windows writes it) text: encoding, byte widths and text files.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace text {

// Width of a text in Shift-JIS bytes: 1 for ASCII and half-width katakana (U+FF61-U+FF9F),
// 2 for every other character; a surrogate pair is one character of width 2.
int byteWidth(const QString& s);
// Width of the character starting at s[i] (1 or 2) and how many UTF-16 units it takes (1 or 2).
int charByteWidth(const QString& s, qsizetype i, qsizetype* units = nullptr);

// True when the code page 932 converter ("windows-31j", from ICU) exists in this Qt build.
// Every other function here needs it and stops the program with a message when it is missing.
bool cp932Available();

// True when every character of s can be held by code page 932.
bool fitsCp932(const QString& s);

struct Encoded {
    QByteArray bytes;
    int substituted = 0;   // characters code page 932 cannot hold, written as the substitute
};
// Whether a character that code page 932 cannot hold, but whose full-width twin it holds
// (〜 U+301C and ～, − U+2212 and －, ‖ and ∥, — U+2014 and ―, ¢ ￠, £ ￡, ¬ ￢), is written as
// that twin. Files meant for people (CSV) take the twin; a path must be written exactly.
enum class Twins { Substitute, Write };
// The full-width twin of c, or 0 when c has none.
char16_t cp932Twin(char16_t c);

// Encodes s; characters code page 932 cannot hold become "?" and are counted.
Encoded encodeCp932(const QString& s, Twins twins = Twins::Substitute);
// The same, written from to, which has room for two bytes a UTF-16 unit of s; returns where the
// bytes end and adds the substituted characters to *substituted.
char* writeCp932(QStringView s, char* to, int* substituted, Twins twins = Twins::Substitute);
// Decodes as the converter does, broken bytes included.
QString decodeCp932(const QByteArray& bytes);
// Decodes, with every byte sequence that is not a code page 932 character read as U+FFFD
// (which no code page 932 character decodes to); *broken counts those sequences.
QString decodeCp932Marked(const QByteArray& bytes, int* broken);

struct ReadResult {
    bool ok = false;
    QString error;        // why the file could not be read
    QString content;      // whole file, decoded
    int broken = 0;       // byte sequences that are not code page 932, read as U+FFFD
};
// Reads a whole code page 932 file (decodeCp932Marked).
ReadResult readCp932File(const QString& path);
// Splits text into lines at CR LF, LF or CR (a final line break gives no empty last line).
QStringList splitLines(const QString& content);

struct WriteResult {
    bool ok = false;
    QString error;
    int substituted = 0;
};
// Writes lines in code page 932, each followed by CR LF, replacing the file.
// With refuseUnencodable set, nothing is written when a character cannot be held
// (ok is false, substituted tells how many).
WriteResult writeCp932Lines(const QString& path, const QStringList& lines, bool refuseUnencodable);

} // namespace text
