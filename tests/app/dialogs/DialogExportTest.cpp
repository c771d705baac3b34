// "Export…" driven through its widgets: its refusals keep it open and write
// nothing; an export writes the file in the format chosen and says what it holds.

#include "dialogs/DialogExport.h"

#include "QtTestRegistry.h"
#include "dialogs/DialogTestSupport.h"
#include "export/ExportFields.h"

#include <QCheckBox>
#include <QDir>
#include <QTemporaryDir>

#include <memory>

using namespace dialogtest;

class DialogExportTest : public QObject {
    Q_OBJECT

    std::unique_ptr<COpenGLTemplateDoc> doc;
    std::unique_ptr<DialogExport> dialog;
    std::unique_ptr<MessageBoxAnswers> boxes;
    std::unique_ptr<QTemporaryDir> dir;

    void fill(const QString& file, int format, const QString& thickness, int choice)
    {
        control<QLineEdit>(dialog.get(), "fileEdit")->setText(file.isEmpty() ? file : dir->filePath(file));
        control<QComboBox>(dialog.get(), "formatCombo")->setCurrentIndex(format + 1);
        auto* solid = control<QCheckBox>(dialog.get(), "solidCheck");
        if (solid->isChecked() != !thickness.isEmpty()) clickWithMouse(solid);
        control<QLineEdit>(dialog.get(), "thicknessEdit")->setText(thickness);
        control<QComboBox>(dialog.get(), "choiceCombo")->setCurrentIndex(choice);
        control<QPushButton>(dialog.get(), "exportButton")->click();
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        doc = std::make_unique<COpenGLTemplateDoc>();
        doc->OnNewDocument();
        dialog = std::make_unique<DialogExport>(*doc, QString(), nullptr);
        dialog->show();
        boxes = std::make_unique<MessageBoxAnswers>();
    }
    void cleanup() { boxes.reset(); dialog.reset(); doc.reset(); dir.reset(); }

    void refusalsKeepTheDialogOpen_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("thickness");
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("message");
        QTest::newRow("no file") << "" << "" << 0 << trackexport::kNoFile;
        QTest::newRow("unknown extension") << "track.txt" << "" << 0 << trackexport::kBadExtension;
        QTest::newRow("zero thickness") << "track.stl" << "0" << 0 << QString::fromStdString(trackexport::ThicknessPrompt());
        QTest::newRow("no selected surface") << "track.stl" << "" << 1 << trackexport::kNoSelectedSurface;
    }

    void refusalsKeepTheDialogOpen()
    {
        QFETCH(QString, file);
        QFETCH(QString, thickness);
        QFETCH(int, choice);
        QFETCH(QString, message);
        doc->selectedSurface = nullptr;
        fill(file, -1, thickness, choice);
        QCOMPARE(boxes->texts, QStringList{message});
        QVERIFY(dialog->isVisible());
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{});
    }

    void exportWritesTheChosenFormatAndSaysWhatItHolds()
    {
        fill(QStringLiteral("track"), static_cast<int>(trackexport::ExportFormat::Glb), QStringLiteral("0.1"), 0);
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{QStringLiteral("track.glb")});
        QCOMPARE(boxes->texts.size(), 1);
        QVERIFY2(boxes->texts[0].startsWith(dir->filePath(QStringLiteral("track.glb")) + ": 1 object, "),
                 qPrintable(boxes->texts[0]));
        QVERIFY(!dialog->isVisible());
    }
};

MARLWICK_REGISTER_QTEST(DialogExportTest)
#include "DialogExportTest.moc"
