// View > "Ride profile": the dock beside the view that charts the ride while
// the ball rolls, and is cleared when the ball is positioned again. With
// MARLWICK_SHOTS set, a screenshot of the whole screen with the dock
// following a run is kept in that folder.

#include "CMainFrame.h"
#include "OpenGLTemplateApp.h"
#include "QtTestRegistry.h"
#include "RideProfileDock.h"
#include "document/OpenGLTemplateDoc.h"
#include "gui/GuiTestSupport.h"
#include "panel/ControlPanelForm.h"
#include "simulation/Simulation.h"

#include <QAbstractButton>
#include <QAction>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QLabel>
#include <QLineSeries>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

class RideProfileDockTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<OpenGLTemplateApp> app;

    CMainFrame& frame() { return *app->mainFrame(); }
    RideProfileDock& dock() { return *frame().rideProfileDock(); }
    int speedPoints()
    {
        auto* view = dock().findChild<QChartView*>(QStringLiteral("rideMotionChart"));
        return static_cast<int>(qobject_cast<QLineSeries*>(view->chart()->series().constFirst())->count());
    }

    // The panel's buttons work whether the panel is shown or not.
    void clickPanel(const char* name)
    {
        auto* button = frame().controlPanel()->findChild<QAbstractButton*>(QString::fromLatin1(name));
        QVERIFY2(button, name);
        button->click();
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        QSettings(QStringLiteral("Marlwick"), QStringLiteral("Marlwick")).clear();
        app = std::make_unique<OpenGLTemplateApp>();
        QVERIFY(app->InitInstance({QStringLiteral("marlwick"), exampleDocument(QStringLiteral("spiral.mwk"))}));
        QVERIFY(QTest::qWaitForWindowExposed(&frame()));
    }

    void cleanup() { app.reset(); }

    void theViewMenuShowsAndHidesTheDock()
    {
        QAction* show = frame().FindAction(QStringLiteral("Ride profile"));
        QVERIFY(show);
        QVERIFY(show->isCheckable());
        QVERIFY(!dock().isVisible());
        show->trigger();
        QTRY_VERIFY(dock().isVisible());
        QVERIFY(show->isChecked());
        QCOMPARE(dock().windowTitle(), QStringLiteral("Ride profile"));
        QCOMPARE(dock().readout()->text(), QString::fromLatin1(kNoRideReadout));
        for (const char* name : {"rideReadout", "rideMotionChart", "rideForceChart"}) {
            auto* w = dock().findChild<QWidget*>(QString::fromLatin1(name));
            QVERIFY2(w && !w->accessibleName().isEmpty(), name);
        }
        // Beside the view, not over it.
        QVERIFY(!dock().geometry().intersects(frame().centralWidget()->geometry()));
        show->trigger();
        QTRY_VERIFY(!dock().isVisible());
    }

    void itFollowsTheRollingBallAndPositionBallClearsIt()
    {
        frame().FindAction(QStringLiteral("Ride profile"))->trigger();
        QTRY_VERIFY(dock().isVisible());
        COpenGLTemplateDoc& doc = app->document();
        clickPanel("positionBallButton");
        doc.launchSpeed = 2.0;
        FixLaunch(doc); // what the click that ends choosing the launch does
        clickPanel("rollBallButton");
        QVERIFY(!doc.simulation.stopped.load());

        // A few refreshes while the ball rolls: the chart grows with them.
        QTRY_VERIFY_WITH_TIMEOUT(dock().shownSamples() > 10, kStuckAfterMs);
        const std::size_t first = dock().shownSamples();
        QTRY_VERIFY_WITH_TIMEOUT(dock().shownSamples() > first + 10, kStuckAfterMs);
        QVERIFY(speedPoints() > 10);
        QVERIFY(dock().readout()->text().startsWith(QStringLiteral("speed ")));
        const QString shots = qEnvironmentVariable("MARLWICK_SHOTS");
        if (!shots.isEmpty()) {
            QDir().mkpath(shots);
            QTest::qWait(3000);
            QVERIFY(frame().screen()->grabWindow(0).save(QDir(shots).filePath(QStringLiteral("ride-profile.png"))));
        }

        clickPanel("positionBallButton");
        QTRY_COMPARE(dock().shownSamples(), std::size_t(0));
        QCOMPARE(speedPoints(), 0);
        QCOMPARE(dock().readout()->text(), QString::fromLatin1(kNoRideReadout));
    }
};

MARLWICK_REGISTER_QTEST(RideProfileDockTest)
#include "RideProfileDockTest.moc"
