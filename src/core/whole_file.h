#pragma once

#include <QByteArray>
#include <QString>

namespace qel {

struct WriteOutcome {
    bool written = false;
    bool folderMissing = false;
    QString problem; // the system's reason when not written
};

// Writes bytes to path through a temporary file that replaces the old one only once every byte is
// on disk, so a full disk or a crash leaves the previous file whole. QSaveFile alone reports a
// write cut short by a full disk as committed, hence the size check before the rename.
WriteOutcome writeWholeFile(const QString &path, const QByteArray &bytes);

// The same, raising error 76 (folder missing) or 75 with the path as description on failure.
void writeWholeFileOrRaise(const QString &path, const QByteArray &bytes);

} // namespace qel
