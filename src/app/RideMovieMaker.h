#pragma once

// File > "Make movie of ride…": the movie of a saved ride, or of the last
// run, made in the background while the program goes on, with a progress
// dialog whose Cancel leaves no file behind (and any old one as it was).
//
// The movie is made by marlwick-cli, started as a child process, not on a
// thread of the program: it draws in an OpenGL context of its own, apart
// from the view's, and at a lower priority, so the view and the physics
// thread keep the machine's cores first; a cancel is a signal on which the
// tool drops its half-written file; a fault while encoding cannot take the
// program (and an unsaved document) down with it; and the movie is the very
// one "marlwick-cli movie --replay" makes from the command line.

#include "movie/RideMovieJob.h"

#include <QObject>
#include <QProcess>
#include <QString>

#include <memory>
#include <optional>

class COpenGLTemplateDoc;
class QProgressDialog;
class QTemporaryDir;
class QWidget;
class ViewOpenGLst;

class RideMovieMaker : public QObject {
    Q_OBJECT

public:
    RideMovieMaker(COpenGLTemplateDoc& document, ViewOpenGLst& view, QWidget* dialogParent);
    // A movie still being made is cancelled (and waited for).
    ~RideMovieMaker() override;

    bool busy() const { return process_ != nullptr; }

    // The command for the document at documentPath (empty: untitled): which
    // ride (the last run or a saved one), the movie's file, then Start.
    void Run(const QString& documentPath);
    // Starts the movie of the ride in ridePath (empty: the last run) to
    // moviePath, at the view's size; documentName goes in the last run's
    // header. Empty when it started; otherwise why not.
    QString Start(const QString& ridePath, const QString& moviePath, const QString& documentName);
    // Asks the tool to stop; finished follows once it has.
    void Cancel();

    QProgressDialog* progressDialog() const { return progress_; }

signals:
    void busyChanged(bool busy);
    // The movie was made (report for the status bar), or not (why, for a message box).
    void finished(bool made, const QString& report);

private:
    // Which ride: empty for the last run, a file, or no choice (cancelled).
    std::optional<QString> AskRide(const QString& startFolder);
    // The document as "Save" would write it and the ride, checked against it,
    // as files in a folder of their own; empty on success, else why not.
    QString WriteInputs(const QString& ridePath, const QString& documentName);
    void Launch();
    void ShowProgress();
    void ReadProgress();
    void Ended(movie::RideMovieExit exit);

    COpenGLTemplateDoc& document_;
    ViewOpenGLst& view_;
    QWidget* dialogParent_;
    QProgressDialog* progress_ = nullptr;
    std::unique_ptr<QProcess> process_;
    std::unique_ptr<QTemporaryDir> inputs_;
    movie::RideMovieRequest request_;
    movie::RideMovieProgress progressLines_;
    bool cancelled_ = false;
};
