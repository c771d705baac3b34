// A modified document is never thrown away unasked: "New", "Open", a recent
// file and closing the window ask "Save changes to ...?"; Cancel keeps
// everything, Discard goes on without writing, Save writes first and a failed
// save stops the command. The title shows the modified flag. With
// MARLWICK_SHOTS set, the whole screen is kept in that folder as each message
// box is answered.

#include "CMainFrame.h"
#include "OpenGLTemplateApp.h"
#include "QtTestRegistry.h"
#include "RecentFileList.h"
#include "design/Groups.h"
#include "document/OpenGLTemplateDoc.h"
#include "gui/GuiTestSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class SavePromptTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<OpenGLTemplateApp> app;
    QTemporaryDir dir;
    QStringList prompts; // the texts of the message boxes answered

    CMainFrame& frame() { return *app->mainFrame(); }
    COpenGLTemplateDoc& doc() { return app->document(); }
    QAction* action(const char* caption) { return frame().FindAction(QString::fromLatin1(caption)); }

    QString copyExample(const QString& as)
    {
        const QString path = dir.filePath(as);
        QFile::remove(path);
        QFile::copy(exampleDocument(QStringLiteral("spiral.mwk")), path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        return path;
    }
    static QByteArray bytesOf(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // A change a user makes: the first surface renamed.
    void renameFirstSurface(const char* name)
    {
        QVERIFY(design::RenameSurface(doc(), *doc().surfaces.front(), name).ok());
        QVERIFY(doc().IsModified());
    }
    std::string firstSurfaceName() { return textOf(doc().surfaces.front()->name); }
    // Answers the save prompt with `button`, and any message box after it with OK.
    std::shared_ptr<bool> answerWith(QMessageBox::StandardButton button)
    {
        return whenModal<QMessageBox>([this, button](QMessageBox* box) {
            prompts << box->text();
            if (const QString shots = qEnvironmentVariable("MARLWICK_SHOTS"); !shots.isEmpty()) {
                QDir().mkpath(shots);
                QTest::qWait(300); // until the box has been drawn
                const QString name = QString::fromLatin1(QTest::currentTestFunction());
                const QString file = QDir(shots).filePath(name + QStringLiteral("-%1.png").arg(prompts.size()));
                box->screen()->grabWindow(0).save(file);
            }
            QAbstractButton* chosen = box->button(button);
            (chosen ? chosen : box->button(QMessageBox::Ok))->click();
        });
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(dir.isValid());
    }

    void init()
    {
        QSettings(QStringLiteral("Marlwick"), QStringLiteral("Marlwick")).clear();
        prompts.clear();
        app = std::make_unique<OpenGLTemplateApp>();
        QVERIFY(app->InitInstance({QStringLiteral("marlwick")}));
        QVERIFY(QTest::qWaitForWindowExposed(&frame()));
    }

    void cleanup() { app.reset(); }

    void theTitleShowsTheModifiedFlag()
    {
        QVERIFY(!frame().isWindowModified());
        renameFirstSurface("changed");
        QVERIFY(frame().isWindowModified());
        QVERIFY(frame().windowTitle().contains(QStringLiteral("[*]")));
        QVERIFY(frame().SaveDocumentTo(dir.filePath(QStringLiteral("title.mwk"))));
        QVERIFY(!frame().isWindowModified());
    }

    void anUnmodifiedDocumentIsReplacedWithoutAsking()
    {
        const QString path = copyExample(QStringLiteral("quiet.mwk"));
        QVERIFY(frame().OpenDocumentFile(path));
        action("&New\tCtrl+N")->trigger();
        QCOMPARE(firstSurfaceName(), std::string("a"));
        QVERIFY(prompts.isEmpty());
    }

    void cancelKeepsTheModifiedDocument()
    {
        const QString path = copyExample(QStringLiteral("cancel.mwk"));
        QVERIFY(frame().OpenDocumentFile(path));
        const QByteArray onDisk = bytesOf(path);
        renameFirstSurface("changed");
        auto answered = answerWith(QMessageBox::Cancel);
        action("&New\tCtrl+N")->trigger();
        QVERIFY(*answered);
        QCOMPARE(prompts, QStringList{QStringLiteral("Save changes to cancel.mwk?")});
        QCOMPARE(firstSurfaceName(), std::string("changed"));
        QVERIFY(doc().IsModified());
        QCOMPARE(frame().documentPath(), QFileInfo(path).absoluteFilePath());
        QCOMPARE(bytesOf(path), onDisk);
    }

    void discardGoesOnWithoutWriting()
    {
        const QString path = copyExample(QStringLiteral("discard.mwk"));
        QVERIFY(frame().OpenDocumentFile(path));
        const QByteArray onDisk = bytesOf(path);
        renameFirstSurface("changed");
        auto answered = answerWith(QMessageBox::Discard);
        action("&New\tCtrl+N")->trigger();
        QVERIFY(*answered);
        QCOMPARE(firstSurfaceName(), std::string("a"));
        QVERIFY(!doc().IsModified());
        QCOMPARE(bytesOf(path), onDisk);
    }

    void saveWritesTheFileBeforeGoingOn()
    {
        const QString path = copyExample(QStringLiteral("save.mwk"));
        QVERIFY(frame().OpenDocumentFile(path));
        renameFirstSurface("changed");
        auto answered = answerWith(QMessageBox::Save);
        action("&New\tCtrl+N")->trigger();
        QVERIFY(*answered);
        QCOMPARE(firstSurfaceName(), std::string("a"));
        QVERIFY(frame().OpenDocumentFile(path));
        QCOMPARE(firstSurfaceName(), std::string("changed"));
    }

    void aFailedSaveStopsTheCommand()
    {
        QDir gone(dir.filePath(QStringLiteral("gone")));
        QVERIFY(gone.mkpath(QStringLiteral(".")));
        const QString path = gone.filePath(QStringLiteral("lost.mwk"));
        QVERIFY(QFile::copy(exampleDocument(QStringLiteral("spiral.mwk")), path));
        QVERIFY(frame().OpenDocumentFile(path));
        QVERIFY(gone.removeRecursively());
        renameFirstSurface("changed");
        auto answered = answerWith(QMessageBox::Save);
        action("&New\tCtrl+N")->trigger();
        QVERIFY(*answered);
        QCOMPARE(prompts.size(), 2); // the prompt, then why the save failed
        QVERIFY2(prompts.at(1).contains(QStringLiteral("lost.mwk")), qPrintable(prompts.at(1)));
        QCOMPARE(firstSurfaceName(), std::string("changed"));
        QVERIFY(doc().IsModified());
    }

    void openAndRecentFilesAsk()
    {
        const QString other = copyExample(QStringLiteral("recent.mwk"));
        QVERIFY(frame().OpenDocumentFile(other));
        frame().OnFileNew();
        renameFirstSurface("changed");
        auto cancelled = answerWith(QMessageBox::Cancel);
        action("&Open...\tCtrl+O")->trigger(); // Cancel: no file dialog follows
        QVERIFY(*cancelled);
        QCOMPARE(frame().recentFiles().files().value(0), QFileInfo(other).absoluteFilePath());
        QAction* recent = nullptr;
        for (QAction* a : frame().findChildren<QAction*>())
            if (a->text().endsWith(QFileInfo(other).absoluteFilePath())) recent = a;
        QVERIFY(recent);
        auto discarded = answerWith(QMessageBox::Discard);
        recent->trigger();
        QVERIFY(*discarded);
        QCOMPARE(prompts.size(), 2);
        QCOMPARE(frame().documentPath(), QFileInfo(other).absoluteFilePath());
        QVERIFY(!doc().IsModified());
    }

    void closingAsksAndCancelKeepsTheWindow()
    {
        renameFirstSurface("changed");
        auto cancelled = answerWith(QMessageBox::Cancel);
        QVERIFY(!frame().close());
        QVERIFY(*cancelled);
        QVERIFY(frame().isVisible());
        QCOMPARE(firstSurfaceName(), std::string("changed"));
        auto discarded = answerWith(QMessageBox::Discard);
        action("E&xit")->trigger();
        QVERIFY(*discarded);
        QVERIFY(!frame().isVisible());
    }
};

MARLWICK_REGISTER_QTEST(SavePromptTest)
#include "SavePromptTest.moc"
