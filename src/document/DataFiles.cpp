#include "document/DataFiles.h"

#include "platform/Paths.h"

std::string LibraryFilePath() { return platform::executableDirectory() + "/" + kLibraryFileName; }

std::string TemplateFilePath() { return platform::executableDirectory() + "/" + kTemplateFileName; }
