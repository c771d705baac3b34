// The groups dialog opened from the control panel and driven through its
// widgets: the refusals of each button, creating, renaming, deleting,
// moving a surface (the panel's attached lines follow) and exporting.

#include "dialogs/DialogManageGroups.h"

#include "QtTestRegistry.h"
#include "design/AttachmentSites.h"
#include "design/Groups.h"
#include "dialogs/DialogSupport.h"
#include "design/SurfaceLibrary.h"
#include "dialogs/DialogSurfaceAttachmentSites.h"
#include "dialogs/DialogSurfaceLibrary.h"
#include "dialogs/SurfaceDialogTestSupport.h"
#include "document/SurfaceGroup.h"
#include "support/DocumentBuilders.h"

#include <memory>

using namespace dialogtest;

class DialogManageGroupsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<builders::TempFile> library;
    std::unique_ptr<PanelWithDialogs> p;
    COpenGLTemplateDoc* doc = nullptr;
    ControlPanelForm* panel = nullptr;
    MessageBoxAnswers* boxes = nullptr;
    DialogManageGroups* dialog = nullptr;

    QTreeWidget* groupTree() { return control<QTreeWidget>(dialog, "groupTree"); }
    QTreeWidget* surfaceTree() { return control<QTreeWidget>(dialog, "surfaceTree"); }
    QStringList groupNames() const { return namesOf(doc->groups); }
    QStringList attachedLines(const char* surface, const char* group)
    {
        QTreeWidget* surfaces = control<QTreeWidget>(panel, "surfaceTree");
        const auto items = surfaces->findItems(QString::fromLatin1(surface), Qt::MatchExactly | Qt::MatchRecursive);
        for (QTreeWidgetItem* item : items)
            if (item->parent() && item->parent()->text(0) == QString::fromLatin1(group)) surfaces->setCurrentItem(item);
        return treeLabels(control<QTreeWidget>(panel, "attachedTree"));
    }

