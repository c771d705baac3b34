#include "document/FileIO.h"
#include "support/ScratchDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

// Writes in a directory of their own.
class WriteTest : public ::testing::Test {
protected:
    static std::string contents(const fs::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // Nothing but the named entries is left in the directory: no temporary file.
    void expectOnly(long entries) const { EXPECT_EQ(scratch.entries(), entries); }

    const builders::Scratch scratch;
    const fs::path& dir = scratch.path();
    const std::vector<std::uint8_t> bytes{'n', 'e', 'w'};
};

TEST_F(WriteTest, ASymbolicLinkIsFollowedAndStaysALink)
{
    fs::create_directory(dir / "real");
    std::ofstream(dir / "real" / "doc.mwk") << "old";
    fs::create_symlink("real/doc.mwk", dir / "link.mwk");
    fs::create_symlink("link.mwk", dir / "link2.mwk"); // a chain of links
    std::string error;
    ASSERT_TRUE(WriteFileReplacing((dir / "link2.mwk").string(), bytes, error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir / "link.mwk"));
    EXPECT_TRUE(fs::is_symlink(dir / "link2.mwk"));
    EXPECT_EQ(contents(dir / "real" / "doc.mwk"), "new");

    // A dangling link names the file to create.
    fs::create_symlink("real/fresh.mwk", dir / "dangling.mwk");
    ASSERT_TRUE(WriteFileReplacing((dir / "dangling.mwk").string(), bytes, error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir / "dangling.mwk"));
    EXPECT_EQ(contents(dir / "real" / "fresh.mwk"), "new");
    expectOnly(4);
}

TEST_F(WriteTest, TargetsThatAreNotRegularFilesAreRefusedAndKept)
{
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    fs::create_directory(dir / "sub");
    fs::create_symlink("fifo", dir / "to-fifo");
    fs::create_symlink("loop", dir / "loop");
    for (const char* name : {"fifo", "sub", "to-fifo"}) {
        std::string error;
        const std::string path = (dir / name).string();
        EXPECT_FALSE(WriteFileReplacing(path, bytes, error)) << name;
        EXPECT_EQ(error, "Cannot save " + path + ": it is not a regular file.");
    }
    EXPECT_TRUE(fs::is_fifo(dir / "fifo"));
    EXPECT_TRUE(fs::is_directory(dir / "sub"));
    std::string error;
    EXPECT_FALSE(WriteFileReplacing((dir / "loop").string(), bytes, error));
    EXPECT_NE(error.find("Too many levels of symbolic links"), std::string::npos) << error;
    expectOnly(4);
}

} // namespace
