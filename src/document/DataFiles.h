#pragma once

#include <string>

// The two shared data files. The program ships read-only defaults of both; the
// copies a user changes live in the user's data folder
// (platform::userDataDirectory()), made from the shipped ones on first use.
inline constexpr const char* kLibraryFileName = "surface_library.dat";
inline constexpr const char* kTemplateFileName = "cross_sections.dat";

// The user's copies, whatever the current directory is. Empty when the user
// has no data folder.
std::string LibraryFilePath();
std::string TemplateFilePath();

// Makes the user's data folder and copies into it each shipped data file the
// user does not have yet; a file the user has is never touched. Empty when
// done, else one line naming each folder or file that could not be made and
// what is wrong.
std::string PrepareUserDataFiles();
