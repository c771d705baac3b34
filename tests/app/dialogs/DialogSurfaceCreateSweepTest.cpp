// The sweep dialog driven through its widgets (offscreen): the templates
// read on every show, the refusals and range prompts in their order, and a
// sweep created from the chosen template.

#include "design/ChannelCreation.h"
#include "QtTestRegistry.h"
#include "dialogs/DialogSurfaceCreateSweep.h"
#include "dialogs/DialogTestSupport.h"
#include "dialogs/ShapeDrawingArea.h"
#include "panel/PanelTestSupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace design;

class DialogSurfaceCreateSweepTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<COpenGLTemplateDoc> doc;
    std::unique_ptr<DialogSurfaceCreateSweep> dialog;
    std::unique_ptr<MessageBoxAnswers> boxes;

    template <typename T = QWidget>
    T* control(const QString& name)
    {
        return dialogtest::control<T>(dialog.get(), name);
    }
    void type(const QString& field, const QString& text)
    {
        auto* edit = control<QLineEdit>(field);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    void clickOk()
    {
        auto* ok = control<QPushButton>(QStringLiteral("okButton"));
        QTest::mouseClick(ok, Qt::LeftButton);
    }
    QString templatePath() const { return folder->filePath(QStringLiteral("cross_sections.dat")); }

private slots:
    void init()
    {
        folder = std::make_unique<QTemporaryDir>();
        QVERIFY(WriteTemplateFile(templatePath().toStdString(), StandardTemplates()));
        doc = std::make_unique<COpenGLTemplateDoc>();
        doc->OnNewDocument();
        doc->templatePath = templatePath().toStdString();
        dialog = std::make_unique<DialogSurfaceCreateSweep>(*doc);
        boxes = std::make_unique<MessageBoxAnswers>();
        dialog->Open();
    }

    void cleanup()
    {
        boxes.reset();
        dialog.reset();
        doc.reset();
        folder.reset();
    }

    void okIsRefusedAsTheFieldsSay_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("sections");
        QTest::addColumn<QString>("angle");
        QTest::addColumn<int>("templateRow");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("focus");
        QTest::newRow("no template") << "bowl" << "4" << "120" << -1 << kSelectTemplate << "";
        QTest::newRow("blank name") << "" << "4" << "120" << 2 << kNameBlank << "";
        QTest::newRow("name taken") << "a" << "4" << "120" << 2 << kNameExists << "";
        QTest::newRow("3 sections") << "bowl" << "3" << "120" << 2
                                    << QString::fromStdString(IntegerRangePrompt(4, 20)) << "sectionsEdit";
        QTest::newRow("angle 400") << "bowl" << "4" << "400" << 2
                                   << QString::fromStdString(NumberRangePrompt(5, 355)) << "angleEdit";
        QTest::newRow("angle not a number") << "bowl" << "4" << "wide" << 2
                                            << QString::fromStdString(NumberRangePrompt(5, 355)) << "angleEdit";
    }

    void okIsRefusedAsTheFieldsSay()
    {
        QFETCH(QString, name);
        QFETCH(QString, sections);
        QFETCH(QString, angle);
        QFETCH(int, templateRow);
        QFETCH(QString, refusal);
        QFETCH(QString, focus);
        const std::size_t before = doc->surfaces.size();
        type(QStringLiteral("nameEdit"), name);
        type(QStringLiteral("sectionsEdit"), sections);
        type(QStringLiteral("angleEdit"), angle);
        control<QComboBox>(QStringLiteral("templateCombo"))->setCurrentIndex(templateRow);
        clickOk();
        QCOMPARE(boxes->texts, QStringList{refusal});
        QCOMPARE(doc->surfaces.size(), before);
        QVERIFY(dialog->isVisible());
        if (!focus.isEmpty()) QCOMPARE(dialog->focusWidget(), control(focus));
    }

    void okBuildsTheSweepOfTheChosenTemplate()
    {
        auto* combo = control<QComboBox>(QStringLiteral("templateCombo"));
        QCOMPARE(combo->count(), static_cast<int>(StandardTemplates().size()));
        QCOMPARE(combo->currentIndex(), -1);
        combo->setCurrentIndex(6); // "Half-pipe 5"
        QCOMPARE(combo->currentText(), QStringLiteral("Half-pipe 5"));
        type(QStringLiteral("nameEdit"), QStringLiteral("bowl"));
        type(QStringLiteral("sectionsEdit"), QStringLiteral("6"));
        dialogtest::toggleAccessibly(control<QRadioButton>(QStringLiteral("bottomRadio")));
        clickOk();
        QCOMPARE(boxes->texts, QStringList());
        QVERIFY(!dialog->isVisible());
        SurfaceSection* bowl = doc->selectedSurface;
        QVERIFY(bowl);
        QCOMPARE(textOf(bowl->name), std::string("bowl"));
        QCOMPARE(bowl->surfaceType, kTypeSweep);
        QCOMPARE(bowl->sectionCount, 8);
        QCOMPARE(bowl->pointsPerSection, 5);
        QCOMPARE(textOf(bowl->sections[3].shapeName), std::string("Half-pipe 5"));
        QVERIFY(doc->IsModified());
    }

    void everyShowReadsTheFileAgainWithNoTemplateChosen()
    {
        auto* combo = control<QComboBox>(QStringLiteral("templateCombo"));
        combo->setCurrentIndex(1);
        int recordIndex = 0;
        QVERIFY(AppendTemplateRecord(templatePath().toStdString(), ShapeFromPoints("Ridge", {{-1, 0}, {0, 1}, {1, 0}}),
                                     recordIndex));
        dialog->Open();
        QCOMPARE(combo->count(), static_cast<int>(StandardTemplates().size()) + 1);
        QCOMPARE(combo->itemText(combo->count() - 1), QStringLiteral("Ridge"));
        QCOMPARE(combo->currentIndex(), -1);
        QFile::remove(templatePath());
        dialog->Open();
        QCOMPARE(boxes->texts, QStringList{QString::fromLatin1(kSweepReadFailed)});
        QCOMPARE(combo->count(), 0);
    }
};

MARLWICK_REGISTER_QTEST(DialogSurfaceCreateSweepTest)
#include "DialogSurfaceCreateSweepTest.moc"
