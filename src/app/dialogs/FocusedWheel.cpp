#include "dialogs/FocusedWheel.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QEvent>
#include <QSlider>

namespace {

class UnfocusedWheelFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Wheel || static_cast<QWidget*>(watched)->hasFocus()) return false;
        // Left unaccepted, the wheel goes on to the parent widgets.
        event->ignore();
        return true;
    }
};

bool takesTheWheel(QWidget* widget)
{
    return qobject_cast<QSlider*>(widget) || qobject_cast<QAbstractSpinBox*>(widget) ||
           qobject_cast<QComboBox*>(widget);
}

} // namespace

namespace dialogs {

void TakeWheelOnlyWhenFocused(QWidget* root)
{
    auto* filter = new UnfocusedWheelFilter(root);
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        if (!takesTheWheel(widget)) continue;
        widget->setFocusPolicy(Qt::StrongFocus);
        widget->installEventFilter(filter);
    }
}

} // namespace dialogs
