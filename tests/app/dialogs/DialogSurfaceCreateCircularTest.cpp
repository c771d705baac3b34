// " Create circular surface" opened by the panel's "Create circular": the
// portion buttons' suggested counts, the refusals and the ring created.

#include "dialogs/SurfaceDialogTestSupport.h"
#include "QtTestRegistry.h"

#include <QRadioButton>

#include <cmath>

namespace {
constexpr const char* kDialog = "createCircularDialog";
}

class DialogSurfaceCreateCircularTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<PanelWithDialogs> p;
    QDialog* dialog() { return p->control<QDialog>(kDialog); }

    void fill(const char* portion, const QString& points, const QString& inner, const QString& outer,
              const QString& name)
    {
        p->click("createCircularButton");
        QVERIFY(dialog()->isVisible());
        p->click(kDialog, portion);
        p->type(kDialog, "pointsEdit", points);
        p->type(kDialog, "innerEdit", inner);
        p->type(kDialog, "outerEdit", outer);
        p->type(kDialog, "nameEdit", name);
        p->click(kDialog, "okButton");
    }

private slots:
    void init() { p = std::make_unique<PanelWithDialogs>(); }
    void cleanup() { p.reset(); }

    void aPortionButtonSuggestsItsCount_data()
    {
        QTest::addColumn<QString>("portion");
        QTest::addColumn<QString>("points");
        QTest::newRow("1/4") << "quarterRadio" << "3";
        QTest::newRow("2/4") << "halfRadio" << "4";
        QTest::newRow("3/4") << "threeQuartersRadio" << "5";
        QTest::newRow("1/3") << "thirdRadio" << "4";
        QTest::newRow("2/3") << "twoThirdsRadio" << "5";
        QTest::newRow("1") << "fullCircleRadio" << "7";
    }

    void aPortionButtonSuggestsItsCount()
    {
        QFETCH(QString, portion);
        QFETCH(QString, points);
        p->click("createCircularButton");
        p->type(kDialog, "pointsEdit", QStringLiteral("12"));
        p->click(kDialog, portion.toLatin1().constData());
        QCOMPARE(p->in<QLineEdit>(kDialog, "pointsEdit")->text(), points);
    }

    void refusalsKeepTheDialogOpen_data()
    {
        QTest::addColumn<QString>("portion");
        QTest::addColumn<QString>("points");
        QTest::addColumn<QString>("inner");
        QTest::addColumn<QString>("outer");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("full circle with 8") << "fullCircleRadio" << "8" << "1" << "4" << "ring"
                                            << "It requires at EXACTLY 7, 9, or 11 control points to construct a full "
                                               "circle.";
        QTest::newRow("three quarters with 4") << "threeQuartersRadio" << "4" << "1" << "4" << "ring"
                                               << "It requires at least 5 control points to construct three quarters "
                                                  "of a circle.";
        QTest::newRow("outer equal to inner") << "halfRadio" << "4" << "2" << "2" << "ring"
                                              << "The outer radius must be greater than the inner radius.";
        QTest::newRow("2 control points") << "halfRadio" << "2" << "1" << "4" << "ring"
                                          << "Please enter an integer between 3 and 20.";
        QTest::newRow("outer radius 2000") << "halfRadio" << "4" << "1" << "2000" << "ring"
                                           << "Please enter a number between 0.5 and 1000.";
        QTest::newRow("negative inner radius") << "halfRadio" << "4" << "-1" << "4" << "ring"
                                               << "Please enter a number between 0 and 10000.";
        QTest::newRow("blank name") << "halfRadio" << "4" << "1" << "4" << "" << "The name must not be blank.";
        QTest::newRow("name taken") << "halfRadio" << "4" << "1" << "4" << "a"
                                    << "A surface with that name already exists.";
    }

    void refusalsKeepTheDialogOpen()
    {
        QFETCH(QString, portion);
        QFETCH(QString, points);
        QFETCH(QString, inner);
        QFETCH(QString, outer);
        QFETCH(QString, name);
        QFETCH(QString, refusal);
        fill(portion.toLatin1().constData(), points, inner, outer, name);
        QCOMPARE(p->boxes->texts, QStringList{refusal});
        QVERIFY(dialog()->isVisible());
        QCOMPARE(p->doc.surfaces.size(), std::size_t(1));
    }

    void aFullCircleOfNinePointsCloses()
    {
        fill("fullCircleRadio", QStringLiteral("9"), QStringLiteral("0"), QStringLiteral("4"), QStringLiteral("ring"));
        QCOMPARE(p->boxes->texts, QStringList{});
        QVERIFY(!dialog()->isVisible());
        SurfaceSection* ring = p->surfaceNamed("ring");
        QVERIFY(ring);
        QCOMPARE(p->doc.selectedSurface, ring);
        QCOMPARE(ring->surfaceType, std::int32_t(kTypeCircular));
        QVERIFY(ring->wrapU);
        QCOMPARE(ring->pointsPerSection, 9);
        QCOMPARE(ring->sectionCount, 3);
        const int last = ring->sectionCount - 1;
        const gul::HPoint4f first = ring->controlNet[last][0], ninth = ring->controlNet[last][8];
        QVERIFY(std::abs(first.x - ninth.x) < 1e-5f && std::abs(first.z - ninth.z) < 1e-5f);
        QVERIFY(std::abs(first.x) > 3.0f); // on the outer arc, not collapsed
        QCOMPARE(ring->render.load(), 1);
        QCOMPARE(p->doc.surfaces.front()->render.load(), 0);
    }

    void valuesPersistBetweenShows()
    {
        fill("halfRadio", QStringLiteral("6"), QStringLiteral("1.5"), QStringLiteral("7.25"), QStringLiteral("ring"));
        QVERIFY(p->surfaceNamed("ring"));
        QCOMPARE(p->surfaceNamed("ring")->shapeValue2, 7.25);
        p->click("createCircularButton");
        QVERIFY(p->in<QRadioButton>(kDialog, "halfRadio")->isChecked());
        QCOMPARE(p->in<QLineEdit>(kDialog, "pointsEdit")->text(), QStringLiteral("6"));
        QCOMPARE(p->in<QLineEdit>(kDialog, "innerEdit")->text(), QStringLiteral("1.5"));
        QCOMPARE(p->in<QLineEdit>(kDialog, "outerEdit")->text(), QStringLiteral("7.25"));
        QCOMPARE(p->in<QLineEdit>(kDialog, "nameEdit")->text(), QStringLiteral("ring"));
        p->click(kDialog, "okButton"); // the same name again
        QCOMPARE(p->boxes->texts, QStringList{"A surface with that name already exists."});
    }

    void theFirstShowHasTheFirstValues()
    {
        p->click("createCircularButton");
        QVERIFY(p->in<QRadioButton>(kDialog, "thirdRadio")->isChecked());
        QCOMPARE(p->in<QLineEdit>(kDialog, "pointsEdit")->text(), QStringLiteral("5"));
        QCOMPARE(p->in<QLineEdit>(kDialog, "sectionsEdit")->text(), QStringLiteral("3"));
        QCOMPARE(p->in<QLineEdit>(kDialog, "innerEdit")->text(), QStringLiteral("1"));
        QCOMPARE(p->in<QLineEdit>(kDialog, "outerEdit")->text(), QStringLiteral("4"));
        QTest::keyClick(dialog(), Qt::Key_Escape);
        QVERIFY(!dialog()->isVisible());
    }
};

MARLWICK_REGISTER_QTEST(DialogSurfaceCreateCircularTest)
#include "DialogSurfaceCreateCircularTest.moc"
