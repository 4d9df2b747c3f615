// Linked into every test program: before main() the process gets a home, configuration,
// data, cache and state folder of its own in a fresh temporary folder, removed again at
// exit. So no test (nor a program it starts) reads or writes the user's files, and tests
// running side by side never share settings or group files.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

class PrivateHome {
  public:
    PrivateHome() : owner_(::getpid()) {
        std::string name = (fs::temp_directory_path() / "yorbel-test-home-XXXXXX").string();
        if (::mkdtemp(name.data()) == nullptr) {
            std::perror("no temporary home folder for the tests");
            std::abort();
        }
        root_ = name;
        ::setenv("HOME", root_.c_str(), 1);
        const std::pair<const char*, const char*> folders[] = {{"XDG_CONFIG_HOME", "config"},
                                                               {"XDG_DATA_HOME", "data"},
                                                               {"XDG_CACHE_HOME", "cache"},
                                                               {"XDG_STATE_HOME", "state"}};
        for (const auto& [variable, folder] : folders)
            ::setenv(variable, (root_ / folder).c_str(), 1);
    }
    ~PrivateHome() {
        if (::getpid() != owner_) return;  // a forked child leaves it to its parent
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    PrivateHome(const PrivateHome&) = delete;
    PrivateHome& operator=(const PrivateHome&) = delete;

  private:
    pid_t owner_;
    fs::path root_;
};

const PrivateHome g_private_home;

}  // namespace
