// Ending the process without taking its large tables apart. A calendar of a hundred
// thousand events is a few hundred thousand small allocations; freeing them one by one at
// exit costs more than some commands' whole work, and the system reclaims them anyway.
#pragma once

#include <memory>

namespace yorbel::cli {

// Keeps an object alive until the process ends: ExitProcess drops it unfreed, a normal
// return from main frees it with the other statics.
void KeepUntilExit(std::shared_ptr<const void> object);

// Ends the process with status once every output is flushed; no destructors run.
[[noreturn]] void ExitProcess(int status);

}  // namespace yorbel::cli
