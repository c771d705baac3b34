#pragma once

// A document as the undo history keeps it: each surface's record as the
// document file writes it, and the groups, current group and ball start. The
// focal point rides along, restored with the state but not a change of its own.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class COpenGLTemplateDoc;

// One surface's record. States share the records of surfaces that did not change.
using SurfaceRecord = std::shared_ptr<const std::vector<std::uint8_t>>;

struct DocumentSnapshot {
    std::vector<SurfaceRecord> surfaces;  // in the document's list order
    std::vector<std::uint8_t> design;     // groups, current group, ball start
    std::vector<std::uint8_t> focus;      // focal surface and point

    // Same surfaces and design; the focus is not compared.
    bool SameDesign(const DocumentSnapshot& other) const;
};

// The document as it stands. Records whose bytes equal one of `previous`'s
// share it (previous may be none).
DocumentSnapshot TakeSnapshot(COpenGLTemplateDoc& document, const DocumentSnapshot* previous);

// Byte offset of a surface record's render field, which changes without a
// rebuild; none (0) when the record is too short to hold it.
std::size_t RenderFieldOffset(const std::vector<std::uint8_t>& record);
