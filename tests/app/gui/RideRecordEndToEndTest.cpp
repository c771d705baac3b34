// File > "Save ride…": a person opens the spiral, chooses the launch with the
// mouse, rolls the ball and pushes it with the force circle while the loop
// steps with the wall clock, saves the ride while the ball still rolls, and
// marlwick-cli replays it bit for bit.

#include "CMainFrame.h"
#include "OpenGLTemplateApp.h"
#include "QtTestRegistry.h"
#include "ViewOpenGLst.h"
#include "document/OpenGLTemplateDoc.h"
#include "gui/GuiTestSupport.h"
#include "panel/ControlPanelForm.h"

#include <QAbstractButton>
#include <QAction>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class RideRecordEndToEndTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<OpenGLTemplateApp> app;
    QTemporaryDir folder;

    CMainFrame& frame() { return *app->mainFrame(); }
    ViewOpenGLst& view() { return *app->view(); }
    COpenGLTemplateDoc& doc() { return app->document(); }
    QAction* saveRide() { return frame().FindAction(QStringLiteral("Save ride\u2026")); }
    QPoint circleCentre()
    {
        const SimulationState& sim = doc().simulation;
        return {sim.windowCircle.centreX.load(), sim.viewHeight.load() - sim.windowCircle.centreY.load()};
    }
    // Waits until the ball has taken `count` more steps.
    void rollFor(std::uint64_t count)
    {
        const std::uint64_t until = doc().simulation.rideProfile.Recorded() + count;
        QTRY_VERIFY_WITH_TIMEOUT(doc().simulation.rideProfile.Recorded() >= until, kStuckAfterMs);
    }

private slots:
    void initTestCase()
    {
        app = startProgram(exampleDocument(QStringLiteral("spiral.mwk")));
        QVERIFY(app);
        if (QTest::currentTestFailed()) return;
        QTRY_VERIFY_WITH_TIMEOUT(view().core().framesRendered() > 3, kStuckAfterMs);
    }

    void cleanupTestCase() { app.reset(); }

    void aRideRecordedInTheWindowReplaysExactly()
    {
        QVERIFY(saveRide());
        frame().UpdateFileMenu();
        QVERIFY(!saveRide()->isEnabled());

        // "Position ball", then the launch chosen and fixed with the mouse,
        // a little above the circle's centre (speed 6), and a click that rolls.
        frame().controlPanel()->findChild<QAbstractButton*>(QStringLiteral("positionBallButton"))->click();
        QTRY_VERIFY_WITH_TIMEOUT(doc().simulation.windowCircle.laidOut.load(), kStuckAfterMs);
        const QPoint launch = circleCentre() - QPoint(0, doc().simulation.viewHeight.load() * 3 / 100);
        QTest::mouseMove(&view(), launch);
        QTRY_VERIFY(doc().launchSpeed > 5.0);
        QTest::mouseClick(&view(), Qt::LeftButton, {}, launch);
        QVERIFY(doc().simulation.velocitySet.load());
        QTest::mouseClick(&view(), Qt::LeftButton, {}, launch);
        QVERIFY(!doc().simulation.stopped.load());

        // A push along the travel, held for a while.
        rollFor(40);
        const QPoint push = circleCentre() - QPoint(20, 60);
        QTest::mousePress(&view(), Qt::LeftButton, {}, push);
        QVERIFY(doc().simulation.forceInputActive.load());
        rollFor(40);
        QTest::mouseRelease(&view(), Qt::LeftButton, {}, push);
        rollFor(40);

        // Saved while the ball still rolls: the run to now.
        frame().UpdateFileMenu();
        QVERIFY(saveRide()->isEnabled());
        const QString ride = folder.filePath(QStringLiteral("spiral.mwkride"));
        QVERIFY(frame().SaveRideTo(ride));
        QFile file(ride);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY(text.startsWith("{\"ride\":\"marlwick\",\"version\":1,\"document\":\"spiral.mwk\""));
        QVERIFY(text.contains("\"force\":["));

        QProcess tool;
        tool.start(QStringLiteral(MARLWICK_CLI),
                   {QStringLiteral("simulate"), exampleDocument(QStringLiteral("spiral.mwk")), QStringLiteral("--replay"), ride});
        QVERIFY(tool.waitForFinished(kStuckAfterMs));
        QVERIFY2(tool.exitCode() == 0, tool.readAllStandardError().constData());
        const QList<QByteArray> lines = tool.readAllStandardOutput().trimmed().split('\n');
        const QJsonObject replay =
            QJsonDocument::fromJson(lines.constLast()).object()[QStringLiteral("summary")][QStringLiteral("replay")].toObject();
        QVERIFY(replay[QStringLiteral("verified")].toBool());
        QVERIFY(replay[QStringLiteral("steps")].toInt() >= 120);
        QCOMPARE(replay[QStringLiteral("steps")].toInt(), lines.size() - 1);
    }
};

MARLWICK_REGISTER_QTEST(RideRecordEndToEndTest)
#include "RideRecordEndToEndTest.moc"
