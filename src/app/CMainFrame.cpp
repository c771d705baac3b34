#include "CMainFrame.h"

#include "CAboutDlg.h"
#include "FileDialogFolder.h"
#include "RideMovieMaker.h"
#include "RideProfileDock.h"
#include "ViewOpenGLst.h"
#include "dialogs/DialogExport.h"
#include "design/DesignHistory.h"
#include "document/NameEncoding.h"
#include "document/OpenGLTemplateDoc.h"
#include "document/ThreadPauseGuard.h"
#include "panel/ControlPanelForm.h"
#include "panel/ControlPanelPane.h"
#include "simulation/RideFile.h"
#include "view/CameraCommands.h"

#include <algorithm>

#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QProgressBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QWindowStateChangeEvent>

namespace {

constexpr const char* kDocumentFilter = "Quorvane Files (*.mwk)";
constexpr const char* kAppTitle = "Marlwick";

QAction* addCommand(QMenu* menu, const QString& caption, const QKeySequence& shortcut = {})
{
    QAction* action = menu->addAction(caption);
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    return action;
}

} // namespace

CMainFrame::CMainFrame(COpenGLTemplateDoc& document, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      document_(document)
{
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setChildrenCollapsible(true);
    splitter_->setHandleWidth(4);
    view_ = new ViewOpenGLst(document_);
    viewContainer_ = QWidget::createWindowContainer(view_, splitter_);
    viewContainer_->setFocusPolicy(Qt::StrongFocus);
    viewContainer_->setMinimumSize(10, 10);
    panel_ = new ControlPanelForm(document_, *view_);
    panelPane_ = new ControlPanelPane(panel_, splitter_);
    splitter_->addWidget(viewContainer_);
    splitter_->addWidget(panelPane_);
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 0);
    setCentralWidget(splitter_);

    // File loading progress over the view's top-left corner; native, so it
    // stays above the view's own window.
    progress_ = new QProgressBar(this);
    progress_->setAttribute(Qt::WA_NativeWindow);
    progress_->resize(200, 30);
    progress_->hide();
    connect(view_, &ViewOpenGLst::meshListCompiled, this, [this] {
        if (!progress_->isVisible()) return;
        progress_->setValue(progress_->value() + 1);
        if (progress_->value() >= progress_->maximum()) progress_->hide();
    });

    rideProfile_ = new RideProfileDock(document_, this);
    addDockWidget(Qt::RightDockWidgetArea, rideProfile_);
    rideProfile_->hide();

    CreateMenus();
    // "[*]" shows the modified flag.
    connect(view_, &ViewOpenGLst::titleTextChanged, this,
            [this](const QString& text) { setWindowTitle(text + QStringLiteral("[*]")); });
    // Without OpenGL the view stays empty; everything else goes on working.
    connect(view_, &ViewOpenGLst::drawingUnavailable, this, [this](const QString& text) {
        lastMessage_ = text;
        QMessageBox::critical(this, QLatin1String(kAppTitle), text);
    });
    recent_.Load();
    UpdateRecentFileActions();
    LayOutPanes(width(), 0);
    splitterReady_ = true;
    UpdateDocumentTitle();
    // Keys reach the view from the start, without a click into it first.
    viewContainer_->setFocus();
}

CMainFrame::~CMainFrame()
{
    // The threads end before the window they draw into goes away.
    view_->Teardown();
}

void CMainFrame::PlaceProgressBar()
{
    progress_->move(viewContainer_->mapTo(this, QPoint(10, 10)));
}

QAction* CMainFrame::FindAction(const QString& caption) const
{
    for (QAction* menuAction : menuBar()->actions()) {
        if (menuAction->text() == caption) return menuAction;
        if (!menuAction->menu()) continue;
        for (QAction* action : menuAction->menu()->actions())
            if (action->text() == caption) return action;
    }
    return nullptr;
}

// --- menus ---

void CMainFrame::CreateMenus()
{
    CreateFileMenu();
    CreateEditMenu();
    CreateViewMenu();
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    connect(addCommand(help, QStringLiteral("&About Marlwick...")), &QAction::triggered, this, &CMainFrame::OnAppAbout);
}

