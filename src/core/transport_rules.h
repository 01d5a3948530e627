#pragma once

#include "core/project_model.h"
#include "core/session.h"

#include <QString>

#include <array>
#include <optional>

namespace qel {

// Log prefix of the transport-parameters dialog.
inline const QString TransDataFormTag = QStringLiteral("TransData");

constexpr int NumTransportParameters = 9;
constexpr int HalfLifeIndex = 5;

// Which project units a parameter is entered in.
enum class UnitRule { None, Distance, Time, Concentration, DistancePerTime };

// A value is accepted above `lower` (or at it when lowerIncluded) and, when there is an upper
// bound, at or below it.
struct Acceptance {
    double lower;
    bool lowerIncluded;
    std::optional<double> upper;
};

struct TransportParameter {
    int index;
    QString label;
    double ProjectModel::*field;
    UnitRule unit;
    Acceptance acceptance;
    QString suffix; // warning for a value at or below the lower bound
};

// Porosity is a fraction of the aquifer volume.
inline const QString AboveUpperBoundSuffix = QStringLiteral(" must not be > 1!");

// The nine parameters of the analytical model, by box index.
const std::array<TransportParameter, NumTransportParameters> &transportParameters();
const TransportParameter &transportParameter(int index); // error 9 outside 0..8

// The unit label shown beside a parameter's box ("m/d", "ft", "" for porosity).
QString unitLabel(const TransportParameter &parameter, const ProjectModel &model);

// The warning suffix a value earns, nothing when the value is accepted.
std::optional<QString> rejectionSuffix(const TransportParameter &parameter, double value);

// Checks the text of box `index` as the person leaves it. An empty box is not checked and
// leaves its variable alone. The longest leading number of the text is the value; an accepted
// value is stored at once, a rejected one sets ErrorText to label and suffix, is reported with
// ReportWarning and leaves the variable unchanged. Returns whether the box may be left.
// A number too large for a double is error 6.
bool validateTransportParameter(Session &session, int index, const QString &text);

// Text of box `index` when the dialog opens: the stored value once the step was done, the
// half-life only while decay is simulated; empty otherwise.
QString transportBoxText(const ProjectModel &model, int index);

// chkDecay: stores Decay and returns the text for the half-life box. Ticking shows the kept
// half-life unless it is 0; clearing empties the box but keeps HalfLife.
QString setDecay(Session &session, bool on);

// Close: checks "Model data", logs "TransData: [Close]", sets TDDone, empties "Status".
void closeTransportData(Session &session);

} // namespace qel
