#include "Address.h"

namespace vog {

namespace {

// Digits up to the stop character, at least one; moves `at` past them.
bool number(QStringView word, qsizetype &at)
{
    const qsizetype from = at;
    while (at < word.size() && word[at].isDigit() && word[at].unicode() < 128)
        ++at;
    return at > from;
}

bool takes(QStringView word, qsizetype &at, QChar c)
{
    if (at >= word.size() || word[at] != c)
        return false;
    ++at;
    return true;
}

} // namespace

bool isNodeAddress(QStringView word)
{
    qsizetype at = 0;
    if (!number(word, at) || !takes(word, at, u':') || !number(word, at) || !takes(word, at, u'/')
        || !number(word, at))
        return false;
    if (takes(word, at, u'.') && !number(word, at))
        return false;
    if (takes(word, at, u'@')) {
        if (at == word.size())
            return false;
        for (; at < word.size(); ++at)
            if (word[at].unicode() <= 32 || word[at] == u'@')
                return false;
    }
    return at == word.size();
}

} // namespace vog
