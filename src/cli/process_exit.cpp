#include "cli/process_exit.h"

#include <cstdlib>
#include <iostream>
#include <vector>

namespace yorbel::cli {

namespace {

std::vector<std::shared_ptr<const void>>& Kept() {
    static std::vector<std::shared_ptr<const void>> kept;
    return kept;
}

}  // namespace

void KeepUntilExit(std::shared_ptr<const void> object) {
    Kept().push_back(std::move(object));
}

void ExitProcess(int status) {
    std::cout.flush();
    std::cerr.flush();
    std::clog.flush();
    std::quick_exit(status);
}

}  // namespace yorbel::cli
