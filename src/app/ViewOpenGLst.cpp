#include "ViewOpenGLst.h"

#include "FileDialogFolder.h"
#include "QtRenderHost.h"
#include "design/PanelCommands.h"
#include "document/OpenGLTemplateDoc.h"
#include "document/ThreadPauseGuard.h"
#include "platform/DataFolders.h"
#include "simulation/FollowCamera.h"
#include "simulation/SharedSettings.h"
#include "simulation/Simulation.h"
#include "view/CameraCommands.h"
#include "view/PrintLayout.h"

#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QWheelEvent>

namespace {

constexpr int kTimerMs = 10;
constexpr int kTicksPerTitle = 20;
constexpr const char* kImageFilters = "BMP Files (*.BMP);;JPEG Files (*.JPG);;PNG Files (*.PNG)";
constexpr const char* kMovieFilters = "MP4 Movies (*.mp4);;WebM Movies (*.webm)";

// The arcball's code of a rotation key, or 0.
int arcballCode(const QKeyEvent& event)
{
    const bool keypad = event.modifiers() & Qt::KeypadModifier;
    switch (event.key()) {
    case Qt::Key_Tab: return kKeyTab;
    case Qt::Key_Escape: return kKeyEscape;
    case Qt::Key_PageUp: return kKeyPageUp;
    case Qt::Key_Home: return kKeyHome;
    case Qt::Key_Left: return kKeyLeft;
    case Qt::Key_Up: return kKeyUp;
    case Qt::Key_Right: return kKeyRight;
    case Qt::Key_Down: return kKeyDown;
    case Qt::Key_2: return keypad ? kKeyPad2 : 0;
    case Qt::Key_4: return keypad ? kKeyPad4 : 0;
    case Qt::Key_6: return keypad ? kKeyPad6 : 0;
    case Qt::Key_7: return keypad ? kKeyPad7 : 0;
    case Qt::Key_8: return keypad ? kKeyPad8 : 0;
    case Qt::Key_9: return keypad ? kKeyPad9 : 0;
    default: return 0;
    }
}

// Records a polled key; false when the key is not one the render thread polls.
bool recordPolledKey(KeyStates& keys, const QKeyEvent& event, bool down)
{
    const int key = event.key();
    if (key == Qt::Key_Insert) keys.Set(PolledKey::Insert, down);
    else if (key == Qt::Key_Delete) keys.Set(PolledKey::Delete, down);
    else if (key >= Qt::Key_1 && key <= Qt::Key_9 && !(event.modifiers() & Qt::KeypadModifier))
        keys.Set(KeyStates::Digit(key - Qt::Key_0), down);
    else return false;
    return true;
}

bool typesCharacter(const QKeyEvent& event)
{
    const QString text = event.text();
    return !text.isEmpty() && text.at(0).isPrint();
}

} // namespace

ViewOpenGLst::ViewOpenGLst(COpenGLTemplateDoc& document)
    : document_(document),
      core_(document),
      controller_(document.ballController),
      mouse_(core_, controller_),
      glyphs_(std::make_unique<QtGlyphOutlines>()),
      host_(std::make_unique<QtRenderHost>(*this)),
      drawer_(std::make_unique<SceneFrameDrawer>(document, glyphs_.get()))
{
    setSurfaceType(QSurface::OpenGLSurface);
    setFormat(QtRenderHost::ViewFormat());
    drawer_->renderer().meshListCompiled = [this] { emit meshListCompiled(); };
    core_.movieFinished = [this] {
        QMetaObject::invokeMethod(this, [this] { StartMovieAssembler(); }, Qt::QueuedConnection);
    };
    core_.drawingUnavailable = [this](const std::string& message) {
        const QString text = QString::fromStdString(message);
        QMetaObject::invokeMethod(this, [this, text] { emit drawingUnavailable(text); }, Qt::QueuedConnection);
    };
    timerId_ = startTimer(kTimerMs, Qt::PreciseTimer);
}

ViewOpenGLst::~ViewOpenGLst() { Teardown(); }

void ViewOpenGLst::Teardown()
{
    if (timerId_) killTimer(timerId_);
    timerId_ = 0;
    // A movie being recorded keeps what was recorded.
    if (core_.liveMovieRecording()) core_.StopLiveMovie();
    core_.Teardown();
}

QPoint ViewOpenGLst::DevicePoint(const QPointF& logical) const
{
    const qreal ratio = devicePixelRatio();
    return {static_cast<int>(logical.x() * ratio), static_cast<int>(logical.y() * ratio)};
}

// --- window events ---

void ViewOpenGLst::exposeEvent(QExposeEvent*)
{
    // The first paint starts both threads; all drawing is theirs.
    if (isExposed() && !core_.threadsStarted()) core_.StartThreads(*host_, *drawer_);
}

void ViewOpenGLst::resizeEvent(QResizeEvent*)
{
    const qreal ratio = devicePixelRatio();
    const int w = static_cast<int>(width() * ratio), h = static_cast<int>(height() * ratio);
    core_.Resize(w, h);
    mouse_.SetWindowSize(w, h);
}

void ViewOpenGLst::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = DevicePoint(event->position());
    if (event->button() == Qt::LeftButton)
        mouse_.LeftDown(p.x(), p.y(), event->modifiers() & Qt::ControlModifier,
                        event->modifiers() & Qt::ShiftModifier);
    else if (event->button() == Qt::RightButton)
        mouse_.RightDown(p.x(), p.y());
}

