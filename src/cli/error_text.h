// A core error as yorbel-cli prints it: in English, naming a calendar's fields by the
// captions the desktop program shows for them.
#pragma once

#include <string>

#include "data/error.h"

namespace yorbel::cli {

std::string ErrorText(const data::Error& error);

}  // namespace yorbel::cli
