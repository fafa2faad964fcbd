#pragma once
// Database errors carry the numbers the windows know from the old engine, so that handlers
// can tell a duplicate key (3022) or an unknown field (3265) from anything else.

#include <QString>
#include <exception>
#include <string>

namespace db {

namespace err {
constexpr int NoCurrentRecord = 3021;      // a move or read with no current record
constexpr int DuplicateKey = 3022;         // a unique index refused the value
constexpr int FileNotFound = 3024;         // the database file does not exist
constexpr int ReadOnly = 3027;             // database or recordset cannot be updated
constexpr int NotInEditMode = 3020;        // update or assignment without edit / add
constexpr int NotADatabase = 3049;         // damaged, or not a database at all
constexpr int NoPermission = 3051;         // the file exists but may not be opened (permission)
constexpr int ObjectNotFound = 3078;       // no table or query of that name
constexpr int InvalidBookmark = 3159;
constexpr int FieldNotUpdatable = 3164;
constexpr int RecordDeleted = 3167;
constexpr int Locked = 3260;
constexpr int ItemNotFound = 3265;         // unknown field name
constexpr int TypeMismatch = 3421;         // a value that the field cannot hold
constexpr int NotInTransaction = 3034;
constexpr int InvalidArgument = 3001;
constexpr int InvalidOperation = 3219;
constexpr int ObjectClosed = 3420;        // the recordset or database was closed
constexpr int Other = 3000;
}

// The description shown to the user for an error number (the engine's own wording).
QString describe(int number);

class Error : public std::exception {
public:
    Error(int number, QString detail = {});
    int number() const noexcept { return number_; }
    // Description as the user reads it: the standard text, and the detail when there is one.
    const QString& description() const noexcept { return description_; }
    const char* what() const noexcept override { return what_.c_str(); }

private:
    int number_;
    QString description_;
    std::string what_;
};

} // namespace db
