// A person's session with the program, in a real window: open an example
// (the Open dialog offers the document filter), see it shaded and coloured,
// turn and zoom it; show View > "Ride profile", position the ball, choose its
// launch with the mouse, roll it and push it with the force circle while the
// loop steps with the wall clock, the follow camera keeping it in sight and
// the dock charting the ride; open a menu and the About box over the running
// view, save an image, record movie frames, record the view to an MP4 with
// File > "Save movie…" (ffprobe reads it back), keep the run with File >
// "Save ride…" while the ball still rolls (marlwick-cli replays it bit for
// bit), stop the ball and see the scene again, position it again (the dock is
// cleared), print to PDF, and quit without a hang. Each step is checked on
// the screen's pixels and the files written.

#include "QtTestRegistry.h"
#include "RideProfileDock.h"
#include "gui/GuiTestSupport.h"
#include "movie/MovieProbe.h"
#include "simulation/SharedSettings.h"
#include "simulation/Simulation.h"

#include <QAbstractButton>
#include <QChart>
#include <QChartView>
#include <QJsonDocument>
#include <QLabel>
#include <QLineSeries>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QProcess>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTreeWidget>

#include <set>
#include <utility>

namespace {

// How a shaded, coloured picture differs from lines on black: of 12 hue
// sectors, those with a fair share of the coloured pixels, and the distinct
// brightness levels of the coloured pixels (shading).
std::pair<int, int> huesAndBrightnessLevels(const QImage& image)
{
    int sectors[12] = {}, colourful = 0;
    std::set<int> levels;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2) {
            const QColor c = image.pixelColor(x, y);
            if (c.hsvSaturation() > 100 && c.value() > 40) {
                ++colourful;
                ++sectors[c.hsvHue() / 30];
                levels.insert(c.value() / 8);
            }
        }
    }
    int hues = 0;
    for (int n : sectors) hues += n > colourful / 100 ? 1 : 0;
    return {hues, static_cast<int>(levels.size())};
}

} // namespace

class EndToEndTest : public WindowTest {
    Q_OBJECT

private:
    double orbitBeforeFollowing = 0.0;

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

private slots:
    void initTestCase()
    {
        QVERIFY(folder.isValid());
        QDir::setCurrent(folder.path()); // images and movie frames land here
        start();
    }

    void openAnExampleAndSeeItShadedAndColoured()
    {
        const QString spiral = exampleDocument(QStringLiteral("spiral.mwk"));
        QStringList filters;
        auto answered = whenModal<QFileDialog>([&](QFileDialog* dialog) {
            filters = dialog->nameFilters();
            chooseFile(dialog, spiral);
        });
        action("&Open...\tCtrl+O")->trigger();
        QVERIFY(*answered);
        QCOMPARE(filters, QStringList{QStringLiteral("Quorvane Files (*.mwk)")});
        QCOMPARE(frame().documentPath(), spiral);
        QCOMPARE(doc().surfaces.size(), std::size_t(4));
        // Opening placed the ball for a launch, the follow camera 21 times the
        // orbit distance of 1 behind it.
        QVERIFY(doc().simulation.settingVelocity.load());
        QCOMPARE(doc().followDistance, 21.0);
        // Leave the launch and look at everything, then shade every surface.
        action("Control Panel")->trigger();
        clickPanel("showAllButton");
        QVERIFY(!doc().simulation.settingVelocity.load());
        const int lines = litPixels(viewPicture("lines"));
        QVERIFY2(lines > 1000, qPrintable(QString::number(lines)));
        auto* tree = panel().findChild<QTreeWidget*>(QStringLiteral("surfaceTree"));
        for (int g = 1; g < tree->topLevelItemCount(); ++g) {
            for (int k = 0; k < tree->topLevelItem(g)->childCount(); ++k) {
                tree->setCurrentItem(tree->topLevelItem(g)->child(k));
                clickPanel("surfaceTrianglesCheck");
                QCOMPARE(doc().selectedSurface->showSurfaceTriangles, 1);
            }
        }
        const QImage shaded = viewPicture("shaded");
        const int lit = litPixels(shaded);
        QVERIFY2(2 * lit > 3 * lines, qPrintable(QStringLiteral("%1 vs %2").arg(lit).arg(lines)));
        const auto [hues, brightnessLevels] = huesAndBrightnessLevels(shaded);
        QVERIFY2(hues >= 3, qPrintable(QString::number(hues)));
        QVERIFY2(brightnessLevels >= 8, qPrintable(QString::number(brightnessLevels)));
    }

