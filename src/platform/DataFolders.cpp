#include "platform/DataFolders.h"

#include "platform/Paths.h"

#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

constexpr const char* kProgramFolder = "marlwick";

bool isDirectory(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool isFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// PREFIX/<folder>/marlwick for an executable in PREFIX/bin.
std::string installedFolder(const char* folder)
{
    const std::string bin = executableDirectory();
    const auto slash = bin.find_last_of('/');
    const std::string prefix = slash == std::string::npos ? std::string("..") : bin.substr(0, slash);
    return prefix + "/" + folder + "/" + kProgramFolder;
}

// An absolute path from the environment, or empty.
std::string absoluteVariable(const char* name)
{
    const char* value = std::getenv(name);
    return value && value[0] == '/' ? std::string(value) : std::string();
}

std::string homeDirectory()
{
    if (std::string home = absoluteVariable("HOME"); !home.empty()) return home;
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(static_cast<std::size_t>(size > 0 ? size : 16384));
    passwd entry {};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found || !found->pw_dir ||
        found->pw_dir[0] != '/')
        return {};
    return found->pw_dir;
}

} // namespace

std::string shippedDataDirectory()
{
    const std::string installed = installedFolder("share");
    return isDirectory(installed) ? installed : executableDirectory();
}

std::string helperProgramPath(const std::string& name)
{
    const std::string installed = installedFolder("libexec") + "/" + name;
    return isFile(installed) ? installed : executableDirectory() + "/" + name;
}

std::string userDataDirectory()
{
    if (std::string data = absoluteVariable("XDG_DATA_HOME"); !data.empty()) return data + "/" + kProgramFolder;
    const std::string home = homeDirectory();
    return home.empty() ? home : home + "/.local/share/" + kProgramFolder;
}

} // namespace platform
