// The view in a real window: an edit shows at once while the camera follows
// the ball (the launch being chosen).

#include "OpenGLTemplateApp.h"
#include "QtTestRegistry.h"
#include "document/OpenGLTemplateDoc.h"
#include "gui/GuiTestSupport.h"
#include "panel/ControlPanelForm.h"
#include "simulation/SharedSettings.h"

#include <QAbstractButton>
#include <QPainter>
#include <QScreen>
#include <QSlider>
#include <QStandardPaths>
#include <QtTest>

class ViewInWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<OpenGLTemplateApp> app;

    ViewOpenGLst& view() { return *app->view(); }
    // What the screen shows of the view a few frames from now, the window
    // over it (the editor) blacked out.
    QImage shown(const QWidget* over)
    {
        const auto frames = view().core().framesRendered();
        if (!QTest::qWaitFor([&] { return view().core().framesRendered() > frames + 3; }, kStuckAfterMs)) return {};
        QImage image = view().screen()->grabWindow(view().winId()).toImage().convertToFormat(QImage::Format_RGB32);
        const QRect covered(view().mapFromGlobal(over->frameGeometry().topLeft()), over->frameGeometry().size());
        QPainter(&image).fillRect(covered, Qt::black);
        return image;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        startWithControlPanel(app);
    }

    void anEditShowsAtOnceWhileTheCameraFollowsTheBall()
    {
        COpenGLTemplateDoc& doc = app->document();
        ControlPanelForm& panel = *app->mainFrame()->controlPanel();
        doc.selectedSurface = doc.surfaces.front().get();
        panel.findChild<QAbstractButton*>(QStringLiteral("editSelectedButton"))->click();
        auto* editor = panel.findChild<QDialog*>(QStringLiteral("editADialog"));
        QTRY_VERIFY(editor->isVisible());
        QVERIFY(view().PositionBallCommand().isEmpty());
        QVERIFY(ReadSetting(doc.cameraFollowsBall));
        editor->findChild<QAbstractButton*>(QStringLiteral("horizontalTurnPerformCheck"))->click();
        const QImage before = shown(editor);
        editor->findChild<QSlider*>(QStringLiteral("horizontalTurnSlider"))->setValue(60);
        const QImage after = shown(editor);
        QVERIFY(!before.isNull() && before.size() == after.size());
        int changed = 0;
        for (int y = 0; y < before.height(); y += 2)
            for (int x = 0; x < before.width(); x += 2) changed += before.pixel(x, y) != after.pixel(x, y);
        QVERIFY2(changed > before.width() * before.height() / 2000, qPrintable(QString::number(changed)));
        editor->findChild<QAbstractButton*>(QStringLiteral("closeButton"))->click();
        QTRY_VERIFY(!editor->isVisible());
    }

    void cleanupTestCase()
    {
        app->document().SetModifiedFlag(false);
        app.reset();
    }
};

MARLWICK_REGISTER_QTEST(ViewInWindowTest)
#include "ViewInWindowTest.moc"