    void turnAndZoomTheView()
    {
        const QImage before = viewPicture("before-turn");
        const QPoint c(view().width() / 2, view().height() / 2);
        QTest::mousePress(&view(), Qt::LeftButton, {}, c);
        for (int k = 1; k <= 10; ++k) QTest::mouseMove(&view(), c + QPoint(12 * k, 4 * k));
        QTest::mouseRelease(&view(), Qt::LeftButton, {}, c + QPoint(120, 40));
        const QImage turned = viewPicture("turned");
        QVERIFY2(changedShare(before, turned) > 0.02, "the drag did not turn the scene");

        const double d0 = view().core().OrbitDistance();
        QTest::mousePress(&view(), Qt::RightButton, {}, c);
        QTest::mouseMove(&view(), c - QPoint(0, 30));
        QTest::mouseRelease(&view(), Qt::RightButton, {}, c - QPoint(0, 30));
        QCOMPARE(view().core().OrbitDistance(), std::max(1.0, d0 - 10.0));
        QVERIFY(changedShare(turned, viewPicture("zoomed")) > 0.02);
    }

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

    void positionTheBallChooseItsLaunchRollAndPushIt()
    {
        frame().UpdateFileMenu();
        QVERIFY(!action("Save ride…")->isEnabled());
        action("Ride profile")->trigger();
        QTRY_VERIFY(dock().isVisible());
        orbitBeforeFollowing = view().core().OrbitDistance();
        clickPanel("positionBallButton");
        QVERIFY(doc().simulation.settingVelocity.load());
        QVERIFY(doc().cameraFollowsBall);
        QTRY_VERIFY_WITH_TIMEOUT(doc().simulation.windowCircle.laidOut.load(), kStuckAfterMs);
        const Vec3 start = ballCentre();
        // A little above the circle's centre: speed 6 straight down the channel.
        const QPoint launch = circleCentre() - QPoint(0, doc().simulation.viewHeight.load() * 3 / 100);
        QTest::mouseMove(&view(), launch + QPoint(40, 0));
        QTest::mouseMove(&view(), launch);
        QTRY_VERIFY(doc().launchSpeed > 5.0 && doc().launchSpeed < 20.0);
        QVERIFY(litPixels(viewPicture("launch")) > 1000);
        QTest::mouseClick(&view(), Qt::LeftButton, {}, launch); // fixes the launch
        QVERIFY(doc().simulation.velocitySet.load());
        QTest::mouseClick(&view(), Qt::LeftButton, {}, launch); // rolls
        QVERIFY(!doc().simulation.stopped.load());

        // A push along the travel, held for a while.
        rollFor(40);
        const QPoint push = circleCentre() - QPoint(20, 60);
        QTest::mousePress(&view(), Qt::LeftButton, {}, push);
        QVERIFY(doc().simulation.forceInputActive.load());
        rollFor(40);
        QTest::mouseRelease(&view(), Qt::LeftButton, {}, push);
        rollFor(40);
        QTRY_VERIFY_WITH_TIMEOUT(length(ballCentre() - start) > 2.0, kStuckAfterMs);

        // The follow camera keeps the ball in the middle of the picture.
        const QImage following = viewPicture("following");
        const QImage middle = following.copy(following.width() * 2 / 5, following.height() * 2 / 5,
                                             following.width() / 5, following.height() / 5);
        QVERIFY(litPixels(middle) > 50);
        QTRY_VERIFY(QStringLiteral(" Marlwick    Render FPS = 0.0 ,   Physics FPS = 0.0") != frame().windowTitle());
        QVERIFY(!frame().windowTitle().endsWith(QStringLiteral("Physics FPS = 0.0")));
        // The chart grows with the dock's refreshes.
        QTRY_VERIFY_WITH_TIMEOUT(dock().shownSamples() > 10, kStuckAfterMs);
        const std::size_t first = dock().shownSamples();
        QTRY_VERIFY_WITH_TIMEOUT(dock().shownSamples() > first + 10, kStuckAfterMs);
        QVERIFY(speedPoints() > 10);
        QVERIFY(dock().readout()->text().startsWith(QStringLiteral("speed ")));
        // Hidden again: the view keeps one size for the frames below.
        action("Ride profile")->trigger();
        QTRY_VERIFY(!dock().isVisible());
    }

