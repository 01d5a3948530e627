#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <memory>

namespace qel {

// A way for GDAL to read files that the caller can stop from another thread: GDAL opens path()
// like the file itself (and its sibling files through the same prefix), and once stop() is
// called every further read or seek throws Stopped. GDAL's readers that loop on a damaged file
// keep reading it (the DXF reader seeks back over and over), and merely failing those reads does
// not end the loop; the exception unwinds through GDAL's C++ reader, closing what it opened, to
// the thread that called it, which drops the dataset.
class StoppableFiles {
public:
    StoppableFiles();
    ~StoppableFiles();
    StoppableFiles(const StoppableFiles &) = delete;
    StoppableFiles &operator=(const StoppableFiles &) = delete;

    // The name under which GDAL reads file (made absolute).
    QByteArray path(const QString &file) const;
    // The file name path() stands for, in a text GDAL gave about it.
    QString withRealNames(const QString &text) const;
    void stop() { m_stopped->store(true); }
    // What a read or seek after stop() throws through GDAL's reader to the thread that called it.
    struct Stopped { };
    bool stopped() const { return m_stopped->load(); }

private:
    int m_token;
    std::shared_ptr<std::atomic<bool>> m_stopped;
};

} // namespace qel
