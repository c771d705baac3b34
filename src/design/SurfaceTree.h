#pragma once

#include <string>
#include <vector>

class COpenGLTemplateDoc;
class SurfaceSection;
struct SurfaceGroup;

// The model of the control panel's "Surfaces :" tree: the root "NONE" (no
// selected surface), then one item per group, in the document's order, with
// one child per member surface.
namespace design {

struct SurfaceTreeItem {
    std::string label;
    SurfaceGroup* group = nullptr;     // set on group items
    SurfaceSection* surface = nullptr; // set on surface items
    std::vector<SurfaceTreeItem> children;
};

inline constexpr const char* kSurfaceTreeRoot = "NONE";

// Built under the document's lock.
std::vector<SurfaceTreeItem> BuildSurfaceTree(COpenGLTemplateDoc& document);

} // namespace design
