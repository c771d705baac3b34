#include "RideMovieMaker.h"

#include "FileDialogFolder.h"
#include "ViewOpenGLst.h"
#include "document/FileIO.h"
#include "document/OpenGLTemplateDoc.h"
#include "document/ThreadPauseGuard.h"
#include "platform/DataFolders.h"
#include "simulation/RideFile.h"
#include "view/LiveMovie.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <csignal>
#include <sys/prctl.h>
#include <sys/resource.h>

namespace {

constexpr const char* kMovieFilters = "MP4 Movies (*.mp4);;WebM Movies (*.webm);;GIF Animations (*.gif)";
constexpr const char* kRideFilter = "Marlwick rides (*.mwkride)";
constexpr const char* kToolName = "marlwick-cli";
// The tool runs this much nicer than the program, so the view and the physics thread come first.
constexpr int kToolNiceness = 10;
// A tool that has not stopped this long after it was asked to is killed.
constexpr int kKillAfterMs = 10000;

QString fromBytes(const std::string& text) { return QFile::decodeName(QByteArray::fromStdString(text)); }
std::string toBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

} // namespace

RideMovieMaker::RideMovieMaker(COpenGLTemplateDoc& document, ViewOpenGLst& view, QWidget* dialogParent)
    : QObject(dialogParent), document_(document), view_(view), dialogParent_(dialogParent)
{
}

RideMovieMaker::~RideMovieMaker()
{
    if (!process_) return;
    process_->disconnect(this);
    process_->terminate();
    if (!process_->waitForFinished(kKillAfterMs)) {
        process_->kill();
        process_->waitForFinished();
    }
}

void RideMovieMaker::Run(const QString& documentPath)
{
    if (busy()) return;
    const std::optional<QString> ride = AskRide(FileDialogStartFolder(documentPath));
    if (!ride) return;
    QString name = QFileInfo(ride->isEmpty() ? documentPath : *ride).completeBaseName();
    if (name.isEmpty()) name = QStringLiteral("Quorvane Movie");
    const QString moviePath =
        AskSaveFileName(dialogParent_, kMovieFilters, name, true, FileDialogStartFolder(documentPath));
    if (moviePath.isEmpty()) return;
    if (const QString problem = Start(*ride, moviePath, QFileInfo(documentPath).fileName()); !problem.isEmpty())
        emit finished(false, problem);
}

