// A ride in the real window: a person opens the spiral, shows View > "Ride
// profile", chooses the launch with the mouse, rolls the ball and pushes it
// with the force circle while the loop steps with the wall clock. The dock
// charts the ride as it goes; File > "Save movie…" and "Stop movie" record the
// view to an MP4 (the recording mark in its corner, the status saying what
// was saved) that ffprobe reads back; File > "Save ride…" keeps the run while
// the ball still rolls and marlwick-cli replays it bit for bit; positioning
// the ball again clears the dock.

#include "QtTestRegistry.h"
#include "RideProfileDock.h"
#include "gui/GuiTestSupport.h"
#include "simulation/Simulation.h"

#include <QChart>
#include <QChartView>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineSeries>
#include <QProcess>
#include <QRegularExpression>
#include <QStatusBar>

class RideEndToEndTest : public WindowTest {
    Q_OBJECT

private:
    RideProfileDock& dock() { return *frame().rideProfileDock(); }
    int speedPoints()
    {
        auto* chart = dock().findChild<QChartView*>(QStringLiteral("rideMotionChart"));
        return static_cast<int>(qobject_cast<QLineSeries*>(chart->chart()->series().constFirst())->count());
    }
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
    // Strongly red pixels in the view's top right corner, a few frames from
    // now; -1 when no frames come.
    int redInTheCorner()
    {
        const QImage image = viewPicture(view().recordingMovie() ? "recording" : nullptr);
        if (image.isNull()) return -1;
        int red = 0;
        for (int y = 0; y < 60 && y < image.height(); ++y)
            for (int x = std::max(0, image.width() - 160); x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                red += c.red() > 180 && c.green() < 80 && c.blue() < 80;
            }
        return red;
    }
    // ffprobe's fields of the movie's video stream.
    static QMap<QString, QString> probe(const QString& path)
    {
        QProcess ffprobe;
        ffprobe.start(QStringLiteral(MARLWICK_FFPROBE),
                      {"-v", "error", "-count_frames", "-show_entries",
                       "stream=codec_name,pix_fmt,width,height,nb_read_frames:format=duration", "-of",
                       "default=noprint_wrappers=1", path});
        ffprobe.waitForFinished(kStuckAfterMs);
        QMap<QString, QString> fields;
        for (const QString& line : QString::fromUtf8(ffprobe.readAllStandardOutput()).split(QLatin1Char('\n')))
            if (const qsizetype eq = line.indexOf(QLatin1Char('=')); eq > 0) fields[line.left(eq)] = line.mid(eq + 1);
        return fields;
    }

private slots:
    void initTestCase() { start(exampleDocument(QStringLiteral("spiral.mwk"))); }

    void theViewMenuShowsAndHidesTheDock()
    {
        QAction* show = action("Ride profile");
        QVERIFY(show && show->isCheckable());
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

    void rollAndPushTheBallWithTheMouseWhileTheDockChartsIt()
    {
        frame().UpdateFileMenu();
        QVERIFY(!action("Save ride…")->isEnabled());
        action("Ride profile")->trigger();
        QTRY_VERIFY(dock().isVisible());
        // "Position ball", then the launch chosen and fixed with the mouse,
        // a little above the circle's centre (speed 6), and a click that rolls.
        clickPanel("positionBallButton");
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

        // The chart grows with the dock's refreshes.
        QTRY_VERIFY_WITH_TIMEOUT(dock().shownSamples() > 10, kStuckAfterMs);
        const std::size_t first = dock().shownSamples();
        QTRY_VERIFY_WITH_TIMEOUT(dock().shownSamples() > first + 10, kStuckAfterMs);
        QVERIFY(speedPoints() > 10);
        QVERIFY(dock().readout()->text().startsWith(QStringLiteral("speed ")));
        shot("ride-profile");
    }

    void recordTheRollingBallToAnMp4()
    {
        QVERIFY(action("Save movie…")->isEnabled());
        QVERIFY(!action("Stop movie")->isEnabled());
        QCOMPARE(redInTheCorner(), 0);
        const QString path = folder.filePath(QStringLiteral("ride.mp4"));
        auto chosen = whenModal<QFileDialog>([&](QFileDialog* dialog) { chooseFile(dialog, path); });
        action("Save movie…")->trigger();
        QVERIFY(*chosen);
        QVERIFY(view().recordingMovie());
        // The movie keeps the view's size at the start, cut to even sides.
        const int width = view().core().width() / 2 * 2, height = view().core().height() / 2 * 2;
        QVERIFY(!action("Save movie…")->isEnabled());
        QVERIFY(action("Stop movie")->isEnabled());
        QVERIFY2(redInTheCorner() > 20, "the recording mark shows");
        QVERIFY(moreFrames(10));
        action("Stop movie")->trigger();
        QVERIFY(!view().recordingMovie());
        QVERIFY(action("Save movie…")->isEnabled());
        QCOMPARE(redInTheCorner(), 0);

        const QString status = frame().statusBar()->currentMessage();
        const QRegularExpressionMatch said =
            QRegularExpression(QStringLiteral("^Movie saved: (.+), (\\d+) frames \\((\\d+) repeated, (\\d+) dropped\\)\\.$"))
                .match(status);
        QVERIFY2(said.hasMatch(), qPrintable(status));
        QCOMPARE(said.captured(1), path);
        const QMap<QString, QString> movie = probe(path);
        QCOMPARE(movie.value("codec_name"), QStringLiteral("h264"));
        QCOMPARE(movie.value("pix_fmt"), QStringLiteral("yuv420p"));
        QCOMPARE(movie.value("width").toInt(), width);
        QCOMPARE(movie.value("height").toInt(), height);
        const int frames = said.captured(2).toInt();
        QVERIFY2(frames >= 2, qPrintable(status));
        QCOMPARE(movie.value("nb_read_frames").toInt(), frames);
        QVERIFY(std::abs(movie.value("duration").toDouble() - frames / 30.0) < 0.05);
    }

    void theRideSavedWhileTheBallRollsReplaysExactly()
    {
        frame().UpdateFileMenu();
        QVERIFY(action("Save ride…")->isEnabled());
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

    void positioningTheBallAgainClearsTheDock()
    {
        clickPanel("positionBallButton");
        QTRY_COMPARE(dock().shownSamples(), std::size_t(0));
        QCOMPARE(speedPoints(), 0);
        QCOMPARE(dock().readout()->text(), QString::fromLatin1(kNoRideReadout));
    }

    void cleanupTestCase() { app.reset(); }
};

MARLWICK_REGISTER_QTEST(RideEndToEndTest)
#include "RideEndToEndTest.moc"