void ViewOpenGLst::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) mouse_.LeftUp();
    else if (event->button() == Qt::RightButton) mouse_.RightUp();
}

void ViewOpenGLst::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = DevicePoint(event->position());
    mouse_.Move(p.x(), p.y());
}

void ViewOpenGLst::wheelEvent(QWheelEvent* event)
{
    mouse_.Wheel(event->angleDelta().y() / static_cast<double>(QWheelEvent::DefaultDeltasPerStep));
    event->accept();
}

void ViewOpenGLst::keyPressEvent(QKeyEvent* event)
{
    const bool polled = recordPolledKey(core_.keys(), *event, true);
    // A polled key held down repeats nothing else.
    if (polled && event->isAutoRepeat()) return;
    if (const int code = arcballCode(*event)) mouse_.Key(code);
    else if (typesCharacter(*event)) mouse_.CharacterTyped();
}

void ViewOpenGLst::keyReleaseEvent(QKeyEvent* event)
{
    if (!event->isAutoRepeat()) recordPolledKey(core_.keys(), *event, false);
}

void ViewOpenGLst::focusOutEvent(QFocusEvent*) { core_.keys().ReleaseAll(); }

void ViewOpenGLst::timerEvent(QTimerEvent*)
{
    if (++ticks_ % kTicksPerTitle == 0) emit titleTextChanged(QString::fromStdString(core_.TitleText()));
}

// --- File commands ---

void ViewOpenGLst::OnFileSaveImage(QWidget* dialogParent, const QString& startFolder)
{
    if (core_.requests().GetRenderRequest(SaveImage) != Idle) return;
    const QString path =
        AskSaveFileName(dialogParent, kImageFilters, QStringLiteral("Quorvane Image"), false, startFolder);
    if (!path.isEmpty()) SaveImageTo(path);
}

bool ViewOpenGLst::SaveImageTo(const QString& fileName)
{
    return core_.SaveImage(QFile::encodeName(fileName).toStdString());
}

void ViewOpenGLst::OnFileSaveMovieFrames()
{
    // Frames are written as movie/imageNNN.bmp below the current directory.
    QDir::current().mkpath(QStringLiteral("movie"));
    core_.StartMovie();
}

QString ViewOpenGLst::OnFileSaveMovie(QWidget* dialogParent, const QString& startFolder)
{
    if (core_.liveMovieRecording()) return {};
    const QString path =
        AskSaveFileName(dialogParent, kMovieFilters, QStringLiteral("Quorvane Movie"), true, startFolder);
    return path.isEmpty() ? QString() : StartMovieTo(path);
}

QString ViewOpenGLst::StartMovieTo(const QString& fileName)
{
    return QString::fromStdString(core_.StartLiveMovie(QFile::encodeName(fileName).toStdString()));
}

ViewOpenGLst::MovieReport ViewOpenGLst::StopMovie()
{
    const movie::RecordingSummary summary = core_.StopLiveMovie();
    // The file name is in the file system's encoding.
    return {summary.written, QFile::decodeName(QByteArray::fromStdString(LiveMovie::Report(summary)))};
}

void ViewOpenGLst::StartMovieAssembler()
{
    const QString folder = QDir::current().filePath(QStringLiteral("movie"));
    const QString program = QFile::decodeName(platform::helperProgramPath("bmp2avi").c_str());
    // Fire and forget: whether it starts or succeeds is the assembler's business.
    QProcess::startDetached(program, {QStringLiteral("-i"), QStringLiteral("image"), QStringLiteral("-o"),
                                      QStringLiteral("out"), QStringLiteral("-p")},
                            folder);
    emit movieAssemblerStarted(folder);
}

bool ViewOpenGLst::PrintTo(QPrinter& printer, bool preview)
{
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const OffscreenPicture picture = core_.Print(page.width(), page.height(), preview);
    if (picture.empty()) return false;
    // Bottom-up B, G, R, A rows are a 32-bit image upside down.
    const QImage image = QImage(picture.bgra.data(), picture.width, picture.height, QImage::Format_RGB32).mirrored();
    const PixelRect target = FitCentred(picture.width, picture.height, page.width(), page.height());
    QPainter painter(&printer);
    painter.drawImage(QRect(target.x, target.y, target.width, target.height), image);
    return painter.end();
}

// --- ball and camera commands ---

QString ViewOpenGLst::PositionBallCommand()
{
    core_.KeepOrbitView();
    const std::string message = PositionBall(document_);
    if (!message.empty()) return QString::fromStdString(message);
    const double d = core_.OrbitDistance();
    core_.WithViewLock([&] { PreviewLaunch(document_, d); });
    return {};
}

void ViewOpenGLst::StopBallCommand()
{
    core_.EndFollowing();
    WithRenderPaused([&] { StopBall(document_); });
}

void ViewOpenGLst::SetCameraFollowsBall(bool follow)
{
    if (!follow) {
        const bool wasFollowing = ReadSetting(document_.cameraFollowsBall);
        core_.EndFollowing();
        if (wasFollowing) document_.SetModifiedFlag();
        return;
    }
    core_.KeepOrbitView();
    WithRenderPaused([&] { design::SetDocumentSwitch(document_, &DocumentSettings::cameraFollowsBall, true); });
}

void ViewOpenGLst::FocalPointAtBallCommand()
{
    // The ball's surface is the physics thread's while it runs.
    const ThreadPauseGuard held(document_);
    SetFocalPointAtBall(document_);
}
