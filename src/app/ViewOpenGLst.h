#pragma once

// The document's view: a QWindow with an OpenGL surface, shown in the main
// frame's left pane through a window container. It owns the view engine
// (render and physics threads, hand-shakes), turns Qt's mouse and key events
// into the engine's calls and serves the view's File and ball commands. It
// never draws: every frame is the render thread's.

#include "panel/PanelViewCommands.h"
#include "view/MouseInteraction.h"
#include "view/ViewCore.h"

#include <QWindow>

#include <memory>

class COpenGLTemplateDoc;
class QPrinter;
class QtGlyphOutlines;
class QtRenderHost;
class SceneFrameDrawer;

class ViewOpenGLst : public QWindow, public PanelViewCommands {
    Q_OBJECT

public:
    explicit ViewOpenGLst(COpenGLTemplateDoc& document);
    ~ViewOpenGLst() override;

    ViewCore& core() { return core_; }
    // Stops and joins both threads (ViewCore::Teardown) and releases the timer. Idempotent.
    void Teardown();

    // File > "Save image": the file dialog, started in startFolder, then the save by the render thread.
    void OnFileSaveImage(QWidget* dialogParent, const QString& startFolder);
    // Saves the view's picture to fileName without a dialog; false when nothing was written.
    bool SaveImageTo(const QString& fileName);
    // File > "Save movie frames": the "movie" folder, frame 0, recording on.
    void OnFileSaveMovieFrames();
    // File > "Save movie…": the file dialog, then the recording begins.
    // Returns the reason it could not begin (empty when it began or was cancelled).
    QString OnFileSaveMovie(QWidget* dialogParent, const QString& startFolder);
    // Records the view to fileName (.mp4 or .webm) without a dialog; the reason when it cannot.
    QString StartMovieTo(const QString& fileName);
    // File > "Stop movie": finishes the file; written tells whether it was,
    // report says so (the frames, repeated and dropped) or says why not.
    struct MovieReport {
        bool written = false;
        QString report;
    };
    MovieReport StopMovie();
    bool recordingMovie() const { return core_.liveMovieRecording(); }

    // The print step: the render thread's picture stretched onto the page.
    // False when nothing was printed.
    bool PrintTo(QPrinter& printer, bool preview);

    // The control panel's ball and camera commands. Following the ball keeps
    // the orbit view it began from; stopping the ball or switching following
    // off returns to it (ViewCore::EndFollowing).
    QString PositionBallCommand() override;
    void StopBallCommand() override;
    void SetCameraFollowsBall(bool follow) override;
    void FocalPointAtBallCommand() override;
    // Runs a document change with the render thread held between frames.
    template <typename F>
    void WithRenderPaused(F&& change)
    {
        core_.PauseRenderAndWait();
        change();
        core_.ResumeRender();
    }

    // The arcball's rotation as the user interface holds it.
    const CBallController& arcball() const { return controller_; }

signals:
    // The main window's title, every 200 ms.
    void titleTextChanged(const QString& text);
    // The bmp2avi assembler was started in this folder (fire and forget).
    void movieAssemblerStarted(const QString& folder);
    // One display list compiled (loading progress).
    void meshListCompiled();
    // The render thread has no OpenGL context: the view stays empty. The
    // message says what failed and how to draw without a display.
    void drawingUnavailable(const QString& message);

protected:
    void exposeEvent(QExposeEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void StartMovieAssembler();
    QPoint DevicePoint(const QPointF& logical) const;

    COpenGLTemplateDoc& document_;
    ViewCore core_;
    CBallController controller_; // the arcball of the user-interface thread
    MouseInteraction mouse_;
    std::unique_ptr<QtGlyphOutlines> glyphs_;
    std::unique_ptr<QtRenderHost> host_;
    std::unique_ptr<SceneFrameDrawer> drawer_;
    int timerId_ = 0;
    int ticks_ = 0;
};