private slots:
    // The track document ("a" and "b" in "main", "a" and "c" in "track",
    // a.end linked to b.begin and b.end to c.begin), the groups dialog opened
    // from the panel, an empty library beside it.
    void init()
    {
        library = std::make_unique<builders::TempFile>("groups-library");
        std::string error;
        QVERIFY(design::WriteEmptyLibrary(library->path(), error));
        p = std::make_unique<PanelWithDialogs>(builders::fillTrackDocument);
        doc = &p->doc;
        panel = p->panel.get();
        boxes = p->boxes.get();
        doc->libraryPath = library->path();
        doc->SetModifiedFlag(false);
        click(panel, "manageGroupsButton");
        dialog = panel->findChild<DialogManageGroups*>();
        QVERIFY(dialog && dialog->isVisible());
    }
    void cleanup() { p.reset(); library.reset(); }

    void bothTreesShowEveryGroupWithItsSurfaces()
    {
        const QStringList expected{"main", "  a", "  b", "track", "  a", "  c"};
        QCOMPARE(treeLabels(groupTree()), expected);
        QCOMPARE(treeLabels(surfaceTree()), expected);
        // Groups are chosen on the left, surfaces on the right.
        QVERIFY(groupTree()->topLevelItem(0)->flags() & Qt::ItemIsSelectable);
        QVERIFY(!(groupTree()->topLevelItem(0)->child(0)->flags() & Qt::ItemIsSelectable));
        QVERIFY(!(surfaceTree()->topLevelItem(0)->flags() & Qt::ItemIsSelectable));
        QVERIFY(surfaceTree()->topLevelItem(0)->child(0)->flags() & Qt::ItemIsSelectable);
    }

    // A row for each button and each tree it reads; the operations' checks are the design tests'.
    void refusalsChangeNothing_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("group");   // selected on the left, "" for none
        QTest::addColumn<QString>("surface"); // selected on the right, "" for none
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("create blank") << "createButton" << "" << "" << "" << "The group name must not be blank.";
        QTest::newRow("rename without a group") << "renameButton" << "" << "" << "x" << "Select a group to rename.";
        QTest::newRow("delete without a group") << "deleteButton" << "" << "" << ""
                                                << "Select a group in in the left tree view to delete.";
        QTest::newRow("move without a group") << "addSurfaceButton" << "" << "c" << ""
                                              << "Select a group in the left tree view to add the surface to.";
        QTest::newRow("move without a surface") << "addSurfaceButton" << "track" << "" << ""
                                                << "Select a surface in the right tree view to remove from its group.";
        QTest::newRow("export without a group") << "exportButton" << "" << "" << "" << "Select a group to export.";
    }
    void refusalsChangeNothing()
    {
        QFETCH(QString, button);
        QFETCH(QString, group);
        QFETCH(QString, surface);
        QFETCH(QString, name);
        QFETCH(QString, message);
        if (!group.isEmpty()) QVERIFY(selectTreeItem(groupTree(), group));
        if (!surface.isEmpty()) QVERIFY(selectTreeItem(surfaceTree(), surface));
        type(dialog, "nameEdit", name);
        const QStringList before = groupNames();
        const std::size_t surfaces = doc->surfaces.size();
        const std::vector<std::uint8_t> file = library->read();

        click(dialog, button.toLatin1().constData());

        QCOMPARE(boxes->texts, QStringList{message});
        QCOMPARE(groupNames(), before);
        QCOMPARE(doc->surfaces.size(), surfaces);
        QCOMPARE(library->read(), file);
        QVERIFY(!doc->IsModified());
    }

    void createRenameAndDeleteAGroup()
    {
        type(dialog, "nameEdit", QStringLiteral("loop"));
        click(dialog, "createButton");
        QCOMPARE(groupNames(), (QStringList{"main", "track", "loop"}));
        QVERIFY(control<QLineEdit>(dialog, "nameEdit")->text().isEmpty());
        QVERIFY(treeLabels(control<QTreeWidget>(panel, "surfaceTree")).contains(QStringLiteral("loop")));
        QVERIFY(doc->IsModified());

        QVERIFY(selectTreeItem(groupTree(), QStringLiteral("track")));
        type(dialog, "nameEdit", QStringLiteral("rails"));
        click(dialog, "renameButton");
        QCOMPARE(groupNames(), (QStringList{"main", "rails", "loop"}));
        // The link from b to c names c's group anew.
        QCOMPARE(attachedLines("b", "main"), (QStringList{"end -> [rails : c]", "begin -> [main : a]"}));

        QVERIFY(selectTreeItem(groupTree(), QStringLiteral("rails")));
        click(dialog, "deleteButton");
        QCOMPARE(boxes->texts, QStringList());
        QCOMPARE(groupNames(), (QStringList{"main", "loop"}));
        QCOMPARE(doc->surfaces.size(), std::size_t{2});
        QCOMPARE(attachedLines("b", "main"), QStringList{"begin -> [main : a]"});
    }

    void movingASurfaceRenamesTheGroupInItsPartnersLines()
    {
        QCOMPARE(attachedLines("a", "main"), QStringList{"end -> [main : b]"});
        QVERIFY(selectTreeItem(groupTree(), QStringLiteral("track")));
        QVERIFY(selectTreeItem(surfaceTree(), QStringLiteral("b")));
        click(dialog, "addSurfaceButton");
        QCOMPARE(boxes->texts, QStringList());
        QCOMPARE(treeLabels(surfaceTree()), (QStringList{"main", "  a", "track", "  a", "  c", "  b"}));
        QCOMPARE(attachedLines("a", "main"), QStringList{"end -> [track : b]"});
        QVERIFY(doc->IsModified());
    }

    // Where the entries go in the file is the design tests' part.
    void exportingWritesTheChosenGroupToTheLibrary()
    {
        QVERIFY(selectTreeItem(groupTree(), QStringLiteral("track")));
        click(dialog, "exportButton");
        QCOMPARE(boxes->texts, QStringList());
        std::vector<design::LibraryEntry> entries;
        QCOMPARE(design::ReadLibraryIndex(library->path(), entries), "");
        QCOMPARE(entries.size(), std::size_t{3});
        QCOMPARE(entries[0].kind, design::kLibraryGroup);
        // The library is shared: the document is not changed by an export.
        QVERIFY(!doc->IsModified());
    }

    void aLibraryThatCannotBeReadIsNamedAndNothingOpens()
    {
        const std::string missing = library->path() + "-missing";
        doc->libraryPath = missing;
        click(dialog, "importButton");
        QCOMPARE(boxes->texts, QStringList{"Failed to open surface library file for reading."});
        QVERIFY(!dialog->libraryDialog()->isVisible());
        QVERIFY(!QFile::exists(QString::fromStdString(missing)));
        QVERIFY(selectTreeItem(groupTree(), QStringLiteral("track")));
        click(dialog, "exportButton");
        QCOMPARE(boxes->texts.last(), QStringLiteral("Failed to open surface library file for reading and writing."));
        QVERIFY(!QFile::exists(QString::fromStdString(missing)));
        QCOMPARE(doc->groups.size(), std::size_t{2});
    }

    void openDialogsFollowThePanelsSelectionAndTrees()
    {
        attachedLines("b", "main"); // selects b
        click(panel, "attachmentSitesButton");
        auto* sites = panel->findChild<DialogSurfaceAttachmentSites*>();
        QVERIFY(sites && sites->isVisible());
        auto* siteList = control<QListWidget>(sites, "siteList");
        QCOMPARE(siteList->count(), 4);
        QVERIFY(selectLine(siteList, QStringLiteral("left")));
        // Another surface chosen in the panel: its sites, none chosen.
        SurfaceSection& c = *doc->FindSurface("c", "track");
        QVERIFY(design::DeleteSite(c, design::FindSiteIndex(c, "right")).ok());
        attachedLines("c", "track");
        QCOMPARE(siteList->count(), 3);
        QCOMPARE(dialogs::SelectedRow(siteList), -1);

        // A surface deleted from the panel leaves the groups dialog's trees.
        boxes->answer = QMessageBox::Ok;
        click(panel, "deleteSurfaceButton");
        QCOMPARE(treeLabels(surfaceTree()), (QStringList{"main", "  a", "  b", "track", "  a"}));
        QCOMPARE(treeLabels(groupTree()), treeLabels(surfaceTree()));
    }
};

MARLWICK_REGISTER_QTEST(DialogManageGroupsTest)
#include "DialogManageGroupsTest.moc"
