#pragma once

#include <QByteArray>
#include <QString>

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>

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
    // The bytes of the file name made so far, which the folder then forgets; raises error 75 when
    // there is no such file.
    QByteArray take(const QString &name);

private:
    QString m_root;
};

// Writes files on a thread of its own, each whole as MemoryFolder::flushTo does, while the callers
// go on making the next ones: waiting for the disk is most of writing large files. Any thread may
// hand files over.
class BackgroundWriter {
public:
    BackgroundWriter();
    // Stops as stop() does: a writer that was not finished is abandoned.
    ~BackgroundWriter();
    BackgroundWriter(const BackgroundWriter &) = delete;
    BackgroundWriter &operator=(const BackgroundWriter &) = delete;

    // Queues bytes for the file path; waits while much is queued already. Raises the failure of a
    // file handed over before, which stops the writing of the rest.
    void write(const QString &path, QByteArray bytes);
    // Returns once every file handed over is written; raises the first failure.
    void finish();
    // Writes none of the files still queued and returns once the one being written is done.
    void stop();

private:
    void run();
    void raiseFailure();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::pair<QString, QByteArray>> m_queue;
    qsizetype m_queuedBytes = 0;
    bool m_busy = false, m_stopping = false;
    std::exception_ptr m_failure;
    std::thread m_thread;
};

// Moves the files of the staging folder into dir, each replacing its old copy whole (a rename in
// one file system). lastName goes last: its presence tells that the files beside it are new.
void moveInto(const QString &staging, const QString &dir, const QString &lastName);

} // namespace qel
