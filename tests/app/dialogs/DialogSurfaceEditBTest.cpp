// " Edit surface  (type B)" and " Edit surface  (type C)", opened by the
// panel's "Edit selected" on a surface of that type: directions (and for type
// C positions) taken from another surface's ends on "Apply and Save", the
// refusals in their order, and what "Close" keeps.

#include "design/ChannelEditing.h"
#include "design/Groups.h"
#include "QtTestRegistry.h"
#include "dialogs/SurfaceDialogTestSupport.h"
#include "support/DocumentBuilders.h"

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QSpinBox>

Q_DECLARE_METATYPE(Vec3)

namespace {
constexpr int kEnd = 0, kBegin = 1;
const QString kSourceX = QStringLiteral("track::x");
} // namespace

class DialogSurfaceEditBTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<PanelWithDialogs> p;
    SurfaceSection* a = nullptr;
    SurfaceSection* x = nullptr;
    const char* kDialog = "editBDialog";

    QDialog* dialog() { return p->control<QDialog>(kDialog); }
    template <typename T>
    T* in(const QString& name) { return p->in<T>(kDialog, name.toLatin1().constData()); }
    // Makes "a" (selected) and "x" surfaces of `type` and opens its editor on "a".
    void open(int type = kTypeB)
    {
        kDialog = type == kTypeB ? "editBDialog" : "editCDialog";
        for (SurfaceSection* s : {a, x}) {
            s->surfaceType = type;
            s->Regenerate(false);
        }
        p->click("editSelectedButton");
        QCOMPARE(p->boxes->texts, QStringList{});
        QVERIFY(dialog()->isVisible());
    }
    void choose(const char* combo, const QString& entry)
    {
        QVERIFY2(dialogtest::chooseEntry(in<QComboBox>(QString::fromLatin1(combo)), entry), qPrintable(entry));
    }

