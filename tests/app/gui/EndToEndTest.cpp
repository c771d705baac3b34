// A person's session with the program, in a real window: open an example
// (the Open dialog offers the document filter), see it shaded and coloured,
// turn and zoom it, position the ball, choose its launch with the mouse and
// roll it, watch it with the follow camera, open a menu and the About box
// over the running view, save an image, record movie frames, stop the ball
// and see the scene again, print to PDF, and quit without a hang. Each step
// is checked on the screen's pixels and the files written.

#include "QtTestRegistry.h"
#include "gui/GuiTestSupport.h"
#include "simulation/SharedSettings.h"

#include <QAbstractButton>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QTreeWidget>

#include <set>

namespace {

// How a shaded, coloured picture differs from lines on black.
struct PixelSummary {
    int hues = 0;             // of 12 hue sectors, those with a fair share of the coloured pixels
    int brightnessLevels = 0; // distinct brightness levels of the coloured pixels (shading)
};

PixelSummary summarise(const QImage& image)
{
    PixelSummary s;
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
    for (int n : sectors) s.hues += n > colourful / 100 ? 1 : 0;
    s.brightnessLevels = static_cast<int>(levels.size());
    return s;
}

} // namespace

class EndToEndTest : public WindowTest {
    Q_OBJECT

private:
    double orbitBeforeFollowing = 0.0;

    QPoint viewCentre() { return {view().width() / 2, view().height() / 2}; }

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
        const PixelSummary colours = summarise(shaded);
        QVERIFY2(colours.hues >= 3, qPrintable(QString::number(colours.hues)));
        QVERIFY2(colours.brightnessLevels >= 8, qPrintable(QString::number(colours.brightnessLevels)));
    }

    void turnAndZoomTheView()
    {
        const QImage before = viewPicture("before-turn");
        const QPoint c = viewCentre();
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
        const double d1 = view().core().OrbitDistance();
        QTest::keyPress(&view(), Qt::Key_Delete);
        QTRY_VERIFY(view().core().OrbitDistance() > d1 * 1.1);
        QTest::keyRelease(&view(), Qt::Key_Delete);
        QVERIFY(changedShare(turned, viewPicture("zoomed")) > 0.02);
    }

    void positionTheBallChooseItsLaunchAndRollIt()
    {
        orbitBeforeFollowing = view().core().OrbitDistance();
        clickPanel("positionBallButton");
        QVERIFY(doc().simulation.settingVelocity.load());
        QVERIFY(doc().cameraFollowsBall);
        const Vec3 start = ballCentre();
        const QPoint aim = gentleAim();
        QTest::mouseMove(&view(), aim + QPoint(40, 0));
        QTest::mouseMove(&view(), aim);
        QVERIFY(doc().launchSpeed > 1.0 && doc().launchSpeed < 20.0);
        QVERIFY(litPixels(viewPicture("launch")) > 1000);
        QTest::mouseClick(&view(), Qt::LeftButton, {}, aim); // fixes the launch
        QVERIFY(doc().simulation.velocitySet.load());
        QTest::mouseClick(&view(), Qt::LeftButton, {}, aim); // rolls
        QVERIFY(!doc().simulation.stopped.load());
        QTRY_VERIFY_WITH_TIMEOUT(length(ballCentre() - start) > 2.0, kStuckAfterMs);
        // The follow camera keeps the ball in the middle of the picture.
        const QImage following = viewPicture("following");
        const QImage middle = following.copy(following.width() * 2 / 5, following.height() * 2 / 5,
                                             following.width() / 5, following.height() / 5);
        QVERIFY(litPixels(middle) > 50);
        QTRY_VERIFY(QStringLiteral(" Marlwick    Render FPS = 0.0 ,   Physics FPS = 0.0") != frame().windowTitle());
        QVERIFY(!frame().windowTitle().endsWith(QStringLiteral("Physics FPS = 0.0")));
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
        const QImage first(movie.filePath(QStringLiteral("image000.bmp")));
        QCOMPARE(first.width(), 800);
        QCOMPARE(first.height(), view().core().height() * 800 / view().core().width());
        // The assembler reports what it did in the movie folder.
        QTRY_VERIFY_WITH_TIMEOUT(movie.exists(QStringLiteral("bmp2avi.log")), kStuckAfterMs);
        if (!QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty())
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(movie.filePath(QStringLiteral("out.avi"))).size() > 1000, kStuckAfterMs);
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
        // The surfaces were shaded from the panel: quitting asks first.
        QVERIFY(doc().IsModified());
        auto discarded = whenModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Discard)->click(); });
        QElapsedTimer clock;
        clock.start();
        action("E&xit")->trigger();
        QVERIFY(*discarded);
        QVERIFY(!frame().isVisible());
        QVERIFY(!view().core().renderRunning());
        QVERIFY(!view().core().physics().LoopRunning());
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        app.reset();
    }
};

MARLWICK_REGISTER_QTEST(EndToEndTest)
#include "EndToEndTest.moc"
