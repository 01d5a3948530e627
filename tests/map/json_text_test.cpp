#include "map/json_text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <limits>
#include <random>

using namespace qel;

namespace {

// The values as one array, written by hand and by QJsonDocument.
template<typename T, typename Add> std::pair<QByteArray, QByteArray> bothWays(const std::vector<T> &values, Add add)
{
    JsonText json(0);
    QJsonArray reference;
    json.beginArray();
    for (const T &v : values) {
        add(json, v);
        reference.append(v);
    }
    json.endArray();
    return { json.finish(), QJsonDocument(reference).toJson(QJsonDocument::Indented) };
}

void expectSameLines(const QByteArray &mine, const QByteArray &reference)
{
    const QList<QByteArray> a = mine.split('\n'), b = reference.split('\n');
    ASSERT_EQ(a.size(), b.size());
    for (qsizetype i = 0; i < a.size(); ++i)
        ASSERT_EQ(a[i], b[i]) << "line " << i;
}

} // namespace

TEST(JsonText, NumbersAsQtWritesThem)
{
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<double> values = { 0, -0.0, 1, -1, 0.5, 0.1, 1e-4, 1.234e-4, 1.234e-5, 5e-324, 2.2250738585072014e-308,
        1e15, 2e15, 9e15, -9e15, 9007199254740992.0, -9007199254740992.0, 9007199254740994.0, 1e16, 1.5e20, 1e21,
        123456789012345678.0, 18446744073709551616.0, -5088143117563430912.0, 1e100, 1.7976931348623157e308,
        512345.678901234, 4187654.32109876, 1e6 + 0.3, -2.5e-7, inf, -inf, std::nan("") };
    // Every kind of double: random bits, decimals of every size, whole numbers on both sides of 2^53.
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> unit(-1, 1);
    for (int i = 0; i < 20000; ++i) {
        const quint64 bits = random();
        double d;
        std::memcpy(&d, &bits, sizeof d);
        values.push_back(d);
        values.push_back(unit(random) * std::pow(10.0, int(random() % 50) - 25));
        values.push_back(
            std::round(unit(random) * std::pow(10.0, int(random() % 12))) / std::pow(10.0, int(random() % 8)));
        values.push_back(std::trunc(unit(random) * std::pow(2.0, int(random() % 70))));
    }
    const auto [mine, reference] = bothWays(values, [](JsonText &j, double v) { j.number(v); });
    expectSameLines(mine, reference);
}

TEST(JsonText, StringsAsQtWritesThem)
{
    std::vector<QString> values
        = { QString(), QStringLiteral("plain"), QStringLiteral("a\"b\\c/d\n\t\r\b\f\x01\x1f\x7f"),
              QString::fromUtf8("Plume (Avg) µg/L € 😀 \u2028 \uFFFD \uFFFF") };
    // Every code unit alone, lone surrogates among them.
    for (char16_t c = 1; c != 0; ++c)
        values.push_back(QString(QChar(c)));
    const auto [mine, reference] = bothWays(values, [](JsonText &j, const QString &v) { j.string(v); });
    expectSameLines(mine, reference);
}

TEST(JsonText, ContainersAsQtWritesThem)
{
    JsonText json(0);
    json.beginObject();
    json.key("a");
    json.beginArray();
    json.endArray();
    json.key("b");
    json.beginObject();
    json.endObject();
    json.key("c");
    json.beginArray();
    json.beginArray();
    json.position({ 1, 2.5 });
    json.endArray();
    json.beginObject();
    json.key("d");
    json.number(3);
    json.endObject();
    json.endArray();
    json.endObject();
    // The nested array built by append: QJsonArray { QJsonArray { ... } } is a copy to one compiler
    // and an array of one array to another.
    QJsonArray nested;
    nested.append(QJsonArray { 1, 2.5 });
    const QJsonObject reference { { "a", QJsonArray() }, { "b", QJsonObject() },
        { "c", QJsonArray { nested, QJsonObject { { "d", 3 } } } } };
    EXPECT_EQ(json.finish(), QJsonDocument(reference).toJson(QJsonDocument::Indented));
}

TEST(JsonText, TellsWhatWouldNotReadBackAsItIs)
{
    const struct {
        const char *what;
        std::function<void(JsonText &)> write;
        bool exact;
    } cases[] = {
        { "numbers and texts", [](JsonText &j) { j.number(-1.5), j.number(0), j.string(QString::fromUtf8("😀 µ")); },
            true },
        { "negative zero", [](JsonText &j) { j.number(-0.0); }, false },
        { "infinity", [](JsonText &j) { j.number(std::numeric_limits<double>::infinity()); }, false },
        { "not a number", [](JsonText &j) { j.number(std::nan("")); }, false },
        { "lone high surrogate", [](JsonText &j) { j.string(QString(QChar(0xD83D)) + u'x'); }, false },
        { "lone low surrogate", [](JsonText &j) { j.string(QString(QChar(0xDE00))); }, false },
    };
    for (const auto &c : cases) {
        JsonText json(0);
        json.beginArray();
        c.write(json);
        json.endArray();
        EXPECT_EQ(json.exact(), c.exact) << c.what;
    }
}
