#pragma once

#include <string>

// The two shared data files live next to the executable, whatever the
// current directory is.
inline constexpr const char* kLibraryFileName = "surface_library.dat";
inline constexpr const char* kTemplateFileName = "cross_sections.dat";

std::string LibraryFilePath();
std::string TemplateFilePath();