void CMainFrame::CreateFileMenu()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    connect(addCommand(file, QStringLiteral("&New\tCtrl+N"), QKeySequence(Qt::CTRL | Qt::Key_N)),
            &QAction::triggered, this, &CMainFrame::OnFileNew);
    connect(addCommand(file, QStringLiteral("&Open...\tCtrl+O"), QKeySequence(Qt::CTRL | Qt::Key_O)),
            &QAction::triggered, this, &CMainFrame::OnFileOpen);
    connect(addCommand(file, QStringLiteral("&Save\tCtrl+S"), QKeySequence(Qt::CTRL | Qt::Key_S)),
            &QAction::triggered, this, &CMainFrame::OnFileSave);
    connect(addCommand(file, QStringLiteral("Save &As...")), &QAction::triggered, this, &CMainFrame::OnFileSaveAs);
    file->addSeparator();
    connect(addCommand(file, QStringLiteral("Save image")), &QAction::triggered, this,
            [this] { view_->OnFileSaveImage(this, FileDialogStartFolder(documentPath_)); });
    connect(addCommand(file, QStringLiteral("Save movie frames")), &QAction::triggered, this,
            [this] { view_->OnFileSaveMovieFrames(); });
    saveMovieAction_ = addCommand(file, QStringLiteral("Save movie…"));
    saveMovieAction_->setObjectName(QStringLiteral("saveMovieAction"));
    connect(saveMovieAction_, &QAction::triggered, this, [this] {
        const QString problem = view_->OnFileSaveMovie(this, FileDialogStartFolder(documentPath_));
        if (!problem.isEmpty()) ShowMessage(problem);
        UpdateMovieCommands();
    });
    stopMovieAction_ = addCommand(file, QStringLiteral("Stop movie"));
    stopMovieAction_->setObjectName(QStringLiteral("stopMovieAction"));
    connect(stopMovieAction_, &QAction::triggered, this, &CMainFrame::OnFileStopMovie);
    saveRideAction_ = addCommand(file, QStringLiteral("Save ride…"));
    saveRideAction_->setObjectName(QStringLiteral("saveRideAction"));
    connect(saveRideAction_, &QAction::triggered, this, &CMainFrame::OnFileSaveRide);
    CreateRideMovieCommand(file);
    connect(file, &QMenu::aboutToShow, this, &CMainFrame::UpdateFileMenu);
    UpdateFileMenu();
    connect(addCommand(file, QStringLiteral("Export…")), &QAction::triggered, this, [this] {
        DialogExport dialog(document_, documentPath_, this);
        dialog.exec();
    });
    file->addSeparator();
    connect(addCommand(file, QStringLiteral("&Print...\tCtrl+P"), QKeySequence(Qt::CTRL | Qt::Key_P)),
            &QAction::triggered, this, &CMainFrame::OnFilePrint);
    connect(addCommand(file, QStringLiteral("Print Pre&view")), &QAction::triggered, this,
            &CMainFrame::OnFilePrintPreview);
    connect(addCommand(file, QStringLiteral("P&rint Setup...")), &QAction::triggered, this,
            &CMainFrame::OnFilePrintSetup);
    file->addSeparator();
    recentPlaceholder_ = addCommand(file, QStringLiteral("Recent File"));
    recentPlaceholder_->setEnabled(false);
    for (int k = 0; k < RecentFileList::kSize; ++k) {
        recentActions_[k] = file->addAction(QString());
        connect(recentActions_[k], &QAction::triggered, this, [this, k] {
            const QString path = recent_.files().value(k);
            if (path.isEmpty() || !MaybeSave() || OpenDocumentFile(path)) return;
            // A file that no longer opens leaves the list.
            recent_.Remove(path);
            UpdateRecentFileActions();
        });
    }
    file->addSeparator();
    connect(addCommand(file, QStringLiteral("E&xit")), &QAction::triggered, this, &QWidget::close);
}

