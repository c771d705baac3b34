#include "document/DataFiles.h"

#include "document/FileIO.h"
#include "platform/DataFolders.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string userFile(const char* name)
{
    const std::string folder = platform::userDataDirectory();
    return folder.empty() ? folder : folder + "/" + name;
}

// Makes folder and any missing parents, new ones for the user alone.
std::string makeFolder(const std::string& folder)
{
    for (std::size_t slash = folder.find('/', 1); ; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return "Cannot create the data folder " + folder + ": " + std::strerror(errno) + ".";
        if (slash == std::string::npos) break;
    }
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return "Cannot use the data folder " + folder + ": it is not a folder.";
    return {};
}

// Copies the shipped file into folder unless a file of that name is there.
// The copy is written beside it and then linked into place, which fails
// rather than replace a file another start of the program made meanwhile.
std::string seed(const std::string& folder, const char* name)
{
    const std::string target = folder + "/" + name;
    struct stat info {};
    if (::lstat(target.c_str(), &info) == 0) {
        if (::stat(target.c_str(), &info) == 0 && S_ISREG(info.st_mode)) return {};
        return "Cannot use " + target + ": it is not a regular file.";
    }
    if (::access(folder.c_str(), W_OK) != 0)
        return "Cannot copy the shipped " + std::string(name) + " into the data folder " + folder + ": " +
               std::strerror(errno) + ".";
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!ReadWholeFile(platform::shippedDataDirectory() + "/" + name, bytes, error)) return error;
    const std::string copy = folder + "/." + name + ".new-" + std::to_string(::getpid());
    if (!WriteFileReplacing(copy, bytes, error)) return error;
    const bool linked = ::link(copy.c_str(), target.c_str()) == 0 || errno == EEXIST;
    const int code = errno;
    ::unlink(copy.c_str());
    if (!linked) return "Cannot save " + target + ": " + std::strerror(code) + ".";
    return {};
}

} // namespace

std::string LibraryFilePath() { return userFile(kLibraryFileName); }

std::string TemplateFilePath() { return userFile(kTemplateFileName); }

std::string PrepareUserDataFiles()
{
    const std::string folder = platform::userDataDirectory();
    if (folder.empty())
        return "There is no home folder to keep the surface library and the templates in: set HOME or XDG_DATA_HOME.";
    if (std::string problem = makeFolder(folder); !problem.empty()) return problem;
    // Each file on its own: one that cannot be made does not keep the other away.
    std::string problems;
    for (const char* name : {kLibraryFileName, kTemplateFileName})
        if (const std::string problem = seed(folder, name); !problem.empty())
            problems += (problems.empty() ? "" : " ") + problem;
    return problems;
}
