// A designer's first track, in a real window: an edit shows at once while
// the camera follows the ball; from the new document, create a channel
// "ramp" with "Create channel", bend it down with "Edit selected" (tick the
// vertical turn's "Down", drag its slider to 30, Save, Close) and roll the
// ball down it; the other design dialogs show tidily, and a surface that is
// not being edited is drawn as before once an editor has bent its neighbour
// and closed. Then a channel is reshaped by hand: the cross-section dialog
// scales its last two cross sections by +50, the shape editor drags their
// middle point down with the mouse; the sweep dialog draws the chosen
// template. Saved through File > Save As, the document reads back as the
// window holds it. Each dialog must show over the running view.

#include "QtTestRegistry.h"
#include "design/ChannelCreation.h"
#include "dialogs/DialogEditCrossSectionShape.h"
#include "dialogs/DialogEditSurfaceSections.h"
#include "dialogs/DialogSurfaceCreateSweep.h"
#include "dialogs/ShapeDrawingArea.h"
#include "document/ThreadPauseGuard.h"
#include "gui/GuiTestSupport.h"
#include "simulation/SharedSettings.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QSlider>
#include <QSpinBox>

class DesignDialogsEndToEndTest : public WindowTest {
    Q_OBJECT

private:
    DialogEditSurfaceSections* sections() { return panel().findChild<DialogEditSurfaceSections*>(); }
    DialogEditCrossSectionShape* shapeEditor() { return sections()->shapeDialog(); }
    const SurfaceSection& reshaped() { return *doc().FindSurface("reshaped", "main"); }
    QDialog* dialog(const char* name) { return control<QDialog>(&panel(), name); }
    template <typename T = QAbstractButton>
    T* in(const char* dialogName, const char* name)
    {
        return control<T>(dialog(dialogName), name);
    }
    void click(QAbstractButton* button) { dialogtest::clickWithMouse(button); }
    void type(QLineEdit* edit, const QString& text) { dialogtest::retype(edit, text); }
    // Drags a slider's thumb to the position of `value`, as a person does,
    // then steps the last degree with the arrow keys if the pixels fell short.
    void dragSlider(QSlider* slider, int value)
    {
        const QPoint grip = dialogtest::sliderThumb(slider);
        const QPoint to = dialogtest::sliderThumbAt(slider, value);
        QTest::mousePress(slider, Qt::LeftButton, {}, grip);
        for (int k = 1; k <= 10; ++k) QTest::mouseMove(slider, grip + (to - grip) * k / 10);
        QTest::mouseRelease(slider, Qt::LeftButton, {}, to);
        QVERIFY2(std::abs(slider->value() - value) <= 2, qPrintable(QString::number(slider->value())));
        while (slider->value() < value) QTest::keyClick(slider, Qt::Key_Right);
        while (slider->value() > value) QTest::keyClick(slider, Qt::Key_Left);
    }
    // What the screen shows of the view once its frames have settled.
    QImage settledViewPicture()
    {
        QImage shown;
        for (int k = 0; k < 50; ++k) {
            QImage now = viewPicture();
            if (now == shown) break;
            shown = now;
        }
        return shown;
    }
    // What the screen shows of the view, the window over it blacked out.
    QImage viewPictureBeside(const QWidget* over)
    {
        QImage image = viewPicture();
        const QRect covered(view().mapFromGlobal(over->frameGeometry().topLeft()), over->frameGeometry().size());
        QPainter(&image).fillRect(covered, Qt::black);
        return image;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(folder.isValid());
        QDir::setCurrent(folder.path());
        start({}, true);
    }

    void anEditShowsAtOnceWhileTheCameraFollowsTheBall()
    {
        doc().selectedSurface = doc().surfaces.front().get();
        clickPanel("editSelectedButton");
        QDialog* editor = dialog("editADialog");
        QTRY_VERIFY(editor->isVisible());
        QVERIFY(view().PositionBallCommand().isEmpty());
        QVERIFY(ReadSetting(doc().cameraFollowsBall));
        in("editADialog", "horizontalTurnPerformCheck")->click();
        const QImage before = viewPictureBeside(editor);
        in<QSlider>("editADialog", "horizontalTurnSlider")->setValue(60);
        const QImage after = viewPictureBeside(editor);
        QVERIFY(!before.isNull() && before.size() == after.size());
        QVERIFY2(changedShare(before, after) > 1.0 / 500, qPrintable(QString::number(changedShare(before, after))));
        in("editADialog", "closeButton")->click();
        QTRY_VERIFY(!editor->isVisible());
    }

