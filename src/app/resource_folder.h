// Where the files shipped with the programs lie (language, group, location files, the
// sample calendars and the manual). In the build tree they are copied beside the
// programs; an installed program finds them in the data folder that the installation
// puts at the same place relative to its own folder (bin/../share/yorbel), so an
// installation can be moved or unpacked anywhere.
#pragma once

#include <filesystem>

namespace yorbel::app {

// The resource folder for a program in `program_folder`: that folder when it holds a
// language file, else the installed data folder relative to it when that exists, else
// `program_folder` itself (every text then reads as missing, as with no files at all).
std::filesystem::path ResourceFolder(const std::filesystem::path& program_folder);

}  // namespace yorbel::app
