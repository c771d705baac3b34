// Reshaping a channel by hand in the real window: from a new document with a
// channel "ramp", the cross-section dialog scales the last two cross sections
// by +50 and saves; the shape editor drags their middle point down with the
// mouse and saves; the document is saved through File > Save As and read back
// with marlwick-cli. The sweep dialog is shown with a template drawn. Each
// dialog is captured with the whole screen (kept in MARLWICK_SHOTS when set).

#include "CMainFrame.h"
#include "OpenGLTemplateApp.h"
#include "QtTestRegistry.h"
#include "ViewOpenGLst.h"
#include "design/ChannelCreation.h"
#include "dialogs/DialogEditCrossSectionShape.h"
#include "dialogs/DialogEditSurfaceSections.h"
#include "dialogs/DialogSurfaceCreateSweep.h"
#include "dialogs/ShapeDrawingArea.h"
#include "dialogs/DialogTestSupport.h"
#include "document/OpenGLTemplateDoc.h"
#include "document/ThreadPauseGuard.h"
#include "gui/GuiTestSupport.h"
#include "gui/ScreenCapture.h"
#include "panel/ControlPanelForm.h"
#include "panel/ControlPanelPane.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonObject>
#include <QListWidget>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class SectionsEndToEndTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<OpenGLTemplateApp> app;
    QTemporaryDir folder;
    QString shots;
    int shotNumber = 0;
    Vec3 draggedPoint;

    CMainFrame& frame() { return *app->mainFrame(); }
    ViewOpenGLst& view() { return *app->view(); }
    COpenGLTemplateDoc& doc() { return app->document(); }
    ControlPanelForm& panel() { return *app->controlPanel(); }
    DialogEditSurfaceSections* sections() { return panel().findChild<DialogEditSurfaceSections*>(); }
    DialogEditCrossSectionShape* shapeEditor() { return sections()->shapeDialog(); }
    template <typename T = QAbstractButton>
    static T* control(QWidget* dialog, const char* name)
    {
        return dialogtest::control<T>(dialog, name);
    }
    static void click(QAbstractButton* button) { dialogtest::clickWithMouse(button); }
    void clickPanel(const char* name) { dialogtest::clickInPane(frame().panelPane(), control(&panel(), name)); }
    // The whole screen after a few more frames of the view; the dialog on it
    // must lie wholly on the screen.
    QImage screen(const char* name, const QWidget* dialog)
    {
        const auto frames = view().core().framesRendered();
        for (int k = 0; k < 1000 && view().core().framesRendered() < frames + 3; ++k) QTest::qWait(10);
        QApplication::processEvents();
        const QImage image = screencapture::CaptureWholeScreen();
        if (!image.isNull() && !shots.isEmpty())
            image.save(QDir(shots).filePath(QStringLiteral("sections-%1-%2.png").arg(++shotNumber).arg(name)));
        if (dialog) {
            const QRect onScreen(dialog->frameGeometry());
            if (!QRect(0, 0, 1280, 1024).contains(onScreen)) qWarning("%s reaches off the screen", name);
        }
        return image;
    }
    const SurfaceSection& ramp() { return *doc().selectedSurface; }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings(QStringLiteral("Marlwick"), QStringLiteral("Marlwick")).clear();
        shots = qEnvironmentVariable("MARLWICK_SHOTS");
        if (!shots.isEmpty()) QDir().mkpath(shots);
        app = std::make_unique<OpenGLTemplateApp>();
        QVERIFY(app->InitInstance({QStringLiteral("marlwick")}));
        QVERIFY(QTest::qWaitForWindowExposed(&frame()));
        QTRY_VERIFY_WITH_TIMEOUT(view().core().framesRendered() > 3, kStuckAfterMs);
        frame().FindAction(QStringLiteral("Control Panel"))->trigger();
        QTRY_COMPARE(frame().panelPane()->width(), CMainFrame::kPanelWidth);
    }

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
        screen("cross-sections", sections());
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
        screen("shape-editor", shapeEditor());
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
        screen("sweep", sweep);
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
