#pragma once

#include <QByteArrayView>

#include <cstdint>
#include <optional>

namespace vog {

// A whole number as the configuration writes it: an optional sign and decimal digits, or an
// optional sign and hexadecimal digits after "$", "x" or "0x". Nothing outside the signed 32-bit
// range is a number.
std::optional<std::int32_t> toWholeNumber(QByteArrayView text);

// As toWholeNumber, but a text that is no number ends the command with a NumberError that names
// the text and, when lineNumber > 0, the line.
std::int32_t convertNumber(QByteArrayView text, qint64 lineNumber = 0);

} // namespace vog
