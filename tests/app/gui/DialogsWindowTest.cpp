// The design dialogs and the file dialogs in a real window: a surface that is
// not being edited is drawn as before once an editor has bent its neighbour
// and closed, and Open and Save image start in the folder last used (the
// document's at first), not in the folder the program was started from.

#include "QtTestRegistry.h"
#include "dialogs/DialogTestSupport.h"
#include "document/OpenGLTemplateDoc.h"
#include "gui/GuiTestSupport.h"
#include "panel/ControlPanelForm.h"

#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QScreen>
#include <QSettings>
#include <QSlider>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>

class DialogsWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<OpenGLTemplateApp> app;
    QTemporaryDir dir;

    CMainFrame& frame() { return *app->mainFrame(); }
    ViewOpenGLst& view() { return *app->view(); }
    COpenGLTemplateDoc& doc() { return app->document(); }
    ControlPanelForm& panel() { return *frame().controlPanel(); }
    QDialog* dialog(const char* name) { return dialogtest::control<QDialog>(&panel(), name); }
    template <typename T = QAbstractButton>
    T* in(const char* dialogName, const char* name)
    {
        return dialogtest::control<T>(dialog(dialogName), name);
    }
    void clickPanel(const char* name)
    {
        dialogtest::clickInPane(frame().panelPane(), dialogtest::control<QAbstractButton>(&panel(), name));
    }
    // What the screen shows of the view once its frames have settled.
    QImage viewPicture()
    {
        QImage shown;
        for (int k = 0; k < 50; ++k) {
            const auto frames = view().core().framesRendered();
            for (int n = 0; n < 1000 && view().core().framesRendered() < frames + 3; ++n) QTest::qWait(10);
            QImage now = view().screen()->grabWindow(view().winId()).toImage().convertToFormat(QImage::Format_RGB32);
            if (now == shown) break;
            shown = now;
        }
        return shown;
    }
    // Runs a File command and hands the file dialog it opens to act, which closes it.
    void withFileDialog(const char* command, const std::function<void(QFileDialog*)>& act)
    {
        bool acted = false;
        // Fires in the dialog's own event loop, once it is shown.
        QTimer::singleShot(0, this, [&] {
            if (auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                acted = true;
                act(d);
            }
        });
        frame().FindAction(QString::fromLatin1(command))->trigger();
        QVERIFY2(acted, command);
    }
    QString startFolderOf(const char* command)
    {
        QString folder;
        withFileDialog(command, [&folder](QFileDialog* d) {
            folder = d->directory().absolutePath();
            d->reject();
        });
        return folder;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings(QStringLiteral("Marlwick"), QStringLiteral("Marlwick")).clear();
        QVERIFY(dir.isValid());
        startWithControlPanel(app);
    }

    void aNeighbourIsDrawnAsBeforeOnceAnEditorCloses()
    {
        clickPanel("createChannelButton");
        dialogtest::type(dialog("createChannelDialog"), "nameEdit", QStringLiteral("turn1"));
        dialogtest::clickWithMouse(in("createChannelDialog", "okButton"));
        QTRY_VERIFY(!dialog("createChannelDialog")->isVisible());
        clickPanel("showAllButton"); // "a" too, hidden by the creation
        auto* render = dialogtest::control<QCheckBox>(&panel(), "renderCheck");
        dialogtest::clickInPane(frame().panelPane(), render); // turn1 hidden: "a" alone
        const QImage alone = viewPicture();
        dialogtest::clickInPane(frame().panelPane(), render);

        clickPanel("editSelectedButton");
        QTRY_VERIFY(dialog("editADialog")->isVisible());
        dialogtest::clickWithMouse(in("editADialog", "horizontalTurnPerformCheck"));
        in<QSlider>("editADialog", "horizontalTurnSlider")->setValue(90);
        dialogtest::clickWithMouse(in("editADialog", "saveButton"));
        dialogtest::clickWithMouse(in("editADialog", "closeButton"));
        QTRY_VERIFY(!dialog("editADialog")->isVisible());
        QVERIFY(viewPicture() != alone); // the bent turn1 beside "a"
        dialogtest::clickInPane(frame().panelPane(), render);
        QCOMPARE(viewPicture(), alone);
    }

    void fileDialogsStartInTheFolderLastUsed()
    {
        const QString path = dir.filePath(QStringLiteral("track.mwk"));
        QVERIFY(frame().SaveDocumentTo(path));
        QCOMPARE(startFolderOf("&Open...\tCtrl+O"), dir.path());
        QCOMPARE(startFolderOf("Save image"), dir.path());

        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("pictures")));
        const QString picture = dir.filePath(QStringLiteral("pictures/view.png"));
        withFileDialog("Save image", [picture](QFileDialog* d) { chooseFile(d, picture); });
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(picture), kStuckAfterMs);
        QCOMPARE(startFolderOf("&Open...\tCtrl+O"), dir.filePath(QStringLiteral("pictures")));
    }

    void cleanupTestCase()
    {
        doc().SetModifiedFlag(false);
        app.reset();
    }
};

MARLWICK_REGISTER_QTEST(DialogsWindowTest)
#include "DialogsWindowTest.moc"
