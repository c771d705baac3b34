// Reshaping a channel by hand in the real window: from a new document with a
// channel "ramp", the cross-section dialog scales the last two cross sections
// by +50 and saves; the shape editor drags their middle point down with the
// mouse and saves; the document is saved through File > Save As and read back
// with marlwick-cli. The sweep dialog is shown with a template drawn. Each
// dialog must show over the running view.

#include "QtTestRegistry.h"
#include "design/ChannelCreation.h"
#include "dialogs/DialogEditCrossSectionShape.h"
#include "dialogs/DialogEditSurfaceSections.h"
#include "dialogs/DialogSurfaceCreateSweep.h"
#include "dialogs/ShapeDrawingArea.h"
#include "document/ThreadPauseGuard.h"
#include "gui/GuiTestSupport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonObject>
#include <QListWidget>
#include <QSpinBox>

class SectionsEndToEndTest : public WindowTest {
    Q_OBJECT

private:
    Vec3 draggedPoint;

    DialogEditSurfaceSections* sections() { return panel().findChild<DialogEditSurfaceSections*>(); }
    DialogEditCrossSectionShape* shapeEditor() { return sections()->shapeDialog(); }
    template <typename T = QAbstractButton>
    static T* control(QWidget* dialog, const char* name)
    {
        return dialogtest::control<T>(dialog, name);
    }
    static void click(QAbstractButton* button) { dialogtest::clickWithMouse(button); }
    const SurfaceSection& ramp() { return *doc().selectedSurface; }

private slots:
    void initTestCase() { start({}, true); }

    void aChannelRamp()
    {
        design::ChannelFields fields;
        fields.name = "ramp";
        fields.typeIndex = 0;
        design::DesignResult created;
        {
            const ThreadPauseGuard held(doc());
            created = design::CreateChannelFromFields(doc(), fields);
        }
        QVERIFY(created.ok());
        QCOMPARE(textOf(ramp().name), std::string("ramp"));
        QCOMPARE(ramp().sectionCount, 6);
    }

    void scaleTheLastTwoCrossSections()
    {
        clickPanel("editCrossSectionsButton");
        QVERIFY(sections() && sections()->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(sections()));
        auto* list = control<QListWidget>(sections(), "sectionList");
        QCOMPARE(list->count(), 6);
        for (int line : {4, 5})
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(line)).center());
        auto* spin = control<QSpinBox>(sections(), "scaleSpin");
        spin->setFocus();
        spin->selectAll();
        QTest::keyClicks(spin, QStringLiteral("50"));
        QCOMPARE(ramp().sections[5].scale, 1.5);
        checkShownOverTheView(sections(), "cross-sections");
        click(control(sections(), "saveButton"));
        QCOMPARE(ramp().spareSections[4].scale, 1.5);
        QCOMPARE(ramp().sections[3].scale, 1.0);
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
        draggedPoint = shapeEditor()->editor().currentShape().points[2];
        QCOMPARE(draggedPoint.y, before.y - 30 * area->view().scale);
        QCOMPARE(ramp().sections[5].points[2], draggedPoint);
        QCOMPARE(ramp().sections[5].scale, 1.5);
        click(control(shapeEditor(), "saveShapeButton"));
        click(control(shapeEditor(), "closeShapeButton"));
        click(control(sections(), "closeButton"));
        QVERIFY(!sections()->isVisible());
        QCOMPARE(ramp().sections[4].points[2], draggedPoint);
        QCOMPARE(ramp().showControlLines, 0);
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

    void saveAndReadItBackWithTheCli()
    {
        const QString path = folder.filePath(QStringLiteral("ramp.mwk"));
        auto answered = whenModal<QFileDialog>([path](QFileDialog* dialog) { chooseFile(dialog, path); });
        frame().FindAction(QStringLiteral("Save &As..."))->trigger();
        QVERIFY(*answered);
        QVERIFY(QFileInfo::exists(path));
        QJsonObject info;
        dialogtest::readInfo(QStringLiteral(MARLWICK_CLI), path, info);
        if (QTest::currentTestFailed()) return;
        QJsonObject saved;
        for (const QJsonValue surface : info[QStringLiteral("surfaces")].toArray())
            if (surface[QStringLiteral("name")].toString() == QStringLiteral("ramp")) saved = surface.toObject();
        const QJsonArray records = saved[QStringLiteral("sections")].toArray();
        QCOMPARE(records.size(), 6);
        for (int i = 0; i < 6; ++i) {
            const QJsonObject c = records[i].toObject();
            const bool reshaped = i >= 4;
            QCOMPARE(c[QStringLiteral("scale")].toDouble(), reshaped ? 1.5 : 1.0);
            const double middleY = c[QStringLiteral("points")].toArray()[2].toArray()[1].toDouble();
            if (reshaped) QCOMPARE(middleY, draggedPoint.y);
            else QCOMPARE(middleY, ramp().sections[0].points[2].y);
        }
    }

    void cleanupTestCase() { app.reset(); }
};

MARLWICK_REGISTER_QTEST(SectionsEndToEndTest)
#include "SectionsEndToEndTest.moc"
