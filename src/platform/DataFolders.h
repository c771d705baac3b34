#pragma once

// Where the program finds what it ships and where each user's own data lives.
// An installed program (PREFIX/bin/marlwick) ships its data read-only in
// PREFIX/share/marlwick and its helper programs in PREFIX/libexec/marlwick; a
// program run from its build tree finds both beside itself.

#include <string>

namespace platform {

// The read-only data shipped with the program, without a trailing slash.
std::string shippedDataDirectory();

// NAME from the helper programs' folder: PREFIX/libexec/marlwick when it has
// it, else beside the executable.
std::string helperProgramPath(const std::string& name);

// The folder of the files a user changes: $XDG_DATA_HOME/marlwick, where
// XDG_DATA_HOME is an absolute path (tests point it at a folder of their own),
// else HOME/.local/share/marlwick. Empty when there is no home folder to use.
std::string userDataDirectory();

} // namespace platform
