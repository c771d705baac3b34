// The control panel driven through its widgets (offscreen, no view): each
// control's effect on the document or the selected surface, the trees, the
// refusals and the switches the document writes back.

#include "ProgramPeers.h"
#include "QtTestRegistry.h"
#include "design/AttachmentSites.h"
#include "dialogs/SurfaceDialogTestSupport.h"
#include "design/DesignHistory.h"
#include "panel/ControlPanelForm.h"
#include "panel/ControlPanelPane.h"
#include "render/Camera.h"
#include "simulation/SharedSettings.h"
#include "support/DocumentBuilders.h"
#include "view/CameraCommands.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTreeWidget>
#include <QtTest>

#include <algorithm>
#include <memory>

namespace {

using dialogtest::treeLabels;

void collectAccessibleNames(QAccessibleInterface* node, QStringList& names)
{
    if (!node) return;
    names << node->text(QAccessible::Name);
    for (int k = 0; k < node->childCount(); ++k) collectAccessibleNames(node->child(k), names);
}

struct DocumentBox {
    const char* objectName;
    bool DocumentSettings::*field;
};
const DocumentBox kDocumentBoxes[] = {
    {"pauseOnBounceCheck", &DocumentSettings::pauseOnBounce},
    {"pauseOnAirCheck", &DocumentSettings::pauseOnAir},
    {"pauseEachFrameCheck", &DocumentSettings::pauseEachFrame},
    {"navigationCheck", &DocumentSettings::navigation},
    {"preventSameSurfaceCheck", &DocumentSettings::preventSameSurfaceImpact},
    {"ballCheck", &DocumentSettings::showBall},
    {"ballPathPastCheck", &DocumentSettings::showBallPathPast},
    {"ballPathFutureCheck", &DocumentSettings::showBallPathFuture},
    {"rollingVectorsCheck", &DocumentSettings::showRollingVectors},
    {"linearDisplacementCheck", &DocumentSettings::showLinearDisplacement},
    {"impactVectorsCheck", &DocumentSettings::showImpactVectors},
    {"bounceVectorsCheck", &DocumentSettings::showBounceVectors},
    {"impactIntersectionsCheck", &DocumentSettings::showImpactIntersections},
    {"boundingBoxesCheck", &DocumentSettings::showBoundingBoxes},
    {"allBoundingBoxesCheck", &DocumentSettings::showAllBoundingBoxes},
    {"cameraFutureCheck", &DocumentSettings::showCameraFuture},
    {"cameraPathPastCheck", &DocumentSettings::showCameraPathPast},
    {"cameraPresentCheck", &DocumentSettings::showCameraPresent},
    {"navigationGuidesCheck", &DocumentSettings::showNavigationGuides},
    {"focalPointCheck", &DocumentSettings::showFocalPoint},
    {"followCheck", &DocumentSettings::cameraFollowsBall},
};

struct SurfaceBox {
    const char* objectName;
    std::int32_t SurfaceSection::*field;
    bool stale;
};
const SurfaceBox kSurfaceBoxes[] = {
    {"controlLinesCheck", &SurfaceSection::showControlLines, false},
    {"controlTrianglesCheck", &SurfaceSection::showControlTriangles, false},
    {"surfaceLinesCheck", &SurfaceSection::showSurfaceLines, true},
    {"surfaceTrianglesCheck", &SurfaceSection::showSurfaceTriangles, true},
    {"intersectionMeshCheck", &SurfaceSection::showIntersectionMesh, false},
    {"directionsCheck", &SurfaceSection::showDirections, false},
    {"attachmentSitesCheck", &SurfaceSection::showAttachmentSites, false},
    {"holesCheck", &SurfaceSection::showHoles, true},
    {"nameCheck", &SurfaceSection::showName, false},
};

} // namespace

class ControlPanelFormTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<PanelWithDialogs> p;
    COpenGLTemplateDoc* doc = nullptr;
    ControlPanelForm* panel = nullptr;
    MessageBoxAnswers* boxes = nullptr;

    template <typename T = QWidget>
    T* control(const char* name)
    {
        return p->control<T>(name);
    }
    QTreeWidget* surfaceTree() { return control<QTreeWidget>("surfaceTree"); }
    QTreeWidget* attachedTree() { return control<QTreeWidget>("attachedTree"); }
    void click(QAbstractButton* button) { p->click(button); }
    void click(const char* name) { p->click(name); }
    // Selects a surface item by its group's row and its own row, as a click does.
    void selectSurface(int group, int row)
    {
        surfaceTree()->setCurrentItem(surfaceTree()->topLevelItem(group)->child(row));
    }
    SurfaceSection& surface(int k) { return *doc->surfaces[static_cast<std::size_t>(k)]; }
    std::vector<std::uint8_t> surfaceRecords() { return dialogtest::surfaceRecords(*doc); }