    void createTheRamp()
    {
        clickPanel("createChannelButton");
        QDialog* create = dialog("createChannelDialog");
        checkShownOverTheView(create, "create-channel");
        type(in<QLineEdit>("createChannelDialog", "nameEdit"), QStringLiteral("ramp"));
        type(in<QLineEdit>("createChannelDialog", "intermediateEdit"), QStringLiteral("6"));
        QTest::keyClick(in<QLineEdit>("createChannelDialog", "intermediateEdit"), Qt::Key_Return);
        QTRY_VERIFY(!create->isVisible());
        SurfaceSection* ramp = doc().selectedSurface;
        QVERIFY(ramp);
        QCOMPARE(QString::fromLatin1(ramp->name), QStringLiteral("ramp"));
        QCOMPARE(ramp->sectionCount, 10);
        QCOMPARE(doc().surfaces.front()->render.load(), 0); // the ramp is shown alone
    }

    void bendItDownWithTheTypeADialog()
    {
        SurfaceSection* ramp = doc().selectedSurface;
        const double endHeight = ramp->sections[ramp->sectionCount - 1].position.y;
        clickPanel("editSelectedButton");
        QDialog* edit = dialog("editADialog");
        QTRY_VERIFY(edit->isVisible());
        click(in<QCheckBox>("editADialog", "verticalTurnPerformCheck"));
        click(in<QCheckBox>("editADialog", "verticalTurnSenseCheck"));
        dragSlider(in<QSlider>("editADialog", "verticalTurnSlider"), 30);
        QCOMPARE(ramp->verticalTurn.angle, 30.0 / 360.0 * 2.0 * 3.14159265359);
        QVERIFY(ramp->sections[ramp->sectionCount - 1].position.y < endHeight - 1.0); // the view follows
        checkShownOverTheView(edit, "edit-type-a");
        click(in<QAbstractButton>("editADialog", "saveButton"));
        click(in<QAbstractButton>("editADialog", "closeButton"));
        QTRY_VERIFY(!edit->isVisible());
        QVERIFY(ramp->verticalTurn.perform && ramp->verticalTurn.down);
        QVERIFY(!ramp->editingSections);
    }

    void rollTheBallDownTheRamp()
    {
        clickPanel("ballStartAtFocalPointButton"); // the focal point sits on the new ramp
        QCOMPARE(QString::fromLatin1(doc().ballStartSurface->name), QStringLiteral("ramp"));
        positionAndFixLaunch(gentleAim());
        const Vec3 start = ballCentre();
        clickPanel("rollBallButton");
        QTRY_VERIFY_WITH_TIMEOUT(length(ballCentre() - start) > 2.0, kStuckAfterMs);
        QVERIFY(ballCentre().y < start.y); // down the ramp
        clickPanel("showAllButton"); // stops the ball
    }

    void theOtherDialogsShowTidily()
    {
        clickPanel("createCircularButton");
        checkShownOverTheView(dialog("createCircularDialog"), "create-circular");
        QTest::keyClick(dialog("createCircularDialog"), Qt::Key_Escape);
        QTRY_VERIFY(!dialog("createCircularDialog")->isVisible());

        struct Typed {
            const char* radio;
            const char* editor;
            const char* name;
        };
        const Typed typed[] = {{"typeBRadio", "editBDialog", "typed-b"}, {"typeCRadio", "editCDialog", "typed-c"}};
        for (const Typed& t : typed) {
            clickPanel("createChannelButton");
            type(in<QLineEdit>("createChannelDialog", "nameEdit"), QString::fromLatin1(t.name));
            click(in<QAbstractButton>("createChannelDialog", t.radio));
            click(in<QAbstractButton>("createChannelDialog", "okButton"));
            QTRY_VERIFY(!dialog("createChannelDialog")->isVisible());
            clickPanel("editSelectedButton");
            checkShownOverTheView(dialog(t.editor), t.editor);
            click(in<QAbstractButton>(t.editor, "closeButton"));
            QTRY_VERIFY(!dialog(t.editor)->isVisible());
        }
    }

    void aNeighbourIsDrawnAsBeforeOnceAnEditorCloses()
    {
        clickPanel("createChannelButton");
        type(in<QLineEdit>("createChannelDialog", "nameEdit"), QStringLiteral("turn1"));
        click(in("createChannelDialog", "okButton"));
        QTRY_VERIFY(!dialog("createChannelDialog")->isVisible());
        clickPanel("showAllButton"); // the others too, hidden by the creation
        clickPanel("renderCheck");   // turn1 hidden: its neighbours alone
        const QImage alone = settledViewPicture();
        clickPanel("renderCheck");

        clickPanel("editSelectedButton");
        QTRY_VERIFY(dialog("editADialog")->isVisible());
        click(in("editADialog", "horizontalTurnPerformCheck"));
        in<QSlider>("editADialog", "horizontalTurnSlider")->setValue(90);
        click(in("editADialog", "saveButton"));
        click(in("editADialog", "closeButton"));
        QTRY_VERIFY(!dialog("editADialog")->isVisible());
        QVERIFY(settledViewPicture() != alone); // the bent turn1 beside them
        clickPanel("renderCheck");
        QCOMPARE(settledViewPicture(), alone);
    }

