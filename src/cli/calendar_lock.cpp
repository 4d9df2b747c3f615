#include "cli/calendar_lock.h"

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "data/error.h"

namespace yorbel::cli {

namespace {

// Another command holding the lock is done within moments; a window may hold it for hours.
constexpr std::string_view kCliProgram = "yorbel-cli";
constexpr auto kLongestWait = std::chrono::seconds(10);
constexpr auto kPollInterval = std::chrono::milliseconds(20);

std::vector<std::string> LockArgs(const std::string& calendar, const app::LockInfo& info) {
    const app::LockOwner& o = info.owner;
    return {calendar,
            info.lock_path,
            o.program.empty() ? "?" : o.program,
            std::to_string(o.pid),
            o.user.empty() ? "?" : o.user,
            o.host.empty() ? "?" : o.host};
}

void Tell(std::ostream& notices, const data::ErrorText& text, const std::string& calendar,
          const app::LockInfo& info) {
    notices << "yorbel-cli: " << data::Error(text, LockArgs(calendar, info)).what() << '\n';
}

data::Error Refusal(const std::string& calendar, const app::LockInfo& info) {
    if (info.owner.pid <= 0)
        return data::Error(data::CoreError("CalendarLockedUnknown"), {calendar, info.lock_path});
    return data::Error(data::CoreError("CalendarLocked"), LockArgs(calendar, info));
}

}  // namespace

app::CalendarLock LockCalendarForWriting(const std::filesystem::path& calendar,
                                         std::ostream& notices) {
    const std::string path = calendar.string();
    const auto give_up = std::chrono::steady_clock::now() + kLongestWait;
    bool told_waiting = false;
    for (;;) {
        app::CalendarLock lock;
        std::error_code why;
        if (lock.TryAcquire(path, why)) return lock;
        const app::LockInfo info = app::InspectLock(path);
        const bool time_left = std::chrono::steady_clock::now() < give_up;
        if (info.state == app::LockState::Free) {
            // Released meanwhile, or the folder takes no new file.
            if (why != std::errc::file_exists || !time_left)
                throw data::Error(data::CoreError("LockCannotBeCreated"),
                                  {info.lock_path, why.message()});
            continue;
        }
        if (info.state == app::LockState::Abandoned && lock.TakeOver(path)) {
            Tell(notices, data::CoreError("LockTakenOver"), path, info);
            return lock;
        }
        // An abandoned lock that could not be taken over was most likely taken by another
        // command just now, which is then waited for like any other.
        const bool other_command =
            info.state == app::LockState::Abandoned || info.owner.program == kCliProgram;
        if (!other_command || !time_left) throw Refusal(path, info);
        if (info.state == app::LockState::Held && !told_waiting) {
            Tell(notices, data::CoreError("LockWaiting"), path, info);
            told_waiting = true;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
}

}  // namespace yorbel::cli
