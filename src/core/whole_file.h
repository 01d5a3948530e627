#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <functional>

class QIODevice;

namespace qel {

struct WriteOutcome {
    bool written = false;
    bool folderMissing = false;
    QString problem; // the system's reason when not written
};

// The file at path, held open while something replaces it when it is large, so that freeing it
// happens on a thread of its own when this is let go, not in the rename: dropping the old
// results report took longer than writing the new one.
class ReplacedFile {
public:
    explicit ReplacedFile(const QString &path);
    ~ReplacedFile();
    ReplacedFile(const ReplacedFile &) = delete;
    ReplacedFile &operator=(const ReplacedFile &) = delete;

private:
    int m_fd = -1;
};

// Writes bytes to path through a temporary file that replaces the old one only once every byte is
// on disk, so a full disk or a crash leaves the previous file whole. QSaveFile alone reports a
// write cut short by a full disk as committed, hence the size check before the rename.
WriteOutcome writeWholeFile(const QString &path, const QByteArray &bytes);

// The same, raising error 76 (folder missing) or 75 with the path as description on failure.
void writeWholeFileOrRaise(const QString &path, const QByteArray &bytes);

// The same for a file too large to hold in memory: write puts the bytes on the temporary file and
// returns how many it wrote, or -1 when the device refused them. What write throws goes on to the
// caller, and the previous file stays.
WriteOutcome writeWholeFileThrough(const QString &path, const std::function<qint64(QIODevice &)> &write);
void writeWholeFileThroughOrRaise(const QString &path, const std::function<qint64(QIODevice &)> &write);

// For a large file written in parts: asks the system to start putting on disk what has been
// written so far, without waiting, so that the flush before the rename has little left to do.
// Does nothing for a device that is not a file.
void startWritingBack(QIODevice &device);

// Writes a large file's parts to its device, counting them, with startWritingBack every few
// megabytes. A write that fails or falls short fails it: nothing more is written.
class WritingBack {
public:
    explicit WritingBack(QIODevice &device)
        : m_device(device)
    {
    }
    // False once a write has failed.
    bool write(const char *bytes, qint64 size);
    qint64 written() const { return m_written; }

private:
    QIODevice &m_device;
    qint64 m_written = 0, m_notWrittenBack = 0;
    bool m_failed = false;
};

} // namespace qel
