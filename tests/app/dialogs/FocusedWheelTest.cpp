// The mouse wheel over the panel's and the dialogs' sliders and spin boxes:
// a control without the keyboard focus leaves the wheel to the pane that
// scrolls it and keeps its value; once it has the focus, the wheel steps it.

#include "QtTestRegistry.h"
#include "dialogs/SurfaceDialogTestSupport.h"

#include <QAbstractSlider>
#include <QSpinBox>
#include <QWheelEvent>

class FocusedWheelTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<PanelWithDialogs> p;

    static int valueOf(QWidget* w)
    {
        if (auto* slider = qobject_cast<QAbstractSlider*>(w)) return slider->value();
        return qobject_cast<QSpinBox*>(w)->value();
    }
    // One notch of the wheel, away from the user, over the middle of the control.
    static bool wheel(QWidget* w)
    {
        const QPointF at(w->width() / 2.0, w->height() / 2.0);
        QWheelEvent event(at, w->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &event);
        return event.isAccepted();
    }

private slots:
    void init() { p = std::make_unique<PanelWithDialogs>(); }
    void cleanup() { p.reset(); }

    void onlyAFocusedControlTakesTheWheel_data()
    {
        QTest::addColumn<QString>("dialog"); // empty: the panel
        QTest::addColumn<QString>("name");
        QTest::newRow("focal point's U slider") << "" << "focalUSlider";
        QTest::newRow("focal point's V spin box") << "" << "focalVSpin";
        QTest::newRow("type A angle slider") << "editADialog" << "horizontalTurnSlider";
        QTest::newRow("type A intermediate count") << "editADialog" << "intermediateSpin";
    }

    void onlyAFocusedControlTakesTheWheel()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, name);
        QWidget* window = p->panel.get();
        if (!dialog.isEmpty()) {
            QVERIFY(dialogtest::selectTreeItem(p->control<QTreeWidget>("surfaceTree"), QStringLiteral("a")));
            p->click("editSelectedButton");
            window = p->control<QDialog>(dialog.toLatin1().constData());
        }
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QWidget* control = dialogtest::control(window, name);
        control->clearFocus();
        const int before = valueOf(control);
        QVERIFY(!wheel(control)); // left to the widgets around it
        QCOMPARE(valueOf(control), before);
        control->setFocus();
        QVERIFY(control->hasFocus());
        QVERIFY(wheel(control));
        QVERIFY(valueOf(control) != before);
    }
};

MARLWICK_REGISTER_QTEST(FocusedWheelTest)
#include "FocusedWheelTest.moc"
