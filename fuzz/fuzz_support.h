#pragma once

#include "core/batch_frontend.h"
#include "core/session.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace qel::fuzz {

// Starts Qt once (offscreen, fonts for the readers that lay out text) and returns the scratch
// folder every target writes its input files to; the folder is removed at exit.
const QString &scratchFolder();

// A session in the scratch folder whose front end writes nowhere: a fuzz run reports thousands of
// bad inputs, and the reports are not what is being tested.
// Started means started as the program starts, from a plain QEL.ini, so that the log and the
// layer names are there.
struct QuietSession {
    enum class Start { Started, Bare };
    explicit QuietSession(Start start = Start::Started);
    ~QuietSession();
    std::FILE *sink;
    std::unique_ptr<BatchFrontend> frontend;
    std::unique_ptr<Session> session;
};

// Writes the input to a file of the scratch folder and returns its path.
QString writeScratchFile(const QString &name, const QByteArray &bytes);

// Reads every cell of every table of the file as the wizards do; a refused file is a QelError,
// which the program reports, so it ends the read quietly.
void readEveryCell(const QString &path, const QString &driver);

// Writes the input as the project's base map of the type ("raster" or "vector"), opens it as a
// project replay does, and paints the whole map small: huge or degenerate extents must neither
// crash the view nor ask for an endless image.
void displayAndPaintBaseMap(const QString &fileName, const QString &type, const QByteArray &bytes);

inline QByteArray inputBytes(const std::uint8_t *data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

} // namespace qel::fuzz
