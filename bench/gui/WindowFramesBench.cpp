// Frames the program's view draws per second in a real window, for the
// default document and for 20 shaded surfaces, with the ball at rest and
// rolling; beside each, the longest wait between ticks of a 10 ms timer on
// the user-interface thread (how late its events run while the view draws).
// Needs a display: run under xvfb-run -a -s "-screen 0 1280x1024x24".

#include "CMainFrame.h"
#include "OpenGLTemplateApp.h"
#include "WindowBenchMain.h"
#include "ViewOpenGLst.h"
#include "document/OpenGLTemplateDoc.h"
#include "support/DocumentBuilders.h"
#include "view/CameraCommands.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kMeasureMs = 1000;

// The program in its window, once for all the benchmarks.
class Program {
public:
    Program()
    {
        QStandardPaths::setTestModeEnabled(true);
        app_ = std::make_unique<OpenGLTemplateApp>();
        ok_ = folder_.isValid() && app_->InitInstance({QStringLiteral("marlwick")}) &&
              QTest::qWaitForWindowExposed(app_->mainFrame()) && WriteTwentySurfaces();
    }
    ~Program() { app_->document().SetModifiedFlag(false); }

    bool ok() const { return ok_; }
    std::int64_t frames() const { return app_->view()->core().framesRendered(); }

    // The default document or the 20 surfaces, all shown, the ball at rest or
    // rolling; false when it could not be set up.
    bool Prepare(bool twentySurfaces, bool rolling)
    {
        CMainFrame& frame = *app_->mainFrame();
        ViewOpenGLst& view = *app_->view();
        frame.OnFileNew();
        if (twentySurfaces && !frame.OpenDocumentFile(twenty_)) return false;
        view.StopBallCommand();
        view.WithRenderPaused([this] { ShowAll(app_->document()); });
        if (rolling) {
            if (!view.PositionBallCommand().isEmpty()) return false;
            const QPoint aim(view.width() / 2, view.height() / 2 - view.height() / 40);
            QTest::mouseMove(&view, aim);
            QTest::mouseClick(&view, Qt::LeftButton, {}, aim); // fixes the launch
            QTest::mouseClick(&view, Qt::LeftButton, {}, aim); // rolls
        }
        QTest::qWait(kMeasureMs); // the lists compiled, the first steps taken
        return !rolling || app_->document().simulation.stepCount.load() > 0;
    }

private:
    bool WriteTwentySurfaces()
    {
        COpenGLTemplateDoc doc;
        builders::fillChainDocument(doc, 20, 7, 4);
        for (std::size_t k = 0; k < doc.surfaces.size(); ++k) {
            doc.surfaces[k]->showSurfaceTriangles = 1;
            doc.surfaces[k]->coloring = static_cast<Coloring>(k % 4);
        }
        doc.SetBallStart(doc.surfaces.front().get(), 0.5, 0.05);
        twenty_ = folder_.filePath(QStringLiteral("twenty.mwk"));
        std::string error;
        return doc.OnSaveDocument(twenty_.toStdString(), error);
    }

    QTemporaryDir folder_;
    QString twenty_;
    std::unique_ptr<OpenGLTemplateApp> app_;
    bool ok_ = false;
};

// Built on first use, ended by main while the application still exists.
std::unique_ptr<Program> gProgram;

// Arguments: 20 surfaces (1) or the default document (0); the ball rolling (1) or at rest (0).
void BM_WindowFrames(benchmark::State& state)
{
    if (!gProgram) gProgram = std::make_unique<Program>();
    if (!gProgram->ok() || !gProgram->Prepare(state.range(0) != 0, state.range(1) != 0)) {
        state.SkipWithError("the program or its document did not start");
        return;
    }
    std::int64_t frames = 0;
    qint64 elapsed = 0, longestWait = 0;
    for (auto _ : state) {
        QElapsedTimer clock, sinceTick;
        QTimer timer;
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, [&] { longestWait = std::max(longestWait, sinceTick.restart()); });
        const std::int64_t before = gProgram->frames();
        clock.start();
        sinceTick.start();
        timer.start(10);
        while (clock.elapsed() < kMeasureMs) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        elapsed += clock.elapsed();
        frames += gProgram->frames() - before;
    }
    state.counters["frames_per_s"] = elapsed > 0 ? 1000.0 * static_cast<double>(frames) / elapsed : 0.0;
    state.counters["longest_timer_wait_ms"] = static_cast<double>(longestWait);
}
BENCHMARK(BM_WindowFrames)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"twenty", "rolling"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace

int main(int argc, char** argv) { return RunWindowBenchmarks(argc, argv, gProgram); }
