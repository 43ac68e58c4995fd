#include "NumberConversion.h"

#include "Errors.h"
#include "Text.h"

namespace vog {

namespace {

int digitValue(char c, int base)
{
    int v = -1;
    if (c >= '0' && c <= '9')
        v = c - '0';
    else if (c >= 'a' && c <= 'f')
        v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        v = c - 'A' + 10;
    return v < base ? v : -1;
}

// Digits from p to end in the base, the sign applied; nothing if any character is no digit
// or the result leaves the 32-bit range.
std::optional<std::int32_t> readDigits(const char *p, const char *end, int base, bool negative)
{
    if (p == end)
        return std::nullopt;
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    std::int64_t magnitude = 0;
    for (; p < end; ++p) {
        const int d = digitValue(*p, base);
        if (d < 0)
            return std::nullopt;
        magnitude = magnitude * base + d;
        if (magnitude > limit)
            return std::nullopt;
    }
    return std::int32_t(negative ? -magnitude : magnitude);
}

} // namespace

std::optional<std::int32_t> toWholeNumber(QByteArrayView text)
{
    const char *p = text.data();
    const char *end = p + text.size();
    while (p < end && *p == ' ')
        ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    if (auto decimal = readDigits(p, end, 10, negative))
        return decimal;
    if (p < end && *p == '$')
        return readDigits(p + 1, end, 16, negative);
    if (p < end && lowerAscii(*p) == 'x')
        return readDigits(p + 1, end, 16, negative);
    if (end - p >= 2 && p[0] == '0' && lowerAscii(p[1]) == 'x')
        return readDigits(p + 2, end, 16, negative);
    return std::nullopt;
}

std::int32_t convertNumber(QByteArrayView text, qint64 lineNumber)
{
    if (auto number = toWholeNumber(text))
        return *number;
    QString message = QStringLiteral("'%1' is not a valid whole number").arg(decodeValue(text));
    if (lineNumber > 0)
        message += QStringLiteral(" (line %1)").arg(lineNumber);
    throw NumberError(message);
}

} // namespace vog
