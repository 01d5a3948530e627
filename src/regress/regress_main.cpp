// regress: fits a plane to the water levels of every sample date.
// Usage: regress INPUT FINAL REGRESS RESULTS
//   INPUT    the regression input written by QEL
//   FINAL    a readable summary per date
//   REGRESS  one header line, then one line per date with the six results in fixed columns,
//            followed by the same six at full precision
//   RESULTS  the fitted level and residual of every well on every date
// Exit status 0 when every file was written, 1 when the input is unreadable, 2 for bad usage.
//
// Plain C++ without Qt: the program runs on every regression, and loading Qt's libraries took a
// good part of its time.
#include "parallel/worker_pool.h"
#include "regress/number_format.h"
#include "regress/output_file.h"
#include "regress/plain_input.h"
#include "regress/plane_fit.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace qel::regress;

namespace {

constexpr double NoLevel = -9999;

// text padded with blanks to width UTF-16 units (the unit the columns were always counted in), or
// cut there when truncate is set; half a character cut off becomes '?'.
void appendWidth(std::string &out, std::string_view text, std::size_t width, bool truncate, bool left = true)
{
    std::size_t units = 0, bytes = 0;
    while (bytes < text.size()) {
        const unsigned char lead = static_cast<unsigned char>(text[bytes]);
        const std::size_t size = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const std::size_t charUnits = size == 4 ? 2 : 1;
        if (truncate && units + charUnits > width) {
            if (units < width) {
                out.append(text.substr(0, bytes));
                out += '?';
                return;
            }
            break;
        }
        units += charUnits;
        bytes += size;
    }
    const std::string padding(units < width ? width - units : 0, ' ');
    if (!left)
        out += padding;
    out.append(text.substr(0, bytes));
    if (left)
        out += padding;
}

void appendInt(std::string &out, long long value, std::size_t width = 0)
{
    appendWidth(out, std::to_string(value), width, false, false);
}

// A number in a 10-character field, right-aligned, with as many digits as fit.
void appendField(std::string &out, double value)
{
    std::string text;
    for (int digits = 9; digits >= 1; --digits) {
        text.clear();
        appendNumber(text, value, 'G', digits);
        if (text.size() <= 10)
            return appendWidth(out, text, 10, false, false);
    }
    out += "         0";
}

// One result line of REGRESS: the date in characters 1-21, the six values in 10-character fields,
// then after character 86 the same six with 17 significant digits. The fields alone lose
// centimetres of fitted level at survey-sized coordinates; a reader that knows only the fields
// still finds them where they always were.
void appendResultLine(std::string &out, std::size_t date, std::string_view dateText, const PlaneFit &fit)
{
    std::string label;
    appendInt(label, (long long)(date + 1), 4);
    label += " '";
    label += dateText;
    label += '\'';
    appendWidth(out, label, 21, true);
    const double values[] = { fit.a, fit.b, fit.c, fit.r2, fit.magnitude, fit.direction };
    for (double value : values) {
        appendField(out, value);
        out += ' ';
    }
    for (std::size_t i = 0; i < std::size(values); ++i) {
        appendNumber(out, values[i], 'G', 17);
        out += i + 1 < std::size(values) ? " " : "\r\n";
    }
}

std::vector<WellLevel> levelsOf(const PlainInput &input, std::size_t date)
{
    std::vector<WellLevel> levels;
    levels.reserve(input.wells.size());
    for (const PlainWell &w : input.wells)
        if (w.levels[date] != NoLevel)
            levels.push_back({ w.x, w.y, w.levels[date] });
    return levels;
}

// The lines of RESULTS for one date: each well measured on it, its place, the observed and the
// fitted level and the residual.
void appendResults(std::string &out, const PlainInput &input, const std::vector<std::string> &wellPlaces,
    std::size_t date, const PlaneFit &fit)
{
    const std::string datePrefix = std::to_string(date + 1) + '\t' + input.dates[date] + '\t';
    for (std::size_t k = 0; k < input.wells.size(); ++k) {
        const PlainWell &w = input.wells[k];
        if (w.levels[date] == NoLevel)
            continue;
        const double fitted = fit.a * w.x + fit.b * w.y + fit.c;
        out += datePrefix;
        out += wellPlaces[k];
        // The three numbers gathered in one piece of text; one the quick way cannot write is
        // appended the general way.
        char text[3 * QuickNumberBytes + 4];
        char *p = text;
        const auto number = [&](double value, char form, int precision, char after) {
            if (char *end = writeQuickNumber(p, value, form, precision)) {
                p = end;
            } else {
                out.append(text, std::size_t(p - text));
                p = text;
                appendNumber(out, value, form, precision);
            }
            *p++ = after;
        };
        number(w.levels[date], 'g', 12, '\t');
        number(fitted, 'f', 4, '\t');
        number(w.levels[date] - fitted, 'f', 4, '\r');
        *p++ = '\n';
        out.append(text, std::size_t(p - text));
    }
}

// Each well's identifier and place, the same on every date's lines of RESULTS.
std::vector<std::string> wellPlacesOf(const PlainInput &input)
{
    std::vector<std::string> places;
    places.reserve(input.wells.size());
    for (const PlainWell &w : input.wells) {
        std::string place = w.id + '\t';
        appendNumber(place, w.x, 'g', 12);
        place += '\t';
        appendNumber(place, w.y, 'g', 12);
        place += '\t';
        places.push_back(std::move(place));
    }
    return places;
}

// The planes of every date, with RESULTS written as they are fitted: a few dates at a time on
// every core, each piece going to the file as soon as those before it are there.
std::vector<PlaneFit> fitAndWriteResults(const PlainInput &input, PendingFile &results)
{
    constexpr std::size_t DatesPerPiece = 2;
    const std::size_t dates = input.dates.size();
    const std::vector<std::string> wellPlaces = wellPlacesOf(input);
    std::vector<PlaneFit> fits(dates);
    std::vector<std::string> pieces((dates + DatesPerPiece - 1) / DatesPerPiece);
    results.write("Sample\tDate\tWell\tX\tY\tObserved\tFitted\tResidual\r\n");
    const auto make = [&](int piece) {
        std::string &text = pieces[std::size_t(piece)];
        text.reserve(DatesPerPiece * input.wells.size() * 64);
        for (std::size_t d = std::size_t(piece) * DatesPerPiece; d < std::min(dates, (piece + 1) * DatesPerPiece);
             ++d) {
            fits[d] = fitPlane(levelsOf(input, d));
            if (fits[d].fitted)
                appendResults(text, input, wellPlaces, d, fits[d]);
        }
    };
    const auto put = [&](int piece) {
        results.write(pieces[std::size_t(piece)]);
        std::string().swap(pieces[std::size_t(piece)]);
    };
    qel::forEachItemInOrder(int(pieces.size()), make, put);
    return fits;
}

bool readWholeFile(const char *path, std::string &bytes)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat about { };
    if (::fstat(fd, &about) == 0 && S_ISDIR(about.st_mode)) {
        ::close(fd);
        return false;
    }
    // Read straight into the text, which grows when the file turns out longer than it said.
    bytes.resize(std::max<std::size_t>(std::size_t(std::max<off_t>(about.st_size, 0)) + 1, 1 << 16));
    std::size_t size = 0;
    ssize_t n;
    while ((n = ::read(fd, bytes.data() + size, bytes.size() - size)) > 0) {
        size += std::size_t(n);
        if (size == bytes.size())
            bytes.resize(2 * bytes.size());
    }
    ::close(fd);
    bytes.resize(size);
    return n == 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: regress INPUT FINAL REGRESS RESULTS\n");
        return 2;
    }
    std::string bytes;
    if (!readWholeFile(argv[1], bytes)) {
        std::fprintf(stderr, "regress: cannot read %s\n", argv[1]);
        return 1;
    }
    const PlainParse parsed = parsePlainInput(wellFormedUtf8(std::move(bytes)));
    if (!parsed.input) {
        const std::string text = std::string("regress: ") + argv[1] + ": " + parsed.problem + "\r\n";
        std::fputs(text.c_str(), stderr);
        if (writeWholeFiles({ { argv[2], text } }) != 1)
            std::fprintf(stderr, "regress: cannot write %s\n", argv[2]);
        return 1;
    }
    const PlainInput &input = *parsed.input;
    PendingFile results(argv[4]);
    const std::vector<PlaneFit> fits = fitAndWriteResults(input, results);
    std::string final = "Linear regression of water levels: level = a x + b y + c\r\n\r\n";
    std::string regress = "Sample Date               a          b          c         R2  Gradient  Direction\r\n";
    // The dates side by side at the end, for comparing them at a glance.
    std::string summary = "Summary\r\n\r\nSample  Date                  Wells      R2    Gradient  Direction\r\n";
    for (std::size_t d = 0; d < input.dates.size(); ++d) {
        const std::string &date = input.dates[d];
        const PlaneFit &fit = fits[d];
        appendResultLine(regress, d, date, fit);

        final += "Sample " + std::to_string(d + 1) + ", " + date + ": " + std::to_string(fit.wells) + " wells\r\n";
        appendInt(summary, (long long)(d + 1), 6);
        summary += "  ";
        appendWidth(summary, date, 20, false);
        summary += ' ';
        appendInt(summary, fit.wells, 6);
        if (!fit.fitted) {
            summary += "  no plane\r\n";
            final += "  no plane: at least three wells not on one line are needed\r\n\r\n";
            continue;
        }
        summary += "  ";
        appendNumber(summary, fit.r2, 'f', 4, 6);
        summary += "  ";
        appendNumber(summary, fit.magnitude, 'g', 6, 10);
        summary += "  ";
        appendNumber(summary, fit.direction, 'f', 2, 9);
        summary += "\r\n";
        final += "  a = ";
        appendNumber(final, fit.a, 'g', 10);
        final += ", b = ";
        appendNumber(final, fit.b, 'g', 10);
        final += ", c = ";
        appendNumber(final, fit.c, 'g', 10);
        final += "\r\n  R2 = ";
        appendNumber(final, fit.r2, 'f', 4);
        final += ", gradient = ";
        appendNumber(final, fit.magnitude, 'g', 6);
        final += ", flow direction = ";
        appendNumber(final, fit.direction, 'f', 2);
        final += " deg\r\n\r\n";
    }
    final += summary;
    PendingFile finalFile(argv[2]), regressFile(argv[3]);
    finalFile.write(final);
    regressFile.write(regress);
    const std::vector<PendingFile *> files { &finalFile, &regressFile, &results };
    const std::size_t replaced = replaceInOrder(files);
    if (replaced == files.size())
        return 0;
    std::fprintf(stderr, "regress: cannot write %s\n", files[replaced]->path());
    return 1;
}
