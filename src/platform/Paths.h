#pragma once

#include <string>

namespace platform {

// Directory of the running executable, without a trailing slash.
std::string executableDirectory();

} // namespace platform
