#include "dialogs/DialogSurfaceLibrary.h"

#include "design/DesignHistory.h"
#include "dialogs/DialogSupport.h"
#include "document/OpenGLTemplateDoc.h"
#include "document/ThreadPauseGuard.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kItemRole = Qt::UserRole; // const design::LibraryTreeItem*

QTreeWidgetItem* makeItem(const design::LibraryTreeItem& entry)
{
    auto* item = new QTreeWidgetItem({dialogs::NameText(entry.label)});
    item->setData(0, kItemRole, dialogs::ItemData(&entry));
    return item;
}

} // namespace

DialogSurfaceLibrary::DialogSurfaceLibrary(COpenGLTemplateDoc& document, QWidget* parent)
    : QDialog(parent), document_(document)
{
    setObjectName(QStringLiteral("DialogSurfaceLibrary"));
    setWindowTitle(QStringLiteral(" Surface Library"));
    setModal(true);

    auto* label = new QLabel(QStringLiteral("Surfaces and surface groups :"), this);
    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("libraryTree"));
    tree_->setHeaderHidden(true);
    tree_->setAccessibleName(label->text());
    tree_->setMinimumSize(320, 300);
    label->setBuddy(tree_);

    auto* importButton = dialogs::MakeButton(this, QStringLiteral("Import selected"), "importButton");
    auto* deleteButton = dialogs::MakeButton(this, QStringLiteral("Delete selected"), "deleteButton");
    auto* doneButton = dialogs::MakeButton(this, QStringLiteral("Done"), "doneButton");
    dialogs::SetDefaultButton(this, importButton);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(importButton);
    buttons->addWidget(deleteButton);
    buttons->addStretch();
    buttons->addWidget(doneButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(tree_, 1);
    layout->addLayout(buttons);

    connect(importButton, &QPushButton::clicked, this, &DialogSurfaceLibrary::OnImportSelected);
    connect(deleteButton, &QPushButton::clicked, this, &DialogSurfaceLibrary::OnDeleteSelected);
    connect(doneButton, &QPushButton::clicked, this, &QDialog::reject);
}

design::DesignResult DialogSurfaceLibrary::Load()
{
    tree_->clear();
    roots_.clear();
    std::vector<design::LibraryTreeItem> roots;
    if (design::DesignResult error = design::BuildLibraryTree(document_.libraryPath, roots); !error.ok())
        return error;
    roots_ = std::move(roots);
    for (const design::LibraryTreeItem& root : roots_) {
        QTreeWidgetItem* item = makeItem(root);
        for (const design::LibraryTreeItem& member : root.children) item->addChild(makeItem(member));
        tree_->addTopLevelItem(item);
        item->setExpanded(true);
    }
    return {};
}

const design::LibraryTreeItem* DialogSurfaceLibrary::ChosenItem() const
{
    const QTreeWidgetItem* item = tree_->currentItem();
    if (!item || !item->isSelected()) return nullptr;
    return dialogs::ItemPointer<const design::LibraryTreeItem>(item->data(0, kItemRole));
}

void DialogSurfaceLibrary::OnImportSelected()
{
    design::DesignResult result;
    {
        const ThreadPauseGuard held(document_);
        result = design::ImportLibraryItem(document_, document_.libraryPath, ChosenItem());
    }
    if (!result.ok()) {
        dialogs::ShowRefusal(this, result);
        return;
    }
    design::RecordStep(document_, design::kStepImportLibrary);
    emit imported();
}

void DialogSurfaceLibrary::OnDeleteSelected()
{
    // The library is shared by every document: marking an entry deleted is no step of this one's history.
    if (const design::DesignResult result = design::DeleteLibraryItem(document_.libraryPath, ChosenItem());
        !result.ok()) {
        dialogs::ShowRefusal(this, result);
        return;
    }
    dialogs::ShowRefusal(this, Load());
}