private slots:
    void init()
    {
        p = std::make_unique<PanelWithDialogs>(builders::fillTrackDocument);
        doc = &p->doc;
        panel = p->panel.get();
        boxes = p->boxes.get();
    }
    void cleanup() { p.reset(); }

    void documentBoxesWriteTheirSwitch_data()
    {
        QTest::addColumn<int>("row");
        for (int k = 0; k < static_cast<int>(std::size(kDocumentBoxes)); ++k)
            QTest::newRow(kDocumentBoxes[k].objectName) << k;
    }

    void documentBoxesWriteTheirSwitch()
    {
        QFETCH(int, row);
        const DocumentBox& box = kDocumentBoxes[row];
        auto* check = control<QCheckBox>(box.objectName);
        const bool before = (*doc).*box.field;
        QCOMPARE(check->isChecked(), before);
        click(box.objectName);
        QCOMPARE((*doc).*box.field, !before);
        QCOMPARE(check->isChecked(), !before);
        click(box.objectName);
        QCOMPARE((*doc).*box.field, before);
    }

    void surfaceBoxesWriteTheSelectedSurfaceOnly_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("selected");
        for (int k = 0; k < static_cast<int>(std::size(kSurfaceBoxes)); ++k) {
            QTest::newRow(kSurfaceBoxes[k].objectName) << k << true;
            QTest::addRow("%s, no selection", kSurfaceBoxes[k].objectName) << k << false;
        }
    }

    // With "b" selected the box writes b's switch (the mesh made again when
    // it draws differently); without a selection it only toggles.
    void surfaceBoxesWriteTheSelectedSurfaceOnly()
    {
        QFETCH(int, row);
        QFETCH(bool, selected);
        const SurfaceBox& box = kSurfaceBoxes[row];
        if (selected) selectSurface(1, 1);
        QCOMPARE(doc->selectedSurface, selected ? &surface(1) : nullptr);
        for (auto& valid : surface(1).drawingCache.valid) valid = true;
        std::vector<std::int32_t> before;
        for (const auto& s : doc->surfaces) before.push_back((*s).*box.field);
        auto* check = control<QCheckBox>(box.objectName);
        const bool shown = check->isChecked();
        if (selected) QCOMPARE(shown, before[1] != 0);
        click(box.objectName);
        QCOMPARE(check->isChecked(), !shown);
        for (std::size_t k = 0; k < before.size(); ++k)
            QCOMPARE((*doc->surfaces[k]).*box.field, selected && k == 1 ? 1 - before[k] : before[k]);
        QCOMPARE(!surface(1).drawingCache.valid[DrawingCache::kMesh].load(), selected && box.stale);
    }

    void beforeAnySelectionTheSurfaceBoxesShowTheFormsDefaults()
    {
        for (const SurfaceBox& box : kSurfaceBoxes)
            QCOMPARE(control<QCheckBox>(box.objectName)->isChecked(), box.field == &SurfaceSection::showSurfaceLines);
        QVERIFY(control<QRadioButton>("heightRadio")->isChecked());
        QVERIFY(control<QRadioButton>("laggingPresentRadio")->isChecked());
    }

    void renderAndColouringWriteTheSelectedSurface_data()
    {
        QTest::addColumn<QString>("radio");
        QTest::addColumn<int>("coloring");
        const char* radios[] = {"constantRadio", "heightRadio", "tangentAngleRadio", "curvatureRadio"};
        for (int k = 0; k < 4; ++k) QTest::newRow(radios[k]) << radios[k] << k; // in Coloring's order
    }

    void renderAndColouringWriteTheSelectedSurface()
    {
        QFETCH(QString, radio);
        QFETCH(int, coloring);
        selectSurface(2, 0); // "a" of "track": hidden, curvature colouring
        SurfaceSection& a2 = surface(2);
        QCOMPARE(a2.render.load(), 1); // selecting shows it
        QVERIFY(control<QCheckBox>("renderCheck")->isChecked());
        QVERIFY(control<QRadioButton>("curvatureRadio")->isChecked());
        a2.coloring = coloring == 0 ? Coloring::Height : Coloring::Constant;
        for (auto& valid : a2.drawingCache.valid) valid = true;
        click(panel->findChild<QRadioButton*>(radio));
        QCOMPARE(a2.coloring, static_cast<Coloring>(coloring));
        QVERIFY(!a2.drawingCache.valid[DrawingCache::kMesh].load());
        click("renderCheck");
        QCOMPARE(a2.render.load(), 0);
    }

    void cameraModeRadiosAndVerticalBox()
    {
        click("inPresentRadio");
        QCOMPARE(doc->simulation.camera.laggingSwitch.load(), 0);
        click("laggingPresentRadio");
        QCOMPARE(doc->simulation.camera.laggingSwitch.load(), 1);
        click("verticalCheck");
        QVERIFY(CameraAlignedVertically(*doc));
        // The View menu's command shows in the box.
        SetCameraAlignedVertically(*doc, false);
        QVERIFY(!control<QCheckBox>("verticalCheck")->isChecked());
    }

    void onlyDraggingTheThumbMovesTheFocalPoint()
    {
        auto* slider = control<QSlider>("focalUSlider");
        // Its range, tick interval and first value.
        QCOMPARE((QList<int>{slider->minimum(), slider->maximum(), slider->tickInterval(), slider->value()}),
                 (QList<int>{1, 100, 10, 50}));
        const Vec3 start = doc->focalPoint;
        // A click on the track far right of the thumb pages the slider only.
        dialogtest::pressTrack(slider);
        QCOMPARE(doc->focalU, 0.5);
        QCOMPARE(doc->focalPoint.x, start.x);

        // Dragging the thumb to the far left: u at the lowest position, 0.01.
        const QPoint grip = dialogtest::sliderThumb(slider);
        QTest::mousePress(slider, Qt::LeftButton, {}, grip);
        QTest::mouseMove(slider, QPoint(0, grip.y()));
        QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(0, grip.y()));
        QCOMPARE(slider->value(), 1);
        QCOMPARE(control<QSpinBox>("focalUSpin")->value(), 1);
        QCOMPARE(doc->focalU, 0.01);
        QCOMPARE(doc->focalPoint, doc->focalSurface->EvaluatePoint(0.01, 0.5));

        // A spin step moves the slider and the focal point.
        control<QSpinBox>("focalVSpin")->stepBy(-3);
        QCOMPARE(control<QSlider>("focalVSlider")->value(), 47);
        QCOMPARE(doc->focalV, 0.47);
    }

    void focalPointCommandsSetBothSliders()
    {
        selectSurface(2, 1); // "c"
        doc->focalU = 0.237;
        doc->focalV = 0.819;
        panel->UpdateFromDocument();
        QCOMPARE(control<QSlider>("focalUSlider")->value(), 23);
        QCOMPARE(control<QSpinBox>("focalVSpin")->value(), 81);
        click("focalPointAtSelectedButton");
        QCOMPARE(doc->focalSurface, &surface(3));
        QCOMPARE(control<QSlider>("focalUSlider")->value(), 50);
        QCOMPARE(control<QSlider>("focalVSlider")->value(), 50);

        click("ballStartAtFocalPointButton");
        QCOMPARE(doc->ballStartSurface, &surface(3));
        doc->focalSurface = nullptr;
        click("ballStartAtFocalPointButton");
        QCOMPARE(boxes->texts, QStringList{"First set the focal point surface and positing."});
    }

    void theSurfaceTreeListsEveryGroupExpanded()
    {
        QCOMPARE(treeLabels(surfaceTree()), (QStringList{"NONE", "main", "  a", "  b", "track", "  a", "  c"}));
        for (int k = 1; k < surfaceTree()->topLevelItemCount(); ++k)
            QVERIFY(surfaceTree()->topLevelItem(k)->isExpanded());
        QCOMPARE(surfaceTree()->accessibleName(), QStringLiteral("Surfaces :"));
    }

    void selectingASurfaceFillsTheAttachedTreeAndNoneEmptiesIt()
    {
        selectSurface(1, 1); // "b": linked to "a" and to "c" of "track"
        QCOMPARE(treeLabels(attachedTree()), (QStringList{"end -> [track : c]", "begin -> [main : a]"}));
        QVERIFY(!(attachedTree()->topLevelItem(0)->flags() & Qt::ItemIsEditable));
        surfaceTree()->setCurrentItem(surfaceTree()->topLevelItem(0));
        QCOMPARE(doc->selectedSurface, nullptr);
        QCOMPARE(attachedTree()->topLevelItemCount(), 0);

        selectSurface(1, 0);
        QCOMPARE(doc->selectedSurface, &surface(0));
        // A group item clears the selection and selects "NONE".
        surfaceTree()->setCurrentItem(surfaceTree()->topLevelItem(2));
        QCOMPARE(doc->selectedSurface, nullptr);
        QCOMPARE(surfaceTree()->currentItem(), surfaceTree()->topLevelItem(0));
        QCOMPARE(attachedTree()->topLevelItemCount(), 0);
    }

    void renamingInTheTreeRenamesOrKeepsTheOldLabel_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("accepted, Windows-1252") << QString::fromUtf8("caf\xc3\xa9") << QString();
        QTest::newRow("taken in the group") << "b" << "A surface with that name already exists in its group.";
    }

    void renamingInTheTreeRenamesOrKeepsTheOldLabel()
    {
        QFETCH(QString, typed);
        QFETCH(QString, refusal);
        selectSurface(1, 0);
        surfaceTree()->topLevelItem(1)->child(0)->setText(0, typed);
        if (refusal.isEmpty()) {
            QTRY_COMPARE(textOf(surface(0).name), std::string("caf\xe9"));
            QCOMPARE(surfaceTree()->topLevelItem(1)->child(0)->text(0), typed);
        } else {
            QTRY_COMPARE(boxes->texts, QStringList{refusal});
            QCOMPARE(textOf(surface(0).name), std::string("a"));
            QCOMPARE(surfaceTree()->topLevelItem(1)->child(0)->text(0), QStringLiteral("a"));
        }
        QCOMPARE(doc->selectedSurface, &surface(0));
    }

    void renamingWithTheItemsEditorTakesTheTypedName()
    {
        QTreeWidgetItem* item = surfaceTree()->topLevelItem(2)->child(1); // "c" of "track"
        surfaceTree()->setCurrentItem(item);
        surfaceTree()->editItem(item);
        auto* editor = surfaceTree()->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("spiral"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(textOf(surface(3).name), std::string("spiral"));
        QCOMPARE(treeLabels(surfaceTree()).last(), QStringLiteral("  spiral"));
        QCOMPARE(doc->groups[1]->memberNames.back(), std::string("spiral"));
    }

    // Undo refills the tree and selects what came back.
    void deleteAsksThenDeletesAndSelectsNoneAndUndoBringsItBack()
    {
        doc->StartHistory();
        selectSurface(1, 1);
        boxes->answer = QMessageBox::Cancel;
        click("deleteSurfaceButton");
        QCOMPARE(boxes->texts, QStringList{"Are you sure you want to delete surface b ?"});
        QCOMPARE(doc->surfaces.size(), std::size_t(4));
        boxes->answer = QMessageBox::Ok;
        click("deleteSurfaceButton");
        QCOMPARE(doc->surfaces.size(), std::size_t(3));
        QCOMPARE(doc->selectedSurface, nullptr);
        QCOMPARE(surfaceTree()->currentItem(), surfaceTree()->topLevelItem(0));
        QCOMPARE(treeLabels(surfaceTree()), (QStringList{"NONE", "main", "  a", "track", "  a", "  c"}));
        QVERIFY(design::Undo(*doc).ok());
        QCOMPARE(treeLabels(surfaceTree()), (QStringList{"NONE", "main", "  a", "  b", "track", "  a", "  c"}));
        QCOMPARE(surfaceTree()->currentItem()->text(0), QStringLiteral("b"));
        QVERIFY(control<QCheckBox>("renderCheck")->isChecked());
    }

    void breakAttachmentFreesBothSites()
    {
        selectSurface(1, 1); // "b"
        attachedTree()->setCurrentItem(attachedTree()->topLevelItem(0)); // its end -> c
        click("breakAttachmentButton");
        QCOMPARE(surface(1).attachmentSites[0].otherSurface, nullptr);
        QCOMPARE(surface(3).attachmentSites[1].otherSurface, nullptr);
        QCOMPARE(treeLabels(attachedTree()), QStringList{"begin -> [main : a]"});
        QCOMPARE(boxes->texts, QStringList());
    }

    void showAllFitsTheViewToEverySurface()
    {
        selectSurface(1, 0);
        click("showOnlySelectedButton"); // which it hides is the design tests' part
        QCOMPARE(surface(1).render.load(), 0);
        QCOMPARE(doc->focalSurface, &surface(0));

        doc->cameraDistance = 0.0; // nothing like the fit
        click("showAllButton");
        for (const auto& s : doc->surfaces) QCOMPARE(s->render.load(), 1);
        // The view fitted to all of them (the fit itself is the camera tests').
        const Vec3 focal = doc->focalPoint;
        const double distance = doc->cameraDistance;
        render::FitCameraToSurfaces(*doc);
        QCOMPARE(doc->focalPoint, focal);
        QCOMPARE(doc->cameraDistance, distance);
    }

    void everyButtonButTheBallAndFocalOnesStopsTheBall_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("stops");
        for (const char* name :
             {"rollBallButton", "ballStartAtFocalPointButton", "focalPointAtBallButton", "focalPointAtSelectedButton"})
            QTest::newRow(name) << name << false;
        for (const char* name : {"createChannelButton", "createSweepButton", "createCircularButton",
                                 "deleteSurfaceButton", "editSelectedButton", "editCrossSectionsButton",
                                 "editHolesButton", "showOnlySelectedButton", "showAllButton", "centerViewButton",
                                 "attachmentSitesButton", "attachToSiteButton", "breakAttachmentButton",
                                 "manageGroupsButton"})
            QTest::newRow(name) << name << true;
    }

    // A stopping button shows the switches it turns off.
    void everyButtonButTheBallAndFocalOnesStopsTheBall()
    {
        QFETCH(QString, button);
        QFETCH(bool, stops);
        click("positionBallButton");
        QVERIFY(doc->simulation.settingVelocity.load());
        click(panel->findChild<QPushButton*>(button));
        QCOMPARE(!doc->simulation.settingVelocity.load(), stops);
        for (const char* name : {"followCheck", "navigationCheck", "ballCheck"})
            QVERIFY2(control<QCheckBox>(name)->isChecked() != stops, name);
        if (stops) QVERIFY(!control<QCheckBox>("ballPathPastCheck")->isChecked());
    }

    // The panel shows the operations' own refusals; their other refusals are the design tests'.
    void buttonsRefuseWithoutASelection_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("roll, no launch set") << "rollBallButton" << "First set the initial velocity of the ball.";
        QTest::newRow("focal point") << "focalPointAtSelectedButton" << "Select a surface upon which to focus.";
        QTest::newRow("delete") << "deleteSurfaceButton" << "Select a surface to delete.";
        QTest::newRow("break") << "breakAttachmentButton"
                               << "Select the attached surface which you would like to detach.";
        QTest::newRow("edit selected") << "editSelectedButton" << "Select a surface to edit.";
        QTest::newRow("cross sections") << "editCrossSectionsButton" << "Select a surface to edit.";
        QTest::newRow("holes") << "editHolesButton" << "Select a surface whose holes you want to edit.";
        QTest::newRow("sites") << "attachmentSitesButton"
                               << "Select a surface whose attachment sites you want to edit.";
        QTest::newRow("attach") << "attachToSiteButton"
                                << "Select the surface to which you would like to attach another surface.";
    }

    void buttonsRefuseWithoutASelection()
    {
        QFETCH(QString, button);
        QFETCH(QString, refusal);
        click(panel->findChild<QPushButton*>(button));
        QCOMPARE(boxes->texts, QStringList{refusal});
    }

    void positionBallSaysWhatIsMissing()
    {
        doc->ballStartSurface = nullptr;
        click("positionBallButton");
        QCOMPARE(boxes->texts, QStringList{"Set the initial ball surface and position."});
    }

    void changesAUserMakesMarkTheDocumentAndStepTheHistory_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("modifies");
        QTest::addColumn<QString>("step");
        const QString display = QStringLiteral("Change surface display");
        QTest::newRow("document switch") << "ballPathFutureCheck" << true << "";
        QTest::newRow("surface switch") << "surfaceB:controlLinesCheck" << true << display;
        QTest::newRow("surface switch, no selection") << "controlLinesCheck" << false << "";
        QTest::newRow("colouring") << "surfaceB:constantRadio" << true << display;
        QTest::newRow("render") << "surfaceB:renderCheck" << true << display;
        QTest::newRow("show only selected") << "surfaceB:showOnlySelectedButton" << true << "Show only selected";
        QTest::newRow("show all, one hidden") << "showAllButton" << true << "Show all";
        QTest::newRow("ball start at focal point") << "ballStartAtFocalPointButton" << true << "";
        QTest::newRow("focal point at selected") << "surfaceB:focalPointAtSelectedButton" << false << "";
        QTest::newRow("follow camera") << "followCheck" << true << "";
        QTest::newRow("camera mode, not kept in the file") << "inPresentRadio" << false << "";
    }

    // Switches of the document and of the view are no steps of the history.
    void changesAUserMakesMarkTheDocumentAndStepTheHistory()
    {
        QFETCH(QString, action);
        QFETCH(bool, modifies);
        QFETCH(QString, step);
        if (action.startsWith(QStringLiteral("surfaceB:"))) {
            selectSurface(1, 1);
            action = action.mid(9);
        }
        doc->StartHistory();
        doc->SetModifiedFlag(false);
        const std::vector<std::uint8_t> records = surfaceRecords();
        click(action.toLatin1().constData());
        QCOMPARE(doc->IsModified(), modifies);
        QCOMPARE(QString::fromStdString(design::UndoStepName(*doc)), step);
        if (step.isEmpty()) return;
        QVERIFY(design::Undo(*doc).ok());
        QCOMPARE(surfaceRecords(), records);
        QCOMPARE(QString::fromStdString(design::RedoStepName(*doc)), step);
    }

    void everyCaptionIsAnAccessibleName()
    {
        QStringList names;
        collectAccessibleNames(QAccessible::queryAccessibleInterface(panel), names);
        const QStringList captions = {
            "Position ball", "Roll ball", "Pause on bounce", "Pause on air", "Pause each frame", "Navigation",
            "Prevent immediate impact on same surface", "Ball", "Ball path past", "Ball path future",
            "Rolling vectors", "Linear displacement", "Impact vectors", "Bounce vectors", "Impact intersections",
            "Bounding boxes", "Bounding boxes (all)", "Camera future", "Camera path past", "Camera present",
            "Navigation guides", "Focal point", "Camera follows ball :", "Vertical orientation", "In present",
            "Lagging present", "U param:", "V param:", "Set ball initial position at focal point",
            "Set focal point at ball", "Set focal point at selected surface center", "Render",
            "Show control lines", "Show control triangles", "Show surface lines", "Show surface triangles",
            "Show intersection mesh", "Show channel initial and final directions", "Show attachment sites",
            "Show holes", "Show name", "Constant", "Height", "Tangent angle", "Curvature", "Surfaces :",
            "Attached surfaces :", "Create channel", "Create sweep", "Create circular", "Delete surface",
            "Edit selected", "Edit selected surface cross sections", "Edit holes", "Show only selected",
            "Show all", "Center view on selected", "Attachment sites", "Attach to site", "Break attachment",
            "Manage Surface Groups"};
        for (const QString& caption : captions) QVERIFY2(names.contains(caption), qPrintable(caption));
        // The sliders and spin boxes are named after their labels.
        QCOMPARE(names.count(QStringLiteral("U param:")), 3); // label, slider, spin box
    }

    void theKeyboardReachesEveryControlAndThePaneFollows()
    {
        ControlPanelPane pane(panel);
        pane.resize(330, 300);
        // The pane gives the panel back before it goes.
        const auto giveBack = qScopeGuard([&] { pane.takeWidget(); });
        panel->show();
        pane.show();
        QVERIFY(QTest::qWaitForWindowActive(&pane));
        control<QPushButton>("positionBallButton")->setFocus();
        QSet<QString> reached;
        for (int k = 0; k < 120; ++k) {
            QWidget* focus = QApplication::focusWidget();
            QVERIFY(focus);
            QVERIFY2(panel->isAncestorOf(focus), focus->metaObject()->className());
            reached.insert(focus->objectName());
            const QRect shown = pane.viewport()->rect();
            const QRect at(focus->mapTo(pane.viewport(), QPoint(0, 0)), focus->size());
            QVERIFY2(shown.intersects(at), qPrintable(focus->objectName()));
            QTest::keyClick(focus, Qt::Key_Tab);
        }
        for (const char* name : {"rollBallButton", "focalPointCheck", "focalUSlider", "focalVSpin", "surfaceTree",
                                 "attachedTree", "manageGroupsButton"})
            QVERIFY2(reached.contains(QString::fromLatin1(name)), name);
    }
};

MARLWICK_REGISTER_QTEST(ControlPanelFormTest)
#include "ControlPanelFormTest.moc"
