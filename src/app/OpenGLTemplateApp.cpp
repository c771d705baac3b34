#include "OpenGLTemplateApp.h"

#include "CMainFrame.h"
#include "ProgramPeers.h"
#include "ViewOpenGLst.h"
#include "document/DataFiles.h"
#include "document/OpenGLTemplateDoc.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

OpenGLTemplateApp::OpenGLTemplateApp()
    : document_(std::make_unique<COpenGLTemplateDoc>()),
      peers_(std::make_unique<ProgramPeers>(*document_))
{
    document_->SetPeers(peers_.get());
}

void OpenGLTemplateApp::PrepareEnvironment()
{
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION")) qputenv("QT_XCB_GL_INTEGRATION", "xcb_egl");
}

OpenGLTemplateApp::~OpenGLTemplateApp()
{
    if (frame_) frame_->view()->Teardown();
    peers_->SetFrame(nullptr);
    frame_.reset();
    document_->SetPeers(nullptr);
}

bool OpenGLTemplateApp::InitInstance(const QStringList& arguments, bool showMaximized)
{
    QCoreApplication::setOrganizationName(QStringLiteral("Marlwick"));
    QCoreApplication::setApplicationName(QStringLiteral("Marlwick"));
    // The user's own surface library and templates, made from the shipped
    // ones at the first start.
    const std::string dataProblem = PrepareUserDataFiles();

    frame_ = std::make_unique<CMainFrame>(*document_);
    view_ = frame_->view();
    controlPanel_ = frame_->controlPanel();
    splitter_ = frame_->splitter();
    peers_->SetFrame(frame_.get());

    const QStringList files = arguments.mid(1);
    if (!files.isEmpty()) {
        if (!frame_->OpenDocumentFile(files.constFirst())) return false;
    } else {
        frame_->OnFileNew();
    }
    // Maximised by the window manager where there is one; the screen's size
    // where there is none.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) frame_->setGeometry(screen->availableGeometry());
    if (showMaximized) frame_->showMaximized();
    else frame_->show();
    // Active from the start, with or without a window manager to make it so:
    // the view has the keys.
    frame_->activateWindow();
    if (!dataProblem.empty())
        QMessageBox::warning(frame_.get(), QStringLiteral("Marlwick"), QString::fromLocal8Bit(dataProblem));
    return true;
}
