// " Edit surface  (type B)" opened by the panel's "Edit selected" on a type
// B surface: its directions taken from another surface's end on "Apply and
// Save", the refusals, and what "Close" keeps.

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
constexpr const char* kDialog = "editBDialog";
constexpr int kEnd = 0, kBegin = 1;
} // namespace

class DialogSurfaceEditBTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<PanelWithDialogs> p;
    SurfaceSection* a = nullptr;
    SurfaceSection* x = nullptr;
    QDialog* dialog() { return p->control<QDialog>(kDialog); }
    template <typename T>
    T* in(const char* name) { return p->in<T>(kDialog, name); }
    void open()
    {
        p->click("editSelectedButton");
        QCOMPARE(p->boxes->texts, QStringList{});
        QVERIFY(dialog()->isVisible());
    }
    void chooseSurface(const char* combo, const QString& entry)
    {
        QComboBox* box = in<QComboBox>(combo);
        const int index = box->findText(entry);
        QVERIFY2(index >= 0, qPrintable(entry));
        box->setCurrentIndex(index);
    }

private slots:
    void init()
    {
        p = std::make_unique<PanelWithDialogs>();
        a = p->doc.surfaces[0].get();
        SurfaceGroup* track = p->doc.CreateGroup("track");
        p->doc.currentGroup = track;
        x = p->doc.CreateChannelSurface("x", 5, 2);
        p->doc.currentGroup = p->doc.groups[0].get();
        x->surfaceType = kTypeB;
        x->initialDirection = {0, 0, -1};
        x->finalDirection = {0, 0, 1};
        x->Regenerate(false);
        a->surfaceType = kTypeB;
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
        QCOMPARE(in<QComboBox>("initialDirectionsCombo")->count(), 2);
        QCOMPARE(in<QComboBox>("initialDirectionsCombo")->itemText(1), QStringLiteral("track::x"));
        dialogtest::toggleAccessibly(in<QRadioButton>(radio.toLatin1().constData()));
        chooseSurface("initialDirectionsCombo", QStringLiteral("track::x"));
        if (opposite) dialogtest::toggleAccessibly(in<QCheckBox>("initialDirectionsOppositeCheck"));
        p->click(kDialog, "applyButton");
        QCOMPARE(p->boxes->texts, QStringList{});
        QVERIFY(length(a->initialDirection - initial) < 1e-12);
        QVERIFY(length(normalized(a->sections[0].direction) - initial) < 1e-9);
        QVERIFY(length(a->finalDirection - Vec3{1, 0, 0}) < 1e-12); // "Current directions   OR"
        QVERIFY(p->doc.IsModified());
    }

    void aChoiceWithoutASurfaceIsRefused_data()
    {
        QTest::addColumn<QString>("radio");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("initial") << "initialDirectionsBeginRadio"
                                 << "Select a surface whose beginning or end directions will be used as the INITIAL "
                                    "directions for this surface.";
        QTest::newRow("final") << "finalDirectionsEndRadio"
                               << "Select a surface whose beginning or end directions will be used as the FINAL "
                                  "directions for this surface.";
    }

    void aChoiceWithoutASurfaceIsRefused()
    {
        QFETCH(QString, radio);
        QFETCH(QString, refusal);
        const Vec3 before = a->sections[a->sectionCount - 1].position;
        open();
        p->click(in<QRadioButton>(radio.toLatin1().constData()));
        p->click(kDialog, "applyButton");
        QCOMPARE(p->boxes->texts, QStringList{refusal});
        QVERIFY(dialog()->isVisible());
        QCOMPARE(a->sections[a->sectionCount - 1].position, before);
        QVERIFY(!p->doc.IsModified());
    }

    void aSourceDeletedMeanwhileCountsAsNoneChosen()
    {
        open();
        p->click(in<QRadioButton>("finalDirectionsBeginRadio"));
        chooseSurface("finalDirectionsCombo", QStringLiteral("track::x"));
        design::DeleteSurface(p->doc, *x); // as deleting its group in "Manage Surface Groups" does
        QVERIFY(!p->surfaceNamed("x"));
        p->boxes->texts.clear();
        p->click(kDialog, "applyButton");
        QCOMPARE(p->boxes->texts, QStringList{"Select a surface whose beginning or end directions will be used as the "
                                              "FINAL directions for this surface."});
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

    void everyControlIsNamed()
    {
        open();
        QVERIFY(!dialog()->findChild<QWidget*>(QStringLiteral("initialPositionBox")));
    }
};

MARLWICK_REGISTER_QTEST(DialogSurfaceEditBTest)
#include "DialogSurfaceEditBTest.moc"
