#pragma once

#include <QByteArray>
#include <QLatin1StringView>
#include <QPointF>
#include <QStringView>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace qel {

// The largest magnitude below which every whole double is written as an integer.
inline constexpr double WholeNumberLimit = 9007199254740992.0; // 2^53

// Writes JSON text as an indented document of four blanks per level, members in the order given
// (callers give them in code-unit order of their keys), shortest round-trip numbers with whole
// values below 2^53 as integers, strings escaped but otherwise UTF-8: the layout the layer files
// have always had. It notes whether anything written would read back other than as it is (a
// negative zero, a number that is not finite, a lone surrogate).
class JsonText {
public:
    explicit JsonText(qsizetype expected) { grow(expected); }

    // The text is written through a pointer into the buffer: a copy would write into the text it
    // shares with the original.
    JsonText(const JsonText &) = delete;
    JsonText &operator=(const JsonText &) = delete;
    JsonText(JsonText &&) = default;
    JsonText &operator=(JsonText &&) = default;

    // A piece of a larger document, written apart (on another thread) and joined to it with
    // append(): it starts depth levels deep, after a member when afterMember.
    JsonText(qsizetype expected, int depth, bool afterMember)
        : m_depth(depth)
        , m_first(!afterMember)
    {
        grow(expected);
    }

    // The piece's text where this document stands; the piece must end where it began.
    void append(JsonText &&piece)
    {
        if (piece.m_size == 0)
            return;
        put(piece.m_out.constData(), piece.m_size);
        m_first = false;
        m_exact = m_exact && piece.m_exact;
    }

    void beginObject() { open('{'); }
    void endObject() { close('}'); }
    void beginArray() { open('['); }
    void endArray() { close(']'); }

    // The key of the next member of an object.
    void key(const char *name)
    {
        separate();
        put('"');
        put(name, qsizetype(std::strlen(name)));
        put("\": ", 3);
        m_keyed = true;
    }

    void number(double d)
    {
        separate();
        if (!std::isfinite(d)) {
            put("null", 4);
            m_exact = false;
            return;
        }
        if (d == 0 && std::signbit(d))
            m_exact = false; // written as 0
        char buffer[64];
        std::to_chars_result r;
        if (d == std::trunc(d) && std::fabs(d) <= WholeNumberLimit)
            r = std::to_chars(buffer, buffer + sizeof buffer, static_cast<long long>(d));
        else if (std::fabs(d) < WholeNumberLimit)
            r = std::to_chars(buffer, buffer + sizeof buffer, d);
        else
            return largeNumber(d);
        put(buffer, r.ptr - buffer);
    }
    void number(int i) { number(double(i)); }

    void string(QStringView text)
    {
        separate();
        put('"');
        const qsizetype n = text.size();
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t c = text[i].unicode();
            if (c < 0x80) {
                switch (c) {
                case '"': put("\\\"", 2); break;
                case '\\': put("\\\\", 2); break;
                case '\b': put("\\b", 2); break;
                case '\f': put("\\f", 2); break;
                case '\n': put("\\n", 2); break;
                case '\r': put("\\r", 2); break;
                case '\t': put("\\t", 2); break;
                default:
                    if (c < 0x20)
                        escaped(c);
                    else
                        put(char(c));
                }
            } else if (c < 0x800) {
                put(char(0xC0 | (c >> 6)));
                put(char(0x80 | (c & 0x3F)));
            } else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(text[i + 1].unicode())) {
                const char32_t u = QChar::surrogateToUcs4(c, text[i + 1].unicode());
                ++i;
                put(char(0xF0 | (u >> 18)));
                put(char(0x80 | ((u >> 12) & 0x3F)));
                put(char(0x80 | ((u >> 6) & 0x3F)));
                put(char(0x80 | (u & 0x3F)));
            } else if (QChar::isSurrogate(c)) {
                escaped(c);
                m_exact = false;
            } else {
                put(char(0xE0 | (c >> 12)));
                put(char(0x80 | ((c >> 6) & 0x3F)));
                put(char(0x80 | (c & 0x3F)));
            }
        }
        put('"');
    }
    void string(const char *latin1) { string(QLatin1String(latin1)); }
    void string(QLatin1StringView text)
    {
        separate();
        put('"');
        put(text.data(), text.size());
        put('"');
    }

    void position(QPointF p)
    {
        beginArray();
        number(p.x());
        number(p.y());
        endArray();
    }

    bool exact() const { return m_exact; }
    // The text so far.
    const char *data() const { return m_begin; }
    qsizetype size() const { return m_size; }
    QByteArray finish()
    {
        put('\n');
        m_out.resize(m_size);
        m_size = 0;
        return std::move(m_out);
    }

