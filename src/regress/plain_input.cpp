#include "regress/plain_input.h"

#include "core/plain_number.h"
#include "parallel/worker_pool.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace qel::regress {

namespace {

// The length of the well-formed character at the start of text, 0 when there is none.
std::size_t characterLength(std::string_view text)
{
    const auto byte = [&](std::size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u; };
    const unsigned lead = byte(0);
    const auto follows = [&](std::size_t i) { return (byte(i) & 0xC0) == 0x80; };
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return follows(1) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        const unsigned second = byte(1);
        const bool allowed = lead == 0xE0 ? second >= 0xA0 : lead == 0xED ? second < 0xA0 : true; // no surrogates
        return follows(1) && allowed && follows(2) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const unsigned second = byte(1);
        const bool allowed = lead == 0xF0 ? second >= 0x90 : lead == 0xF4 ? second < 0x90 : true;
        return follows(1) && allowed && follows(2) && follows(3) ? 4 : 0;
    }
    return 0;
}

// The blanks a text is trimmed of: the separators and the control characters that count as space.
bool isAsciiBlank(unsigned char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The blanks longer than a byte: U+0085, U+00A0 and the other separators.
constexpr std::string_view WideBlanks[]
    = { "\u0085", "\u00A0", "\u1680", "\u2000", "\u2001", "\u2002", "\u2003", "\u2004", "\u2005", "\u2006", "\u2007",
          "\u2008", "\u2009", "\u200A", "\u2028", "\u2029", "\u202F", "\u205F", "\u3000" };

std::size_t blankLength(std::string_view text)
{
    if (text.empty())
        return 0;
    const unsigned char c = static_cast<unsigned char>(text[0]);
    if (c < 0x80)
        return isAsciiBlank(c) ? 1 : 0;
    for (std::string_view blank : WideBlanks)
        if (text.substr(0, blank.size()) == blank)
            return blank.size();
    return 0;
}

// The same at the end of text.
std::size_t trailingBlankLength(std::string_view text)
{
    if (text.empty())
        return 0;
    const unsigned char c = static_cast<unsigned char>(text.back());
    if (c < 0x80)
        return isAsciiBlank(c) ? 1 : 0;
    for (std::string_view blank : WideBlanks)
        if (text.size() >= blank.size() && text.substr(text.size() - blank.size()) == blank)
            return blank.size();
    return 0;
}

std::string_view trimmed(std::string_view text)
{
    while (std::size_t n = blankLength(text))
        text.remove_prefix(n);
    while (std::size_t n = trailingBlankLength(text))
        text.remove_suffix(n);
    return text;
}

// Splits a line into its words: quoted texts (kept as they stand between the apostrophes) and
// blank-separated numbers. An unclosed quote makes the line unreadable.
bool words(std::string_view line, std::vector<std::string_view> &plain, std::vector<std::string_view> &quoted)
{
    plain.clear();
    quoted.clear();
    std::size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t') {
            ++i;
        } else if (c == '\'') {
            const std::size_t end = line.find('\'', i + 1);
            if (end == std::string_view::npos)
                return false;
            quoted.push_back(line.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            std::size_t end = i;
            while (end < line.size() && line[end] != ' ' && line[end] != '\t')
                ++end;
            plain.push_back(line.substr(i, end - i));
            i = end;
        }
    }
    return true;
}

PlainParse refuse(std::string problem)
{
    return { std::nullopt, std::move(problem) };
}

std::string text(int number)
{
    return std::to_string(number);
}

// One well's line, line number lineNumber of the file, into well: its quoted identifier, x, y and
// a level per date. Returns what is wrong with the line, or nothing.
std::string parseWellLine(std::string_view line, int lineNumber, int numDates, std::vector<std::string_view> &plain,
    std::vector<std::string_view> &quoted, PlainWell &well)
{
    if (!words(line, plain, quoted) || quoted.size() != 1 || plain.size() != std::size_t(numDates) + 2)
        return "line " + text(lineNumber) + " must hold a quoted well identifier, x, y and " + text(numDates)
            + " levels";
    well.id = quoted[0];
    well.levels.reserve(std::size_t(numDates));
    for (std::size_t k = 0; k < plain.size(); ++k) {
        const std::optional<double> number = plainNumber(plain[k]);
        if (!number)
            return "line " + text(lineNumber) + ": \"" + std::string(plain[k]) + "\" is not a number";
        if (k == 0)
            well.x = *number;
        else if (k == 1)
            well.y = *number;
        else
            well.levels.push_back(*number);
    }
    return {};
}

} // namespace

