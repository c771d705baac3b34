#pragma once

#include "document/Archive.h"

#include <memory>

class SurfaceSection;
class SurfaceHost;

// Class name and schema that tag every serialised surface.
inline constexpr const char* kSurfaceClassName = "SurfaceSection";
inline constexpr std::uint16_t kSurfaceSchema = 1;

// Byte sizes of a surface record (its tag not included).
inline constexpr std::size_t kSurfaceHeadBytes = 347;   // fields before the sections
inline constexpr std::size_t kSectionBaseBytes = 152;   // one section without its points
inline constexpr std::size_t kSurfaceTailBytes = 103;   // settings after the sections
inline constexpr std::size_t kSiteRecordBytes = 273;
inline constexpr std::size_t kHoleRecordBytes = 52;
// Smallest net a record may hold in each direction: smaller nets have no
// quadratic span to evaluate.
inline constexpr int kMinNetCount = 2;
// The smallest possible record: the smallest net, no sites or holes, and their two counts.
inline constexpr std::size_t kMinSurfaceRecordBytes =
    kSurfaceHeadBytes + kMinNetCount * (kSectionBaseBytes + kMinNetCount * 24) + kSurfaceTailBytes + 4 + 4;

// Writes the record of one surface. Site links are written as they stand while
// the surface's document saves itself whole; a surface written on its own
// writes "none" for linked names in a group other than its own.
void WriteSurfaceRecord(ArchiveWriter& archive, const SurfaceSection& surface);
// Reads a record into a surface (fields in file order; sites and holes
// appended). Throws ArchiveError for counts or codes the data model cannot
// hold: points per section outside 2..20, sections outside 2..24, an
// intermediate count outside 0..24, or a negative or unreadable site or hole count.
void ReadSurfaceRecord(ArchiveReader& archive, SurfaceSection& surface);

// The record with its object tag in front.
void WriteSurfaceObject(ArchiveWriter& archive, const SurfaceSection& surface);
// Reads a tagged record into a new surface owned by host; render stays 0.
std::unique_ptr<SurfaceSection> ReadSurfaceObject(ArchiveReader& archive, SurfaceHost* host);
