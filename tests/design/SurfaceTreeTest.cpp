#include "design/Groups.h"
#include "design/SurfaceTree.h"
#include "support/ReadyDocuments.h"

#include <gtest/gtest.h>

using namespace design;

namespace {

// Labels of the tree, one text per item, children after their parent.
std::vector<std::string> labels(const std::vector<SurfaceTreeItem>& items, const std::string& indent = "")
{
    std::vector<std::string> out;
    for (const SurfaceTreeItem& item : items) {
        out.push_back(indent + item.label);
        for (const std::string& child : labels(item.children, indent + "  ")) out.push_back(child);
    }
    return out;
}

} // namespace

TEST(SurfaceTree, ListsNoneThenEveryGroupWithItsSurfaces)
{
    builders::TrackDocument doc;
    std::vector<SurfaceTreeItem> tree = BuildSurfaceTree(doc);
    EXPECT_EQ(labels(tree), (std::vector<std::string>{"NONE", "main", "  a", "  b", "track", "  a", "  c"}));
    EXPECT_EQ(tree[0].surface, nullptr);
    EXPECT_EQ(tree[0].group, nullptr);
    EXPECT_EQ(tree[2].group, doc.groups[1].get());
    EXPECT_EQ(tree[2].children[1].surface, doc.surfaces[3].get());

    ASSERT_EQ(AddSurfaceToGroupButton(doc, doc.surfaces[3].get(), doc.groups[0].get()), "");
    ASSERT_EQ(DeleteSurfaceButton(doc, doc.surfaces[0].get()), "");
    EXPECT_EQ(labels(BuildSurfaceTree(doc)), (std::vector<std::string>{"NONE", "main", "  b", "  c", "track", "  a"}));
}
