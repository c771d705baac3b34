#pragma once

#include "document/Archive.h"
#include "document/DocumentSettings.h"
#include "document/SurfaceGroup.h"

#include <memory>
#include <vector>

class SurfaceSection;
class SurfaceHost;

using SurfaceList = std::vector<std::unique_ptr<SurfaceSection>>;
using GroupList = std::vector<std::unique_ptr<SurfaceGroup>>;

// Everything a document file holds, read apart from any open document so that
// a failed read leaves the open one as it was.
struct DocumentContents {
    DocumentSettings settings;
    SurfaceList surfaces;
    GroupList groups;
};

// Bytes of the document record besides its surfaces and groups: the settings
// before the surface count, and the ball start after the groups.
inline constexpr std::size_t kDocumentHeadBytes = 135;
inline constexpr std::size_t kDocumentTailBytes = 116;
// The ball radii a document may hold: a ball of no size cannot touch a
// surface, and one far larger than the scene's tens of units is damage.
inline constexpr double kSmallestBallRadius = 1.0e-6;
inline constexpr double kLargestBallRadius = 1.0e3;

// Writes the whole document record: settings, surfaces as tagged objects,
// groups (name and member names), ball start.
void WriteDocumentRecord(ArchiveWriter& archive, const DocumentSettings& settings, const SurfaceList& surfaces,
                         const GroupList& groups);
// Reads a whole document record; each surface gets host as its document and
// render 0, and no group yet. Throws ArchiveError; nothing outside the result changes.
DocumentContents ReadDocumentRecord(ArchiveReader& archive, SurfaceHost* host);