std::string wellFormedUtf8(std::string bytes)
{
    // Most files are well-formed already, and mostly plain ASCII: they are passed on as they are.
    const auto badFrom = [](std::string_view text) {
        std::size_t i = 0;
        while (i < text.size()) {
            if (static_cast<unsigned char>(text[i]) < 0x80)
                ++i;
            else if (const std::size_t n = characterLength(text.substr(i)))
                i += n;
            else
                return i;
        }
        return i;
    };
    const bool marked = std::string_view(bytes).substr(0, 3) == "\xEF\xBB\xBF";
    std::string_view rest = std::string_view(bytes).substr(marked ? 3 : 0);
    const std::size_t bad = badFrom(rest);
    if (bad == rest.size()) {
        if (marked)
            bytes.erase(0, 3);
        return bytes;
    }
    std::string out;
    out.reserve(rest.size() + 16);
    out.append(rest.substr(0, bad));
    std::size_t i = bad;
    while (i < rest.size()) {
        // Most of the text is plain ASCII: copied a run at a time.
        std::size_t run = i;
        while (run < rest.size() && static_cast<unsigned char>(rest[run]) < 0x80)
            ++run;
        out.append(rest.substr(i, run - i));
        i = run;
        if (i == rest.size())
            break;
        if (const std::size_t n = characterLength(rest.substr(i))) {
            out.append(rest.substr(i, n));
            i += n;
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return out;
}

std::optional<double> plainNumber(std::string_view word)
{
    word = trimmed(word);
    return wholeTextNumber(word.data(), word.data() + word.size());
}

std::size_t utf16Length(std::string_view text)
{
    std::size_t units = 0;
    for (const char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80)
            units += byte >= 0xF0 ? 2 : 1; // a character beyond U+FFFF takes two
    }
    return units;
}

PlainParse parsePlainInput(std::string_view bytes)
{
    std::vector<std::string_view> lines;
    for (std::size_t start = 0;;) {
        const std::size_t end = bytes.find('\n', start);
        std::string_view line
            = bytes.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    while (!lines.empty() && trimmed(lines.back()).empty())
        lines.pop_back();
    if (lines.size() < 2)
        return refuse("the file has no counts and dates");

    std::vector<std::string_view> plain, quoted;
    if (!words(lines[0], plain, quoted) || plain.size() != 2 || !quoted.empty())
        return refuse("line 1 must hold the number of wells and of dates");
    const std::optional<double> wellCount = plainNumber(plain[0]);
    const std::optional<double> dateCount = plainNumber(plain[1]);
    if (!wellCount || !dateCount || *wellCount < 1 || *dateCount < 1 || *wellCount > 100000 || *dateCount > 1000
        || *wellCount != int(*wellCount) || *dateCount != int(*dateCount))
        return refuse("line 1: the counts must be whole numbers of at least 1");
    const int numWells = int(*wellCount), numDates = int(*dateCount);

    PlainInput input;
    if (!words(lines[1], plain, quoted) || !plain.empty() || quoted.size() != std::size_t(numDates))
        return refuse("line 2 must hold " + text(numDates) + " quoted dates");
    input.dates.assign(quoted.begin(), quoted.end());

    if (lines.size() - 2 != std::size_t(numWells))
        return refuse(text(numWells) + " well lines expected, " + text(int(lines.size() - 2)) + " found");
    // The well lines a piece at a time on every core; the first line that is refused is named.
    constexpr int WellsPerPiece = 128;
    input.wells.resize(std::size_t(numWells));
    std::vector<std::string> problems(std::size_t((numWells + WellsPerPiece - 1) / WellsPerPiece));
    forEachItem(int(problems.size()), [&](int piece) {
        std::vector<std::string_view> numbers, texts;
        for (int j = piece * WellsPerPiece; j < std::min(numWells, (piece + 1) * WellsPerPiece); ++j) {
            problems[std::size_t(piece)] = parseWellLine(
                lines[std::size_t(2 + j)], j + 3, numDates, numbers, texts, input.wells[std::size_t(j)]);
            if (!problems[std::size_t(piece)].empty())
                return;
        }
    });
    for (std::string &problem : problems)
        if (!problem.empty())
            return refuse(std::move(problem));
    return { std::move(input), std::string() };
}

} // namespace qel::regress
