#include "ValueRules.h"

#include "Text.h"

namespace vog {

int radioOption(QByteArrayView value, const RadioWords &words, int defaultOption)
{
    int option = defaultOption;
    for (const RadioWord &w : words)
        if (contains(value, w.word) && (w.unless.isEmpty() || !contains(value, w.unless)))
            option = w.option;
    return option;
}

std::uint32_t flagBits(QByteArrayView value, const FlagWords &flags)
{
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < flags.size(); ++i)
        if (contains(value, flags[i].word))
            bits |= 1u << i;
    return bits;
}

} // namespace vog
