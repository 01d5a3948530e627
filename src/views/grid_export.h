#pragma once

#include "core/session.h"

#include <QByteArray>

namespace qel {

// The two grids the result views can export as a fixed-width text table.
enum class ExportedGrid { MinDist, Wolf };

// Width of one node's field in an export line.
constexpr int GridExportFieldWidth = 10;

// The export file of a grid: one CR LF line per model row, the row at PCTop first; within a line
// the nodes west to east, each right-aligned in 10 characters with two decimals (minimum
// distance) or one (WOLF); a value too wide for that is written as 1.2346E+08. A value that is
// not a number, or a model without a grid, is a QelError naming it, so no file is written with a
// misaligned column.
QByteArray gridExportBytes(const ProjectModel &model, ExportedGrid grid);

// Write MDExportFile / WFExportFile whole (a failed write keeps the previous file) and open it
// in EditorPath. Failures are reported under "MinDist:ExportMinDistGrid" / "WOLF:ExportWOLFGrid";
// a missing editor is reported after the file was written. Return whether the file was written.
bool ExportMinDistGrid(Session &session);
bool ExportWOLFGrid(Session &session);

// The export of `qel --batch P --export-mindist FILE` / `--export-wolf FILE`: the file only, no
// editor, and the project keeps its own export paths.
bool writeGridExport(Session &session, ExportedGrid grid, const QString &target);
void registerGridExportBatchOutputs();

// "Export grid data" on the minimum-distance and WOLF views: asks for the file, keeps the path,
// writes and opens it. A cancelled dialog sets UserCancelled and changes nothing.
void mdExportClicked(Session &session);
void wfExportClicked(Session &session);

} // namespace qel
