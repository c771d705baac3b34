#include "design/SurfaceLibrary.h"

#include "design/ChannelCreation.h"
#include "document/FileIO.h"
#include "document/OpenGLTemplateDoc.h"
#include "document/SurfaceArchive.h"
#include "gul/Error.h"

#include <algorithm>
#include <cstring>
#include <span>

namespace design {

namespace {

constexpr const char* kOpenForWriting = "Failed to open surface library file for reading and writing.";
constexpr const char* kOpenForReading = "Failed to open surface library file for reading.";
constexpr std::size_t kCountBytes = 4;
constexpr std::size_t kNameOffset = 1;
constexpr std::size_t kDataOffsetField = 52;

std::uint32_t readU32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void writeU32(std::uint8_t* p, std::uint32_t value)
{
    for (int k = 0; k < 4; ++k) p[k] = static_cast<std::uint8_t>(value >> (8 * k));
}

// A 50-byte name field: false when it has no terminator.
bool readName(const std::uint8_t* p, std::string& name)
{
    const void* end = std::memchr(p, 0, kLongNameSize);
    if (!end) return false;
    name.assign(reinterpret_cast<const char*>(p), static_cast<const std::uint8_t*>(end) - p);
    return true;
}

// The whole library file in memory, checked when loaded.
class LibraryImage {
public:
    std::string path;
    std::vector<std::uint8_t> bytes;
    std::vector<LibraryEntry> entries;

    // openFailure is the message when the file cannot be read at all.
    std::string load(const std::string& file, const char* openFailure)
    {
        path = file;
        std::string error;
        if (!ReadWholeFile(path, bytes, error)) return openFailure;
        // A file too short for the count (an empty one, say) holds no entries.
        const std::uint32_t count = bytes.size() < kCountBytes ? 0 : readU32(bytes.data());
        if (count > kLibraryMaxEntries)
            return damaged("its index claims " + std::to_string(count) + " entries but has room for " +
                           std::to_string(kLibraryMaxEntries) + " only");
        if (count > 0 && kCountBytes + count * kLibraryEntryBytes > bytes.size())
            return damaged("its index of " + std::to_string(count) + " entries runs past the end of the file");
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint8_t* p = bytes.data() + kCountBytes + i * kLibraryEntryBytes;
            LibraryEntry e;
            e.kind = p[0];
            std::string name;
            if (e.kind != kLibrarySurface && e.kind != kLibraryGroup)
                return damaged("entry " + std::to_string(i + 1) + " has the unknown kind " + std::to_string(e.kind));
            if (!readName(p + kNameOffset, name))
                return damaged("the name of entry " + std::to_string(i + 1) + " has no terminating zero");
            setText(e.name, name);
            e.offset = readU32(p + kDataOffsetField);
            if (e.offset < kLibraryDataOffset || e.offset >= bytes.size())
                return damaged("the data of entry " + std::to_string(i + 1) + " would lie at offset " +
                               std::to_string(e.offset) + ", outside the data area of the file");
            entries.push_back(e);
        }
        return {};
    }

    std::string damaged(const std::string& what) const
    {
        return "The surface library file " + path + " is damaged: " + what + ".";
    }

    // Index of an entry of the given kind, or a message.
    std::string checkEntry(int entry, LibraryKind kind) const
    {
        if (entry < 0 || entry >= static_cast<int>(entries.size()) || entries[entry].kind != kind ||
            entries[entry].deleted())
            return std::string("The surface library holds no such ") +
                   (kind == kLibrarySurface ? "surface." : "group.");
        return {};
    }

    std::string roomFor(std::size_t added) const
    {
        const std::size_t left = kLibraryMaxEntries - entries.size();
        if (added <= left) return {};
        if (added == 1)
            return "The surface library is full: its index has room for " + std::to_string(kLibraryMaxEntries) +
                   " entries only.";
        return "The surface library has room for " + std::to_string(left) + " more entries, but the group needs " +
               std::to_string(added) + ".";
    }

