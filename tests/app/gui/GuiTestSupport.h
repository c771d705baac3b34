#pragma once

// Helpers of the window tests: the program a test drives and the ways a
// person works it, answering the modal dialogs it opens, and the example
// documents.

#include "CMainFrame.h"
#include "OpenGLTemplateApp.h"
#include "ViewOpenGLst.h"
#include "dialogs/DialogTestSupport.h"
#include "document/OpenGLTemplateDoc.h"
#include "document/ThreadPauseGuard.h"
#include "gui/ScreenCapture.h"
#include "panel/ControlPanelForm.h"
#include "panel/ControlPanelPane.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>
#include <QtTest>

#include <functional>
#include <memory>

// How long a window test waits for something that must happen (frames drawn,
// the ball moving, a file written) before it calls the run stuck. The waits end
// as soon as it happens, so the bound only has to outlast a heavily loaded machine.
constexpr int kStuckAfterMs = 180000;

// Example documents of the source tree.
inline QString exampleDocument(const QString& name)
{
    return QDir(QStringLiteral(MARLWICK_EXAMPLES_DIR)).filePath(name);
}

// Fails unless the document file at `path` reads back holding every surface
// as `held` (the window's document, paused while it is read) does; opening
// shows every surface, so `held` must show them all too.
inline void checkReadsBackAs(const QString& path, COpenGLTemplateDoc& held)
{
    COpenGLTemplateDoc reread;
    std::string error;
    QVERIFY2(reread.OnOpenDocument(path.toStdString(), error), error.c_str());
    const ThreadPauseGuard paused(held);
    QCOMPARE(dialogtest::surfaceRecords(reread), dialogtest::surfaceRecords(held));
}

// Pixels (every second one in each direction) that are not black.
inline int litPixels(const QImage& image)
{
    int lit = 0;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2) lit += QColor(image.pixel(x, y)).value() > 20 ? 1 : 0;
    return lit;
}

// The share of pixels (every second one in each direction) that differ.
inline double changedShare(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.isNull()) return 1.0;
    int changed = 0, total = 0;
    for (int y = 0; y < a.height(); y += 2)
        for (int x = 0; x < a.width(); x += 2, ++total) changed += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
    return static_cast<double>(changed) / total;
}

// The program a window test drives and the ways a person works it. Pictures
// the test takes are kept in $MARLWICK_SHOTS when it is set.
class WindowTest : public QObject {
protected:
    std::unique_ptr<OpenGLTemplateApp> app;
    QTemporaryDir folder; // what the test writes
    QString titleAtStart; // before the view's frame rates take the title over

    CMainFrame& frame() { return *app->mainFrame(); }
    ViewOpenGLst& view() { return *app->view(); }
    COpenGLTemplateDoc& doc() { return app->document(); }
    ControlPanelForm& panel() { return *app->controlPanel(); }
    QAction* action(const char* caption) { return frame().FindAction(QString::fromUtf8(caption)); }

