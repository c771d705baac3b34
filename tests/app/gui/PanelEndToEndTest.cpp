// A new user's first run with the control panel, in a real window: start
// the program with the spiral example, show the panel from the View menu,
// pick a surface in the tree, colour it by curvature, position the ball,
// fix its launch in the view, roll it, and watch it with and without the
// follow camera; then a change made on the panel makes "New" ask first. The
// whole screen is checked and, with MARLWICK_SHOTS set, kept in that folder.

#include "CMainFrame.h"
#include "OpenGLTemplateApp.h"
#include "QtTestRegistry.h"
#include "ViewOpenGLst.h"
#include "document/OpenGLTemplateDoc.h"
#include "gui/GuiTestSupport.h"
#include "panel/ControlPanelForm.h"
#include "panel/ControlPanelPane.h"
#include "simulation/SharedSettings.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

class PanelEndToEndTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<OpenGLTemplateApp> app;
    QString shots;
    int shotNumber = 0;

    CMainFrame& frame() { return *app->mainFrame(); }
    ViewOpenGLst& view() { return *app->view(); }
    COpenGLTemplateDoc& doc() { return app->document(); }
    ControlPanelForm& panel() { return *app->controlPanel(); }
    template <typename T = QAbstractButton>
    T* control(const char* name)
    {
        T* widget = panel().findChild<T*>(QString::fromLatin1(name));
        if (!widget) qFatal("no control %s", name);
        return widget;
    }
    // A click as a person makes it: the pane scrolls the control into view first.
    void click(const char* name)
    {
        QAbstractButton* button = control(name);
        frame().panelPane()->ensureWidgetVisible(button);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
    }
    // The whole screen, after a few more frames of the view.
    QImage screen(const char* name)
    {
        const auto frames = view().core().framesRendered();
        for (int k = 0; k < 1000 && view().core().framesRendered() < frames + 3; ++k) QTest::qWait(10);
        QApplication::processEvents();
        QImage image = QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
        if (!shots.isEmpty()) image.save(QDir(shots).filePath(QStringLiteral("panel-%1-%2.png").arg(++shotNumber).arg(name)));
        return image;
    }
    // The part of a screenshot a widget covers.
    static QImage part(const QImage& shot, const QWidget* widget)
    {
        return shot.copy(QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size()));
    }
    static int litPixels(const QImage& image)
    {
        int lit = 0;
        for (int y = 0; y < image.height(); y += 2)
            for (int x = 0; x < image.width(); x += 2) lit += QColor(image.pixel(x, y)).value() > 20 ? 1 : 0;
        return lit;
    }
    // Distinct grey levels in a picture: text and frames give many.
    static int greyLevels(const QImage& image)
    {
        QSet<int> levels;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) levels.insert(qGray(image.pixel(x, y)) / 16);
        return static_cast<int>(levels.size());
    }
    Vec3 ballPosition()
    {
        LockGuard guard(doc().simulationLock);
        return doc().simulation.published.ballCentre;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings(QStringLiteral("Marlwick"), QStringLiteral("Marlwick")).clear();
        shots = qEnvironmentVariable("MARLWICK_SHOTS");
        if (!shots.isEmpty()) QDir().mkpath(shots);
        app = std::make_unique<OpenGLTemplateApp>();
        QVERIFY(app->InitInstance({QStringLiteral("marlwick"), exampleDocument(QStringLiteral("spiral.mwk"))}));
        QVERIFY(QTest::qWaitForWindowExposed(&frame()));
        QTRY_VERIFY_WITH_TIMEOUT(view().core().framesRendered() > 3, kStuckAfterMs);
        QCOMPARE(doc().surfaces.size(), std::size_t(4));
    }

    void showThePanelFromTheViewMenu()
    {
        QVERIFY(!frame().panelPane()->isVisible());
        frame().FindAction(QStringLiteral("Control Panel"))->trigger();
        QTRY_COMPARE(frame().panelPane()->width(), CMainFrame::kPanelWidth);
        // Only the height scrolls: the panel fits the pane's width.
        QVERIFY2(panel().minimumSizeHint().width() <= frame().panelPane()->viewport()->width(),
                 qPrintable(QString::number(panel().minimumSizeHint().width())));
        const QImage shot = screen("panel-shown");
        // The panel is drawn (text and frames), not a black or empty rectangle.
        const QImage pane = part(shot, frame().panelPane());
        QVERIFY2(greyLevels(pane) >= 4, qPrintable(QString::number(greyLevels(pane))));
        QVERIFY(litPixels(pane) > pane.width() * pane.height() / 8);
    }

    void pickASurfaceAndColourItByCurvature()
    {
        auto* tree = panel().findChild<QTreeWidget*>(QStringLiteral("surfaceTree"));
        frame().panelPane()->ensureWidgetVisible(tree);
        QTreeWidgetItem* first = tree->topLevelItem(1)->child(0);
        QVERIFY(first);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(first).center());
        QVERIFY(doc().selectedSurface);
        QCOMPARE(QString::fromStdString(textOf(doc().selectedSurface->name)), first->text(0));
        click("surfaceTrianglesCheck");
        click("curvatureRadio");
        QCOMPARE(doc().selectedSurface->coloring, Coloring::Curvature);
        QCOMPARE(doc().selectedSurface->showSurfaceTriangles, 1);
        screen("curvature");
    }

    void positionFixTheLaunchAndRoll()
    {
        click("positionBallButton");
        QVERIFY(doc().simulation.settingVelocity.load());
        // The panel shows what Position ball switched on.
        QVERIFY(control<QCheckBox>("followCheck")->isChecked());
        QVERIFY(control<QCheckBox>("navigationCheck")->isChecked());
        const Vec3 start = ballPosition();
        const QPoint aim(view().width() / 2, view().height() / 2 - view().height() / 30);
        QTest::mouseMove(&view(), aim);
        QTest::mouseClick(&view(), Qt::LeftButton, {}, aim); // fixes the launch
        QVERIFY(doc().simulation.velocitySet.load());
        click("rollBallButton");
        QVERIFY(!doc().simulation.stopped.load());
        QTRY_VERIFY_WITH_TIMEOUT(length(ballPosition() - start) > 2.0, kStuckAfterMs);
    }

    void watchWithAndWithoutTheFollowCamera()
    {
        click("followCheck"); // off: the orbit view
        QVERIFY(!ReadSetting(doc().cameraFollowsBall));
        const QImage orbit = screen("orbit");
        click("followCheck"); // on again
        QVERIFY(ReadSetting(doc().cameraFollowsBall));
        const Vec3 before = ballPosition();
        QTRY_VERIFY_WITH_TIMEOUT(length(ballPosition() - before) > 1.0, kStuckAfterMs);
        const QImage following = screen("following");
        const QRect viewRect(view().mapToGlobal(QPoint(0, 0)), view().size());
        QVERIFY(litPixels(following.copy(viewRect)) > 1000);
        // The follow camera keeps the ball in the middle of the view.
        const QImage middle = following.copy(viewRect.x() + viewRect.width() * 2 / 5,
                                             viewRect.y() + viewRect.height() * 2 / 5, viewRect.width() / 5,
                                             viewRect.height() / 5);
        QVERIFY(litPixels(middle) > 50);
        QVERIFY(following.copy(viewRect) != orbit.copy(viewRect));
        QVERIFY(!doc().simulation.stopped.load());
    }

    void aStoppingButtonShowsTheSwitchesOff()
    {
        click("showAllButton");
        QVERIFY(doc().simulation.stopped.load());
        QVERIFY(!control<QCheckBox>("followCheck")->isChecked());
        QVERIFY(!control<QCheckBox>("ballCheck")->isChecked());
        screen("stopped-show-all");
    }

    void aPanelChangeMakesNewAskFirst()
    {
        // Saved as a copy: nothing is left to lose.
        QTemporaryDir dir;
        QVERIFY(frame().SaveDocumentTo(dir.filePath(QStringLiteral("spiral.mwk"))));
        QVERIFY(!doc().IsModified());
        click("boundingBoxesCheck");
        QVERIFY(doc().IsModified());
        QVERIFY(frame().isWindowModified());
        QString asked;
        auto answered = whenModal<QMessageBox>([&](QMessageBox* box) {
            asked = box->text();
            box->button(QMessageBox::Cancel)->click();
        });
        frame().FindAction(QStringLiteral("&New\tCtrl+N"))->trigger();
        QVERIFY(*answered);
        QCOMPARE(asked, QStringLiteral("Save changes to spiral.mwk?"));
        // Cancel keeps the document and the switch as they were.
        QCOMPARE(doc().surfaces.size(), std::size_t(4));
        QVERIFY(ReadSetting(doc().showBoundingBoxes));
        QVERIFY(control<QCheckBox>("boundingBoxesCheck")->isChecked());
        QVERIFY(doc().IsModified());
    }

    void cleanupTestCase() { app.reset(); }
};

MARLWICK_REGISTER_QTEST(PanelEndToEndTest)
#include "PanelEndToEndTest.moc"