    // Appends an index entry and its data.
    void append(LibraryKind kind, const std::string& name, const std::vector<std::uint8_t>& data)
    {
        std::uint32_t offset = static_cast<std::uint32_t>(bytes.size());
        if (entries.empty()) {
            bytes.resize(kLibraryDataOffset, 0);
            offset = kLibraryDataOffset;
        }
        bytes.insert(bytes.end(), data.begin(), data.end());
        LibraryEntry e;
        e.kind = kind;
        setText(e.name, name);
        e.offset = offset;
        entries.push_back(e);
        writeEntry(static_cast<int>(entries.size()) - 1);
        writeU32(bytes.data(), static_cast<std::uint32_t>(entries.size()));
    }

    void writeEntry(int i)
    {
        std::uint8_t* p = bytes.data() + kCountBytes + static_cast<std::size_t>(i) * kLibraryEntryBytes;
        const LibraryEntry& e = entries[i];
        p[0] = e.kind;
        std::memcpy(p + kNameOffset, e.name, kLongNameSize);
        p[kNameOffset + kLongNameSize] = 0;
        writeU32(p + kDataOffsetField, e.offset);
    }

    void markDeleted(int i)
    {
        entries[i].kind = kLibrarySurface;
        setText(entries[i].name, kDeletedEntryName);
        writeEntry(i);
    }

    std::string save() const
    {
        std::string error;
        return WriteFileReplacing(path, bytes, error) ? std::string() : error;
    }

    std::span<const std::uint8_t> dataOf(int i) const
    {
        return std::span<const std::uint8_t>(bytes).subspan(entries[i].offset);
    }

    std::string groupNames(int i, std::vector<std::string>& names) const
    {
        const std::span<const std::uint8_t> data = dataOf(i);
        if (data.size() < kCountBytes) return damaged("group entry " + std::to_string(i + 1) + " has no member count");
        const std::uint32_t count = readU32(data.data());
        if (count > (data.size() - kCountBytes) / kLongNameSize)
            return damaged("group entry " + std::to_string(i + 1) + " claims " + std::to_string(count) +
                           " members, more than the file holds");
        names.clear();
        for (std::uint32_t k = 0; k < count; ++k) {
            std::string name;
            if (!readName(data.data() + kCountBytes + k * kLongNameSize, name))
                return damaged("a member name of group entry " + std::to_string(i + 1) + " has no terminating zero");
            names.push_back(name);
        }
        return {};
    }

    // The first surface entry after `from` named `name` that is not in `taken`.
    int memberEntry(int from, const std::string& name, const std::vector<int>& taken) const
    {
        for (int k = from + 1; k < static_cast<int>(entries.size()); ++k)
            if (entries[k].kind == kLibrarySurface && textOf(entries[k].name) == name && !entries[k].deleted() &&
                std::find(taken.begin(), taken.end(), k) == taken.end())
                return k;
        return -1;
    }

