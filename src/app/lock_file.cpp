#include "app/lock_file.h"

#include <cstdio>
#include <filesystem>
#include <utility>

namespace yorbel::app {

namespace fs = std::filesystem;

std::string LockFileName(const std::string& calendar_path) {
    const fs::path path(calendar_path);
    // The extension runs from the last dot of the file name, as on the platform where
    // these files began, so ".yrb" alone has an empty name part.
    std::string name = path.filename().string();
    if (const auto dot = name.rfind('.'); dot != std::string::npos) name.resize(dot);
    if (!name.empty()) name.erase(0, 1);
    return (path.parent_path() / ("~" + name + ".lck")).string();
}

CalendarLock::~CalendarLock() {
    Release();
}

CalendarLock::CalendarLock(CalendarLock&& other) noexcept
    : lock_path_(std::exchange(other.lock_path_, {})) {}

CalendarLock& CalendarLock::operator=(CalendarLock&& other) noexcept {
    if (this != &other) {
        Release();
        lock_path_ = std::exchange(other.lock_path_, {});
    }
    return *this;
}

bool CalendarLock::TryAcquire(const std::string& calendar_path) {
    const std::string name = LockFileName(calendar_path);
    // "x" makes the open fail when the file exists: test and creation are one step.
    std::FILE* file = std::fopen(name.c_str(), "wx");
    if (file == nullptr) return false;
    std::fclose(file);
    Release();
    lock_path_ = name;
    return true;
}

void CalendarLock::Release() {
    if (lock_path_.empty()) return;
    std::error_code ignored;
    fs::remove(lock_path_, ignored);
    lock_path_.clear();
}

}  // namespace yorbel::app
