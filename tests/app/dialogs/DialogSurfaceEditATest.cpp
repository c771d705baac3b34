// " Edit surface  (type A)" opened by the panel's "Edit selected" on a type
// A surface: each group's check boxes, slider and spin box change the
// surface at once; "Save" keeps the changes and "Close" without it restores
// them.

#include "design/ChannelEditing.h"
#include "QtTestRegistry.h"
#include "design/DesignHistory.h"
#include "design/Groups.h"
#include "dialogs/SurfaceDialogTestSupport.h"
#include "support/DocumentBuilders.h"

#include <QCheckBox>
#include <QSlider>
#include <QSpinBox>

namespace {
constexpr const char* kDialog = "editADialog";
constexpr double kLiteralPi = 3.14159265359;
constexpr int kEnd = 0, kBegin = 1;

std::string key(const QString& prefix, const char* suffix) { return prefix.toStdString() + suffix; }

} // namespace

class DialogSurfaceEditATest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<PanelWithDialogs> p;
    SurfaceSection* a = nullptr;
    QDialog* dialog() { return p->control<QDialog>(kDialog); }
    template <typename T>
    T* in(const std::string& name) { return p->in<T>(kDialog, name.c_str()); }
    void open()
    {
        p->click("editSelectedButton");
        QCOMPARE(p->boxes->texts, QStringList{});
        QVERIFY(dialog()->isVisible());
    }

