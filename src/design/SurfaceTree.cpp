#include "design/SurfaceTree.h"

#include "document/OpenGLTemplateDoc.h"

namespace design {

std::vector<SurfaceTreeItem> BuildSurfaceTree(COpenGLTemplateDoc& document)
{
    LockGuard guard(document.documentLock);
    std::vector<SurfaceTreeItem> roots;
    roots.push_back({kSurfaceTreeRoot, nullptr, nullptr, {}});
    for (const auto& g : document.groups) {
        SurfaceTreeItem item{textOf(g->name), g.get(), nullptr, {}};
        for (SurfaceSection* s : g->members) item.children.push_back({textOf(s->name), nullptr, s, {}});
        roots.push_back(std::move(item));
    }
    return roots;
}

} // namespace design
