// The program on a display that offers no OpenGL (its test run sets
// QT_XCB_GL_INTEGRATION=none): the view cannot draw, says why and how to
// draw without a display, and the menus, the panel, the dialogs and saving
// still work.

#include "QtTestRegistry.h"
#include "gui/GuiTestSupport.h"

#include <QMessageBox>

class ViewWithoutOpenGLTest : public QObject {
    Q_OBJECT

private slots:
    void saysWhyTheViewStaysEmptyAndTheRestStillWorks()
    {
        if (qgetenv("QT_XCB_GL_INTEGRATION") != "none") QSKIP("run with QT_XCB_GL_INTEGRATION=none");
        QStandardPaths::setTestModeEnabled(true);
        QSettings(QStringLiteral("Marlwick"), QStringLiteral("Marlwick")).clear();
        QString told;
        const auto answered = whenModal<QMessageBox>([&](QMessageBox* box) {
            told = box->text();
            box->accept();
        });
        OpenGLTemplateApp app;
        QVERIFY(app.InitInstance({QStringLiteral("marlwick")}));
        QTRY_VERIFY_WITH_TIMEOUT(*answered, kStuckAfterMs);
        QVERIFY2(told.contains(QStringLiteral("no OpenGL context")), qPrintable(told));
        QVERIFY(told.contains(QStringLiteral("marlwick-cli render")));

        CMainFrame& frame = *app.mainFrame();
        frame.FindAction(QStringLiteral("Control Panel"))->trigger();
        QTRY_VERIFY(frame.panelPane()->isVisible());
        // A design dialog creates a surface, holding the threads as every command does.
        const std::size_t surfaces = app.document().surfaces.size();
        frame.controlPanel()->findChild<QAbstractButton*>(QStringLiteral("createChannelButton"))->click();
        auto* create = frame.controlPanel()->findChild<QDialog*>(QStringLiteral("createChannelDialog"));
        QTRY_VERIFY(create->isVisible());
        create->findChild<QLineEdit*>(QStringLiteral("nameEdit"))->setText(QStringLiteral("made"));
        create->findChild<QAbstractButton*>(QStringLiteral("okButton"))->click();
        QTRY_COMPARE(app.document().surfaces.size(), surfaces + 1);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("saved.mwk"));
        QVERIFY(frame.SaveDocumentTo(path));
        QVERIFY(QFileInfo(path).size() > 0);
    }
};

MARLWICK_REGISTER_QTEST(ViewWithoutOpenGLTest)
#include "ViewWithoutOpenGLTest.moc"
