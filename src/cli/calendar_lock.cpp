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
            if (why == std::errc::file_exists && time_left) continue;
            throw data::Error(data::CoreError("LockCannotBeCreated"),
                              {info.lock_path, why.message()});
        }
        if (info.state == app::LockState::Abandoned) {
            if (lock.TakeOver(path)) {
                notices
                    << "yorbel-cli: "
                    << data::Error(data::CoreError("LockTakenOver"), LockArgs(path, info)).what()
                    << '\n';
                return lock;
            }
            if (time_left) continue;  // someone else took it over first
        }
        if (info.owner.program != kCliProgram || !time_left) throw Refusal(path, info);
        if (!told_waiting) {
            notices << "yorbel-cli: "
                    << data::Error(data::CoreError("LockWaiting"), LockArgs(path, info)).what()
                    << '\n';
            told_waiting = true;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
}

}  // namespace yorbel::cli
