// Database files open through a file layer that keeps side files of another
// copy of the file from being applied to it.
//
// The databases use a rollback journal that is deleted at every commit, so
// between units of work the .db file alone holds everything and can be copied.
// A journal survives only a crash in the middle of a commit; it holds the
// pages as they were before that commit and is played back on the next open.
// When the .db beside it has been replaced by a copy of another moment (a
// restored backup), playing it back would write foreign pages into the copy.
// So before a journal is played back its first page is compared with the
// database file: the file change counter that every commit raises must be the
// journal's (the commit never reached the file) or one more (it did in part).
// A journal that does not belong is emptied and never applied.
//
// These files never use a write-ahead log; a log found beside a file in
// rollback mode can only come from another copy and is removed unread.
#pragma once

namespace kolvar::db {

// Name of the file layer to pass to sqlite3_open_v2; registered on first use.
const char* GuardedVfsName();

}  // namespace kolvar::db