    void menusAndDialogsShowOverTheRunningView()
    {
        QVERIFY(!doc().simulation.stopped.load());
        QMenuBar* bar = frame().menuBar();
        QAction* fileMenu = action("&File");
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(fileMenu).center());
        QTRY_VERIFY(QApplication::activePopupWidget() == fileMenu->menu());
        checkShownOverTheView(fileMenu->menu(), "file-menu");
        fileMenu->menu()->close();
        if (QTest::currentTestFailed()) return;

        // Looked at once: the capture runs the event loop, which may call
        // again, and later dialogs of the test must be left alone.
        auto caption = std::make_shared<QString>();
        auto buttons = std::make_shared<int>(0);
        auto answered = whenModal<QDialog>([this, caption, buttons](QDialog* dialog) {
            if (!caption->isEmpty()) return;
            *caption = dialog->windowTitle();
            *buttons = static_cast<int>(dialog->findChildren<QAbstractButton*>().size());
            checkShownOverTheView(dialog, "about");
            dialog->accept();
        });
        action("&About Marlwick...")->trigger();
        QVERIFY(*answered);
        QCOMPARE(*caption, QStringLiteral("About Marlwick"));
        QCOMPARE(*buttons, 1);
    }

    void saveAnImage()
    {
        const QString path = folder.filePath(QStringLiteral("picture.png"));
        QStringList filters;
        auto answered = whenModal<QFileDialog>([&](QFileDialog* dialog) {
            filters = dialog->nameFilters();
            chooseFile(dialog, path);
        });
        action("Save image")->trigger();
        QVERIFY(*answered);
        QCOMPARE(filters, (QStringList{"BMP Files (*.BMP)", "JPEG Files (*.JPG)", "PNG Files (*.PNG)"}));
        QImage saved(path);
        QVERIFY(!saved.isNull());
        QCOMPARE(saved.size(), QSize(view().core().width(), view().core().height()));
        QVERIFY(litPixels(saved) > 1000);
        QVERIFY(view().SaveImageTo(folder.filePath(QStringLiteral("picture.jpg"))));
        QCOMPARE(QImage(folder.filePath(QStringLiteral("picture.jpg"))).size(), saved.size());
    }

    void recordMovieFrames()
    {
        view().core().PauseAllAndWait();
        doc().movieFrameCount = 8;
        view().core().ResumeAll();
        QSignalSpy started(&view(), &ViewOpenGLst::movieAssemblerStarted);
        QDir movie(QStringLiteral("movie"));
        movie.removeRecursively();
        action("Save movie frames")->trigger();
        QVERIFY(movie.exists());
        QTRY_COMPARE_WITH_TIMEOUT(started.count(), 1, kStuckAfterMs);
        for (int k = 0; k < 8; ++k) QVERIFY(movie.exists(QStringLiteral("image%1.bmp").arg(k, 3, 10, QChar('0'))));
        QVERIFY(!movie.exists(QStringLiteral("image008.bmp")));
        // The assembler reports what it did in the movie folder.
        QTRY_VERIFY_WITH_TIMEOUT(movie.exists(QStringLiteral("bmp2avi.log")), kStuckAfterMs);
        if (!QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty())
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(movie.filePath(QStringLiteral("out.avi"))).size() > 1000, kStuckAfterMs);
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
        const QSize size(view().core().width() / 2 * 2, view().core().height() / 2 * 2);
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
        const movietest::MovieProbe movie = movietest::probe(path.toStdString());
        QCOMPARE(movie.codec, std::string("h264"));
        QCOMPARE(QSize(movie.width, movie.height), size);
        const int frames = said.captured(2).toInt();
        QVERIFY2(frames >= 2, qPrintable(status));
        QCOMPARE(movie.frames, long(frames));
        QVERIFY(std::abs(movie.duration - frames / 30.0) < 0.05);
    }

    void theRideSavedWhileTheBallRollsReplaysExactly()
    {
        frame().UpdateFileMenu();
        QVERIFY(action("Save ride…")->isEnabled());
        // The document as it is now (shaded) is the one the ride replays on.
        const QString document = folder.filePath(QStringLiteral("spiral.mwk"));
        QVERIFY(frame().SaveDocumentTo(document));
        const QString ride = folder.filePath(QStringLiteral("spiral.mwkride"));
        QVERIFY(frame().SaveRideTo(ride));
        QFile file(ride);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY(text.startsWith("{\"ride\":\"marlwick\",\"version\":1,\"document\":\"spiral.mwk\""));
        QVERIFY(text.contains("\"force\":["));

        QProcess tool;
        tool.start(QStringLiteral(MARLWICK_CLI),
                   {QStringLiteral("simulate"), document, QStringLiteral("--replay"), ride});
        QVERIFY(tool.waitForFinished(kStuckAfterMs));
        QVERIFY2(tool.exitCode() == 0, tool.readAllStandardError().constData());
        const QList<QByteArray> lines = tool.readAllStandardOutput().trimmed().split('\n');
        const QJsonObject replay =
            QJsonDocument::fromJson(lines.constLast()).object()[QStringLiteral("summary")][QStringLiteral("replay")].toObject();
        QVERIFY(replay[QStringLiteral("verified")].toBool());
        QVERIFY(replay[QStringLiteral("steps")].toInt() >= 120);
        QCOMPARE(replay[QStringLiteral("steps")].toInt(), lines.size() - 1);
    }

    void endingTheFollowShowsTheSceneAgain()
    {
        QVERIFY(!doc().simulation.stopped.load());
        QVERIFY(ReadSetting(doc().cameraFollowsBall));
        view().SetCameraFollowsBall(false);
        const int unfollowed = litPixels(viewPicture("follow-off"));
        QVERIFY2(unfollowed > 1000, qPrintable(QString::number(unfollowed)));
        QCOMPARE(view().core().OrbitDistance(), orbitBeforeFollowing);
        view().SetCameraFollowsBall(true);
        view().StopBallCommand();
        QVERIFY(!ReadSetting(doc().cameraFollowsBall));
        const int stopped = litPixels(viewPicture("stopped"));
        QVERIFY2(stopped > 1000, qPrintable(QString::number(stopped)));
        QCOMPARE(view().core().OrbitDistance(), orbitBeforeFollowing);
    }

    void positioningTheBallAgainClearsTheDock()
    {
        action("Ride profile")->trigger();
        QTRY_VERIFY(dock().shownSamples() > 0);
        clickPanel("positionBallButton");
        QTRY_COMPARE(dock().shownSamples(), std::size_t(0));
        QCOMPARE(speedPoints(), 0);
        QCOMPARE(dock().readout()->text(), QString::fromLatin1(kNoRideReadout));
    }

    void printToPdfAndPreview()
    {
        const QString pdf = folder.filePath(QStringLiteral("view.pdf"));
        frame().printer().setOutputFormat(QPrinter::PdfFormat);
        frame().printer().setOutputFileName(pdf);
        auto answered = whenModal<QPrintDialog>([](QPrintDialog* dialog) { dialog->accept(); });
        action("&Print...\tCtrl+P")->trigger();
        QVERIFY(*answered);
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(5) == "%PDF-");
        QVERIFY2(file.size() > 20000, qPrintable(QString::number(file.size()))); // it holds the picture
        auto previewed = whenModal<QPrintPreviewDialog>([](QPrintPreviewDialog* dialog) {
            QTimer::singleShot(500, dialog, &QDialog::reject);
        });
        action("Print Pre&view")->trigger();
        QVERIFY(*previewed);
    }

    void quitWithoutAHang()
    {
        QVERIFY(view().core().renderRunning());
        // The follow camera was switched since the save: quitting asks first.
        QVERIFY(doc().IsModified());
        auto discarded = whenModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Discard)->click(); });
        action("E&xit")->trigger();
        QVERIFY(*discarded);
        QVERIFY(!frame().isVisible());
        QVERIFY(!view().core().renderRunning());
        QVERIFY(!view().core().physics().LoopRunning());
        app.reset();
    }
};

MARLWICK_REGISTER_QTEST(EndToEndTest)
#include "EndToEndTest.moc"
