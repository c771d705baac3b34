// A person's session with the program, in a real window: open an example,
// see it shaded and coloured, turn and zoom it, position the ball, choose its
// launch with the mouse and roll it, watch it with the follow camera, open a
// menu and a dialog over the running view, save an image, record movie
// frames, stop the ball and see the scene again, print to PDF, and quit
// without a hang. Each
// step is checked on the screen's pixels and the files written. With
// MARLWICK_SHOTS set, the screenshots are kept in that folder.

#include "CMainFrame.h"
#include "OpenGLTemplateApp.h"
#include "QtTestRegistry.h"
#include "ViewOpenGLst.h"
#include "document/OpenGLTemplateDoc.h"
#include "gui/GuiTestSupport.h"
#include "gui/ScreenCapture.h"
#include "simulation/SharedSettings.h"
#include "panel/ControlPanelForm.h"
#include "panel/ControlPanelPane.h"

#include <QAbstractButton>
#include <QAction>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include <memory>
#include <set>

namespace {

struct PixelSummary {
    int lit = 0;          // pixels that are not black
    int colourful = 0;    // clearly coloured (saturated) pixels
    int hues = 0;         // of 12 hue sectors, those with a fair share of pixels
    int brightnessLevels = 0; // distinct brightness levels of the coloured pixels (shading)
};

PixelSummary summarise(const QImage& image)
{
    PixelSummary s;
    int sectors[12] = {};
    std::set<int> levels;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2) {
            const QColor c = image.pixelColor(x, y);
            if (c.value() > 20) ++s.lit;
            if (c.hsvSaturation() > 100 && c.value() > 40) {
                ++s.colourful;
                ++sectors[c.hsvHue() / 30];
                levels.insert(c.value() / 8);
            }
        }
    }
    for (int n : sectors) s.hues += n > s.colourful / 100 ? 1 : 0;
    s.brightnessLevels = static_cast<int>(levels.size());
    return s;
}

double difference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size()) return 1.0;
    int changed = 0, total = 0;
    for (int y = 0; y < a.height(); y += 4)
        for (int x = 0; x < a.width(); x += 4, ++total)
            if (a.pixel(x, y) != b.pixel(x, y)) ++changed;
    return static_cast<double>(changed) / total;
}

} // namespace

class EndToEndTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<OpenGLTemplateApp> app;
    QTemporaryDir dir;
    QString shots;
    int shotNumber = 0;
    double orbitBeforeFollowing = 0.0;

    CMainFrame& frame() { return *app->mainFrame(); }
    ViewOpenGLst& view() { return *app->view(); }
    COpenGLTemplateDoc& doc() { return app->document(); }
    void trigger(const char* caption)
    {
        QAction* action = frame().FindAction(QString::fromUtf8(caption));
        QVERIFY2(action, caption);
        action->trigger();
    }
    // What the screen shows of the view, after a few more frames.
    QImage screen(const char* name)
    {
        const auto frames = view().core().framesRendered();
        for (int k = 0; k < 1000 && view().core().framesRendered() < frames + 3; ++k) QTest::qWait(10);
        QImage image = view().screen()->grabWindow(view().winId()).toImage().convertToFormat(QImage::Format_RGB32);
        if (!shots.isEmpty()) image.save(QDir(shots).filePath(QStringLiteral("%1-%2.png").arg(++shotNumber).arg(name)));
        return image;
    }
    // A whole-screen capture while the view keeps drawing: the share of the
    // window's area that shows the window's own picture.
    double shownOverTheView(QWidget* window, const char* name)
    {
        const QImage own = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const auto frames = view().core().framesRendered();
        for (int k = 0; k < 1000 && view().core().framesRendered() < frames + 5; ++k) QTest::qWait(10);
        const QImage whole = screencapture::CaptureWholeScreen();
        if (whole.isNull()) return -1.0;
        if (!shots.isEmpty()) {
            whole.save(QDir(shots).filePath(QStringLiteral("%1-%2-screen.png").arg(++shotNumber).arg(name)));
            own.save(QDir(shots).filePath(QStringLiteral("%1-%2-own.png").arg(shotNumber).arg(name)));
        }
        return screencapture::MatchingShare(whole, QRect(window->mapToGlobal(QPoint(0, 0)), window->size()), own);
    }
    void clickPanel(const char* name)
    {
        auto* button = frame().controlPanel()->findChild<QAbstractButton*>(QString::fromLatin1(name));
        QVERIFY2(button, name);
        frame().panelPane()->ensureWidgetVisible(button);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
    }
    Vec3 ballPosition()
    {
        LockGuard guard(doc().simulationLock);
        return doc().simulation.published.ballCentre;
    }
    QPoint viewCentre() { return {view().width() / 2, view().height() / 2}; }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings(QStringLiteral("Marlwick"), QStringLiteral("Marlwick")).clear();
        QVERIFY(dir.isValid());
        QDir::setCurrent(dir.path()); // images and movie frames land here
        shots = qEnvironmentVariable("MARLWICK_SHOTS");
        if (!shots.isEmpty()) QDir().mkpath(shots);
        app = std::make_unique<OpenGLTemplateApp>();
        QVERIFY(app->InitInstance({QStringLiteral("marlwick")}));
        QVERIFY(QTest::qWaitForWindowExposed(&frame()));
        QTRY_VERIFY_WITH_TIMEOUT(view().core().framesRendered() > 3, kStuckAfterMs);
    }

    void openAnExampleAndSeeItShadedAndColoured()
    {
        auto answered = whenModal<QFileDialog>([](QFileDialog* dialog) {
            chooseFile(dialog, exampleDocument(QStringLiteral("spiral.mwk")));
        });
        trigger("&Open...\tCtrl+O");
        QVERIFY(*answered);
        QCOMPARE(doc().surfaces.size(), std::size_t(4));
        // Opening placed the ball for a launch, the follow camera 21 times the
        // orbit distance of 1 behind it.
        QVERIFY(doc().simulation.settingVelocity.load());
        QCOMPARE(doc().followDistance, 21.0);
        // Leave the launch and look at everything, then shade every surface.
        trigger("Control Panel");
        clickPanel("showAllButton");
        QVERIFY(!doc().simulation.settingVelocity.load());
        const PixelSummary lines = summarise(screen("lines"));
        QVERIFY2(lines.lit > 1000, qPrintable(QString::number(lines.lit)));
        auto* tree = frame().controlPanel()->findChild<QTreeWidget*>(QStringLiteral("surfaceTree"));
        for (int g = 1; g < tree->topLevelItemCount(); ++g) {
            for (int k = 0; k < tree->topLevelItem(g)->childCount(); ++k) {
                tree->setCurrentItem(tree->topLevelItem(g)->child(k));
                clickPanel("surfaceTrianglesCheck");
                QCOMPARE(doc().selectedSurface->showSurfaceTriangles, 1);
            }
        }
        const PixelSummary shaded = summarise(screen("shaded"));
        QVERIFY2(2 * shaded.lit > 3 * lines.lit, qPrintable(QStringLiteral("%1 vs %2").arg(shaded.lit).arg(lines.lit)));
        QVERIFY2(shaded.hues >= 3, qPrintable(QString::number(shaded.hues)));
        QVERIFY2(shaded.brightnessLevels >= 8, qPrintable(QString::number(shaded.brightnessLevels)));
    }

    void turnAndZoomTheView()
    {
        const QImage before = screen("before-turn");
        const QPoint c = viewCentre();
        QTest::mousePress(&view(), Qt::LeftButton, {}, c);
        for (int k = 1; k <= 10; ++k) QTest::mouseMove(&view(), c + QPoint(12 * k, 4 * k));
        QTest::mouseRelease(&view(), Qt::LeftButton, {}, c + QPoint(120, 40));
        const QImage turned = screen("turned");
        QVERIFY2(difference(before, turned) > 0.02, "the drag did not turn the scene");

        const double d0 = view().core().OrbitDistance();
        QTest::mousePress(&view(), Qt::RightButton, {}, c);
        QTest::mouseMove(&view(), c - QPoint(0, 30));
        QTest::mouseRelease(&view(), Qt::RightButton, {}, c - QPoint(0, 30));
        QCOMPARE(view().core().OrbitDistance(), std::max(1.0, d0 - 10.0));
        const double d1 = view().core().OrbitDistance();
        QTest::keyPress(&view(), Qt::Key_Delete);
        QTRY_VERIFY(view().core().OrbitDistance() > d1 * 1.1);
        QTest::keyRelease(&view(), Qt::Key_Delete);
        const QImage zoomed = screen("zoomed");
        QVERIFY(difference(turned, zoomed) > 0.02);
    }

    void positionTheBallChooseItsLaunchAndRollIt()
    {
        orbitBeforeFollowing = view().core().OrbitDistance();
        clickPanel("positionBallButton");
        QVERIFY(doc().simulation.settingVelocity.load());
        QVERIFY(doc().cameraFollowsBall);
        const Vec3 start = ballPosition();
        const QPoint c = viewCentre();
        // A little above the centre: a gentle push straight down the channel.
        const QPoint aim = c - QPoint(0, view().height() / 30);
        QTest::mouseMove(&view(), aim + QPoint(40, 0));
        QTest::mouseMove(&view(), aim);
        QVERIFY(doc().launchSpeed > 1.0 && doc().launchSpeed < 20.0);
        const QImage launch = screen("launch");
        QVERIFY(summarise(launch).lit > 1000);
        QTest::mouseClick(&view(), Qt::LeftButton, {}, aim); // fixes the launch
        QVERIFY(doc().simulation.velocitySet.load());
        QTest::mouseClick(&view(), Qt::LeftButton, {}, aim); // rolls
        QVERIFY(!doc().simulation.stopped.load());
        QTRY_VERIFY_WITH_TIMEOUT(length(ballPosition() - start) > 2.0, kStuckAfterMs);
        // The follow camera keeps the ball in the middle of the picture.
        const QImage following = screen("following");
        const QImage middle = following.copy(following.width() * 2 / 5, following.height() * 2 / 5,
                                             following.width() / 5, following.height() / 5);
        QVERIFY(summarise(middle).lit > 50);
        QTRY_VERIFY(QStringLiteral(" Marlwick    Render FPS = 0.0 ,   Physics FPS = 0.0") != frame().windowTitle());
        QVERIFY(!frame().windowTitle().endsWith(QStringLiteral("Physics FPS = 0.0")));
    }

    void menusAndDialogsShowOverTheRunningView()
    {
        QVERIFY(!doc().simulation.stopped.load());
        QMenuBar* bar = frame().menuBar();
        QAction* fileMenu = frame().FindAction(QStringLiteral("&File"));
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(fileMenu).center());
        QTRY_VERIFY(QApplication::activePopupWidget() == fileMenu->menu());
        QVERIFY(QTest::qWaitForWindowExposed(fileMenu->menu()));
        const double menu = shownOverTheView(fileMenu->menu(), "file-menu");
        fileMenu->menu()->close();
        QVERIFY2(menu > 0.9, qPrintable(QStringLiteral("the File menu shows on %1 of its area").arg(menu)));

        // Measured once: the capture runs the event loop, which may call again,
        // and later dialogs of the test must be left alone.
        auto about = std::make_shared<double>(0.0);
        auto measured = std::make_shared<bool>(false);
        auto answered = whenModal<QDialog>([this, about, measured](QDialog* dialog) {
            if (*measured) return;
            *measured = true;
            if (QTest::qWaitForWindowExposed(dialog)) *about = shownOverTheView(dialog, "about");
            dialog->accept();
        });
        trigger("&About Marlwick...");
        QVERIFY(*answered);
        QVERIFY2(*about > 0.9, qPrintable(QStringLiteral("the About box shows on %1 of its area").arg(*about)));
    }

    void saveAnImage()
    {
        const QString path = dir.filePath(QStringLiteral("picture.png"));
        QStringList filters;
        auto answered = whenModal<QFileDialog>([&](QFileDialog* dialog) {
            filters = dialog->nameFilters();
            chooseFile(dialog, path);
        });
        trigger("Save image");
        QVERIFY(*answered);
        QCOMPARE(filters, (QStringList{"BMP Files (*.BMP)", "JPEG Files (*.JPG)", "PNG Files (*.PNG)"}));
        QImage saved(path);
        QVERIFY(!saved.isNull());
        QCOMPARE(saved.size(), QSize(view().core().width(), view().core().height()));
        QVERIFY(summarise(saved).lit > 1000);
        QVERIFY(view().SaveImageTo(dir.filePath(QStringLiteral("picture.jpg"))));
        QCOMPARE(QImage(dir.filePath(QStringLiteral("picture.jpg"))).size(), saved.size());
    }

    void recordMovieFrames()
    {
        view().core().PauseAllAndWait();
        doc().movieFrameCount = 8;
        view().core().ResumeAll();
        QSignalSpy started(&view(), &ViewOpenGLst::movieAssemblerStarted);
        QDir(QStringLiteral("movie")).removeRecursively();
        trigger("Save movie frames");
        QVERIFY(QDir(QStringLiteral("movie")).exists());
        QTRY_COMPARE_WITH_TIMEOUT(started.count(), 1, kStuckAfterMs);
        QDir movie(QStringLiteral("movie"));
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
        const PixelSummary unfollowed = summarise(screen("follow-off"));
        QVERIFY2(unfollowed.lit > 1000, qPrintable(QString::number(unfollowed.lit)));
        QCOMPARE(view().core().OrbitDistance(), orbitBeforeFollowing);
        view().SetCameraFollowsBall(true);
        view().StopBallCommand();
        QVERIFY(!ReadSetting(doc().cameraFollowsBall));
        const PixelSummary stopped = summarise(screen("stopped"));
        QVERIFY2(stopped.lit > 1000, qPrintable(QString::number(stopped.lit)));
        QCOMPARE(view().core().OrbitDistance(), orbitBeforeFollowing);
    }

    void printToPdfAndPreview()
    {
        const QString pdf = dir.filePath(QStringLiteral("view.pdf"));
        frame().printer().setOutputFormat(QPrinter::PdfFormat);
        frame().printer().setOutputFileName(pdf);
        auto answered = whenModal<QPrintDialog>([](QPrintDialog* dialog) { dialog->accept(); });
        trigger("&Print...\tCtrl+P");
        QVERIFY(*answered);
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(5) == "%PDF-");
        QVERIFY2(file.size() > 20000, qPrintable(QString::number(file.size()))); // it holds the picture
        auto previewed = whenModal<QPrintPreviewDialog>([](QPrintPreviewDialog* dialog) {
            QTimer::singleShot(500, dialog, &QDialog::reject);
        });
        trigger("Print Pre&view");
        QVERIFY(*previewed);
    }

    void quitWithoutAHang()
    {
        // The files written, beside the screenshots.
        if (!shots.isEmpty())
            for (const char* name : {"picture.png", "view.pdf", "movie/image000.bmp", "movie/bmp2avi.log"})
                QFile::copy(dir.filePath(QString::fromLatin1(name)),
                            QDir(shots).filePath(QString::fromLatin1(name).replace('/', '-')));
        QVERIFY(view().core().renderRunning());
        // The surfaces were shaded from the panel: quitting asks first.
        QVERIFY(doc().IsModified());
        auto discarded = whenModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Discard)->click(); });
        QElapsedTimer clock;
        clock.start();
        trigger("E&xit");
        QVERIFY(*discarded);
        QVERIFY(!frame().isVisible());
        QVERIFY(!view().core().renderRunning());
        QVERIFY(!view().core().physics().LoopRunning());
        qInfo("quit with the ball rolling: both threads ended in %lld ms", static_cast<long long>(clock.elapsed()));
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        app.reset();
    }
};

MARLWICK_REGISTER_QTEST(EndToEndTest)
#include "EndToEndTest.moc"
