#include "design/Groups.h"
#include "design/SurfaceLibrary.h"
#include "support/ReadyDocuments.h"
#include "support/RecordingPeers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

using namespace design;
using builders::TempFile;

namespace {

std::uint32_t u32At(const std::vector<std::uint8_t>& bytes, std::size_t offset)
{
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, 4);
    return value;
}

void setU32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value)
{
    std::memcpy(bytes.data() + offset, &value, 4);
}

std::string entryName(const std::vector<std::uint8_t>& bytes, int i)
{
    return reinterpret_cast<const char*>(bytes.data() + 4 + 56 * i + 1);
}

struct LibraryFixture : ::testing::Test {
    TempFile library{"library"};
    builders::TrackDocument doc;
    SurfaceSection *a = doc.surfaces[0].get(), *b = doc.surfaces[1].get(), *a2 = doc.surfaces[2].get(),
                   *c = doc.surfaces[3].get();
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(WriteEmptyLibrary(library.path(), error)) << error;
        builders::linkSites(*a2, 0, *c, 1); // a2.end - c.begin, inside "track"
    }
    const std::string& path() const { return library.path(); }
};

} // namespace

TEST_F(LibraryFixture, ExportsStartAtOffset5000AndAppend)
{
    ASSERT_EQ(library.read().size(), 5000u);
    ASSERT_EQ(ExportSurface(path(), *a), "");
    std::vector<std::uint8_t> bytes = library.read();
    EXPECT_EQ(u32At(bytes, 0), 1u);
    EXPECT_EQ(bytes[4], kLibrarySurface);
    EXPECT_EQ(entryName(bytes, 0), "a");
    EXPECT_EQ(u32At(bytes, 4 + 52), 5000u);
    const std::uint8_t tag[] = {0xFF, 0xFF, 0x01, 0x00, 0x0E, 0x00, 'S', 'u', 'r', 'f'};
    EXPECT_EQ(std::memcmp(bytes.data() + 5000, tag, sizeof tag), 0);

    const std::size_t length = bytes.size();
    ASSERT_EQ(ExportSurface(path(), *b), "");
    bytes = library.read();
    EXPECT_EQ(u32At(bytes, 0), 2u);
    EXPECT_EQ(u32At(bytes, 4 + 56 + 52), length);

    // A library of just its count works too, and so does an empty file: an
    // empty index has no entries.
    for (const std::vector<std::uint8_t>& start : {std::vector<std::uint8_t>{0, 0, 0, 0}, std::vector<std::uint8_t>{}}) {
        library.write(start);
        std::vector<LibraryTreeItem> roots;
        EXPECT_EQ(BuildLibraryTree(path(), roots), "");
        EXPECT_TRUE(roots.empty());
        ASSERT_EQ(ExportSurface(path(), *b), "");
        EXPECT_EQ(u32At(library.read(), 0), 1u);
        EXPECT_EQ(u32At(library.read(), 4 + 52), 5000u);
    }
}

// Which links a surface written alone keeps is
// SurfaceRecordSiteNames.LinksIntoAnotherGroupAreWrittenAsNoneOnTheirOwn's.
TEST_F(LibraryFixture, AnImportedSurfaceMatchesTheExportedOneWithFreeSites)
{
    ASSERT_EQ(ExportSurface(path(), *b), "");
    EXPECT_EQ(b->attachmentSites[0].otherSurface, c) << "the exported surface keeps its links";
    builders::TrackDocument other;
    LibraryTreeItem item{"b", 0, -1, {}};
    EXPECT_EQ(ImportLibraryItem(other, path(), &item),
              "You cannot import a surface into the main_group whose name matches that of any existing surface in "
              "that group.");
    EXPECT_EQ(other.surfaces.size(), 4u);
    ASSERT_EQ(RenameSurface(other, *other.surfaces[1], "older"), "");
    ASSERT_EQ(ImportLibraryItem(other, path(), &item), "");
    ASSERT_EQ(other.surfaces.size(), 5u);
    SurfaceSection& imported = *other.surfaces.back();
    EXPECT_EQ(imported.group, other.groups[0].get());
    EXPECT_TRUE(other.groups[0]->contains(&imported));
    EXPECT_EQ(imported.render, 1);
    ASSERT_EQ(imported.pointsPerSection, b->pointsPerSection);
    ASSERT_EQ(imported.sectionCount, b->sectionCount);
    for (int i = 0; i < b->sectionCount; ++i)
        for (int j = 0; j < b->pointsPerSection; ++j) EXPECT_EQ(imported.controlNet[i][j].y, b->controlNet[i][j].y);
    EXPECT_TRUE(imported.reverseNormal);
    ASSERT_EQ(imported.holes.size(), 1u);
    for (const AttachmentSite& site : imported.attachmentSites) {
        EXPECT_TRUE(site.isFree());
        EXPECT_EQ(textOf(site.otherSurfaceName), "none");
    }
}

