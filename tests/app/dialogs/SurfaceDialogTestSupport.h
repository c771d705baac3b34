#pragma once

// The control panel with its design dialogs on a document, offscreen, for
// the tests of the dialogs that create and edit surfaces: the dialogs are
// opened by the panel's buttons and driven through their widgets by object
// name, every message box answered and its text kept.

#include "ProgramPeers.h"
#include "dialogs/DialogTestSupport.h"
#include "panel/ControlPanelForm.h"
#include "panel/PanelTestSupport.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>

class PanelWithDialogs {
public:
    PanelWithDialogs()
        : peers(std::make_unique<ProgramPeers>(doc)), view(std::make_unique<DocumentOnlyView>(doc))
    {
        doc.SetPeers(peers.get());
        doc.OnNewDocument();
        panel = std::make_unique<ControlPanelForm>(doc, *view);
        peers->SetControlPanel(panel.get());
        panel->FillSurfaceTree(true);
        panel->UpdateFromDocument();
        panel->show();
    }
    ~PanelWithDialogs()
    {
        boxes.reset();
        peers->SetControlPanel(nullptr);
        panel.reset();
        doc.SetPeers(nullptr);
    }
    PanelWithDialogs(const PanelWithDialogs&) = delete;
    PanelWithDialogs& operator=(const PanelWithDialogs&) = delete;

    // A control of the panel or of one of its dialogs (objectName of the
    // dialog, then of the control); fails the test program when missing.
    template <typename T = QWidget>
    T* control(const char* name) const
    {
        return dialogtest::control<T>(panel.get(), name);
    }
    template <typename T = QWidget>
    T* in(const char* dialog, const char* name) const
    {
        return dialogtest::control<T>(control<QDialog>(dialog), name);
    }
    void click(QAbstractButton* button) const { dialogtest::clickWithMouse(button); }
    void click(const char* name) const { click(control<QAbstractButton>(name)); }
    void click(const char* dialog, const char* name) const { click(in<QAbstractButton>(dialog, name)); }
    // Replaces a field's text as a person does: select all, type.
    void type(const char* dialog, const char* name, const QString& text) const
    {
        QLineEdit* edit = in<QLineEdit>(dialog, name);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        // Keys for plain text; an input method's commit for the rest.
        bool plain = true;
        for (QChar c : text) plain = plain && c.unicode() >= 0x20 && c.unicode() < 0x7f;
        if (plain) QTest::keyClicks(edit, text);
        else edit->insert(text);
    }
    SurfaceSection* surfaceNamed(const char* name) const
    {
        for (const auto& s : doc.surfaces)
            if (textOf(s->name) == name) return s.get();
        return nullptr;
    }

    COpenGLTemplateDoc doc;
    std::unique_ptr<ProgramPeers> peers;
    std::unique_ptr<DocumentOnlyView> view;
    std::unique_ptr<ControlPanelForm> panel;
    std::unique_ptr<MessageBoxAnswers> boxes = std::make_unique<MessageBoxAnswers>();
};

// Every input control of the dialog has an object name and an accessible
// name, and the dialog has one default button.
inline void VerifyDialogAccessible(QDialog* dialog)
{
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        const bool input = w->focusPolicy() != Qt::NoFocus && w->isVisibleTo(dialog) &&
                           !w->inherits("QScrollBar") && !w->parentWidget()->inherits("QAbstractSpinBox") &&
                           !w->parentWidget()->inherits("QComboBox");
        if (!input) continue;
        QVERIFY2(!w->objectName().isEmpty(), w->metaObject()->className());
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
        QVERIFY2(face && !face->text(QAccessible::Name).isEmpty(), qPrintable(w->objectName()));
    }
    int defaults = 0;
    for (QPushButton* b : dialog->findChildren<QPushButton*>()) defaults += b->isDefault() ? 1 : 0;
    QCOMPARE(defaults, 1);
}