private slots:
    void init()
    {
        p = std::make_unique<PanelWithDialogs>();
        a = p->doc.surfaces[0].get();
        p->doc.selectedSurface = a;
    }
    void cleanup() { p.reset(); }

    void aValueChangesTheSurfaceAtOnce_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<bool>("bySpin");
        QTest::addColumn<int>("position");
        QTest::addColumn<double>("stored");
        QTest::newRow("horizontal turn by slider") << "horizontalTurn" << false << 90 << kLiteralPi / 2;
        QTest::newRow("vertical turn by spin box") << "verticalTurn" << true << 30 << 30.0 / 360.0 * 2 * kLiteralPi;
        QTest::newRow("axis rotation by slider") << "axisRotation" << false << 90 << kLiteralPi / 2;
        QTest::newRow("horizontal displacement") << "horizontalDisplacement" << false << 40 << 40.0;
        QTest::newRow("vertical displacement by spin box") << "verticalDisplacement" << true << 100 << 100.0;
    }

    void aValueChangesTheSurfaceAtOnce()
    {
        QFETCH(QString, group);
        QFETCH(bool, bySpin);
        QFETCH(int, position);
        QFETCH(double, stored);
        open();
        const Vec3 endBefore = a->sections[a->sectionCount - 1].position;
        p->click(in<QCheckBox>(key(group, "PerformCheck")));
        if (bySpin) {
            QSpinBox* spin = in<QSpinBox>(key(group, "Spin"));
            spin->setFocus();
            spin->selectAll();
            QTest::keyClicks(spin, QString::number(position));
            QCOMPARE(in<QSlider>(key(group, "Slider"))->value(), position);
        } else {
            in<QSlider>(key(group, "Slider"))->setValue(position);
            QCOMPARE(in<QSpinBox>(key(group, "Spin"))->value(), position);
        }
        const double values[] = {a->horizontalTurn.angle, a->verticalTurn.angle, a->axisRotation.angle,
                                 a->horizontalDisplacement.distance, a->verticalDisplacement.distance};
        const QStringList groups{"horizontalTurn", "verticalTurn", "axisRotation", "horizontalDisplacement",
                                 "verticalDisplacement"};
        QCOMPARE(values[groups.indexOf(group)], stored);
        // Regenerated: the last cross section has moved, or turned about the
        // channel's axis.
        if (group != QStringLiteral("axisRotation"))
            QVERIFY(length(a->sections[a->sectionCount - 1].position - endBefore) > 1.0);
        else
            QVERIFY(length(a->sections[a->sectionCount - 1].up - Vec3{0, 1, 0}) > 0.1);
    }

    void aClickOnTheTrackPagesByEighteenDegrees()
    {
        open();
        QSlider* slider = in<QSlider>("verticalTurnSlider");
        dialogtest::pressTrack(slider);
        QCOMPARE(slider->value() % 18, 0);
        QCOMPARE(a->verticalTurn.angle, slider->value() / 360.0 * 2 * kLiteralPi);
    }

    void theSenseChecksAndTheCountChangeTheSurface()
    {
        open();
        p->click(in<QCheckBox>("horizontalTurnPerformCheck"));
        in<QSlider>("horizontalTurnSlider")->setValue(90);
        const Vec3 right = a->finalDirection;
        p->click(in<QCheckBox>("horizontalTurnSenseCheck"));
        QVERIFY(a->horizontalTurn.left);
        QVERIFY(length(a->finalDirection + right) < 1e-9); // turned left instead of right
        QSpinBox* count = in<QSpinBox>("intermediateSpin");
        count->setValue(20);
        QCOMPARE(a->sectionCount, 24);
        count->setValue(0);
        QCOMPARE(a->sectionCount, 4);
    }

    // What else Close gives back (the turn, the sections, the display) is the design tests' part.
    void closeWithoutSaveRestoresTheBlock()
    {
        const int count = a->sectionCount;
        open();
        p->click(in<QCheckBox>("verticalTurnPerformCheck"));
        p->click(in<QCheckBox>("verticalTurnSenseCheck"));
        in<QSlider>("verticalTurnSlider")->setValue(45);
        in<QSpinBox>("intermediateSpin")->setValue(9);
        p->click(kDialog, "closeButton");
        QVERIFY(!dialog()->isVisible());
        QVERIFY(!a->verticalTurn.down);
        QCOMPARE(a->sectionCount, count);
        QVERIFY(!p->doc.IsModified());
        // Opened again, the dialog shows the restored block.
        open();
        QVERIFY(!in<QCheckBox>("verticalTurnPerformCheck")->isChecked());
        QCOMPARE(in<QSlider>("verticalTurnSlider")->value(), 0);
        QCOMPARE(in<QSpinBox>("horizontalDisplacementSpin")->value(), 16);
    }

    // A save keeps the changes, and Close (Escape) after it breaks the links.
    // The open dialog holds the history (undo waits); its close after a save
    // is one step, and undoing it gives back the document as it was before
    // the dialog opened.
    void saveThenCloseIsOneStepThatUndoTakesBack()
    {
        SurfaceSection* b = p->doc.CreateChannelSurface("b", 5, 2);
        builders::linkSites(*a, kEnd, *b, kBegin);
        a->coloring = Coloring::Height;
        p->doc.StartHistory();
        const std::vector<std::uint8_t> before = p->doc.SerializeDocument();
        open();
        p->click(in<QCheckBox>("verticalTurnPerformCheck"));
        in<QSlider>("verticalTurnSlider")->setValue(30);
        p->click(kDialog, "saveButton");
        QVERIFY(p->doc.IsModified());
        QVERIFY(!design::CanUndo(p->doc));
        in<QSlider>("verticalTurnSlider")->setValue(60); // after the save: dropped by Close
        QTest::keyClick(dialog(), Qt::Key_Escape);
        QVERIFY(!dialog()->isVisible());
        QCOMPARE(a->verticalTurn.angle, 30.0 / 360.0 * 2 * kLiteralPi);
        QVERIFY(a->attachmentSites[kEnd].isFree());
        QVERIFY(b->attachmentSites[kBegin].isFree());
        QVERIFY(a->boxTree);
        QCOMPARE(design::UndoStepName(p->doc), std::string(design::kStepEditSurface));
        const std::vector<std::uint8_t> after = p->doc.SerializeDocument();
        QVERIFY(design::Undo(p->doc).ok());
        QVERIFY(!design::CanUndo(p->doc));
        QVERIFY(p->doc.SerializeDocument() == before);
        QVERIFY(design::Redo(p->doc).ok());
        QVERIFY(p->doc.SerializeDocument() == after);
    }

    void aSurfaceDeletedMeanwhileIsLeftAlone()
    {
        SurfaceSection* b = p->doc.CreateChannelSurface("b", 5, 2);
        p->doc.selectedSurface = b;
        open();
        // As deleting its group in "Manage Surface Groups" does, the editor open.
        design::DeleteSurface(p->doc, *b);
        p->panel->FillSurfaceTree();
        QVERIFY(!p->surfaceNamed("b"));
        in<QSlider>("verticalTurnSlider")->setValue(40);
        QVERIFY(!dialog()->isVisible());
        QCOMPARE(a->verticalTurn.angle, 0.0);
        // Open again on another surface: it works as before.
        p->doc.selectedSurface = a;
        open();
        in<QSlider>("verticalTurnSlider")->setValue(40);
        QCOMPARE(a->verticalTurn.angle, 40.0 / 360.0 * 2 * kLiteralPi);
    }

    void theSlidersShowWholeDegreesAndUnits()
    {
        a->axisRotation.angle = 89.9 / 360.0 * 2 * kLiteralPi;
        a->horizontalDisplacement.distance = 12.75;
        open();
        QCOMPARE(in<QSlider>("axisRotationSlider")->value(), 89);
        QCOMPARE(in<QSpinBox>("horizontalDisplacementSpin")->value(), 12);
        QCOMPARE(a->axisRotation.angle, 89.9 / 360.0 * 2 * kLiteralPi); // showing changes nothing
        QCOMPARE(in<QSlider>("axisRotationSlider")->maximum(), 360);
        QCOMPARE(in<QSlider>("verticalDisplacementSlider")->pageStep(), 10);
    }
};

MARLWICK_REGISTER_QTEST(DialogSurfaceEditATest)
#include "DialogSurfaceEditATest.moc"