    void aChannelToReshape()
    {
        design::ChannelFields fields;
        fields.name = "reshaped";
        fields.typeIndex = 0;
        design::DesignResult created;
        {
            const ThreadPauseGuard held(doc());
            created = design::CreateChannelFromFields(doc(), fields);
        }
        QVERIFY(created.ok());
        QCOMPARE(doc().selectedSurface, &reshaped());
        QCOMPARE(reshaped().sectionCount, 6);
    }

    void scaleTheLastTwoCrossSections()
    {
        clickPanel("editCrossSectionsButton");
        QVERIFY(sections() && sections()->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(sections()));
        auto* list = control<QListWidget>(sections(), "sectionList");
        QCOMPARE(list->count(), 6);
        dialogtest::clickLines(list, {4, 5});
        auto* spin = control<QSpinBox>(sections(), "scaleSpin");
        spin->setFocus();
        spin->selectAll();
        QTest::keyClicks(spin, QStringLiteral("50"));
        QCOMPARE(reshaped().sections[5].scale, 1.5);
        checkShownOverTheView(sections(), "cross-sections");
        click(control(sections(), "saveButton"));
        QCOMPARE(reshaped().spareSections[4].scale, 1.5);
        QCOMPARE(reshaped().sections[3].scale, 1.0);
    }

    void dragTheMiddlePointDown()
    {
        click(control(sections(), "editShapeButton"));
        QVERIFY(shapeEditor()->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(shapeEditor()));
        click(control(shapeEditor(), "showGridCheck"));
        // The scale just saved stays.
        click(control(shapeEditor(), "retainScalingCheck"));
        auto* area = control<ShapeDrawingArea>(shapeEditor(), "shapeDrawingArea");
        const Vec3 before = shapeEditor()->editor().currentShape().points[2];
        const auto [x, y] = area->view().ToScreen(before);
        const QPoint from = QPointF(x, y).toPoint();
        const QPoint to = from + QPoint(0, 30);
        QTest::mousePress(area, Qt::LeftButton, {}, from);
        for (int step = 1; step <= 3; ++step) QTest::mouseMove(area, from + QPoint(0, 10 * step));
        checkShownOverTheView(shapeEditor(), "shape-editor");
        QTest::mouseRelease(area, Qt::LeftButton, {}, to);
        const Vec3 draggedPoint = shapeEditor()->editor().currentShape().points[2];
        QCOMPARE(draggedPoint.y, before.y - 30 * area->view().scale);
        QCOMPARE(reshaped().sections[5].points[2], draggedPoint);
        QCOMPARE(reshaped().sections[5].scale, 1.5);
        QCOMPARE(reshaped().sections[4].scale, 1.5);
        click(control(shapeEditor(), "saveShapeButton"));
        click(control(shapeEditor(), "closeShapeButton"));
        click(control(sections(), "closeButton"));
        QVERIFY(!sections()->isVisible());
        QCOMPARE(reshaped().sections[4].points[2], draggedPoint);
        QCOMPARE(reshaped().showControlLines, 0);
    }

    void theSweepDialogDrawsTheChosenTemplate()
    {
        clickPanel("createSweepButton");
        auto* sweep = panel().findChild<DialogSurfaceCreateSweep*>();
        QVERIFY(sweep && sweep->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(sweep));
        auto* combo = control<QComboBox>(sweep, "templateCombo");
        QVERIFY(combo->count() > 0);
        combo->setCurrentIndex(combo->count() - 1);
        checkShownOverTheView(sweep, "sweep");
        click(control(sweep, "cancelButton"));
        QVERIFY(!sweep->isVisible());
    }

    // The file holds every surface as the window does (the values themselves
    // were checked as they were made).
    void saveAsWritesWhatTheWindowHolds()
    {
        clickPanel("showAllButton");
        const QString path = folder.filePath(QStringLiteral("design.mwk"));
        auto answered = whenModal<QFileDialog>([path](QFileDialog* dialog) { chooseFile(dialog, path); });
        action("Save &As...")->trigger();
        QVERIFY(*answered);
        checkReadsBackAs(path, doc());
    }

    void cleanupTestCase()
    {
        doc().SetModifiedFlag(false);
        app.reset();
    }
};

MARLWICK_REGISTER_QTEST(DesignDialogsEndToEndTest)
#include "DesignDialogsEndToEndTest.moc"
