// Undo and redo from the Edit menu in a real window: the spiral example is
// opened, a surface is deleted from the control panel, Ctrl+Z brings it back
// selected in the tree and Ctrl+Shift+Z (and Ctrl+Y) delete it again; the
// menu's texts and greying follow the history throughout.

#include "CMainFrame.h"
#include "OpenGLTemplateApp.h"
#include "QtTestRegistry.h"
#include "ViewOpenGLst.h"
#include "document/OpenGLTemplateDoc.h"
#include "gui/GuiTestSupport.h"
#include "panel/ControlPanelForm.h"
#include "panel/ControlPanelPane.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

class UndoRedoTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<OpenGLTemplateApp> app;
    QString deleted;
    int groupSize = 0; // surfaces in the deleted one's group before the delete

    CMainFrame& frame() { return *app->mainFrame(); }
    COpenGLTemplateDoc& doc() { return app->document(); }
    ControlPanelForm& panel() { return *app->controlPanel(); }
    QTreeWidget* tree() { return panel().findChild<QTreeWidget*>(QStringLiteral("surfaceTree")); }
    // The Edit menu's two items, in order.
    QList<QAction*> editItems()
    {
        for (QAction* menu : frame().menuBar()->actions())
            if (menu->text() == QStringLiteral("&Edit")) return menu->menu()->actions();
        return {};
    }
    QStringList surfaceNames()
    {
        QStringList names;
        for (const auto& s : doc().surfaces) names << QString::fromStdString(textOf(s->name));
        return names;
    }
    void press(QKeySequence keys)
    {
        frame().activateWindow();
        QTRY_VERIFY(frame().isActiveWindow());
        QTest::keySequence(&frame(), keys);
    }
    void shot(const char* name)
    {
        const QString dir = qEnvironmentVariable("MARLWICK_SHOTS");
        QTest::qWait(300);
        if (!dir.isEmpty())
            QGuiApplication::primaryScreen()->grabWindow(0).save(
                QDir(dir).filePath(QStringLiteral("undo-%1.png").arg(name)));
    }

private slots:
    void initTestCase()
    {
        startProgram(app, exampleDocument(QStringLiteral("spiral.mwk")));
        if (QTest::currentTestFailed()) return;
        frame().FindAction(QStringLiteral("Control Panel"))->trigger();
        QTRY_COMPARE(frame().panelPane()->width(), CMainFrame::kPanelWidth);
    }

    void theEditMenuStandsBetweenFileAndViewGreyed()
    {
        QStringList menus;
        for (QAction* menu : frame().menuBar()->actions()) menus << menu->text();
        QCOMPARE(menus.mid(0, 3), (QStringList{"&File", "&Edit", "&View"}));
        const QList<QAction*> items = editItems();
        QCOMPARE(items.size(), 2);
        QCOMPARE(items[0]->text(), QStringLiteral("&Undo\tCtrl+Z"));
        QCOMPARE(items[1]->text(), QStringLiteral("&Redo\tCtrl+Y"));
        QVERIFY(!items[0]->isEnabled());
        QVERIFY(!items[1]->isEnabled());
        QCOMPARE(items[1]->shortcuts(),
                 (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Y),
                                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}));
    }

    void deleteASurfaceFromThePanel()
    {
        QTreeWidgetItem* item = tree()->topLevelItem(1)->child(1);
        QVERIFY(item);
        deleted = item->text(0);
        groupSize = tree()->topLevelItem(1)->childCount();
        frame().panelPane()->ensureWidgetVisible(tree());
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, tree()->visualItemRect(item).center());
        QCOMPARE(QString::fromStdString(textOf(doc().selectedSurface->name)), deleted);
        auto* button = panel().findChild<QAbstractButton*>(QStringLiteral("deleteSurfaceButton"));
        frame().panelPane()->ensureWidgetVisible(button);
        auto answered = whenModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Ok)->click(); });
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
        QTRY_VERIFY(*answered);
        QVERIFY(!surfaceNames().contains(deleted));
        QVERIFY(doc().IsModified());
        QCOMPARE(editItems()[0]->text(), QStringLiteral("&Undo Delete surface %1\tCtrl+Z").arg(deleted));
        QVERIFY(editItems()[0]->isEnabled());
        QVERIFY(!editItems()[1]->isEnabled());
        shot("deleted");
    }

    void ctrlZBringsItBackSelected()
    {
        press(QKeySequence(Qt::CTRL | Qt::Key_Z));
        QTRY_VERIFY(surfaceNames().contains(deleted));
        QCOMPARE(surfaceNames().size(), 4);
        QVERIFY(doc().selectedSurface);
        QCOMPARE(QString::fromStdString(textOf(doc().selectedSurface->name)), deleted);
        QVERIFY(tree()->currentItem());
        QCOMPARE(tree()->currentItem()->text(0), deleted);
        QVERIFY(!doc().IsModified()); // back to the state the file holds
        QCOMPARE(editItems()[0]->text(), QStringLiteral("&Undo\tCtrl+Z"));
        QVERIFY(!editItems()[0]->isEnabled());
        QCOMPARE(editItems()[1]->text(), QStringLiteral("&Redo Delete surface %1\tCtrl+Y").arg(deleted));
        QVERIFY(editItems()[1]->isEnabled());
        shot("undone");
    }

    void ctrlShiftZAndCtrlYDeleteItAgain()
    {
        press(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
        QTRY_VERIFY(!surfaceNames().contains(deleted));
        QVERIFY(doc().IsModified());
        QVERIFY(!editItems()[1]->isEnabled());
        editItems()[0]->trigger();
        QVERIFY(surfaceNames().contains(deleted));
        press(QKeySequence(Qt::CTRL | Qt::Key_Y));
        QTRY_VERIFY(!surfaceNames().contains(deleted));
        QCOMPARE(tree()->topLevelItem(1)->childCount(), groupSize - 1);
    }

    void cleanupTestCase()
    {
        doc().SetModifiedFlag(false);
        app.reset();
    }
};

MARLWICK_REGISTER_QTEST(UndoRedoTest)
#include "UndoRedoTest.moc"
