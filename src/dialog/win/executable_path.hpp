// The running program's own path, which both Windows programs need: the host puts JWC_TEMP.TXT
// beside the executable, and the settings file lives there too.
#pragma once

#include <filesystem>

namespace Unit1 {

// The full path of the running executable as UTF-16, so that a folder name outside code page
// 932 still works; empty when Windows cannot tell it.
std::filesystem::path ExecutablePath();

}  // namespace Unit1