private slots:
    // "a" in "main"; "x" in "track", from (10, 2, 3) to (40, -5, 8), its
    // directions backwards at the beginning and forwards at the end.
    void init()
    {
        p = std::make_unique<PanelWithDialogs>();
        a = p->doc.surfaces[0].get();
        p->doc.currentGroup = p->doc.CreateGroup("track");
        x = p->doc.CreateChannelSurface("x", 5, 2);
        p->doc.currentGroup = p->doc.groups[0].get();
        x->initialDirection = {0, 0, -1};
        x->finalDirection = {0, 0, 1};
        x->initialPosition = {10, 2, 3};
        x->finalPosition = {40, -5, 8};
        p->doc.selectedSurface = a;
    }
    void cleanup() { p.reset(); }

    void directionsComeFromTheChosenEnd_data()
    {
        QTest::addColumn<QString>("radio");
        QTest::addColumn<bool>("opposite");
        QTest::addColumn<Vec3>("initial");
        QTest::newRow("end of x") << "initialDirectionsEndRadio" << false << Vec3{0, 0, 1};
        QTest::newRow("opposite of the end of x") << "initialDirectionsEndRadio" << true << Vec3{0, 0, -1};
        QTest::newRow("beginning of x") << "initialDirectionsBeginRadio" << false << Vec3{0, 0, -1};
        QTest::newRow("opposite of the beginning") << "initialDirectionsBeginRadio" << true << Vec3{0, 0, 1};
    }

    void directionsComeFromTheChosenEnd()
    {
        QFETCH(QString, radio);
        QFETCH(bool, opposite);
        QFETCH(Vec3, initial);
        open();
        QVERIFY(!dialog()->findChild<QWidget*>(QStringLiteral("initialPositionBox"))); // type B has none
        QCOMPARE(in<QComboBox>("initialDirectionsCombo")->count(), 2);
        QCOMPARE(in<QComboBox>("initialDirectionsCombo")->itemText(1), kSourceX);
        dialogtest::toggleAccessibly(in<QRadioButton>(radio));
        choose("initialDirectionsCombo", kSourceX);
        if (opposite) dialogtest::toggleAccessibly(in<QCheckBox>("initialDirectionsOppositeCheck"));
        p->click(kDialog, "applyButton");
        QCOMPARE(p->boxes->texts, QStringList{});
        QVERIFY(length(a->initialDirection - initial) < 1e-12);
        QVERIFY(length(normalized(a->sections[0].direction) - initial) < 1e-9);
        QVERIFY(length(a->finalDirection - Vec3{1, 0, 0}) < 1e-12); // "Current directions   OR"
        QVERIFY(p->doc.IsModified());
    }

    void positionsComeFromTheChosenEnds()
    {
        open(kTypeC);
        QVERIFY(!dialog()->findChild<QCheckBox*>(QStringLiteral("finalPositionOppositeCheck")));
        dialogtest::toggleAccessibly(in<QRadioButton>("finalPositionBeginRadio"));
        choose("finalPositionCombo", kSourceX);
        dialogtest::toggleAccessibly(in<QRadioButton>("initialPositionEndRadio"));
        choose("initialPositionCombo", kSourceX);
        p->click(kDialog, "applyButton");
        QCOMPARE(p->boxes->texts, QStringList{});
        QCOMPARE(a->finalPosition, x->initialPosition);
        QCOMPARE(a->initialPosition, x->finalPosition);
        QCOMPARE(a->sections[a->sectionCount - 1].position, x->initialPosition);
        p->click(kDialog, "closeButton");
        QVERIFY(!a->editingSections);
    }

    void aChoiceWithoutASurfaceIsRefusedInOrder_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("radios");
        QTest::addColumn<QString>("refusal");
        const QString all[] = {"initialDirectionsBeginRadio", "finalDirectionsEndRadio", "initialPositionBeginRadio",
                               "finalPositionEndRadio"};
        const char* texts[] = {design::kInitialDirectionsSource, design::kFinalDirectionsSource,
                               design::kInitialPositionSource, design::kFinalPositionSource};
        const char* rows[] = {"initial directions first", "then final directions", "then initial position",
                              "final position last"};
        for (int first = 0; first < 4; ++first) {
            QStringList radios;
            for (int k = first; k < 4; ++k) radios << all[k];
            QTest::newRow(rows[first]) << int(kTypeC) << radios << QString::fromLatin1(texts[first]);
        }
        QTest::newRow("type B, final directions") << int(kTypeB) << QStringList{all[1]} << QString::fromLatin1(texts[1]);
    }

    void aChoiceWithoutASurfaceIsRefusedInOrder()
    {
        QFETCH(int, type);
        QFETCH(QStringList, radios);
        QFETCH(QString, refusal);
        open(type);
        const Vec3 end = a->sections[a->sectionCount - 1].position, finalPosition = a->finalPosition;
        for (const QString& radio : radios) dialogtest::toggleAccessibly(in<QRadioButton>(radio));
        p->click(kDialog, "applyButton");
        QCOMPARE(p->boxes->texts, QStringList{refusal});
        QVERIFY(dialog()->isVisible());
        QCOMPARE(a->sections[a->sectionCount - 1].position, end);
        QCOMPARE(a->finalPosition, finalPosition);
        QVERIFY(!p->doc.IsModified());
    }

    void aSourceDeletedMeanwhileCountsAsNoneChosen()
    {
        open();
        p->click(in<QRadioButton>("finalDirectionsBeginRadio"));
        choose("finalDirectionsCombo", kSourceX);
        design::DeleteSurface(p->doc, *x); // as deleting its group in "Manage Surface Groups" does
        QVERIFY(!p->surfaceNamed("x"));
        p->click(kDialog, "applyButton");
        QCOMPARE(p->boxes->texts, QStringList{design::kFinalDirectionsSource});
        QVERIFY(dialog()->isVisible());
    }

    void closeAfterApplyBreaksTheLinksAndWithoutItRestoresTheCount()
    {
        builders::linkSites(*a, kEnd, *x, kBegin);
        open();
        in<QSpinBox>("intermediateSpin")->setValue(8);
        QCOMPARE(a->sectionCount, 12);
        p->click(kDialog, "closeButton");
        QCOMPARE(a->sectionCount, 6);
        QCOMPARE(a->attachmentSites[kEnd].otherSurface, x);
        QCOMPARE(a->showSurfaceLines, 1); // the display is given back

        open();
        // Every choice starts again on its first button, no surface chosen.
        QVERIFY(in<QRadioButton>("initialDirectionsCurrentRadio")->isChecked());
        QCOMPARE(in<QComboBox>("initialDirectionsCombo")->currentIndex(), -1);
        QVERIFY(!in<QCheckBox>("initialDirectionsOppositeCheck")->isChecked());
        in<QSpinBox>("intermediateSpin")->setValue(8);
        p->click(kDialog, "applyButton");
        QTest::keyClick(dialog(), Qt::Key_Escape);
        QVERIFY(!dialog()->isVisible());
        QCOMPARE(a->sectionCount, 12);
        QVERIFY(a->attachmentSites[kEnd].isFree());
        QVERIFY(x->attachmentSites[kBegin].isFree());
    }
};

MARLWICK_REGISTER_QTEST(DialogSurfaceEditBTest)
#include "DialogSurfaceEditBTest.moc"