    std::string readSurface(COpenGLTemplateDoc& document, int i, std::unique_ptr<SurfaceSection>& surface) const
    {
        try {
            ArchiveReader reader(dataOf(i));
            reader.setContext("library entry " + std::to_string(i + 1));
            surface = ReadSurfaceObject(reader, &document);
        } catch (const ArchiveError& e) {
            return e.userMessage(path);
        }
        SurfaceSection& s = *surface;
        s.group = document.currentGroup;
        s.render = 0;
        s.requestedPointsPerSection = s.pointsPerSection;
        try {
            s.SizeNet(s.pointsPerSection, document.degreeU, s.sectionCount, document.degreeV);
            s.RebuildFromSections();
        } catch (const gul::Error&) {
            surface.reset();
            return damaged("the surface of entry " + std::to_string(i + 1) + " cannot be built");
        }
        s.drawingCache.markStale();
        return {};
    }
};

std::vector<std::uint8_t> surfaceData(const SurfaceSection& surface)
{
    ArchiveWriter writer;
    WriteSurfaceObject(writer, surface);
    return writer.release();
}

void clearPseudo(AttachmentSite& site)
{
    site.pseudoSurface = nullptr;
    setText(site.pseudoSurfaceName, "none");
    setText(site.pseudoSurfaceGroupName, "none");
}

// A surface read for a group import, with the group name it was exported under.
struct ImportedSurface {
    std::unique_ptr<SurfaceSection> surface;
    std::string exportedGroup;
};

SurfaceSection* findImported(const std::vector<ImportedSurface>& imported, const std::string& name,
                             const std::string& group)
{
    for (const ImportedSurface& i : imported)
        if (textOf(i.surface->name) == name && i.exportedGroup == group) return i.surface.get();
    return nullptr;
}

// Points the sites of the imported surfaces at each other again where their
// stored names match, under the group's new name; every other link is freed.
void restoreLinks(const std::vector<ImportedSurface>& imported, const std::string& groupName)
{
    for (const ImportedSurface& i : imported) {
        for (AttachmentSite& site : i.surface->attachmentSites) {
            SurfaceSection* other =
                findImported(imported, textOf(site.otherSurfaceName), textOf(site.otherSurfaceGroupName));
            SurfaceSection* pseudo =
                findImported(imported, textOf(site.pseudoSurfaceName), textOf(site.pseudoSurfaceGroupName));
            if (other) {
                site.otherSurface = other;
                setText(site.otherSurfaceGroupName, groupName);
            } else {
                const AttachmentSite kept = site;
                site.makeFree();
                site.pseudoSurface = kept.pseudoSurface;
                std::memcpy(site.pseudoSurfaceName, kept.pseudoSurfaceName, kLongNameSize);
                std::memcpy(site.pseudoSurfaceGroupName, kept.pseudoSurfaceGroupName, kLongNameSize);
            }
            if (pseudo) {
                site.pseudoSurface = pseudo;
                setText(site.pseudoSurfaceGroupName, groupName);
            } else {
                clearPseudo(site);
            }
        }
    }
}

// The entry's name with "_" appended until no group has it; "" when no such name fits.
std::string freeGroupName(COpenGLTemplateDoc& document, std::string name)
{
    while (document.GroupNameExists(name)) {
        if (name.size() >= static_cast<std::size_t>(kMaxSurfaceNameLength)) return {};
        name += '_';
    }
    return name;
}

} // namespace

bool WriteEmptyLibrary(const std::string& path, std::string& error)
{
    return WriteFileReplacing(path, std::vector<std::uint8_t>(kLibraryDataOffset, 0), error);
}

DesignResult ReadLibraryIndex(const std::string& path, std::vector<LibraryEntry>& entries)
{
    LibraryImage image;
    if (auto error = image.load(path, kOpenForReading); !error.empty()) return error;
    entries = image.entries;
    return {};
}

DesignResult ReadLibraryGroupNames(const std::string& path, int entry, std::vector<std::string>& names)
{
    LibraryImage image;
    if (auto error = image.load(path, kOpenForReading); !error.empty()) return error;
    if (auto error = image.checkEntry(entry, kLibraryGroup); !error.empty()) return error;
    return image.groupNames(entry, names);
}

DesignResult ExportSurface(const std::string& path, const SurfaceSection& surface)
{
    LibraryImage image;
    if (auto error = image.load(path, kOpenForWriting); !error.empty()) return error;
    if (auto error = image.roomFor(1); !error.empty()) return error;
    image.append(kLibrarySurface, textOf(surface.name), surfaceData(surface));
    return image.save();
}

