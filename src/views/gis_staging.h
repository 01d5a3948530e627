#pragma once

#include <QByteArray>
#include <QString>

namespace qel {

// Files are made in GDAL's memory file system and then written to disk whole, each through a
// temporary file that replaces the old one only once every byte is there.
class MemoryFolder {
public:
    MemoryFolder();
    ~MemoryFolder();
    MemoryFolder(const MemoryFolder &) = delete;
    MemoryFolder &operator=(const MemoryFolder &) = delete;

    // The GDAL path of a file in the folder.
    QByteArray path(const QString &name) const { return (m_root + name).toUtf8(); }
    // Writes every file made so far into dir, then forgets them.
    void flushTo(const QString &dir);

private:
    QString m_root;
};

// Moves the files of the staging folder into dir, each replacing its old copy whole (a rename in
// one file system). lastName goes last: its presence tells that the files beside it are new.
void moveInto(const QString &staging, const QString &dir, const QString &lastName);

} // namespace qel
