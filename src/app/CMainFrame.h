#pragma once

// The main window: a splitter with the OpenGL view on the left and the
// control panel on the right (hidden until View > "Control Panel"), the menu
// bar, and the document commands of the File menu.

#include "RecentFileList.h"

#include <QMainWindow>
#include <QPrinter>

#include <memory>

class COpenGLTemplateDoc;
class ControlPanelForm;
class ControlPanelPane;
class QAction;
class QMenu;
class QProgressBar;
class RideMovieMaker;
class RideProfileDock;
class QSplitter;
class ViewOpenGLst;

class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kPanelWidth = 330;

    explicit CMainFrame(COpenGLTemplateDoc& document, QWidget* parent = nullptr);
    ~CMainFrame() override;

    ViewOpenGLst* view() const { return view_; }
    ControlPanelForm* controlPanel() const { return panel_; }
    // The right pane: the control panel in a scroll area.
    ControlPanelPane* panelPane() const { return panelPane_; }
    QSplitter* splitter() const { return splitter_; }
    bool splitterReady() const { return splitterReady_; }
    int panelWidth() const { return panelWidth_; }
    bool panelShown() const { return panelShown_; }
    // The action of a menu item by its caption, or none.
    QAction* FindAction(const QString& caption) const;
    RecentFileList& recentFiles() { return recent_; }
    QPrinter& printer() { return printer_; }
    QProgressBar* progressBar() const { return progress_; }
    // Set while a long load or import lets the window paint between its steps.
    void SetBusy(bool busy) { busy_ = busy; }
    // The loading progress bar at the view's top-left corner, below the menu bar.
    void PlaceProgressBar();
    RideProfileDock* rideProfileDock() const { return rideProfile_; }
    // File > "Make movie of ride…".
    RideMovieMaker* rideMovieMaker() const { return rideMovie_; }
    const QString& documentPath() const { return documentPath_; }

    // "New": the new document "a" (a modified document asks to be saved first).
    void OnFileNew();
    // Opens a document; on failure shows why and keeps the document as it was.
    bool OpenDocumentFile(const QString& path, bool showErrors = true);
    bool SaveDocumentTo(const QString& path);
    // File > "Save ride…" without the dialog: the last run to path. False
    // (and the reason shown) when it could not be written.
    bool SaveRideTo(const QString& path);
    // "Save ride…" is enabled once a run has taken a step.
    void UpdateFileMenu();
    // View > "Control Panel".
    void OnViewControlPanel();
    // Edit > "Undo ..." and "Redo ...": stop the ball, close the open design
    // dialogs, then take back (do again) the last change; a refusal is shown.
    void OnEditUndo();
    void OnEditRedo();
    // The Edit menu's texts and greying, as the document's history stands.
    void UpdateEditMenu();
    // The print step for a printer: true when a page was printed.
    bool PrintDocument(QPrinter& printer, bool preview);
    // The last message box text of the frame (for a user who closed it, and for tests).
    const QString& lastMessage() const { return lastMessage_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateMenus();
    void CreateFileMenu();
    void CreateRideMovieCommand(QMenu* file);
    void CreateEditMenu();
    void CreateViewMenu();
    void UndoOrRedo(bool undo);
    void UpdateRecentFileActions();
    void UpdateViewMenuChecks();
    void LayOutPanes(int viewWidth, int panelWidth);
    void UpdateDocumentTitle();
    QString DocumentName() const;
    // Before the document is replaced or the program ends: a modified document
    // asks "Save changes to ...?". True when the caller may go on (saved,
    // discarded or nothing to save); false on Cancel or a failed save.
    bool MaybeSave();
    void ShowMessage(const QString& text);
    void OnFileOpen();
    void OnFileSaveRide();
    bool OnFileSave();
    bool OnFileSaveAs();
    // File > "Save movie…" and "Stop movie", greyed as the recording stands.
    void UpdateMovieCommands();
    void OnFileStopMovie();
    void OnFilePrint();
    void OnFilePrintPreview();
    void OnFilePrintSetup();
    void OnAppAbout();

    COpenGLTemplateDoc& document_;
    QSplitter* splitter_ = nullptr;
    ViewOpenGLst* view_ = nullptr;
    QWidget* viewContainer_ = nullptr;
    ControlPanelForm* panel_ = nullptr;
    ControlPanelPane* panelPane_ = nullptr;
    QProgressBar* progress_ = nullptr;
    bool busy_ = false;
    static constexpr int kBusyCloseRetryMs = 100;
    RideProfileDock* rideProfile_ = nullptr;
    bool splitterReady_ = false;
    int panelWidth_ = 0;
    bool panelShown_ = false;
    RecentFileList recent_;
    QAction* recentActions_[RecentFileList::kSize] = {};
    QAction* recentPlaceholder_ = nullptr;
    QAction* saveMovieAction_ = nullptr;
    QAction* stopMovieAction_ = nullptr;
    QAction* saveRideAction_ = nullptr;
    QAction* makeRideMovieAction_ = nullptr;
    RideMovieMaker* rideMovie_ = nullptr;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    QAction* controlPanelAction_ = nullptr;
    QAction* alignedVerticallyAction_ = nullptr;
    QAction* alignedWithSurfaceAction_ = nullptr;
    QPrinter printer_;
    QString documentPath_;
    QString lastMessage_;
};
