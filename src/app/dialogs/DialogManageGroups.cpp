#include "dialogs/DialogManageGroups.h"

#include "design/ChannelCreation.h"
#include "design/DesignHistory.h"
#include "design/Groups.h"
#include "design/SurfaceLibrary.h"
#include "design/SurfaceTree.h"
#include "dialogs/DialogSupport.h"
#include "dialogs/DialogSurfaceLibrary.h"
#include "document/OpenGLTemplateDoc.h"
#include "document/SurfaceGroup.h"
#include "document/ThreadPauseGuard.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kGroupRole = Qt::UserRole;       // SurfaceGroup* of a group item
constexpr int kSurfaceRole = Qt::UserRole + 1; // SurfaceSection* of a surface item

QTreeWidget* makeTree(QWidget* parent, const QString& caption, const char* objectName, QLabel*& label)
{
    label = new QLabel(caption, parent);
    auto* tree = new QTreeWidget(parent);
    tree->setObjectName(QString::fromLatin1(objectName));
    tree->setHeaderHidden(true);
    tree->setAccessibleName(caption);
    tree->setMinimumSize(220, 260);
    label->setBuddy(tree);
    return tree;
}

// Fills a tree with every group and its surfaces; only groups or only
// surfaces can be selected.
void fillTree(QTreeWidget* tree, const std::vector<design::SurfaceTreeItem>& roots, bool groupsSelectable)
{
    tree->clear();
    for (const design::SurfaceTreeItem& root : roots) {
        if (!root.group) continue; // "NONE" stands for no selected surface in the panel only
        auto* groupItem = new QTreeWidgetItem(tree, {dialogs::NameText(root.label)});
        groupItem->setData(0, kGroupRole, dialogs::ItemData(root.group));
        if (!groupsSelectable) groupItem->setFlags(groupItem->flags() & ~Qt::ItemIsSelectable);
        for (const design::SurfaceTreeItem& child : root.children) {
            auto* item = new QTreeWidgetItem(groupItem, {dialogs::NameText(child.label)});
            item->setData(0, kSurfaceRole, dialogs::ItemData(child.surface));
            if (groupsSelectable) item->setFlags(item->flags() & ~Qt::ItemIsSelectable);
        }
        groupItem->setExpanded(true);
    }
    tree->setCurrentItem(nullptr);
}

} // namespace

DialogManageGroups::DialogManageGroups(COpenGLTemplateDoc& document, QWidget* parent)
    : QDialog(parent), document_(document)
{
    setObjectName(QStringLiteral("DialogManageGroups"));
    setWindowTitle(QStringLiteral(" Manage surface groups"));

    auto* grid = new QGridLayout(this);
    QLabel *groupLabel = nullptr, *surfaceLabel = nullptr;
    groupTree_ = makeTree(this, QStringLiteral("Groups :"), "groupTree", groupLabel);
    surfaceTree_ = makeTree(this, QStringLiteral("Surfaces :"), "surfaceTree", surfaceLabel);
    grid->addWidget(groupLabel, 0, 0);
    grid->addWidget(surfaceLabel, 0, 1);
    grid->addWidget(groupTree_, 1, 0);
    grid->addWidget(surfaceTree_, 1, 1);

    auto* side = new QVBoxLayout;
    auto* nameLabel = new QLabel(QStringLiteral("Name :"), this);
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("nameEdit"));
    name_->setMaxLength(design::kMaxSurfaceNameLength);
    name_->setAccessibleName(nameLabel->text());
    nameLabel->setBuddy(name_);
    side->addWidget(nameLabel);
    side->addWidget(name_);
    struct Button {
        const char* caption;
        const char* objectName;
        void (DialogManageGroups::*handler)();
    };
    const Button kButtons[] = {
        {"Create new group", "createButton", &DialogManageGroups::OnCreateGroup},
        {"Rename selected group", "renameButton", &DialogManageGroups::OnRenameGroup},
        {"Delete selected group", "deleteButton", &DialogManageGroups::OnDeleteGroup},
        {"Add surface to group", "addSurfaceButton", &DialogManageGroups::OnAddSurfaceToGroup},
        {"Export surface or group", "exportButton", &DialogManageGroups::OnExport},
        {"Import surface or group", "importButton", &DialogManageGroups::OnImport},
    };
    QPushButton* createButton = nullptr;
    for (const Button& b : kButtons) {
        QPushButton* button = dialogs::MakeButton(this, QString::fromLatin1(b.caption), b.objectName);
        connect(button, &QPushButton::clicked, this, b.handler);
        side->addWidget(button);
        if (b.handler == &DialogManageGroups::OnCreateGroup) createButton = button;
    }
    side->addStretch();
    QPushButton* doneButton = dialogs::MakeButton(this, QStringLiteral("Done"), "doneButton");
    connect(doneButton, &QPushButton::clicked, this, &QDialog::reject);
    side->addWidget(doneButton);
    dialogs::SetDefaultButton(this, createButton);
    grid->addLayout(side, 0, 2, 2, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);

    library_ = new DialogSurfaceLibrary(document_, this);
    connect(library_, &DialogSurfaceLibrary::imported, this, [this] {
        Refresh();
        emit groupsChanged();
    });
}

