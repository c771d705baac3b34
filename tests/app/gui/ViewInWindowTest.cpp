// The view in a real window: an edit shows at once with the camera following
// the ball, and the mouse wheel zooms.

#include "CMainFrame.h"
#include "OpenGLTemplateApp.h"
#include "QtTestRegistry.h"
#include "ViewOpenGLst.h"
#include "document/OpenGLTemplateDoc.h"
#include "gui/GuiTestSupport.h"
#include "panel/ControlPanelForm.h"
#include "simulation/SharedSettings.h"

#include <QAbstractButton>
#include <QScreen>
#include <QSlider>
#include <QStandardPaths>
#include <QWheelEvent>
#include <QtTest>

#include <memory>

class ViewInWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<OpenGLTemplateApp> app;

    CMainFrame& frame() { return *app->mainFrame(); }
    ViewOpenGLst& view() { return *app->view(); }
    COpenGLTemplateDoc& doc() { return app->document(); }
    template <typename T>
    T* find(const char* name)
    {
        auto* found = frame().controlPanel()->findChild<T*>(QString::fromLatin1(name));
        if (!found) qFatal("no %s", name);
        return found;
    }
    // The view's picture on the screen, a few frames from now.
    QImage shown()
    {
        const auto frames = view().core().framesRendered();
        if (!QTest::qWaitFor([&] { return view().core().framesRendered() > frames + 3; }, kStuckAfterMs)) return {};
        return view().screen()->grabWindow(view().winId()).toImage().convertToFormat(QImage::Format_RGB32);
    }
    // The share of the view's pixels that changed, outside a window over it.
    static double changedShare(const QImage& a, const QImage& b, const QRect& over)
    {
        if (a.isNull() || a.size() != b.size()) return 1.0;
        int changed = 0, total = 0;
        for (int y = 0; y < a.height(); y += 2)
            for (int x = 0; x < a.width(); x += 2) {
                if (over.contains(x, y)) continue;
                ++total;
                changed += a.pixel(x, y) != b.pixel(x, y);
            }
        return total ? static_cast<double>(changed) / total : 0.0;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        startWithControlPanel(app);
    }

    void anEditShowsAtOnceWhileTheCameraFollowsTheBall()
    {
        doc().selectedSurface = doc().surfaces.front().get();
        find<QAbstractButton>("editSelectedButton")->click();
        auto* editor = find<QDialog>("editADialog");
        QTRY_VERIFY(editor->isVisible());
        // The ball positioned on the surface being edited: the follow camera and the launch preview.
        QVERIFY(view().PositionBallCommand().isEmpty());
        QVERIFY(ReadSetting(doc().cameraFollowsBall));
        find<QAbstractButton>("horizontalTurnPerformCheck")->click();
        const QImage before = shown();
        find<QSlider>("horizontalTurnSlider")->setValue(60);
        const QImage after = shown();
        const QRect over(view().mapFromGlobal(editor->frameGeometry().topLeft()), editor->frameGeometry().size());
        const double changed = changedShare(before, after, over);
        QVERIFY2(changed > 0.002, qPrintable(QStringLiteral("%1 of the view changed").arg(changed)));
        editor->findChild<QAbstractButton*>(QStringLiteral("closeButton"))->click();
        QTRY_VERIFY(!editor->isVisible());
    }

    void theWheelOverTheViewZoomsInSmallSteps()
    {
        view().StopBallCommand(); // back to the orbit camera
        const double before = view().core().OrbitDistance();
        const QPointF at(view().width() / 2.0, view().height() / 2.0);
        QWheelEvent forward(at, view().mapToGlobal(at), {}, {0, QWheelEvent::DefaultDeltasPerStep}, Qt::NoButton,
                            Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&view(), &forward);
        QCOMPARE(view().core().OrbitDistance(), 0.9 * before);
    }

    void cleanupTestCase()
    {
        doc().SetModifiedFlag(false);
        app.reset();
    }
};

MARLWICK_REGISTER_QTEST(ViewInWindowTest)
#include "ViewInWindowTest.moc"