DesignResult ExportGroup(const std::string& path, const SurfaceGroup& group)
{
    LibraryImage image;
    if (auto error = image.load(path, kOpenForWriting); !error.empty()) return error;
    if (auto error = image.roomFor(1 + group.members.size()); !error.empty()) return error;
    std::vector<std::uint8_t> data(kCountBytes + group.members.size() * kLongNameSize, 0);
    writeU32(data.data(), static_cast<std::uint32_t>(group.members.size()));
    for (std::size_t k = 0; k < group.members.size(); ++k) {
        char name[kLongNameSize];
        setText(name, textOf(group.members[k]->name));
        std::memcpy(data.data() + kCountBytes + k * kLongNameSize, name, kLongNameSize);
    }
    image.append(kLibraryGroup, textOf(group.name), data);
    for (const SurfaceSection* member : group.members)
        image.append(kLibrarySurface, textOf(member->name), surfaceData(*member));
    return image.save();
}

DesignResult BuildLibraryTree(const std::string& path, std::vector<LibraryTreeItem>& roots)
{
    LibraryImage image;
    if (auto error = image.load(path, kOpenForReading); !error.empty()) return error;
    const int count = static_cast<int>(image.entries.size());
    std::vector<bool> tied(count, false);
    std::vector<LibraryTreeItem> groupItems(count);
    for (int i = 0; i < count; ++i) {
        if (image.entries[i].kind != kLibraryGroup || image.entries[i].deleted()) continue;
        std::vector<std::string> names;
        if (auto error = image.groupNames(i, names); !error.empty()) return error;
        LibraryTreeItem& item = groupItems[i];
        item.label = textOf(image.entries[i].name);
        item.entry = i;
        std::vector<int> taken;
        for (const std::string& name : names) {
            const int member = image.memberEntry(i, name, taken);
            if (member >= 0) {
                taken.push_back(member);
                tied[member] = true;
            }
            item.children.push_back({name, member, i, {}});
        }
    }
    roots.clear();
    for (int i = 0; i < count; ++i) {
        const LibraryEntry& e = image.entries[i];
        if (e.deleted()) continue;
        if (e.kind == kLibraryGroup)
            roots.push_back(std::move(groupItems[i]));
        else if (!tied[i])
            roots.push_back({textOf(e.name), i, -1, {}});
    }
    return {};
}

DesignResult ReadLibrarySurface(COpenGLTemplateDoc& document, const std::string& path, int entry,
                                std::unique_ptr<SurfaceSection>& surface)
{
    LibraryImage image;
    if (auto error = image.load(path, kOpenForReading); !error.empty()) return error;
    if (auto error = image.checkEntry(entry, kLibrarySurface); !error.empty()) return error;
    return image.readSurface(document, entry, surface);
}

DesignResult ImportLibrarySurface(COpenGLTemplateDoc& document, const std::string& path, int entry)
{
    document.EnsureMainGroup();
    std::unique_ptr<SurfaceSection> surface;
    if (auto error = ReadLibrarySurface(document, path, entry, surface); !error.ok()) return error;
    if (document.SurfaceNameExistsInGroup(textOf(surface->name), textOf(document.currentGroup->name)))
        return "You cannot import a surface into the main_group whose name matches that of any existing surface in "
               "that group.";
    for (AttachmentSite& site : surface->attachmentSites) site.makeFree();
    AddCreatedSurface(document, std::move(surface));
    document.SetAllRender(1);
    return {};
}

