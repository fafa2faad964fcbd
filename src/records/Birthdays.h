#pragma once
// The key of the birthday order: "誕生日" holds "mm/dd" of "生年月日" ("" without a birth date).

#include "platform/db/Database.h"

namespace records {

// Writes "誕生日" on every personal record where it differs from what "生年月日" gives, in one
// transaction; returns how many records were written. On an error the book is left as it was and
// the error reaches the caller.
int RewriteBirthdays(const db::Database& book);

} // namespace records
