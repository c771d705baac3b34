#pragma once

// The recent-file list of the File menu: at most four documents, newest
// first, kept in the settings under "Marlwick".

#include <QString>
#include <QStringList>

class RecentFileList {
public:
    static constexpr int kSize = 4;

    // Reads the list from the settings.
    void Load();
    // Puts path first (once), drops the oldest beyond kSize, and saves.
    void Add(const QString& path);
    // Removes a path (a file that could not be opened) and saves.
    void Remove(const QString& path);
    const QStringList& files() const { return files_; }

private:
    void Save() const;
    QStringList files_;
};
