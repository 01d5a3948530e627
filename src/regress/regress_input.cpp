#include "regress/regress_input.h"

#include "regress/plain_input.h"

namespace qel::regress {

namespace {

QString fromUtf8(const std::string &text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

ParseResult parseRegressInput(const QByteArray &bytes)
{
    PlainParse parsed = parsePlainInput(wellFormedUtf8(std::string(bytes.constData(), std::size_t(bytes.size()))));
    if (!parsed.input)
        return { std::nullopt, fromUtf8(parsed.problem) };
    RegressInput input;
    for (const std::string &date : parsed.input->dates)
        input.dates << fromUtf8(date);
    input.wells.reserve(parsed.input->wells.size());
    for (PlainWell &plain : parsed.input->wells)
        input.wells.push_back({ fromUtf8(plain.id), plain.x, plain.y, std::move(plain.levels) });
    return { std::move(input), QString() };
}

} // namespace qel::regress
