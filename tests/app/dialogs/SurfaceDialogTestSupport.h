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
#include <QDialog>
#include <QLineEdit>
#include <QtTest>

#include <memory>

class PanelWithDialogs {
public:
    // On a new document, or on one that `fill` makes.
    explicit PanelWithDialogs(void (*fill)(COpenGLTemplateDoc&) = [](COpenGLTemplateDoc& d) { d.OnNewDocument(); })
        : peers(std::make_unique<ProgramPeers>(doc)), view(std::make_unique<DocumentOnlyView>(doc))
    {
        doc.SetPeers(peers.get());
        fill(doc);
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
    void type(const char* dialog, const char* name, const QString& text) const
    {
        dialogtest::retype(in<QLineEdit>(dialog, name), text);
    }
    // Selects the surface `name` in the panel's tree, as a click does.
    void select(const char* name) const
    {
        QVERIFY(dialogtest::selectTreeItem(control<QTreeWidget>("surfaceTree"), QString::fromLatin1(name)));
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
