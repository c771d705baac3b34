#pragma once

// Driving the design dialogs through their widgets by object name, as the
// tests of each dialog and the end-to-end tests do.

#include "document/DocumentFile.h"
#include "panel/PanelTestSupport.h"
#include "surface/FixedText.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QPushButton>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTreeWidget>
#include <QtTest>

#include <cstdint>
#include <vector>

namespace dialogtest {

// A control of `dialog` (or of any widget) by object name; fails the test program when missing.
template <typename T = QWidget>
T* control(QWidget* dialog, const QString& name)
{
    T* widget = dialog->findChild<T*>(name);
    if (!widget) qFatal("no control %s in %s", qPrintable(name), qPrintable(dialog->objectName()));
    return widget;
}
template <typename T = QWidget>
T* control(QWidget* dialog, const char* name)
{
    return control<T>(dialog, QString::fromLatin1(name));
}

// A click as a person makes it, near the left end of the button (on the box
// of a check box or radio button).
inline void clickWithMouse(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

// Switches a check box or radio button as a screen reader or GUI robot does:
// its accessible toggle action, which toggles it without any click.
inline void toggleAccessibly(QAbstractButton* button)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(button);
    QVERIFY(face && face->actionInterface());
    QVERIFY(face->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    face->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
}

// The middle of a slider's thumb when the slider shows `value`.
inline QPoint sliderThumbAt(QSlider* slider, int value)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.tickPosition = slider->tickPosition();
    option.sliderPosition = option.sliderValue = value;
    return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider).center();
}

// The middle of a slider's thumb, where a person takes hold of it.
inline QPoint sliderThumb(QSlider* slider) { return sliderThumbAt(slider, slider->value()); }

// A press on the track far right of the thumb, held until the slider has
// paged up (it pages from its event loop while the button is down), then released.
inline void pressTrack(QSlider* slider)
{
    const int before = slider->value();
    const QPoint track(slider->width() * 7 / 8, sliderThumb(slider).y());
    QTest::mousePress(slider, Qt::LeftButton, {}, track);
    QTRY_VERIFY(slider->value() > before);
    QTest::mouseRelease(slider, Qt::LeftButton, {}, track);
}

// Scrolls the button into the pane's view, then clicks it as a person does.
inline void clickInPane(QScrollArea* pane, QAbstractButton* button)
{
    pane->ensureWidgetVisible(button);
    clickWithMouse(button);
}

