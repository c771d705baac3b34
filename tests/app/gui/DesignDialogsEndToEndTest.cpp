// A designer's first track, in a real window: from the new document, create
// a channel "ramp" with "Create channel", bend it down with "Edit selected"
// (tick the vertical turn's "Down", drag its slider to 30, Save, Close),
// save the document and read it back with marlwick-cli, then roll the ball
// down the ramp. Each dialog is captured on the whole screen (kept in
// MARLWICK_SHOTS when set) and must show over the running view.

#include "CMainFrame.h"
#include "OpenGLTemplateApp.h"
#include "QtTestRegistry.h"
#include "ViewOpenGLst.h"
#include "dialogs/DialogTestSupport.h"
#include "document/OpenGLTemplateDoc.h"
#include "gui/GuiTestSupport.h"
#include "gui/ScreenCapture.h"
#include "panel/ControlPanelForm.h"
#include "panel/ControlPanelPane.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QJsonArray>
#include <QJsonObject>
#include <QLineEdit>
#include <QMessageBox>
#include <QSettings>
#include <QSlider>
#include <QStandardPaths>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class DesignDialogsEndToEndTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<OpenGLTemplateApp> app;
    QTemporaryDir dir;
    QString shots;
    int shotNumber = 0;

    CMainFrame& frame() { return *app->mainFrame(); }
    ViewOpenGLst& view() { return *app->view(); }
    COpenGLTemplateDoc& doc() { return app->document(); }
    ControlPanelForm& panel() { return *frame().controlPanel(); }
    QDialog* dialog(const char* name)
    {
        auto* d = panel().findChild<QDialog*>(QString::fromLatin1(name));
        if (!d) qFatal("no dialog %s", name);
        return d;
    }
    template <typename T>
    T* in(const char* dialogName, const char* name)
    {
        return dialogtest::control<T>(dialog(dialogName), name);
    }
    void clickPanel(const char* name)
    {
        auto* button = panel().findChild<QAbstractButton*>(QString::fromLatin1(name));
        QVERIFY2(button, name);
        dialogtest::clickInPane(frame().panelPane(), button);
    }
    void click(QAbstractButton* button) { dialogtest::clickWithMouse(button); }
    void type(QLineEdit* edit, const QString& text)
    {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    // The whole screen with the dialog over the running view: the dialog's
    // own picture must be what the screen shows where it lies.
    void captureDialog(QDialog* d, const char* name)
    {
        QTRY_VERIFY(d->isVisible());
        QApplication::processEvents();
        const auto frames = view().core().framesRendered();
        QTRY_VERIFY_WITH_TIMEOUT(view().core().framesRendered() > frames + 3, kStuckAfterMs);
        const QImage own = d->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage whole = screencapture::CaptureWholeScreen();
        QVERIFY2(!whole.isNull(), "xwd -root gave no picture");
        if (!shots.isEmpty())
            whole.save(QDir(shots).filePath(QStringLiteral("design-%1-%2.png").arg(++shotNumber).arg(name)));
        // Within the screen, and shown (not a black or stale rectangle).
        const QRect area(d->mapToGlobal(QPoint(0, 0)), d->size());
        QVERIFY2(whole.rect().contains(area), qPrintable(QStringLiteral("%1 lies off the screen").arg(name)));
        const double shown = screencapture::MatchingShare(whole, area, own);
        QVERIFY2(shown > 0.9, qPrintable(QStringLiteral("%1: %2 of the dialog shown").arg(name).arg(shown)));
        // Nothing clipped: the dialog is at least as large as its layout asks.
        QVERIFY(d->width() >= d->minimumSizeHint().width() && d->height() >= d->minimumSizeHint().height());
    }
    // Drags a slider's thumb to the position of `value`, as a person does,
    // then steps the last degree with the arrow keys if the pixels fell short.
    void dragSlider(QSlider* slider, int value)
    {
        QStyleOptionSlider option;
        option.initFrom(slider);
        option.orientation = slider->orientation();
        option.tickPosition = slider->tickPosition();
        option.minimum = slider->minimum();
        option.maximum = slider->maximum();
        option.sliderPosition = option.sliderValue = slider->value();
        QStyle* style = slider->style();
        const QRect thumb = style->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider);
        const QRect groove = style->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, slider);
        const int span = groove.width() - thumb.width();
        const int to = groove.x() + thumb.width() / 2 +
                       QStyle::sliderPositionFromValue(slider->minimum(), slider->maximum(), value, span);
        QTest::mousePress(slider, Qt::LeftButton, {}, thumb.center());
        const QPoint grip = thumb.center();
        for (int k = 1; k <= 10; ++k) QTest::mouseMove(slider, QPoint(grip.x() + (to - grip.x()) * k / 10, grip.y()));
        QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(to, thumb.center().y()));
        QVERIFY2(std::abs(slider->value() - value) <= 2, qPrintable(QString::number(slider->value())));
        while (slider->value() < value) QTest::keyClick(slider, Qt::Key_Right);
        while (slider->value() > value) QTest::keyClick(slider, Qt::Key_Left);
    }
    static QString cliPath() { return QStringLiteral(MARLWICK_CLI); }
    Vec3 ballPosition()
    {
        LockGuard guard(doc().simulationLock);
        return doc().simulation.published.ballCentre;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings(QStringLiteral("Marlwick"), QStringLiteral("Marlwick")).clear();
        QVERIFY(dir.isValid());
        QDir::setCurrent(dir.path());
        shots = qEnvironmentVariable("MARLWICK_SHOTS");
        if (!shots.isEmpty()) QDir().mkpath(shots);
        startWithControlPanel(app);
    }

    void createTheRamp()
    {
        clickPanel("createChannelButton");
        QDialog* create = dialog("createChannelDialog");
        captureDialog(create, "create-channel");
        type(in<QLineEdit>("createChannelDialog", "nameEdit"), QStringLiteral("ramp"));
        type(in<QLineEdit>("createChannelDialog", "intermediateEdit"), QStringLiteral("6"));
        QTest::keyClick(in<QLineEdit>("createChannelDialog", "intermediateEdit"), Qt::Key_Return);
        QTRY_VERIFY(!create->isVisible());
        SurfaceSection* ramp = doc().selectedSurface;
        QVERIFY(ramp);
        QCOMPARE(QString::fromLatin1(ramp->name), QStringLiteral("ramp"));
        QCOMPARE(ramp->sectionCount, 10);
        QCOMPARE(doc().surfaces.front()->render.load(), 0); // the ramp is shown alone
    }

    void bendItDownWithTheTypeADialog()
    {
        SurfaceSection* ramp = doc().selectedSurface;
        const double endHeight = ramp->sections[ramp->sectionCount - 1].position.y;
        clickPanel("editSelectedButton");
        QDialog* edit = dialog("editADialog");
        QTRY_VERIFY(edit->isVisible());
        click(in<QCheckBox>("editADialog", "verticalTurnPerformCheck"));
        click(in<QCheckBox>("editADialog", "verticalTurnSenseCheck"));
        dragSlider(in<QSlider>("editADialog", "verticalTurnSlider"), 30);
        QCOMPARE(ramp->verticalTurn.angle, 30.0 / 360.0 * 2.0 * 3.14159265359);
        QVERIFY(ramp->sections[ramp->sectionCount - 1].position.y < endHeight - 1.0); // the view follows
        captureDialog(edit, "edit-type-a");
        click(in<QAbstractButton>("editADialog", "saveButton"));
        click(in<QAbstractButton>("editADialog", "closeButton"));
        QTRY_VERIFY(!edit->isVisible());
        QVERIFY(ramp->verticalTurn.perform && ramp->verticalTurn.down);
        QVERIFY(!ramp->editingSections);
    }

    void saveAndReadItBackWithTheCommandLineTool()
    {
        const QString path = dir.filePath(QStringLiteral("ramp.mwk"));
        QVERIFY(frame().SaveDocumentTo(path));
        QJsonObject info;
        dialogtest::readInfo(cliPath(), path, info);
        if (QTest::currentTestFailed()) return;
        QJsonObject ramp;
        for (const QJsonValue s : info.value(QStringLiteral("surfaces")).toArray())
            if (s.toObject().value(QStringLiteral("name")).toString() == QStringLiteral("ramp")) ramp = s.toObject();
        QVERIFY(!ramp.isEmpty());
        QCOMPARE(ramp.value(QStringLiteral("type")).toInt(), 0);
        QCOMPARE(ramp.value(QStringLiteral("sectionCount")).toInt(), 10);
        QCOMPARE(ramp.value(QStringLiteral("intermediateCount")).toInt(), 6);
        QCOMPARE(ramp.value(QStringLiteral("pointsPerSection")).toInt(), 5);
        // Bent down: the channel ends well below where it starts.
        QVERIFY(ramp.value(QStringLiteral("heightMin")).toDouble() < -5.0);
        // The turn itself, read back by the document's own reader.
        COpenGLTemplateDoc reread;
        std::string error;
        QVERIFY2(reread.OnOpenDocument(path.toStdString(), error), error.c_str());
        const SurfaceSection& back = *reread.surfaces.back();
        QVERIFY(back.verticalTurn.perform && back.verticalTurn.down);
        QCOMPARE(back.verticalTurn.angle, 30.0 / 360.0 * 2.0 * 3.14159265359);
    }

    void rollTheBallDownTheRamp()
    {
        clickPanel("ballStartAtFocalPointButton"); // the focal point sits on the new ramp
        QCOMPARE(QString::fromLatin1(doc().ballStartSurface->name), QStringLiteral("ramp"));
        clickPanel("positionBallButton");
        QVERIFY(doc().simulation.settingVelocity.load());
        const Vec3 start = ballPosition();
        const QPoint aim(view().width() / 2, view().height() / 2 - view().height() / 30);
        QTest::mouseMove(&view(), aim);
        QTest::mouseClick(&view(), Qt::LeftButton, {}, aim);
        clickPanel("rollBallButton");
        QTRY_VERIFY_WITH_TIMEOUT(length(ballPosition() - start) > 2.0, kStuckAfterMs);
        QVERIFY(ballPosition().y < start.y); // down the ramp
        clickPanel("showAllButton"); // stops the ball
    }

    void theOtherDialogsShowTidily()
    {
        clickPanel("createCircularButton");
        captureDialog(dialog("createCircularDialog"), "create-circular");
        QTest::keyClick(dialog("createCircularDialog"), Qt::Key_Escape);
        QTRY_VERIFY(!dialog("createCircularDialog")->isVisible());

        struct Typed {
            const char* radio;
            const char* editor;
            const char* name;
        };
        const Typed typed[] = {{"typeBRadio", "editBDialog", "typed-b"}, {"typeCRadio", "editCDialog", "typed-c"}};
        for (const Typed& t : typed) {
            clickPanel("createChannelButton");
            type(in<QLineEdit>("createChannelDialog", "nameEdit"), QString::fromLatin1(t.name));
            click(in<QAbstractButton>("createChannelDialog", t.radio));
            click(in<QAbstractButton>("createChannelDialog", "okButton"));
            QTRY_VERIFY(!dialog("createChannelDialog")->isVisible());
            clickPanel("editSelectedButton");
            captureDialog(dialog(t.editor), t.editor);
            click(in<QAbstractButton>(t.editor, "closeButton"));
            QTRY_VERIFY(!dialog(t.editor)->isVisible());
        }
    }

    void cleanupTestCase()
    {
        doc().SetModifiedFlag(false);
        app.reset();
    }
};

MARLWICK_REGISTER_QTEST(DesignDialogsEndToEndTest)
#include "DesignDialogsEndToEndTest.moc"