TEST_F(LibraryFixture, AGroupComesBackUnderAFreeNameWithItsInnerLinks)
{
    ASSERT_EQ(ExportGroup(path(), *doc.groups[1]), "");
    std::vector<LibraryEntry> entries;
    ASSERT_EQ(ReadLibraryIndex(path(), entries), "");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].kind, kLibraryGroup);
    std::vector<std::string> names;
    ASSERT_EQ(ReadLibraryGroupNames(path(), 0, names), "");
    EXPECT_EQ(names, (std::vector<std::string>{"a", "c"}));

    builders::TrackDocument other;
    other.CreateGroup("track_");
    ASSERT_EQ(ImportLibraryGroup(other, path(), FindLibraryEntry(entries, kLibraryGroup, "track")), "");
    SurfaceGroup* imported = FindGroup(other, "track__");
    ASSERT_NE(imported, nullptr);
    ASSERT_EQ(imported->members.size(), 2u);
    SurfaceSection& ia = *imported->members[0];
    SurfaceSection& ic = *imported->members[1];
    EXPECT_EQ(textOf(ia.groupName), "track__");
    EXPECT_EQ(ia.attachmentSites[0].otherSurface, &ic);
    EXPECT_EQ(textOf(ia.attachmentSites[0].otherSurfaceGroupName), "track__");
    EXPECT_EQ(ic.attachmentSites[1].otherSurface, &ia);
    EXPECT_TRUE(ic.attachmentSites[0].isFree());
    EXPECT_EQ(ia.attachmentSites[2].pseudoSurface, nullptr);
    EXPECT_EQ(textOf(ia.attachmentSites[2].pseudoSurfaceName), "none");
    // The surfaces already there keep their links.
    EXPECT_EQ(other.surfaces[1]->attachmentSites[0].otherSurface, other.surfaces[3].get());

    COpenGLTemplateDoc reopened;
    std::string error;
    ASSERT_TRUE(reopened.OpenDocumentBytes(other.SerializeDocument(), "x.mwk", error)) << error;
    SurfaceSection* again = reopened.FindSurface("a", "track__");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->attachmentSites[0].otherSurface, reopened.FindSurface("c", "track__"));
}

TEST_F(LibraryFixture, DeletedEntriesLeaveTheTreeButNotTheFile)
{
    ASSERT_EQ(ExportGroup(path(), *doc.groups[1]), "");
    ASSERT_EQ(ExportSurface(path(), *b), "");
    std::vector<LibraryTreeItem> tree;
    ASSERT_EQ(BuildLibraryTree(path(), tree), "");
    ASSERT_EQ(tree.size(), 2u);
    EXPECT_EQ(tree[0].label, "track");
    ASSERT_EQ(tree[0].children.size(), 2u);
    EXPECT_EQ(tree[0].children[1].entry, 2);
    EXPECT_EQ(tree[1].label, "b");
    EXPECT_EQ(DeleteLibraryItem(path(), nullptr), "Select a surface or group to delete.");
    EXPECT_EQ(ImportLibraryItem(doc, path(), nullptr), "Select a surface or group to import.");

    const std::size_t length = library.read().size();
    ASSERT_EQ(DeleteLibraryItem(path(), &tree[0].children[0]), "");
    std::vector<std::uint8_t> bytes = library.read();
    EXPECT_EQ(bytes.size(), length);
    EXPECT_EQ(entryName(bytes, 1), "deleted");
    std::vector<std::string> names;
    ASSERT_EQ(ReadLibraryGroupNames(path(), 0, names), "");
    EXPECT_EQ(names, (std::vector<std::string>{"c"}));
    ASSERT_EQ(BuildLibraryTree(path(), tree), "");
    ASSERT_EQ(tree[0].children.size(), 1u);
    EXPECT_EQ(tree[0].children[0].label, "c");

    ASSERT_EQ(DeleteLibraryItem(path(), &tree[0]), "");
    ASSERT_EQ(BuildLibraryTree(path(), tree), "");
    ASSERT_EQ(tree.size(), 1u);
    EXPECT_EQ(tree[0].label, "b");
    EXPECT_EQ(library.read().size(), length);
}

TEST_F(LibraryFixture, TheIndexHoldsEightyNineEntriesAndNoMore)
{
    ASSERT_EQ(ExportSurface(path(), *a), "");
    // 88 entries, all pointing at the first surface's data.
    std::vector<std::uint8_t> bytes = library.read();
    for (int i = 1; i < 88; ++i) std::memcpy(bytes.data() + 4 + 56 * i, bytes.data() + 4, 56);
    setU32(bytes, 0, 88);
    library.write(bytes);
    EXPECT_EQ(ExportGroup(path(), *doc.groups[1]),
              "The surface library has room for 1 more entries, but the group needs 3.");
    ASSERT_EQ(ExportSurface(path(), *b), "");
    bytes = library.read();
    EXPECT_EQ(u32At(bytes, 0), 89u);
    EXPECT_EQ(ExportSurface(path(), *c), "The surface library is full: its index has room for 89 entries only.");
    EXPECT_EQ(library.read(), bytes);
    std::vector<LibraryEntry> entries;
    ASSERT_EQ(ReadLibraryIndex(path(), entries), "");
    EXPECT_EQ(FindLibraryEntry(entries, kLibrarySurface, "a"), 87);
}