std::optional<QString> RideMovieMaker::AskRide(const QString& startFolder)
{
    if (view_.core().physics().ride.HasRun()) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Make movie of ride"),
                        QString::fromUtf8(movie::kRideMovieQuestion), QMessageBox::Cancel, dialogParent_);
        QPushButton* lastRun = box.addButton(QStringLiteral("Last run"), QMessageBox::AcceptRole);
        QPushButton* saved = box.addButton(QStringLiteral("Saved ride…"), QMessageBox::AcceptRole);
        lastRun->setObjectName(QStringLiteral("lastRunButton"));
        saved->setObjectName(QStringLiteral("savedRideButton"));
        box.setDefaultButton(lastRun);
        box.exec();
        if (box.clickedButton() == lastRun) return QString();
        if (box.clickedButton() != saved) return std::nullopt;
    }
    QFileDialog dialog(dialogParent_, QStringLiteral("Make movie of ride"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QLatin1String(kRideFilter));
    dialog.setDirectory(startFolder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    RememberFileDialogFolder(dialog.selectedFiles().constFirst());
    return dialog.selectedFiles().constFirst();
}

QString RideMovieMaker::Start(const QString& ridePath, const QString& moviePath, const QString& documentName)
{
    if (busy()) return {};
    if (const QString problem = WriteInputs(ridePath, documentName); !problem.isEmpty()) {
        inputs_.reset();
        return problem;
    }
    const movie::MovieSettings frame = LiveMovie::SettingsFor(view_.core().width(), view_.core().height());
    request_.movie = toBytes(moviePath);
    request_.width = frame.width;
    request_.height = frame.height;
    Launch();
    return {};
}

QString RideMovieMaker::WriteInputs(const QString& ridePath, const QString& documentName)
{
    RideRecord ride;
    std::string error;
    if (ridePath.isEmpty()) {
        if (!view_.core().physics().ride.HasRun()) return QString::fromUtf8(movie::kRideMovieNoRun);
        ride = view_.core().physics().ride.Copy();
        ride.documentName = documentName.toStdString();
    } else if (!LoadRideFile(toBytes(ridePath), ride, error)) {
        return fromBytes(error);
    }
    std::vector<std::uint8_t> bytes;
    {
        // The worker threads hold still while the document is read.
        ThreadPauseGuard pause(document_);
        bytes = document_.SerializeDocument();
    }
    if (RideDocumentHash(bytes) != ride.documentHash)
        return fromBytes(RideOfAnotherDocument(ridePath.isEmpty() ? movie::kRideMovieLastRun : toBytes(ridePath)));

    inputs_ = std::make_unique<QTemporaryDir>();
    if (!inputs_->isValid()) return QString::fromUtf8(movie::kRideMovieNoFolder) + inputs_->errorString();
    request_.document = toBytes(inputs_->filePath(QStringLiteral("document.mwk")));
    request_.ride = toBytes(ridePath.isEmpty() ? inputs_->filePath(QStringLiteral("last-run.mwkride")) : ridePath);
    if (!WriteFileReplacing(request_.document, bytes, error)) return fromBytes(error);
    if (ridePath.isEmpty() && !SaveRideFile(request_.ride, ride, error)) return fromBytes(error);
    return {};
}

void RideMovieMaker::Launch()
{
    process_ = std::make_unique<QProcess>();
    process_->setProgram(fromBytes(platform::helperProgramPath(kToolName)));
    QStringList arguments;
    for (const std::string& argument : movie::RideMovieArguments(request_)) arguments << fromBytes(argument);
    process_->setArguments(arguments);
    process_->setChildProcessModifier([] {
        ::setpriority(PRIO_PROCESS, 0, kToolNiceness);
        // Should the program end without stopping it, the tool stops and removes its file.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    });
    connect(process_.get(), &QProcess::readyReadStandardOutput, this, &RideMovieMaker::ReadProgress);
    connect(process_.get(), &QProcess::finished, this, [this](int code, QProcess::ExitStatus status) {
        movie::RideMovieExit exit;
        exit.crashed = status == QProcess::CrashExit;
        exit.code = code;
        exit.errorText = process_->readAllStandardError().toStdString();
        Ended(exit);
    });
    connect(process_.get(), &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart) return;
        movie::RideMovieExit exit;
        exit.started = false;
        exit.errorText = process_->errorString().toStdString();
        Ended(exit);
    });
    ShowProgress();
    emit busyChanged(true);
    process_->start();
}

void RideMovieMaker::ShowProgress()
{
    progress_ = new QProgressDialog(QString::fromUtf8(movie::kRideMovieMaking), QString(), 0, 0, dialogParent_);
    progress_->setObjectName(QStringLiteral("rideMovieProgress"));
    progress_->setWindowTitle(QStringLiteral("Make movie of ride"));
    progress_->setAccessibleName(QStringLiteral("Make movie of ride"));
    auto* bar = new QProgressBar(progress_);
    bar->setObjectName(QStringLiteral("rideMovieProgressBar"));
    bar->setAccessibleName(QStringLiteral("Frames made"));
    progress_->setBar(bar);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), progress_);
    cancel->setObjectName(QStringLiteral("cancelRideMovieButton"));
    progress_->setCancelButton(cancel);
    // The program goes on while the movie is made.
    progress_->setWindowModality(Qt::NonModal);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    progress_->setMinimumDuration(0);
    connect(progress_, &QProgressDialog::canceled, this, &RideMovieMaker::Cancel);
    progress_->show();
}

void RideMovieMaker::ReadProgress()
{
    progressLines_.Read(process_->readAllStandardOutput().toStdString());
    if (progressLines_.total() <= 0) return;
    progress_->setMaximum(static_cast<int>(std::min<std::int64_t>(progressLines_.total(), INT_MAX)));
    progress_->setValue(static_cast<int>(std::min<std::int64_t>(progressLines_.done(), INT_MAX)));
}

void RideMovieMaker::Cancel()
{
    if (!process_ || cancelled_) return;
    cancelled_ = true;
    process_->terminate();
    QTimer::singleShot(kKillAfterMs, process_.get(), &QProcess::kill);
}

void RideMovieMaker::Ended(movie::RideMovieExit exit)
{
    if (!process_) return;
    ReadProgress();
    exit.cancelled = cancelled_;
    const movie::RideMovieOutcome outcome =
        movie::RideMovieEnded(exit, toBytes(process_->program()), request_.movie, progressLines_.total());
    // Ended runs inside the process's own signals: it goes once they are done.
    process_->disconnect(this);
    process_.release()->deleteLater();
    inputs_.reset();
    progress_->hide();
    progress_->deleteLater();
    progress_ = nullptr;
    progressLines_ = {};
    cancelled_ = false;
    emit busyChanged(false);
    emit finished(outcome.made, fromBytes(outcome.report));
}