void DialogManageGroups::showEvent(QShowEvent* event)
{
    Refresh();
    QDialog::showEvent(event);
    name_->setFocus();
}

void DialogManageGroups::Refresh()
{
    const std::vector<design::SurfaceTreeItem> roots = design::BuildSurfaceTree(document_);
    fillTree(groupTree_, roots, true);
    fillTree(surfaceTree_, roots, false);
}

SurfaceGroup* DialogManageGroups::ChosenGroup() const
{
    const QTreeWidgetItem* item = groupTree_->currentItem();
    if (!item || !item->isSelected()) return nullptr;
    return dialogs::ItemPointer<SurfaceGroup>(item->data(0, kGroupRole));
}

SurfaceSection* DialogManageGroups::ChosenSurface() const
{
    const QTreeWidgetItem* item = surfaceTree_->currentItem();
    if (!item || !item->isSelected()) return nullptr;
    return dialogs::ItemPointer<SurfaceSection>(item->data(0, kSurfaceRole));
}

void DialogManageGroups::Changed(const char* step)
{
    design::RecordStep(document_, step);
    Refresh();
    emit groupsChanged();
}

void DialogManageGroups::OnCreateGroup()
{
    std::string name;
    if (!dialogs::ReadName(this, name_, design::kMaxSurfaceNameLength, name)) return;
    design::DesignResult result;
    {
        const ThreadPauseGuard held(document_);
        result = design::CreateGroupButton(document_, name);
    }
    if (!result.ok()) {
        dialogs::ShowRefusal(this, result);
        return;
    }
    name_->clear();
    Changed(design::kStepCreateGroup);
}

void DialogManageGroups::OnRenameGroup()
{
    std::string name;
    if (!dialogs::ReadName(this, name_, design::kMaxSurfaceNameLength, name)) return;
    design::DesignResult result;
    {
        const ThreadPauseGuard held(document_);
        result = design::RenameGroupButton(document_, ChosenGroup(), name);
    }
    if (!result.ok()) {
        dialogs::ShowRefusal(this, result);
        return;
    }
    name_->clear();
    Changed(design::kStepRenameGroup);
}

void DialogManageGroups::OnDeleteGroup()
{
    design::DesignResult result;
    {
        const ThreadPauseGuard held(document_);
        result = design::DeleteGroupButton(document_, ChosenGroup());
    }
    if (!result.ok()) {
        dialogs::ShowRefusal(this, result);
        return;
    }
    Changed(design::kStepDeleteGroup);
}

void DialogManageGroups::OnAddSurfaceToGroup()
{
    design::DesignResult result;
    {
        const ThreadPauseGuard held(document_);
        result = design::AddSurfaceToGroupButton(document_, ChosenSurface(), ChosenGroup());
    }
    if (!result.ok()) {
        dialogs::ShowRefusal(this, result);
        return;
    }
    Changed(design::kStepMoveToGroup);
}

void DialogManageGroups::OnExport()
{
    // The library is shared by every document: exporting is no step of this one's history.
    dialogs::ShowRefusal(this, design::ExportGroupButton(document_.libraryPath, ChosenGroup()));
}

void DialogManageGroups::OnImport()
{
    if (const design::DesignResult loaded = library_->Load(); !loaded.ok()) {
        dialogs::ShowRefusal(this, loaded);
        return;
    }
    library_->exec();
    Refresh();
}