TEST_F(LibraryFixture, RefusalsWriteNothingAndAMissingLibraryIsNeverCreated)
{
    const std::vector<std::uint8_t> before = library.read();
    EXPECT_EQ(ExportGroupButton(path(), nullptr), "Select a group to export.");
    EXPECT_EQ(library.read(), before);
    ASSERT_EQ(ExportGroupButton(path(), doc.groups[1].get()), "");
    EXPECT_EQ(u32At(library.read(), 0), 3u);

    const std::string missing = path() + "-missing";
    EXPECT_EQ(ExportSurface(missing, *a), "Failed to open surface library file for reading and writing.");
    EXPECT_EQ(ExportGroup(missing, *doc.groups[0]), "Failed to open surface library file for reading and writing.");
    LibraryTreeItem item{"a", 0, -1, {}};
    EXPECT_EQ(ImportLibraryItem(doc, missing, &item), "Failed to open surface library file for reading.");
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(LibraryFixture, DamagedLibrariesAreNamedAndLeftAsTheyAre)
{
    ASSERT_EQ(ExportGroup(path(), *doc.groups[1]), "");
    const std::vector<std::uint8_t> good = library.read();
    struct Damage {
        const char* what;
        void (*apply)(std::vector<std::uint8_t>&);
    };
    const Damage damages[] = {
        {"has room for 89 only", [](std::vector<std::uint8_t>& f) { setU32(f, 0, 1000); }},
        {"runs past the end", [](std::vector<std::uint8_t>& f) { f.resize(100); }},
        {"unknown kind", [](std::vector<std::uint8_t>& f) { f[4 + 56] = 7; }},
        {"outside the data area", [](std::vector<std::uint8_t>& f) { setU32(f, 4 + 56 + 52, 100); }},
        {"no terminating zero", [](std::vector<std::uint8_t>& f) { std::memset(f.data() + 4 + 1, 'x', 50); }},
        {"more than the file holds", [](std::vector<std::uint8_t>& f) { setU32(f, 5000, 1u << 30); }},
        {"end of file", [](std::vector<std::uint8_t>& f) { f.resize(u32At(f, 4 + 56 * 2 + 52) + 600); }},
        {"bad format", [](std::vector<std::uint8_t>& f) { setU32(f, u32At(f, 4 + 56 + 52) + 20 + 335, 99); }},
    };
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.what);
        std::vector<std::uint8_t> bytes = good;
        d.apply(bytes);
        library.write(bytes);
        builders::NewDocument other;
        const std::string message = ImportLibraryGroup(other, path(), 0).refusal;
        EXPECT_NE(message.find(path()), std::string::npos) << message;
        EXPECT_NE(message.find(d.what), std::string::npos) << message;
        EXPECT_EQ(other.surfaces.size(), 1u);
        EXPECT_EQ(other.groups.size(), 1u);
        if (bytes.size() >= 5000 && u32At(bytes, 0) <= 89) continue;
        EXPECT_NE(ExportSurface(path(), *a), "");
        EXPECT_EQ(library.read(), bytes);
    }
}

TEST_F(LibraryFixture, AGroupImportAdvancesTheProgressBarOncePerMemberBuilt)
{
    ASSERT_EQ(ExportGroup(path(), *doc.groups[1]), "");
    builders::RecordingPeers peers;
    builders::NewDocument other(&peers);
    ASSERT_EQ(ImportLibraryGroup(other, path(), 0), "");
    // Half the range: drawing the two members advances the other half.
    EXPECT_EQ(peers.progressRange, 4);
    EXPECT_EQ(peers.progressSteps, 2);
    EXPECT_EQ(peers.progressDestroyed, 0);

    // A damaged second member: the bar goes away and nothing joins the document.
    std::vector<std::uint8_t> bytes = library.read();
    setU32(bytes, u32At(bytes, 4 + 56 * 2 + 52) + 20 + 335, 99);
    library.write(bytes);
    builders::RecordingPeers failing;
    builders::NewDocument third(&failing);
    EXPECT_NE(ImportLibraryGroup(third, path(), 0), "");
    EXPECT_EQ(failing.progressSteps, 1);
    EXPECT_EQ(failing.progressDestroyed, 1);
    EXPECT_EQ(third.surfaces.size(), 1u);
}