DesignResult ImportLibraryGroup(COpenGLTemplateDoc& document, const std::string& path, int entry)
{
    LibraryImage image;
    if (auto error = image.load(path, kOpenForReading); !error.empty()) return error;
    if (auto error = image.checkEntry(entry, kLibraryGroup); !error.empty()) return error;
    std::vector<std::string> names;
    if (auto error = image.groupNames(entry, names); !error.empty()) return error;
    const std::string entryName = textOf(image.entries[entry].name);
    const std::string groupName = freeGroupName(document, entryName);
    if (groupName.empty())
        return "The group " + entryName + " cannot be imported: every name made from it by appending \"_\" is taken.";

    std::vector<int> members;
    for (const std::string& name : names)
        if (const int member = image.memberEntry(entry, name, members); member >= 0) members.push_back(member);

    // Every member is read and built before the document changes, so a damaged member changes nothing.
    std::vector<ImportedSurface> imported;
    document.peers().StartProgress(2 * static_cast<int>(members.size()));
    for (const int member : members) {
        ImportedSurface i;
        if (auto error = image.readSurface(document, member, i.surface); !error.empty()) {
            document.peers().DestroyProgress();
            return error;
        }
        i.exportedGroup = textOf(i.surface->groupName);
        imported.push_back(std::move(i));
        document.peers().StepProgress();
    }

    SurfaceGroup* group = document.CreateGroup(groupName);
    restoreLinks(imported, groupName);
    for (ImportedSurface& i : imported) {
        SurfaceSection* s = i.surface.get();
        document.AddSurfaceToGroup(s, group);
        LockGuard guard(document.documentLock);
        document.surfaces.push_back(std::move(i.surface));
    }
    document.SetAllRender(1);
    document.SetModifiedFlag();
    document.peers().FillSurfaceTree();
    return {};
}

DesignResult ExportGroupButton(const std::string& path, const SurfaceGroup* group)
{
    if (!group) return "Select a group to export.";
    return ExportGroup(path, *group);
}

DesignResult ImportLibraryItem(COpenGLTemplateDoc& document, const std::string& path, const LibraryTreeItem* item)
{
    if (!item || item->entry < 0) return "Select a surface or group to import.";
    std::vector<LibraryEntry> entries;
    if (auto error = ReadLibraryIndex(path, entries); !error.ok()) return error;
    if (item->entry >= static_cast<int>(entries.size())) return "Select a surface or group to import.";
    return entries[item->entry].kind == kLibraryGroup ? ImportLibraryGroup(document, path, item->entry)
                                                       : ImportLibrarySurface(document, path, item->entry);
}

DesignResult DeleteLibraryItem(const std::string& path, const LibraryTreeItem* item)
{
    if (!item || item->entry < 0) return "Select a surface or group to delete.";
    LibraryImage image;
    if (auto error = image.load(path, kOpenForWriting); !error.empty()) return error;
    const int count = static_cast<int>(image.entries.size());
    if (item->entry >= count || image.entries[item->entry].deleted()) return "Select a surface or group to delete.";

    if (image.entries[item->entry].kind == kLibraryGroup) {
        std::vector<std::string> names;
        if (auto error = image.groupNames(item->entry, names); !error.empty()) return error;
        std::vector<int> members;
        for (const std::string& name : names)
            if (const int member = image.memberEntry(item->entry, name, members); member >= 0)
                members.push_back(member);
        for (int member : members) image.markDeleted(member);
        image.markDeleted(item->entry);
        return image.save();
    }
    image.markDeleted(item->entry);
    const int parent = item->parentEntry;
    if (parent >= 0 && parent < count && image.entries[parent].kind == kLibraryGroup) {
        std::vector<std::string> names;
        if (auto error = image.groupNames(parent, names); !error.empty()) return error;
        auto it = std::find(names.begin(), names.end(), item->label);
        if (it != names.end()) names.erase(it);
        std::uint8_t* data = image.bytes.data() + image.entries[parent].offset;
        writeU32(data, static_cast<std::uint32_t>(names.size()));
        for (std::size_t k = 0; k < names.size(); ++k) {
            char name[kLongNameSize];
            setText(name, names[k]);
            std::memcpy(data + kCountBytes + k * kLongNameSize, name, kLongNameSize);
        }
    }
    return image.save();
}

int FindLibraryEntry(const std::vector<LibraryEntry>& entries, LibraryKind kind, const std::string& name)
{
    for (int i = static_cast<int>(entries.size()) - 1; i >= 0; --i)
        if (entries[i].kind == kind && !entries[i].deleted() && textOf(entries[i].name) == name) return i;
    return -1;
}

} // namespace design
