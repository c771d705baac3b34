#pragma once

#include "design/DesignResult.h"
#include "surface/FixedText.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class COpenGLTemplateDoc;
class SurfaceSection;
struct SurfaceGroup;

// The shared surface library file: an entry count, an index of 56-byte
// entries (kind, 50-byte name, data offset) and, from offset 5000 on, the
// entries' data: a surface as one archived SurfaceSection object, a group as
// its member count and 50-byte member names (its members are surface entries
// written right after it). Entries are never removed, only renamed "deleted".
//
// Every change reads the whole file, checks it, and writes the changed file
// beside it before renaming it over the old one, so a failure never leaves a
// half-written library. The file is never created by these operations.
// Operations return a DesignResult with the message for the user, and
// then neither the document nor the file has changed.
namespace design {

inline constexpr std::uint32_t kLibraryDataOffset = 5000;
inline constexpr std::size_t kLibraryEntryBytes = 56;
// Entries whose index fits below the data offset: 4 + 89 x 56 = 4988.
inline constexpr std::uint32_t kLibraryMaxEntries = 89;
inline constexpr const char* kDeletedEntryName = "deleted";

enum LibraryKind : std::uint8_t { kLibrarySurface = 0, kLibraryGroup = 1 };

struct LibraryEntry {
    std::uint8_t kind = kLibrarySurface;
    char name[kLongNameSize] = {};
    std::uint32_t offset = 0;

    bool deleted() const { return textEquals(name, kDeletedEntryName); }
};

// An item of the library dialog's tree. entry is the index of the entry it
// stands for (-1 for a group member with no surface entry); parentEntry is
// the group entry of a member item, -1 for a root.
struct LibraryTreeItem {
    std::string label;
    int entry = -1;
    int parentEntry = -1;
    std::vector<LibraryTreeItem> children;
};

// Writes a library with no entries (its index area zeroed up to the data offset).
bool WriteEmptyLibrary(const std::string& path, std::string& error);

// The entries of the index, deleted ones included.
DesignResult ReadLibraryIndex(const std::string& path, std::vector<LibraryEntry>& entries);
// The member names stored in a group entry's data.
DesignResult ReadLibraryGroupNames(const std::string& path, int entry, std::vector<std::string>& names);

// Appends a surface entry; links to surfaces of other groups are written as "none".
DesignResult ExportSurface(const std::string& path, const SurfaceSection& surface);
// Appends a group entry and then a surface entry for each of its members.
DesignResult ExportGroup(const std::string& path, const SurfaceGroup& group);
// "Export surface or group" of the group dialog (group may be none).
DesignResult ExportGroupButton(const std::string& path, const SurfaceGroup* group);

// The tree of the library dialog: group entries with their members, then
// every other surface entry, in index order; deleted entries are left out.
DesignResult BuildLibraryTree(const std::string& path, std::vector<LibraryTreeItem>& roots);

// Reads the surface entry `entry` into a new surface of the document (not yet
// added to it): current group, render 0, net, mesh and ranges built.
DesignResult ReadLibrarySurface(COpenGLTemplateDoc& document, const std::string& path, int entry,
                                std::unique_ptr<SurfaceSection>& surface);
// Imports one surface entry into the current group with every site free.
DesignResult ImportLibrarySurface(COpenGLTemplateDoc& document, const std::string& path, int entry);
// Imports a group entry as a new group (its name with "_" appended until it is
// free) with its member surfaces and the links between them. The document's
// progress bar advances by one per member built (half its range; drawing the
// members fills the other half).
DesignResult ImportLibraryGroup(COpenGLTemplateDoc& document, const std::string& path, int entry);

// "Import selected" and "Delete selected" of the library dialog (item may be none).
DesignResult ImportLibraryItem(COpenGLTemplateDoc& document, const std::string& path, const LibraryTreeItem* item);
DesignResult DeleteLibraryItem(const std::string& path, const LibraryTreeItem* item);

// The most recent entry of the kind with this name that is not deleted, or -1.
int FindLibraryEntry(const std::vector<LibraryEntry>& entries, LibraryKind kind, const std::string& name);

} // namespace design