void CMainFrame::UpdateFileMenu()
{
    saveRideAction_->setEnabled(view_->core().physics().ride.HasRun());
    makeRideMovieAction_->setEnabled(!rideMovie_->busy());
    UpdateMovieCommands();
}

void CMainFrame::CreateRideMovieCommand(QMenu* file)
{
    rideMovie_ = new RideMovieMaker(document_, *view_, this);
    makeRideMovieAction_ = addCommand(file, QStringLiteral("Make movie of ride…"));
    makeRideMovieAction_->setObjectName(QStringLiteral("makeRideMovieAction"));
    connect(makeRideMovieAction_, &QAction::triggered, this, [this] { rideMovie_->Run(documentPath_); });
    connect(rideMovie_, &RideMovieMaker::busyChanged, this, &CMainFrame::UpdateFileMenu);
    connect(rideMovie_, &RideMovieMaker::finished, this, [this](bool made, const QString& report) {
        if (made) statusBar()->showMessage(report);
        else ShowMessage(report);
    });
}

void CMainFrame::CreateEditMenu()
{
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    undoAction_ = addCommand(edit, QString(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    redoAction_ = addCommand(edit, QString(), QKeySequence(Qt::CTRL | Qt::Key_Y));
    redoAction_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    connect(undoAction_, &QAction::triggered, this, &CMainFrame::OnEditUndo);
    connect(redoAction_, &QAction::triggered, this, &CMainFrame::OnEditRedo);
    connect(edit, &QMenu::aboutToShow, this, &CMainFrame::UpdateEditMenu);
    UpdateEditMenu();
}

void CMainFrame::UpdateEditMenu()
{
    if (!undoAction_) return; // the history changed while the menus were being made
    // Step names hold surface names in the document's code page.
    const auto caption = [](const char* command, const std::string& step, const char* keys) {
        QString text = QLatin1String(command);
        if (!step.empty()) text += QLatin1Char(' ') + QString::fromStdString(NameToUtf8(step));
        return text + QLatin1Char('\t') + QLatin1String(keys);
    };
    undoAction_->setText(caption("&Undo", design::UndoStepName(document_), "Ctrl+Z"));
    redoAction_->setText(caption("&Redo", design::RedoStepName(document_), "Ctrl+Y"));
    undoAction_->setEnabled(design::CanUndo(document_));
    redoAction_->setEnabled(design::CanRedo(document_));
}

void CMainFrame::OnEditUndo() { UndoOrRedo(true); }

void CMainFrame::OnEditRedo() { UndoOrRedo(false); }

void CMainFrame::UndoOrRedo(bool undo)
{
    view_->StopBallCommand();
    panel_->CloseDesignDialogs();
    const design::DesignResult result = undo ? design::Undo(document_) : design::Redo(document_);
    UpdateEditMenu();
    if (!result.ok()) ShowMessage(QString::fromStdString(NameToUtf8(result.refusal)));
}

void CMainFrame::CreateViewMenu()
{
    QMenu* viewMenu = menuBar()->addMenu(QStringLiteral("&View"));
    controlPanelAction_ = addCommand(viewMenu, QStringLiteral("Control Panel"));
    controlPanelAction_->setCheckable(true);
    connect(controlPanelAction_, &QAction::triggered, this, &CMainFrame::OnViewControlPanel);
    alignedVerticallyAction_ = addCommand(viewMenu, QStringLiteral("Camera aligned vertically"));
    alignedWithSurfaceAction_ = addCommand(viewMenu, QStringLiteral("Camera aligned with surface"));
    alignedVerticallyAction_->setCheckable(true);
    alignedWithSurfaceAction_->setCheckable(true);
    connect(alignedVerticallyAction_, &QAction::triggered, this, [this] {
        SetCameraAlignedVertically(document_, true);
        UpdateViewMenuChecks();
    });
    connect(alignedWithSurfaceAction_, &QAction::triggered, this, [this] {
        SetCameraAlignedVertically(document_, false);
        UpdateViewMenuChecks();
    });
    QAction* rideProfile = rideProfile_->toggleViewAction();
    rideProfile->setText(QStringLiteral("Ride profile"));
    viewMenu->addAction(rideProfile);
    connect(viewMenu, &QMenu::aboutToShow, this, &CMainFrame::UpdateViewMenuChecks);
    UpdateViewMenuChecks();
}

void CMainFrame::UpdateViewMenuChecks()
{
    controlPanelAction_->setChecked(panelShown_);
    const bool vertical = CameraAlignedVertically(document_);
    alignedVerticallyAction_->setChecked(vertical);
    alignedWithSurfaceAction_->setChecked(!vertical);
}

void CMainFrame::UpdateRecentFileActions()
{
    const QStringList& files = recent_.files();
    recentPlaceholder_->setVisible(files.isEmpty());
    for (int k = 0; k < RecentFileList::kSize; ++k) {
        const bool used = k < files.size();
        recentActions_[k]->setVisible(used);
        if (used) recentActions_[k]->setText(QStringLiteral("&%1 %2").arg(k + 1).arg(files.at(k)));
    }
}

// --- panes ---

void CMainFrame::LayOutPanes(int viewWidth, int panelWidth)
{
    // A shown panel has the splitter's bar beside it.
    const int bar = panelWidth > 0 ? splitter_->handleWidth() : 0;
    panelPane_->setVisible(panelWidth > 0);
    splitter_->setSizes({std::max(10, viewWidth - bar), panelWidth});
}

void CMainFrame::OnViewControlPanel()
{
    if (panelShown_) {
        panelShown_ = false;
        panelWidth_ = 0;
        LayOutPanes(width(), 0);
    } else {
        panelShown_ = true;
        panelWidth_ = kPanelWidth;
        LayOutPanes(width() - kPanelWidth, kPanelWidth);
    }
    UpdateViewMenuChecks();
}

void CMainFrame::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (!splitterReady_ || isMinimized()) return;
    LayOutPanes(width() - panelWidth_, panelWidth_);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    // Asked while a load or an import paints its progress: the window closes
    // once that work is done, not under it.
    if (busy_) {
        event->ignore();
        QTimer::singleShot(kBusyCloseRetryMs, this, &QWidget::close);
        return;
    }
    if (!MaybeSave()) {
        event->ignore();
        return;
    }
    view_->Teardown();
    event->accept();
}

// --- document commands ---

QString CMainFrame::DocumentName() const
{
    return documentPath_.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(documentPath_).fileName();
}

void CMainFrame::UpdateDocumentTitle()
{
    setWindowTitle(DocumentName() + QStringLiteral(" - ") + QLatin1String(kAppTitle) + QStringLiteral("[*]"));
    setWindowModified(document_.IsModified());
}

bool CMainFrame::MaybeSave()
{
    if (!document_.IsModified()) return true;
    const QMessageBox::StandardButton answer =
        QMessageBox::warning(this, QLatin1String(kAppTitle), QStringLiteral("Save changes to %1?").arg(DocumentName()),
                             QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Discard) return true;
    if (answer == QMessageBox::Save) return OnFileSave();
    return false;
}

void CMainFrame::UpdateMovieCommands()
{
    saveMovieAction_->setEnabled(!view_->recordingMovie());
    stopMovieAction_->setEnabled(view_->recordingMovie());
}

void CMainFrame::OnFileStopMovie()
{
    const ViewOpenGLst::MovieReport ended = view_->StopMovie();
    UpdateMovieCommands();
    if (ended.written) statusBar()->showMessage(ended.report);
    else ShowMessage(ended.report);
}

void CMainFrame::ShowMessage(const QString& text)
{
    lastMessage_ = text;
    QMessageBox::information(this, QLatin1String(kAppTitle), text);
}

void CMainFrame::OnFileNew()
{
    if (!MaybeSave()) return;
    document_.OnNewDocument();
    view_->core().physics().ride.Clear();
    panel_->FillSurfaceTree(true);
    panel_->UpdateFromDocument();
    documentPath_.clear();
    UpdateDocumentTitle();
}

bool CMainFrame::OpenDocumentFile(const QString& path, bool showErrors)
{
    std::string error;
    if (!document_.OnOpenDocument(QFile::encodeName(path).toStdString(), error)) {
        progress_->hide();
        lastMessage_ = QString::fromStdString(error);
        if (showErrors) QMessageBox::warning(this, QLatin1String(kAppTitle), lastMessage_);
        return false;
    }
    panel_->UpdateFromDocument();
    view_->core().physics().ride.Clear();
    documentPath_ = QFileInfo(path).absoluteFilePath();
    recent_.Add(documentPath_);
    RememberFileDialogFolder(documentPath_);
    UpdateRecentFileActions();
    UpdateDocumentTitle();
    return true;
}

bool CMainFrame::SaveDocumentTo(const QString& path)
{
    std::string error;
    bool saved = false;
    {
        // The worker threads hold still while the document is written.
        ThreadPauseGuard pause(document_);
        saved = document_.OnSaveDocument(QFile::encodeName(path).toStdString(), error);
    }
    if (!saved) {
        ShowMessage(QString::fromStdString(error));
        return false;
    }
    documentPath_ = QFileInfo(path).absoluteFilePath();
    recent_.Add(documentPath_);
    RememberFileDialogFolder(documentPath_);
    UpdateRecentFileActions();
    UpdateDocumentTitle();
    return true;
}

bool CMainFrame::SaveRideTo(const QString& path)
{
    RideRecord ride = view_->core().physics().ride.Copy();
    ride.documentName = DocumentName().toStdString();
    std::string error;
    if (SaveRideFile(QFile::encodeName(path).toStdString(), ride, error)) return true;
    ShowMessage(QString::fromStdString(error));
    return false;
}

void CMainFrame::OnFileSaveRide()
{
    QFileDialog dialog(this, QStringLiteral("Save ride"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QStringLiteral("Marlwick rides (*.mwkride)"));
    dialog.setDefaultSuffix(QStringLiteral("mwkride"));
    dialog.setDirectory(FileDialogStartFolder(documentPath_));
    if (!documentPath_.isEmpty()) dialog.selectFile(QFileInfo(documentPath_).completeBaseName() + QStringLiteral(".mwkride"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    RememberFileDialogFolder(dialog.selectedFiles().constFirst());
    SaveRideTo(dialog.selectedFiles().constFirst());
}

void CMainFrame::OnFileOpen()
{
    if (!MaybeSave()) return;
    QFileDialog dialog(this, QStringLiteral("Open"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QLatin1String(kDocumentFilter));
    dialog.setDirectory(FileDialogStartFolder(documentPath_));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        OpenDocumentFile(dialog.selectedFiles().constFirst());
}

bool CMainFrame::OnFileSave()
{
    if (documentPath_.isEmpty()) return OnFileSaveAs();
    return SaveDocumentTo(documentPath_);
}

bool CMainFrame::OnFileSaveAs()
{
    QFileDialog dialog(this, QStringLiteral("Save As"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QLatin1String(kDocumentFilter));
    dialog.setDefaultSuffix(QStringLiteral("mwk"));
    dialog.setDirectory(FileDialogStartFolder(documentPath_));
    if (!documentPath_.isEmpty()) dialog.selectFile(documentPath_);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    return SaveDocumentTo(dialog.selectedFiles().constFirst());
}

bool CMainFrame::PrintDocument(QPrinter& printer, bool preview) { return view_->PrintTo(printer, preview); }

void CMainFrame::OnFilePrint()
{
    QPrintDialog dialog(&printer_, this);
    dialog.setOption(QAbstractPrintDialog::PrintToFile);
    if (dialog.exec() == QDialog::Accepted) PrintDocument(printer_, false);
}

void CMainFrame::OnFilePrintPreview()
{
    QPrintPreviewDialog dialog(&printer_, this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* printer) { PrintDocument(*printer, true); });
    dialog.exec();
}

void CMainFrame::OnFilePrintSetup()
{
    QPageSetupDialog dialog(&printer_, this);
    dialog.exec();
}

void CMainFrame::OnAppAbout()
{
    CAboutDlg about(this);
    about.exec();
}
