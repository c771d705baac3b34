// The control panel's "Surfaces :" and "Attached surfaces :" trees: filling
// them from the document, selecting, renaming and the attached lines.

#include "panel/ControlPanelForm.h"

#include "design/AttachmentSites.h"
#include "design/DesignHistory.h"
#include "design/Groups.h"
#include "design/SurfaceTree.h"
#include "document/NameEncoding.h"
#include "document/OpenGLTemplateDoc.h"
#include "document/ThreadPauseGuard.h"

#include <QTreeWidget>

namespace {

constexpr int kSurfaceRole = Qt::UserRole;     // SurfaceSection* of a surface item
constexpr int kGroupRole = Qt::UserRole + 1;   // true on group items
constexpr int kSiteRole = Qt::UserRole;        // site index of an attached line
constexpr std::size_t kAttachedLineLimit = 299; // characters of one attached line

SurfaceSection* surfaceOf(const QTreeWidgetItem* item)
{
    return item ? reinterpret_cast<SurfaceSection*>(item->data(0, kSurfaceRole).value<quintptr>()) : nullptr;
}

QString labelOf(const std::string& name) { return QString::fromStdString(NameToUtf8(name)); }

// A flag that is set for as long as the guard lives.
class Raised {
public:
    explicit Raised(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
    ~Raised() { flag_ = was_; }
    Raised(const Raised&) = delete;
    Raised& operator=(const Raised&) = delete;

private:
    bool& flag_;
    bool was_;
};

} // namespace

void ControlPanelForm::FillSurfaceTree(bool selectNone)
{
    const Raised filling(fillingTrees_);
    surfaceTree_->clear();
    attachedTree_->clear();
    for (const design::SurfaceTreeItem& root : design::BuildSurfaceTree(document_)) {
        auto* item = new QTreeWidgetItem(surfaceTree_, {labelOf(root.label)});
        item->setData(0, kGroupRole, root.group != nullptr);
        for (const design::SurfaceTreeItem& child : root.children) {
            auto* surfaceItem = new QTreeWidgetItem(item, {labelOf(child.label)});
            surfaceItem->setData(0, kSurfaceRole, QVariant::fromValue(reinterpret_cast<quintptr>(child.surface)));
            surfaceItem->setFlags(surfaceItem->flags() | Qt::ItemIsEditable);
        }
        item->setExpanded(true);
    }
    if (selectNone) {
        LockGuard guard(document_.documentLock);
        document_.selectedSurface = nullptr;
    }
    QTreeWidgetItem* selected = ItemOfSurface(document_.selectedSurface);
    surfaceTree_->setCurrentItem(selected ? selected : surfaceTree_->topLevelItem(0));
    if (selected) FillAttachedSurfaceTree();
    RefreshOpenDialogs();
}

void ControlPanelForm::FillAttachedSurfaceTree()
{
    const Raised filling(fillingTrees_);
    attachedTree_->clear();
    const SurfaceSection* surface = document_.selectedSurface;
    if (!surface) return;
    for (const design::AttachedSurfaceLine& line : design::AttachedSurfaceLines(*surface)) {
        auto* item = new QTreeWidgetItem(attachedTree_, {labelOf(line.text.substr(0, kAttachedLineLimit))});
        item->setData(0, kSiteRole, line.siteIndex);
    }
}

QTreeWidgetItem* ControlPanelForm::ItemOfSurface(const SurfaceSection* surface) const
{
    if (!surface) return nullptr;
    for (int g = 0; g < surfaceTree_->topLevelItemCount(); ++g) {
        QTreeWidgetItem* group = surfaceTree_->topLevelItem(g);
        for (int k = 0; k < group->childCount(); ++k)
            if (surfaceOf(group->child(k)) == surface) return group->child(k);
    }
    return nullptr;
}

void ControlPanelForm::OnSurfaceItemSelected()
{
    if (fillingTrees_) return;
    StopBall();
    QTreeWidgetItem* item = surfaceTree_->currentItem();
    if (!item) return;
    if (SurfaceSection* surface = surfaceOf(item)) {
        SelectSurface(surface);
        return;
    }
    SelectSurface(nullptr);
    if (item->data(0, kGroupRole).toBool()) {
        const Raised filling(fillingTrees_);
        surfaceTree_->setCurrentItem(surfaceTree_->topLevelItem(0));
    }
}

void ControlPanelForm::SelectSurface(SurfaceSection* surface)
{
    {
        LockGuard guard(document_.documentLock);
        document_.selectedSurface = surface;
    }
    if (surface) {
        surface->render = 1;
        LoadSurfaceSwitches(*surface);
    }
    if (!surface || !document_.loading) FillAttachedSurfaceTree();
    RefreshOpenDialogs();
}

void ControlPanelForm::OnSurfaceItemRenamed(QTreeWidgetItem* item)
{
    if (fillingTrees_) return;
    SurfaceSection* surface = surfaceOf(item);
    if (!surface) return;
    const std::string name = NameFromUtf8(item->text(0).toStdString());
    if (name == textOf(surface->name)) return;
    // The tree is refilled by the rename: do it once the item's edit is over.
    QMetaObject::invokeMethod(
        this,
        [this, surface, name] {
            if (!ItemOfSurface(surface)) return; // deleted meanwhile
            design::DesignResult result;
            {
                const ThreadPauseGuard held(document_);
                result = design::RenameSurface(document_, *surface, name);
            }
            if (result.ok()) {
                design::RecordStep(document_, design::kStepRenameSurface);
                return;
            }
            FillSurfaceTree(); // the old label again
            ShowRefusal(result);
        },
        Qt::QueuedConnection);
}

void ControlPanelForm::OnAttachedItemSelected()
{
    if (fillingTrees_ || SelectedAttachedSite() < 0) return;
    StopBall();
}

int ControlPanelForm::SelectedAttachedSite() const
{
    const SurfaceSection* surface = document_.selectedSurface;
    const QTreeWidgetItem* item = attachedTree_->currentItem();
    if (!surface || !item || !item->isSelected()) return -1;
    const int site = item->data(0, kSiteRole).toInt();
    if (site < 0 || site >= static_cast<int>(surface->attachmentSites.size())) return -1;
    return surface->attachmentSites[site].otherSurface ? site : -1;
}
