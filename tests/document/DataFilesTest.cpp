#include "document/DataFiles.h"
#include "document/FileIO.h"
#include "platform/DataFolders.h"
#include "support/ScratchDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

namespace {

namespace fs = std::filesystem;

// Sets an environment variable for the scope, or removes it (no value).
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::optional<std::string>& value) : name_(name)
    {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) ::setenv(name, value->c_str(), 1);
        else ::unsetenv(name);
    }
    ~ScopedVariable()
    {
        if (old_) ::setenv(name_, old_->c_str(), 1);
        else ::unsetenv(name_);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

class UserDataFiles : public ::testing::Test {
protected:
    const builders::Scratch scratch;
    const fs::path& home = scratch.path();

    static std::vector<std::uint8_t> bytes(const fs::path& path)
    {
        std::vector<std::uint8_t> read;
        std::string error;
        EXPECT_TRUE(ReadWholeFile(path, read, error)) << error;
        return read;
    }
    static fs::path shipped(const char* name) { return fs::path(platform::shippedDataDirectory()) / name; }
};

TEST_F(UserDataFiles, TheFolderFollowsXdgDataHomeWhenAbsoluteElseHome)
{
    const ScopedVariable homeVariable("HOME", home.string());
    struct Row {
        std::optional<std::string> xdgDataHome;
        std::string folder;
    };
    for (const Row& row : {Row{"/data/of/user", "/data/of/user/marlwick"},
                           Row{"relative/ignored", home.string() + "/.local/share/marlwick"},
                           Row{"", home.string() + "/.local/share/marlwick"},
                           Row{std::nullopt, home.string() + "/.local/share/marlwick"}}) {
        const ScopedVariable data("XDG_DATA_HOME", row.xdgDataHome);
        EXPECT_EQ(platform::userDataDirectory(), row.folder);
        EXPECT_EQ(LibraryFilePath(), row.folder + "/surface_library.dat");
        EXPECT_EQ(TemplateFilePath(), row.folder + "/cross_sections.dat");
    }
}

TEST_F(UserDataFiles, TheFirstUseCopiesTheShippedFilesAndLaterOnesKeepTheUsersOwn)
{
    const ScopedVariable data("XDG_DATA_HOME", (home / "deep" / "data").string());
    ASSERT_EQ(PrepareUserDataFiles(), "");
    const fs::path folder = home / "deep" / "data" / "marlwick";
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
    for (const char* name : {kLibraryFileName, kTemplateFileName})
        EXPECT_EQ(bytes(folder / name), bytes(shipped(name))) << name;
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2); // no copy left behind

    std::string error;
    const std::vector<std::uint8_t> changed{1, 2, 3};
    ASSERT_TRUE(WriteFileReplacing(folder / kLibraryFileName, changed, error)) << error;
    fs::remove(folder / kTemplateFileName);
    ASSERT_EQ(PrepareUserDataFiles(), "");
    EXPECT_EQ(bytes(folder / kLibraryFileName), changed);
    EXPECT_EQ(bytes(folder / kTemplateFileName), bytes(shipped(kTemplateFileName)));
}

TEST_F(UserDataFiles, AFolderThatCannotBeMadeOrAFileThatIsNoneIsNamedInTheMessage)
{
    const fs::path notAFolder = home / "file";
    std::string error;
    ASSERT_TRUE(WriteFileReplacing(notAFolder, {7}, error)) << error;
    for (const fs::path& data : {notAFolder / "below", home}) {
        if (data == home) fs::create_directories(home / "marlwick" / kLibraryFileName / "x"); // a folder, not a file
        const ScopedVariable variable("XDG_DATA_HOME", data.string());
        const std::string problem = PrepareUserDataFiles();
        EXPECT_NE(problem.find(data.string()), std::string::npos) << problem;
        EXPECT_NE(problem.find(data == home ? "not a regular file" : "Not a directory"), std::string::npos) << problem;
    }
    EXPECT_EQ(bytes(notAFolder), std::vector<std::uint8_t>{7});
}

} // namespace
