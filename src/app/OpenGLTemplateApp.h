#pragma once

// The application: one document, one main frame with its two panes, the
// settings key "Marlwick" and start-up from the command line.

#include <QObject>
#include <QStringList>

#include <memory>

class CMainFrame;
class COpenGLTemplateDoc;
class ControlPanelForm;
class ProgramPeers;
class QSplitter;
class ViewOpenGLst;

class OpenGLTemplateApp : public QObject {
    Q_OBJECT

public:
    OpenGLTemplateApp();
    ~OpenGLTemplateApp() override;

    // Called before the QApplication exists. On X11 the view's context comes
    // from Qt's EGL integration unless QT_XCB_GL_INTEGRATION says otherwise:
    // with the GLX one, the frames the render thread presents hide the menus
    // and dialogs that open over the view.
    static void PrepareEnvironment();

    // Start-up: settings, the frame, then the new document or the document
    // named by the first argument after the program's name. False (and a
    // message shown) when that document cannot be opened.
    bool InitInstance(const QStringList& arguments, bool showMaximized = true);

    COpenGLTemplateDoc& document() { return *document_; }
    // The references the document takes at its setup.
    ViewOpenGLst* view() const { return view_; }
    ControlPanelForm* controlPanel() const { return controlPanel_; }
    QSplitter* splitter() const { return splitter_; }
    CMainFrame* mainFrame() const { return frame_.get(); }

private:
    // Declared in the order of creation: the frame (and its threads) go
    // before the document they use.
    std::unique_ptr<COpenGLTemplateDoc> document_;
    std::unique_ptr<ProgramPeers> peers_;
    std::unique_ptr<CMainFrame> frame_;
    ViewOpenGLst* view_ = nullptr;
    ControlPanelForm* controlPanel_ = nullptr;
    QSplitter* splitter_ = nullptr;
};
