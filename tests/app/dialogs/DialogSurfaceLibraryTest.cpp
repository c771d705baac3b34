// The library dialog driven through its widgets: the tree of the file,
// importing a surface or a group, marking entries deleted, and files that
// cannot be used.

#include "dialogs/DialogSurfaceLibrary.h"

#include "design/Groups.h"
#include "QtTestRegistry.h"
#include "design/SurfaceLibrary.h"
#include "dialogs/DialogTestSupport.h"
#include "document/SurfaceGroup.h"
#include "support/DocumentBuilders.h"

#include <QSignalSpy>

#include <cstring>
#include <memory>

using namespace dialogtest;

class DialogSurfaceLibraryTest : public QObject {
    Q_OBJECT

    std::unique_ptr<builders::TempFile> library;
    std::unique_ptr<COpenGLTemplateDoc> doc;
    std::unique_ptr<DialogSurfaceLibrary> dialog;
    std::unique_ptr<MessageBoxAnswers> boxes;

    QTreeWidget* tree() { return control<QTreeWidget>(dialog.get(), "libraryTree"); }
    QStringList groupNames() const { return namesOf(doc->groups); }

private slots:
    // The track document; the library holds the group "track" (members "a"
    // and "c") and the lone surface "b".
    void init()
    {
        library = std::make_unique<builders::TempFile>("library-dialog");
        std::string error;
        QVERIFY(design::WriteEmptyLibrary(library->path(), error));
        doc = std::make_unique<COpenGLTemplateDoc>();
        builders::fillTrackDocument(*doc);
        doc->libraryPath = library->path();
        QCOMPARE(design::ExportGroup(library->path(), *design::FindGroup(*doc, "track")), "");
        QCOMPARE(design::ExportSurface(library->path(), *doc->FindSurface("b", "main")), "");
        doc->SetModifiedFlag(false);
        dialog = std::make_unique<DialogSurfaceLibrary>(*doc);
        QCOMPARE(dialog->Load(), "");
        dialog->show();
        boxes = std::make_unique<MessageBoxAnswers>();
    }
    void cleanup() { boxes.reset(); dialog.reset(); doc.reset(); library.reset(); }

    void theTreeShowsGroupsWithTheirMembersAndLoneSurfaces()
    {
        QVERIFY(dialog->isModal());
        QCOMPARE(treeLabels(tree()), (QStringList{"track", "  a", "  c", "b"}));
    }

    void importing_data()
    {
        QTest::addColumn<QString>("item"); // "" for none
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("groups");
        QTest::addColumn<int>("surfacesAdded");
        const QStringList two{"main", "track"};
        QTest::newRow("nothing chosen") << "" << "Select a surface or group to import." << two << 0;
        QTest::newRow("a group next to its namesake") << "track" << "" << (two + QStringList{"track_"}) << 2;
        QTest::newRow("a surface whose name main holds")
            << "b" << "You cannot import a surface into the main_group whose name matches that of any existing "
                      "surface in that group."
            << two << 0;
        QTest::newRow("a group's member alone into main") << "c" << "" << two << 1;
    }
    void importing()
    {
        QFETCH(QString, item);
        QFETCH(QString, message);
        QFETCH(QStringList, groups);
        QFETCH(int, surfacesAdded);
        if (!item.isEmpty()) QVERIFY(selectTreeItem(tree(), item));
        const std::size_t before = doc->surfaces.size();
        const std::vector<std::uint8_t> file = library->read();
        QSignalSpy imported(dialog.get(), &DialogSurfaceLibrary::imported);

        click(dialog.get(), "importButton");

        QCOMPARE(boxes->texts, message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(groupNames(), groups);
        QCOMPARE(doc->surfaces.size(), before + static_cast<std::size_t>(surfacesAdded));
        QCOMPARE(doc->IsModified(), message.isEmpty());
        QCOMPARE(imported.count(), message.isEmpty() ? 1 : 0);
        QCOMPARE(library->read(), file);
    }

    void aDeletedEntryLeavesTheTreeAndTheFileKeepsItsLength()
    {
        const std::size_t length = library->read().size();
        click(dialog.get(), "deleteButton");
        QCOMPARE(boxes->texts, QStringList{"Select a surface or group to delete."});

        QVERIFY(selectTreeItem(tree(), QStringLiteral("c")));
        click(dialog.get(), "deleteButton");
        QCOMPARE(treeLabels(tree()), (QStringList{"track", "  a", "b"}));
        QCOMPARE(library->read().size(), length);

        QVERIFY(selectTreeItem(tree(), QStringLiteral("track")));
        click(dialog.get(), "deleteButton");
        QCOMPARE(treeLabels(tree()), QStringList{"b"});
        QCOMPARE(library->read().size(), length);
        QCOMPARE(boxes->texts.size(), 1);
        // The library is shared: the document has not changed.
        QVERIFY(!doc->IsModified());
    }

    void aDamagedLibraryIsNamedAndLeftAsItWas()
    {
        QVERIFY(selectTreeItem(tree(), QStringLiteral("track")));
        // The second member's data is cut short.
        std::vector<std::uint8_t> bytes = library->read();
        std::uint32_t offset = 0;
        std::memcpy(&offset, bytes.data() + 4 + 56 * 2 + 52, 4);
        bytes.resize(offset + 100);
        library->write(bytes);
        const std::size_t surfaces = doc->surfaces.size();

        click(dialog.get(), "importButton");
        QCOMPARE(boxes->texts.size(), 1);
        QVERIFY2(boxes->texts[0].contains(QString::fromStdString(library->path())), qPrintable(boxes->texts[0]));
        QCOMPARE(doc->surfaces.size(), surfaces);
        QCOMPARE(groupNames(), (QStringList{"main", "track"}));
        QVERIFY(!doc->IsModified());
        QCOMPARE(library->read(), bytes);

        // Loading it again names the file too, and leaves the tree empty.
        bytes.resize(2000);
        library->write(bytes);
        const design::DesignResult loaded = dialog->Load();
        QVERIFY(!loaded.ok());
        QVERIFY(QString::fromStdString(loaded.refusal).contains(QString::fromStdString(library->path())));
        QCOMPARE(tree()->topLevelItemCount(), 0);
    }
};

MARLWICK_REGISTER_QTEST(DialogSurfaceLibraryTest)
#include "DialogSurfaceLibraryTest.moc"
