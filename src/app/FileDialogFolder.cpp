#include "FileDialogFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

constexpr const char* kKey = "File Dialogs/Last Folder";

QSettings settings() { return QSettings(QStringLiteral("Marlwick"), QStringLiteral("Marlwick")); }

} // namespace

QString FileDialogStartFolder(const QString& documentPath)
{
    const QString last = settings().value(QLatin1String(kKey)).toString();
    if (!last.isEmpty() && QFileInfo(last).isDir()) return last;
    if (!documentPath.isEmpty()) return QFileInfo(documentPath).absolutePath();
    return QDir::homePath();
}

void RememberFileDialogFolder(const QString& filePath)
{
    settings().setValue(QLatin1String(kKey), QFileInfo(filePath).absolutePath());
}