// Clicks the list lines (0-based) in turn, as a person toggles them.
inline void clickLines(QListWidget* list, const QList<int>& rows)
{
    for (int row : rows)
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

// Clicks the list line that reads `text`; true when it became the current line.
inline bool clickLine(QListWidget* list, const QString& text)
{
    for (int k = 0; k < list->count(); ++k)
        if (list->item(k)->text() == text) {
            clickLines(list, {k});
            return list->currentRow() == k;
        }
    return false;
}

// The surfaces as a document file holds them (the scene's switches left out).
inline std::vector<std::uint8_t> surfaceRecords(COpenGLTemplateDoc& doc)
{
    const std::vector<std::uint8_t> all = doc.SerializeDocument();
    return {all.begin() + kDocumentHeadBytes, all.end() - kDocumentTailBytes};
}

// Replaces a field's text as a person does: select all, delete, type (plain
// text as keys, anything else as an input method's commit).
inline void retype(QLineEdit* edit, const QString& text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    bool plain = true;
    for (QChar c : text) plain = plain && c.unicode() >= 0x20 && c.unicode() < 0x7f;
    if (plain) QTest::keyClicks(edit, text);
    else edit->insert(text);
}

inline void type(QWidget* dialog, const char* field, const QString& text)
{
    control<QLineEdit>(dialog, field)->setText(text);
}

// Fails unless each "field=text" reads `text` in the dialog's field; a bare
// name is a radio button or check box that must be on.
inline void checkFields(QWidget* dialog, const QStringList& fields)
{
    for (const QString& field : fields) {
        const QStringList part = field.split('=');
        if (part.size() == 2) QCOMPARE(control<QLineEdit>(dialog, part[0])->text(), part[1]);
        else QVERIFY2(control<QAbstractButton>(dialog, field)->isChecked(), qPrintable(field));
    }
}

inline void click(QWidget* dialog, const char* button) { control<QAbstractButton>(dialog, button)->click(); }

// Selects the list line that reads `text` (or starts with it), as a click does.
inline bool selectLine(QListWidget* list, const QString& text)
{
    for (int k = 0; k < list->count(); ++k)
        if (list->item(k)->text().startsWith(text)) {
            list->setCurrentRow(k);
            return true;
        }
    return false;
}

inline bool chooseEntry(QComboBox* combo, const QString& text)
{
    const int index = combo->findText(text);
    if (index >= 0) combo->setCurrentIndex(index);
    return index >= 0;
}

// Selects the first tree item labelled `text`, at any depth.
inline bool selectTreeItem(QTreeWidget* tree, const QString& text)
{
    const QList<QTreeWidgetItem*> found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    if (found.isEmpty()) return false;
    tree->setCurrentItem(found.first());
    return true;
}

// The names of the document's surfaces or groups, in order.
template <typename Owners>
QStringList namesOf(const Owners& owners)
{
    QStringList names;
    for (const auto& owner : owners) names << QString::fromStdString(textOf(owner->name));
    return names;
}

inline QStringList lines(const QListWidget* list)
{
    QStringList all;
    for (int k = 0; k < list->count(); ++k) all << list->item(k)->text();
    return all;
}

// The labels of a tree, children indented under their parents.
inline QStringList treeLabels(const QTreeWidget* tree)
{
    QStringList labels;
    for (int k = 0; k < tree->topLevelItemCount(); ++k) {
        const QTreeWidgetItem* item = tree->topLevelItem(k);
        labels << item->text(0);
        for (int c = 0; c < item->childCount(); ++c) labels << QStringLiteral("  ") + item->child(c)->text(0);
    }
    return labels;
}

// A control of the dialog itself, not a part of a compound control (a list's
// header or scroll bars, a combo box's popup, a spin box's field) nor of another window.
inline bool ownControl(QWidget* widget, QWidget* dialog)
{
    if (widget->window() != dialog || qobject_cast<QScrollBar*>(widget)) return false;
    for (QWidget* up = widget->parentWidget(); up && up != dialog; up = up->parentWidget())
        if (qobject_cast<QAbstractItemView*>(up) || qobject_cast<QComboBox*>(up) || qobject_cast<QAbstractSpinBox*>(up))
            return false;
    return qobject_cast<QLineEdit*>(widget) || qobject_cast<QAbstractButton*>(widget) ||
           qobject_cast<QComboBox*>(widget) || qobject_cast<QAbstractItemView*>(widget) ||
           qobject_cast<QAbstractSlider*>(widget) || qobject_cast<QAbstractSpinBox*>(widget);
}

// A widget's accessible name: its own, or else what its accessible interface
// gives (a buddied label's text, a button's caption).
inline QString accessibleName(QWidget* widget)
{
    if (!widget->accessibleName().isEmpty()) return widget->accessibleName();
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

// What a keyboard and screen-reader user needs of a dialog: every control
// with an object name and an accessible name (a field's, slider's or list's
// ends with its label's words) reached by Tab, and one default button.
inline void checkAccessible(QWidget* dialog)
{
    for (QLabel* label : dialog->findChildren<QLabel*>())
        if (QWidget* buddy = label->buddy()) {
            const auto words = [](QString text) { return text.remove(QLatin1Char(':')).trimmed(); };
            QVERIFY2(words(accessibleName(buddy)).endsWith(words(label->text()), Qt::CaseInsensitive),
                     qPrintable(label->text()));
        }
    for (QWidget* widget : dialog->findChildren<QWidget*>()) {
        if (!ownControl(widget, dialog)) continue;
        QVERIFY2(!widget->objectName().isEmpty(), widget->metaObject()->className());
        QVERIFY2(!accessibleName(widget).isEmpty(), qPrintable(widget->objectName()));
        QVERIFY2(widget->focusPolicy() & Qt::TabFocus, qPrintable(widget->objectName()));
    }
    int defaults = 0;
    for (QPushButton* button : dialog->findChildren<QPushButton*>())
        if (button->window() == dialog) defaults += button->isDefault() ? 1 : 0;
    QCOMPARE(defaults, 1);
}

} // namespace dialogtest
