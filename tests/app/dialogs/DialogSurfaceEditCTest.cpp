// " Edit surface  (type C)" opened by the panel's "Edit selected" on a type
// C surface: positions as well as directions from other surfaces' ends, and
// the refusals in their order.

#include "design/ChannelEditing.h"
#include "QtTestRegistry.h"
#include "dialogs/SurfaceDialogTestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>

namespace {
constexpr const char* kDialog = "editCDialog";
}

class DialogSurfaceEditCTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<PanelWithDialogs> p;
    SurfaceSection* a = nullptr;
    SurfaceSection* x = nullptr;
    QDialog* dialog() { return p->control<QDialog>(kDialog); }
    void open()
    {
        p->click("editSelectedButton");
        QCOMPARE(p->boxes->texts, QStringList{});
        QVERIFY(dialog()->isVisible());
    }
    void check(const QString& radio) { dialogtest::toggleAccessibly(p->in<QRadioButton>(kDialog, radio.toLatin1().constData())); }
    void choose(const char* combo, const QString& entry)
    {
        QComboBox* box = p->in<QComboBox>(kDialog, combo);
        box->setCurrentIndex(box->findText(entry));
        QVERIFY(box->currentIndex() >= 0);
    }

private slots:
    void init()
    {
        p = std::make_unique<PanelWithDialogs>();
        a = p->doc.surfaces[0].get();
        x = p->doc.CreateChannelSurface("x", 5, 2);
        x->surfaceType = kTypeC;
        x->initialPosition = {10, 2, 3};
        x->finalPosition = {40, -5, 8};
        x->Regenerate(false);
        a->surfaceType = kTypeC;
        p->doc.selectedSurface = a;
    }
    void cleanup() { p.reset(); }

    void refusalsComeInOrder_data()
    {
        QTest::addColumn<QStringList>("radios");
        QTest::addColumn<QString>("refusal");
        const QString all[] = {"initialDirectionsBeginRadio", "finalDirectionsEndRadio", "initialPositionBeginRadio",
                               "finalPositionEndRadio"};
        const char* texts[] = {
            "Select a surface whose beginning or end directions will be used as the INITIAL directions for this "
            "surface.",
            "Select a surface whose beginning or end directions will be used as the FINAL directions for this surface.",
            "Select a surface whose beginning or end position will be used as the INITIAL position for this surface.",
            "Select a surface whose beginning or end position will be used as the FINAL position for this surface."};
        const char* rows[] = {"initial directions first", "then final directions", "then initial position",
                              "final position last"};
        for (int first = 0; first < 4; ++first) {
            QStringList radios;
            for (int k = first; k < 4; ++k) radios << all[k];
            QTest::newRow(rows[first]) << radios << QString::fromLatin1(texts[first]);
        }
    }

    void refusalsComeInOrder()
    {
        QFETCH(QStringList, radios);
        QFETCH(QString, refusal);
        const Vec3 end = a->finalPosition;
        open();
        for (const QString& radio : radios) check(radio);
        p->click(kDialog, "applyButton");
        QCOMPARE(p->boxes->texts, QStringList{refusal});
        QCOMPARE(a->finalPosition, end);
        QVERIFY(!p->doc.IsModified());
    }

    void positionsComeFromTheChosenEnds()
    {
        open();
        check(QStringLiteral("finalPositionBeginRadio"));
        choose("finalPositionCombo", QStringLiteral("main::x"));
        check(QStringLiteral("initialPositionEndRadio"));
        choose("initialPositionCombo", QStringLiteral("main::x"));
        p->click(kDialog, "applyButton");
        QCOMPARE(p->boxes->texts, QStringList{});
        QCOMPARE(a->finalPosition, x->initialPosition);
        QCOMPARE(a->initialPosition, x->finalPosition);
        QCOMPARE(a->sections[a->sectionCount - 1].position, x->initialPosition);
        p->click(kDialog, "closeButton");
        QVERIFY(!a->editingSections);
    }

    void everyControlIsNamed()
    {
        open();
        QVERIFY(!dialog()->findChild<QCheckBox*>(QStringLiteral("finalPositionOppositeCheck")));
    }
};

MARLWICK_REGISTER_QTEST(DialogSurfaceEditCTest)
#include "DialogSurfaceEditCTest.moc"
