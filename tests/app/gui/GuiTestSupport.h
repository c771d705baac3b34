#pragma once

// Helpers of the window tests: answering the modal dialogs the
// program opens, and the example documents.

#include "CMainFrame.h"
#include "OpenGLTemplateApp.h"
#include "ViewOpenGLst.h"
#include "panel/ControlPanelPane.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QSettings>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include <functional>
#include <memory>

// How long a window test waits for something that must happen (frames drawn,
// the ball moving, a file written) before it calls the run stuck. The waits end
// as soon as it happens, so the bound only has to outlast a heavily loaded machine.
constexpr int kStuckAfterMs = 180000;

// Starts the program on a new document, waits for its view to draw and shows
// the control panel.
inline void startWithControlPanel(std::unique_ptr<OpenGLTemplateApp>& app)
{
    app = std::make_unique<OpenGLTemplateApp>();
    QVERIFY(app->InitInstance({QStringLiteral("marlwick")}));
    CMainFrame& frame = *app->mainFrame();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QTRY_VERIFY_WITH_TIMEOUT(app->view()->core().framesRendered() > 3, kStuckAfterMs);
    frame.FindAction(QStringLiteral("Control Panel"))->trigger();
    QTRY_VERIFY(frame.panelPane()->isVisible());
}

// Example documents of the source tree.
inline QString exampleDocument(const QString& name)
{
    return QDir(QStringLiteral(MARLWICK_EXAMPLES_DIR)).filePath(name);
}

// The program as a person starts it with a document, its settings cleared,
// once its main window is shown; none when it did not start.
inline std::unique_ptr<OpenGLTemplateApp> startProgram(const QString& document)
{
    QSettings(QStringLiteral("Marlwick"), QStringLiteral("Marlwick")).clear();
    auto app = std::make_unique<OpenGLTemplateApp>();
    if (!app->InitInstance({QStringLiteral("marlwick"), document})) return nullptr;
    if (!QTest::qWaitForWindowExposed(app->mainFrame())) return nullptr;
    return app;
}

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
