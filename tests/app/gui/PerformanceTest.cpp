// The program in a real window on the virtual screen: display lists are
// compiled once per change, not per frame, for the default document and for a
// 20-surface document. The frame rates and how late the user-interface
// thread's 10 ms timer fires are printed as figures only; what the program
// should reach is measured by the benchmarks in bench/, not asserted here,
// since a test must not depend on the machine's speed.

#include "CMainFrame.h"
#include "OpenGLTemplateApp.h"
#include "QtTestRegistry.h"
#include "ViewOpenGLst.h"
#include "document/OpenGLTemplateDoc.h"
#include "gui/GuiTestSupport.h"
#include "support/SimulationBuilders.h"
#include "view/CameraCommands.h"

#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <memory>

class PerformanceTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<OpenGLTemplateApp> app;
    QTemporaryDir dir;

    ViewOpenGLst& view() { return *app->view(); }

    double framesPerSecond(int ms)
    {
        const auto frames = view().core().framesRendered();
        QElapsedTimer clock;
        clock.start();
        QTest::qWait(ms);
        return (view().core().framesRendered() - frames) * 1000.0 / clock.elapsed();
    }

    std::int64_t meshListsCompiled()
    {
        view().core().PauseAllAndWait();
        const auto n = view().compileCounters().meshLists;
        view().core().ResumeAll();
        return n;
    }

    // The longest wait between ticks of a 10 ms timer over ms milliseconds.
    qint64 longestTimerWait(int ms)
    {
        QElapsedTimer clock, sinceTick;
        qint64 longest = 0;
        QTimer timer;
        timer.setTimerType(Qt::PreciseTimer);
        connect(&timer, &QTimer::timeout, this, [&] {
            longest = std::max(longest, sinceTick.restart());
        });
        clock.start();
        sinceTick.start();
        timer.start(10);
        while (clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        return longest;
    }

    QString twentySurfaceDocument()
    {
        COpenGLTemplateDoc doc;
        builders::emptyDocument(doc);
        for (int k = 0; k < 20; ++k) {
            char name[16];
            std::snprintf(name, sizeof name, "s%d", k);
            SurfaceSection& s = builders::addFloor(doc, name, 7, 6, {{0.0, -1.5 * k, 6.0 * k}, 0.05});
            s.showSurfaceTriangles = 1;
            s.coloring = static_cast<Coloring>(k % 4);
        }
        doc.SetBallStart(doc.surfaces[0].get(), 0.5, 0.05);
        doc.launchDirection = {1, 0, 0};
        const QString path = dir.filePath(QStringLiteral("twenty.mwk"));
        std::string error;
        if (!doc.OnSaveDocument(path.toStdString(), error)) qWarning() << error.c_str();
        return path;
    }

    void rollTheBall()
    {
        QVERIFY(view().PositionBallCommand().isEmpty());
        const QPoint aim(view().width() / 2, view().height() / 2 - view().height() / 40);
        QTest::mouseMove(&view(), aim);
        QTest::mouseClick(&view(), Qt::LeftButton, {}, aim);
        QTest::mouseClick(&view(), Qt::LeftButton, {}, aim);
        QVERIFY(!app->document().simulation.stopped.load());
        QTRY_VERIFY_WITH_TIMEOUT(app->document().simulation.stepCount.load() > 20, kStuckAfterMs);
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings(QStringLiteral("Marlwick"), QStringLiteral("Marlwick")).clear();
        app = std::make_unique<OpenGLTemplateApp>();
        QVERIFY(app->InitInstance({QStringLiteral("marlwick")}));
        QVERIFY(QTest::qWaitForWindowExposed(app->mainFrame()));
        QTRY_VERIFY_WITH_TIMEOUT(view().core().framesRendered() > 3, kStuckAfterMs);
    }

    void defaultDocument()
    {
        const double fps = framesPerSecond(3000);
        std::printf("default document, %d x %d: %.1f frames per second\n", view().core().width(),
                    view().core().height(), fps);
        QCOMPARE(meshListsCompiled(), 1); // one surface, compiled once for all those frames
        rollTheBall();
        const qint64 wait = longestTimerWait(3000);
        std::printf("default document, ball rolling: longest 10 ms timer wait %lld ms, %.1f frames per second\n",
                    static_cast<long long>(wait), framesPerSecond(2000));
    }

    void twentySurfaces()
    {
        QVERIFY(app->mainFrame()->OpenDocumentFile(twentySurfaceDocument()));
        QCOMPARE(app->document().surfaces.size(), std::size_t(20));
        view().StopBallCommand();
        view().WithRenderPaused([this] { ShowAll(app->document()); });
        QTest::qWait(1000);
        const auto compiled = meshListsCompiled();
        const double fps = framesPerSecond(3000);
        std::printf("20 shaded surfaces, %d x %d: %.1f frames per second\n", view().core().width(),
                    view().core().height(), fps);
        QCOMPARE(meshListsCompiled(), compiled); // no list compiled again while nothing changes
        rollTheBall();
        const qint64 wait = longestTimerWait(3000);
        std::printf("20 surfaces, ball rolling: longest 10 ms timer wait %lld ms, %.1f frames per second\n",
                    static_cast<long long>(wait), framesPerSecond(2000));
    }

    void cleanupTestCase() { app.reset(); }
};

MARLWICK_REGISTER_QTEST(PerformanceTest)
#include "PerformanceTest.moc"
