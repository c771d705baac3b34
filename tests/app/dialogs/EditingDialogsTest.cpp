// The editing dialogs together (the type A, B and C editors and the
// cross-section editors): a stopping button of the panel ends every open one
// as its Close would, so a surface is never held by two, and "Edit selected"
// on another surface moves the editing there. An editor tells before Close
// which links a save will break.

#include "QtTestRegistry.h"
#include "dialogs/SurfaceDialogTestSupport.h"
#include "support/DocumentBuilders.h"

#include <QLabel>
#include <QListWidget>
#include <QSpinBox>

namespace {

// A dialog opened by a panel button, and the unsaved change made in it.
struct Editing {
    const char* button;
    const char* dialog;
};
constexpr Editing kEditA{"editSelectedButton", "editADialog"};
constexpr Editing kEditB{"editSelectedButton", "editBDialog"};
constexpr Editing kEditC{"editSelectedButton", "editCDialog"};
constexpr Editing kSections{"editCrossSectionsButton", "editSurfaceSectionsDialog"};
constexpr Editing kShowAll{"showAllButton", nullptr};

} // namespace

Q_DECLARE_METATYPE(const Editing*)

class EditingDialogsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<PanelWithDialogs> p;
    SurfaceSection* x = nullptr;
    SurfaceSection* y = nullptr;

    // Opens the dialog on the selected surface and changes it without saving.
    void openAndChange(const Editing& e)
    {
        p->click(e.button);
        QDialog* dialog = p->control<QDialog>(e.dialog);
        QVERIFY(dialog->isVisible());
        if (e.dialog == kSections.dialog) {
            dialogtest::clickLines(p->in<QListWidget>(e.dialog, "sectionList"), {2});
            p->in<QSpinBox>(e.dialog, "scaleSpin")->stepBy(20);
        } else {
            p->in<QSpinBox>(e.dialog, "intermediateSpin")->stepBy(1);
        }
    }

private slots:
    void init()
    {
        p = std::make_unique<PanelWithDialogs>();
        x = p->doc.surfaces[0].get();
        y = p->doc.CreateChannelSurface("y", 5, 2);
        for (const auto& s : p->doc.surfaces) s->render = 1;
        p->panel->FillSurfaceTree();
    }
    void cleanup() { p.reset(); }

    void aStoppingButtonEndsTheOpenEditorAsCloseWould_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<const Editing*>("first");
        QTest::addColumn<bool>("onTheOther");
        QTest::addColumn<const Editing*>("second");
        QTest::newRow("type A, then Edit selected on another") << int(kTypeA) << &kEditA << true << &kEditA;
        QTest::newRow("type B, then Edit selected on another") << int(kTypeB) << &kEditB << true << &kEditB;
        QTest::newRow("type C, then Edit selected on another") << int(kTypeC) << &kEditC << true << &kEditC;
        QTest::newRow("type A, then its cross sections") << int(kTypeA) << &kEditA << false << &kSections;
        QTest::newRow("cross sections, then the type A editor") << int(kTypeA) << &kSections << false << &kEditA;
        QTest::newRow("cross sections, then Show all") << int(kTypeA) << &kSections << false << &kShowAll;
    }

    void aStoppingButtonEndsTheOpenEditorAsCloseWould()
    {
        QFETCH(int, type);
        QFETCH(const Editing*, first);
        QFETCH(bool, onTheOther);
        QFETCH(const Editing*, second);
        for (SurfaceSection* s : {x, y}) {
            s->surfaceType = type;
            s->Regenerate(false);
        }
        const std::vector<std::uint8_t> records = dialogtest::surfaceRecords(p->doc);
        p->select(x->name);
        openAndChange(*first);
        QVERIFY(dialogtest::surfaceRecords(p->doc) != records);
        if (onTheOther) p->select(y->name);
        p->click(second->button);

        SurfaceSection* edited = second->dialog ? (onTheOther ? y : x) : nullptr;
        for (SurfaceSection* s : {x, y}) QCOMPARE(s->editingSections, s == edited);
        QCOMPARE(p->control<QDialog>(first->dialog)->isVisible(), second == first);
        if (second->dialog) QVERIFY(p->control<QDialog>(second->dialog)->isVisible());
        QCOMPARE(p->boxes->texts, QStringList{});
        // Closing what is open leaves both surfaces as they were.
        if (second->dialog) p->control<QDialog>(second->dialog)->reject();
        QCOMPARE(dialogtest::surfaceRecords(p->doc), records);
        for (SurfaceSection* s : {x, y}) QCOMPARE(s->heldByEditor, nullptr);
    }

    void anEditorSaysWhichLinksASaveBreaks()
    {
        p->select(x->name);
        p->click("editSelectedButton");
        QVERIFY(p->in<QLabel>("editADialog", "detachNotice")->isHidden());
        p->control<QDialog>("editADialog")->reject();
        builders::linkSites(*x, 1, *y, 0); // x's beginning at y's end
        p->select(x->name);
        p->click("editSelectedButton");
        auto* notice = p->in<QLabel>("editADialog", "detachNotice");
        QVERIFY(!notice->isHidden());
        QCOMPARE(notice->text(), QStringLiteral("Closing after Save detaches this surface from: y (begin)"));
    }
};

MARLWICK_REGISTER_QTEST(EditingDialogsTest)
#include "EditingDialogsTest.moc"
