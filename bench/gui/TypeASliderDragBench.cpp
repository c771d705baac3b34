// Frames the program's view draws per second while the type A dialog's
// vertical-turn slider is dragged across a 24 x 20 channel (24 cross
// sections of 20 points), the mouse moving every 10 ms as a hand does;
// beside it, the same dialog open with the slider left alone. Every slider
// step regenerates the surface with the render and physics threads paused.
// Needs a display: run under xvfb-run -a -s "-screen 0 1280x1024x24".

#include "CMainFrame.h"
#include "OpenGLTemplateApp.h"
#include "WindowBenchMain.h"
#include "ViewOpenGLst.h"
#include "document/OpenGLTemplateDoc.h"
#include "document/ThreadPauseGuard.h"
#include "panel/ControlPanelForm.h"
#include "panel/ControlPanelPane.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QSlider>
#include <QStandardPaths>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QtTest>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kMoveIntervalMs = 10;
constexpr int kMovesPerSweep = 60;

// The program with the panel shown and the type A dialog open on a 24 x 20
// channel that is drawn alone.
class EditingSession {
public:
    EditingSession()
    {
        QStandardPaths::setTestModeEnabled(true);
        app_ = std::make_unique<OpenGLTemplateApp>();
        ok_ = app_->InitInstance({QStringLiteral("marlwick")}) && QTest::qWaitForWindowExposed(app_->mainFrame());
        if (!ok_) return;
        app_->mainFrame()->FindAction(QStringLiteral("Control Panel"))->trigger();
        COpenGLTemplateDoc& doc = app_->document();
        SurfaceSection* s = nullptr;
        {
            const ThreadPauseGuard held(doc);
            s = doc.CreateChannelSurface("wide", 20, 20);
            if (s) {
                doc.selectedSurface = s;
                doc.SetAllRender(0);
                s->render = 1;
            }
        }
        ok_ = s != nullptr && s->sectionCount == 24 && s->pointsPerSection == 20;
        if (!ok_) return;
        Click("editSelectedButton");
        dialog_ = app_->mainFrame()->controlPanel()->findChild<QDialog*>(QStringLiteral("editADialog"));
        ok_ = dialog_ && dialog_->isVisible();
        if (!ok_) return;
        Click(dialog_->findChild<QCheckBox*>(QStringLiteral("verticalTurnPerformCheck")));
        slider_ = dialog_->findChild<QSlider*>(QStringLiteral("verticalTurnSlider"));
        ok_ = slider_ != nullptr;
        QTest::qWait(1000); // the first frames of the new scene before any count
    }
    ~EditingSession()
    {
        if (app_) app_->document().SetModifiedFlag(false);
    }

    bool ok() const { return ok_; }
    std::int64_t frames() const { return app_->view()->core().framesRendered(); }
    const SurfaceSection& surface() const { return *app_->document().selectedSurface; }

    // One drag of the thumb from one end of the slider to the other.
    void Sweep(bool rightwards)
    {
        const QRect groove = Part(QStyle::SC_SliderGroove);
        const QRect thumb = Part(QStyle::SC_SliderHandle);
        const int y = thumb.center().y();
        const int left = groove.left() + thumb.width() / 2, right = groove.right() - thumb.width() / 2;
        const int from = rightwards ? left : right, to = rightwards ? right : left;
        QTest::mousePress(slider_, Qt::LeftButton, {}, thumb.center());
        for (int k = 1; k <= kMovesPerSweep; ++k) {
            QTest::mouseMove(slider_, QPoint(from + (to - from) * k / kMovesPerSweep, y));
            QTest::qWait(kMoveIntervalMs);
        }
        QTest::mouseRelease(slider_, Qt::LeftButton, {}, QPoint(to, y));
    }
    int SliderValue() const { return slider_->value(); }

private:
    QRect Part(QStyle::SubControl part) const
    {
        QStyleOptionSlider option;
        option.initFrom(slider_);
        option.orientation = slider_->orientation();
        option.tickPosition = slider_->tickPosition();
        option.minimum = slider_->minimum();
        option.maximum = slider_->maximum();
        option.sliderPosition = option.sliderValue = slider_->value();
        return slider_->style()->subControlRect(QStyle::CC_Slider, &option, part, slider_);
    }
    void Click(QAbstractButton* button)
    {
        if (button) QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
    }
    void Click(const char* name)
    {
        auto* pane = app_->mainFrame()->panelPane();
        auto* button = app_->mainFrame()->controlPanel()->findChild<QAbstractButton*>(QString::fromLatin1(name));
        if (button) pane->ensureWidgetVisible(button);
        Click(button);
    }
    std::unique_ptr<OpenGLTemplateApp> app_;
    QDialog* dialog_ = nullptr;
    QSlider* slider_ = nullptr;
    bool ok_ = false;
};

// Built on first use, ended by main while the application still exists.
std::unique_ptr<EditingSession> gSession;

EditingSession& Session()
{
    if (!gSession) gSession = std::make_unique<EditingSession>();
    return *gSession;
}

void reportFrames(benchmark::State& state, std::int64_t frames, qint64 elapsedMs)
{
    state.counters["frames_per_s"] = elapsedMs > 0 ? 1000.0 * static_cast<double>(frames) / elapsedMs : 0.0;
}

void BM_ViewFramesWithTheTypeADialogIdle(benchmark::State& state)
{
    EditingSession& session = Session();
    if (!session.ok()) {
        state.SkipWithError("the program or the type A dialog did not open");
        return;
    }
    std::int64_t frames = 0;
    qint64 elapsed = 0;
    for (auto _ : state) {
        const std::int64_t before = session.frames();
        QElapsedTimer clock;
        clock.start();
        QTest::qWait(kMoveIntervalMs * kMovesPerSweep);
        elapsed += clock.elapsed();
        frames += session.frames() - before;
    }
    reportFrames(state, frames, elapsed);
}
BENCHMARK(BM_ViewFramesWithTheTypeADialogIdle)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_ViewFramesWhileTheTypeASliderIsDragged(benchmark::State& state)
{
    EditingSession& session = Session();
    if (!session.ok()) {
        state.SkipWithError("the program or the type A dialog did not open");
        return;
    }
    std::int64_t frames = 0;
    qint64 elapsed = 0;
    bool rightwards = true;
    for (auto _ : state) {
        const std::int64_t before = session.frames();
        QElapsedTimer clock;
        clock.start();
        session.Sweep(rightwards);
        elapsed += clock.elapsed();
        frames += session.frames() - before;
        const int end = rightwards ? 360 : 0;
        if (session.SliderValue() != end || session.surface().verticalTurn.angle != end / 360.0 * kTwoPi) {
            state.SkipWithError("the drag did not turn the surface to the slider's end");
            return;
        }
        rightwards = !rightwards;
    }
    reportFrames(state, frames, elapsed);
    state.counters["sections"] = session.surface().sectionCount;
}
BENCHMARK(BM_ViewFramesWhileTheTypeASliderIsDragged)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(6);

} // namespace

int main(int argc, char** argv) { return RunWindowBenchmarks(argc, argv, gSession); }
