#include "RecentFileList.h"

#include <QFileInfo>
#include <QSettings>

namespace {

constexpr const char* kGroup = "Recent File List";

QSettings settings() { return QSettings(QStringLiteral("Marlwick"), QStringLiteral("Marlwick")); }

QString key(int k) { return QStringLiteral("File%1").arg(k + 1); }

} // namespace

void RecentFileList::Load()
{
    files_.clear();
    QSettings s = settings();
    s.beginGroup(QLatin1String(kGroup));
    for (int k = 0; k < kSize; ++k) {
        const QString path = s.value(key(k)).toString();
        if (!path.isEmpty() && !files_.contains(path)) files_.append(path);
    }
}

void RecentFileList::Add(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    files_.removeAll(absolute);
    files_.prepend(absolute);
    while (files_.size() > kSize) files_.removeLast();
    Save();
}

void RecentFileList::Remove(const QString& path)
{
    files_.removeAll(QFileInfo(path).absoluteFilePath());
    Save();
}

void RecentFileList::Save() const
{
    QSettings s = settings();
    s.beginGroup(QLatin1String(kGroup));
    for (int k = 0; k < kSize; ++k) {
        if (k < files_.size()) s.setValue(key(k), files_.at(k));
        else s.remove(key(k));
    }
}