private:
    // Before a value or a key: the comma after the member before, and the line's indent.
    void separate()
    {
        if (m_keyed) { // the value of the key just written
            m_keyed = false;
            return;
        }
        if (m_depth == 0)
            return;
        if (!m_first)
            put(',');
        m_first = false;
        indent(m_depth);
    }
    void open(char bracket)
    {
        separate();
        put(bracket);
        ++m_depth;
        m_first = true;
    }
    void close(char bracket)
    {
        --m_depth;
        indent(m_depth);
        put(bracket);
        m_first = false;
    }
    void indent(int depth)
    {
        // One append of a line break and the blanks, for every depth a layer file has.
        static constexpr char lineAndBlanks[] = "\n                                                ";
        constexpr int deepest = (int(sizeof lineAndBlanks) - 2) / 4;
        if (depth <= deepest) {
            put(lineAndBlanks, 1 + 4 * depth);
            return;
        }
        put('\n');
        std::memset(room(4 * qsizetype(depth)), ' ', 4 * std::size_t(depth));
    }
    void escaped(char16_t c)
    {
        static const char digits[] = "0123456789abcdef";
        const char text[]
            = { '\\', 'u', digits[(c >> 12) & 15], digits[(c >> 8) & 15], digits[(c >> 4) & 15], digits[c & 15] };
        put(text, sizeof text);
    }
    // From 2^53 up: the shortest digits, padded with zeros when that is no longer than the
    // exponent form.
    void largeNumber(double d)
    {
        char buffer[64];
        const auto r = std::to_chars(buffer, buffer + sizeof buffer, d, std::chars_format::scientific);
        const char *e = std::find(buffer, r.ptr, 'e');
        const char *m = buffer;
        const bool negative = *m == '-';
        if (negative)
            ++m;
        char digits[32];
        int n = 0;
        for (const char *c = m; c < e; ++c)
            if (*c != '.')
                digits[n++] = *c;
        int exponent = 0;
        std::from_chars(e[1] == '+' ? e + 2 : e + 1, r.ptr, exponent);
        const int point = exponent + 1; // digits before the decimal point
        const int decimalLength = n <= point ? point : n + 1;
        const int exponentLength = n + (n > 1 ? 1 : 0) + 2 + (std::abs(exponent) >= 100 ? 3 : 2);
        if (decimalLength > exponentLength) {
            put(buffer, r.ptr - buffer);
            return;
        }
        if (negative)
            put('-');
        for (int i = 0; i < n; ++i) {
            if (i == point)
                put('.');
            put(digits[i]);
        }
        const int zeros = std::max(0, point - n);
        std::memset(room(zeros), '0', std::size_t(zeros));
    }

    // Room for n more bytes, which are the text's from here on.
    char *room(qsizetype n)
    {
        if (m_size + n > m_out.size())
            grow(n);
        char *at = m_begin + m_size;
        m_size += n;
        return at;
    }
    void put(char c) { *room(1) = c; }
    void put(const char *bytes, qsizetype n) { std::memcpy(room(n), bytes, std::size_t(n)); }
    // The buffer grows in large steps and holds the text in its first m_size bytes; the rest is
    // not yet written.
    void grow(qsizetype n)
    {
        m_out.resize(std::max({ m_size + n, 2 * m_out.size(), qsizetype(4096) }));
        m_begin = m_out.data();
    }

    QByteArray m_out;
    char *m_begin = nullptr;
    qsizetype m_size = 0;
    int m_depth = 0;
    bool m_first = true;
    bool m_keyed = false;
    bool m_exact = true;
};

} // namespace qel