    // Starts the program as a person does (with `document` when one is named),
    // its settings cleared, and waits for the view's first frames; `withPanel`
    // shows the control panel from the View menu.
    void start(const QString& document = {}, bool withPanel = false)
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings(QStringLiteral("Marlwick"), QStringLiteral("Marlwick")).clear();
        QVERIFY(folder.isValid());
        app = std::make_unique<OpenGLTemplateApp>();
        QStringList arguments{QStringLiteral("marlwick")};
        if (!document.isEmpty()) arguments << document;
        QVERIFY(app->InitInstance(arguments));
        titleAtStart = frame().windowTitle();
        QVERIFY(QTest::qWaitForWindowExposed(&frame()));
        QTRY_VERIFY_WITH_TIMEOUT(view().core().framesRendered() > 3, kStuckAfterMs);
        if (!withPanel) return;
        action("Control Panel")->trigger();
        QTRY_COMPARE(frame().panelPane()->width(), CMainFrame::kPanelWidth);
    }

    // Waits until the view has drawn `count` more frames; false when it stops drawing.
    bool moreFrames(int count = 3)
    {
        const auto frames = view().core().framesRendered();
        return QTest::qWaitFor([&] { return view().core().framesRendered() >= frames + count; }, kStuckAfterMs);
    }

    // What the screen shows of the view a few frames from now; none when the view stopped drawing.
    QImage viewPicture(const char* shot = nullptr)
    {
        if (!moreFrames()) return {};
        const QImage image = view().screen()->grabWindow(view().winId()).toImage().convertToFormat(QImage::Format_RGB32);
        if (shot) keep(image, shot);
        return image;
    }

    // The whole screen as the X server shows it, a few frames from now.
    QImage wholeScreen(const char* shot)
    {
        moreFrames();
        QApplication::processEvents();
        const QImage image = screencapture::CaptureWholeScreen();
        keep(image, shot);
        return image;
    }

    // The whole screen kept for a person to look at; nothing without $MARLWICK_SHOTS.
    void shot(const char* name)
    {
        if (!qEnvironmentVariableIsEmpty("MARLWICK_SHOTS")) wholeScreen(name);
    }

    void keep(const QImage& image, const char* name)
    {
        const QString shots = qEnvironmentVariable("MARLWICK_SHOTS");
        if (shots.isEmpty() || image.isNull()) return;
        QDir().mkpath(shots);
        image.save(QDir(shots).filePath(QStringLiteral("%1-%2-%3.png")
                                            .arg(QString::fromLatin1(metaObject()->className()))
                                            .arg(++shotNumber_)
                                            .arg(QString::fromLatin1(name))));
    }

    // A window over the running view shows its own picture on the screen,
    // lies wholly on it and is no smaller than its layout asks.
    void checkShownOverTheView(QWidget* window, const char* name)
    {
        QVERIFY2(QTest::qWaitForWindowExposed(window), name);
        const QImage own = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
        moreFrames(5); // frames that would draw over the window
        const QImage whole = wholeScreen(name);
        QVERIFY2(!whole.isNull(), "xwd -root gave no picture");
        const QRect area(window->mapToGlobal(QPoint(0, 0)), window->size());
        QVERIFY2(whole.rect().contains(area), qPrintable(QStringLiteral("%1 lies off the screen").arg(name)));
        const double shown = screencapture::MatchingShare(whole, area, own);
        QVERIFY2(shown > 0.9, qPrintable(QStringLiteral("%1: %2 of it shown").arg(name).arg(shown)));
        QVERIFY(window->width() >= window->minimumSizeHint().width());
        QVERIFY(window->height() >= window->minimumSizeHint().height());
    }

    template <typename T = QAbstractButton>
    static T* control(QWidget* parent, const char* name)
    {
        return dialogtest::control<T>(parent, name);
    }

    // Clicks the tree item `text` (under the group `group`, when given); true
    // when it became the current item.
    static bool clickTreeItem(QTreeWidget* tree, const QString& text, const QString& group = {})
    {
        for (QTreeWidgetItem* item : tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive)) {
            if (!group.isEmpty() && (!item->parent() || item->parent()->text(0) != group)) continue;
            tree->scrollToItem(item);
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
            return tree->currentItem() == item;
        }
        return false;
    }

    // A panel button clicked as a person does, scrolled into view first; with
    // the panel hidden, clicked as its shortcut would.
    void clickPanel(const char* name)
    {
        auto* button = control(&panel(), name);
        if (frame().panelPane()->isVisible()) dialogtest::clickInPane(frame().panelPane(), button);
        else button->click();
    }

    // Waits until the ball has taken `count` more steps.
    void rollFor(std::uint64_t count)
    {
        const std::uint64_t until = doc().simulation.rideProfile.Recorded() + count;
        QTRY_VERIFY_WITH_TIMEOUT(doc().simulation.rideProfile.Recorded() >= until, kStuckAfterMs);
    }

    Vec3 ballCentre()
    {
        LockGuard guard(doc().simulationLock);
        return doc().simulation.published.ballCentre;
    }

    // "Position ball", the launch aimed with the mouse at `aim` and fixed with a click.
    void positionAndFixLaunch(QPoint aim)
    {
        clickPanel("positionBallButton");
        QVERIFY(doc().simulation.settingVelocity.load());
        QTest::mouseMove(&view(), aim + QPoint(40, 0));
        QTest::mouseMove(&view(), aim);
        QTest::mouseClick(&view(), Qt::LeftButton, {}, aim);
        QVERIFY(doc().simulation.velocitySet.load());
    }

    // A little above the view's centre: a gentle push straight ahead.
    QPoint gentleAim() { return {view().width() / 2, view().height() / 2 - view().height() / 30}; }

private:
    int shotNumber_ = 0;
};

// Waits (from the event loop the dialog runs) for the next modal dialog of
// type T and hands it to act, which must close it. Should the dialog still be
// open a second later (a file dialog still reading its folder, say), act runs
// again. Returns a flag that turns true once act has run.
template <typename T>
std::shared_ptr<bool> whenModal(std::function<void(T*)> act, int timeoutMs = 20000)
{
    auto done = std::make_shared<bool>(false);
    auto timer = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    auto sinceAct = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [timer, act, done, clock, sinceAct, timeoutMs] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        const bool finished = (*done && !dialog) || clock->elapsed() > timeoutMs;
        if (finished) {
            timer->stop();
            timer->deleteLater();
        } else if (dialog && (!*done || sinceAct->elapsed() > 1000)) {
            *done = true;
            sinceAct->start();
            act(dialog);
        }
    });
    timer->start(30);
    return done;
}

// Chooses a file in a file dialog by typing its full path into the name
// field, as a person may; the dialog's own selection follows its folder
// listing, which it reads in the background.
inline void chooseFile(QFileDialog* dialog, const QString& path)
{
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (name) name->setText(path);
    else dialog->selectFile(path);
    static_cast<QDialog*>(dialog)->accept();
}
