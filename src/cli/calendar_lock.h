// The lock a yorbel-cli command holds on a calendar file while it changes it, the same
// lock the desktop program takes for a window that edits the calendar.
#pragma once

#include <filesystem>
#include <ostream>

#include "app/lock_file.h"

namespace yorbel::cli {

// Takes the calendar's lock, to be held from before the calendar is read until after it
// is saved. Waits a while when another yorbel-cli holds it, and takes over a lock whose
// owner no longer runs; both are told on `notices`. Throws a data::Error naming the lock
// file and its holder when the calendar is held elsewhere or the lock cannot be made.
app::CalendarLock LockCalendarForWriting(const std::filesystem::path& calendar,
                                         std::ostream& notices);

}  // namespace yorbel::cli
