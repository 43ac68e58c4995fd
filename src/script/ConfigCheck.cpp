#include "ConfigCheck.h"

#include "reader/Address.h"
#include "reader/KeywordTable.h"
#include "reader/LinkStore.h"
#include "reader/NumberConversion.h"
#include "reader/Text.h"
#include "reader/ValueRules.h"

#include <QByteArrayList>

#include <algorithm>

namespace vog {

namespace {

QString keyword(const KeywordLine &line)
{
    return QString::fromLatin1(line.row->name);
}

QByteArrayList wordsOf(QByteArrayView value)
{
    QByteArrayList words = lowered(value).simplified().split(' ');
    words.removeAll(QByteArray());
    return words;
}

} // namespace

void ConfigCheck::beginFile(int file, const QString &name)
{
    m_file = file;
    m_name = name;
    m_names[file] = name;
    m_pending.clear();
    m_window.clear();
    m_link.clear();
    m_defaults.clear();
    m_current = {};
}

void ConfigCheck::endFile()
{
    endLink();
    endRecord(m_link);
    endRecord(m_window);
    endRecord(m_defaults);
    std::stable_sort(m_pending.begin(), m_pending.end(),
                     [](const Problem &a, const Problem &b) { return a.line < b.line; });
    const auto text = [&](const QByteArray &bytes, int file) {
        return sourceFile(file).codec.decode(bytes);
    };
    for (const Problem &p : m_pending) {
        QString message = p.message;
        if (!p.second.isNull())
            message = message.arg(text(p.first, m_file),
                                  text(p.second, p.secondFile < 0 ? m_file : p.secondFile));
        else if (!p.first.isNull())
            message = message.arg(text(p.first, m_file));
        m_problems.append(m_name + QLatin1Char(':') + QString::number(p.line)
                          + QStringLiteral(": ") + message);
    }
    m_pending.clear();
}

void ConfigCheck::add(qint64 line, QString message, QByteArray first, QByteArray second,
                      int secondFile)
{
    m_pending.push_back({line, std::move(message), std::move(first), m_file, std::move(second),
                         secondFile});
}

void ConfigCheck::otherLine(const LineFacts &facts, qint64 line)
{
    checkUndefined(facts.undefined(), line);
    if (facts.kind == LineKind::Alone && facts.inEffect) {
        add(line, QString::fromLatin1(facts.row->name) + QStringLiteral(" has no value"));
        return;
    }
    const char *message = nullptr;
    switch (facts.problem) {
    case LineFacts::IfWithoutEndif: message = "if without endif"; break;
    case LineFacts::EndifWithoutIf: message = "endif without if"; break;
    case LineFacts::ElseWithoutIf: message = "else without if"; break;
    case LineFacts::ElseIfWithoutIf: message = "elseif without if"; break;
    case LineFacts::BadCondition: message = "the condition compares nothing: it takes A==B or A!=B"; break;
    case LineFacts::BadCommentChar: message = "CommentChar takes one character"; break;
    case LineFacts::BadSet: message = "set takes NAME=VALUE"; break;
    case LineFacts::None: break;
    }
    if (message)
        add(line, QString::fromLatin1(message));
}

void ConfigCheck::checkUndefined(const QByteArrayList &names, qint64 line)
{
    for (const QByteArray &name : names)
        add(line, QStringLiteral("[%1] is defined by no set line and not in the environment"),
            name);
}

void ConfigCheck::checkAddresses(const KeywordLine &line)
{
    static const std::vector<const KeywordRow *> rows{rowNamed("Address"), rowNamed("Aka"),
                                                      rowNamed("OurAka"), rowNamed("PackAka")};
    if (std::find(rows.begin(), rows.end(), line.row) == rows.end() || !line.state)
        return;
    const QByteArray expanded = line.state->expand(line.value);
    for (const QByteArray &word : expanded.simplified().split(' '))
        if (!word.isEmpty() && !isNodeAddress(word))
            add(line.lineNumber,
                keyword(line) + QStringLiteral(": \"%1\" is not an address "
                                               "(zone:net/node[.point][@domain])"),
                word);
}

void ConfigCheck::windowValue(const KeywordLine &line)
{
    checkValue(line);
    note(line, m_window);
}

void ConfigCheck::linkStarted(const KeywordLine &line, int column)
{
    endLink();
    endRecord(m_link);
    m_current = {column, line.lineNumber, line.value.toByteArray(), false};
}

void ConfigCheck::linkValue(const KeywordLine &line, int column)
{
    if (column == LinkStore::DefaultsColumn) {
        // A begin, end or destroy line starts the defaults afresh.
        if (defaultsMark(*line.row, line.value) != DefaultsMark::None) {
            endRecord(m_defaults);
            return;
        }
        checkValue(line);
        note(line, m_defaults);
        return;
    }
    checkValue(line);
    note(line, m_link);
    static const int aka = rowNamed("Aka")->index;
    if (line.row->index != aka || column != m_current.column)
        return;
    m_current.hasAka = true;
    for (const QByteArray &address : wordsOf(line.value)) {
        const auto [at, added] = m_addresses.try_emplace(
                address, Address{column, m_file, line.lineNumber, m_current.name});
        if (!added && at->second.column != column)
            add(line.lineNumber,
                QStringLiteral("Aka %1 is also the address of link %2 (line ")
                        + QString::number(at->second.line) + QStringLiteral(" of ")
                        + m_names[at->second.file] + QLatin1Char(')'),
                address, at->second.name, at->second.file);
    }
}

void ConfigCheck::endLink()
{
    if (m_current.column > 0 && !m_current.hasAka)
        add(m_current.line, QStringLiteral("link %1 has no Aka"), m_current.name);
    m_current = {};
}

void ConfigCheck::note(const KeywordLine &line, Record &record)
{
    const KeywordRow &row = *line.row;
    // Address stands once for each of the node's addresses.
    static const KeywordRow *address = rowNamed("Address");
    if (row.kind == ValueKind::LineList || row.kind == ValueKind::LinkName || !row.shown
        || &row == address)
        return;
    record[row.index].push_back(line.lineNumber);
}

void ConfigCheck::endRecord(Record &record)
{
    for (const auto &[row, lines] : record)
        for (std::size_t i = 0; i + 1 < lines.size(); ++i)
            add(lines[i], QStringLiteral("%1 is set again at line %2, which counts")
                                  .arg(QString::fromLatin1(keywordTable()[std::size_t(row)].name))
                                  .arg(lines.back()));
    record.clear();
}

void ConfigCheck::checkValue(const KeywordLine &line)
{
    checkAddresses(line);
    const KeywordRow &row = *line.row;
    const QByteArrayView value = line.value;
    if (value.isEmpty() || !row.comparesWords())
        return;
    const qint64 at = line.lineNumber;
    const QString name = keyword(line);
    const QByteArray lower = lowered(value);
    switch (row.kind) {
    case ValueKind::Number: {
        const std::optional<std::int32_t> number = toWholeNumber(value);
        if (!number) {
            add(at, name + QStringLiteral(": \"%1\" is not a whole number"), value.toByteArray());
        } else if (*number != heldNumber(row, *number)) {
            const bool low = *number < 0;
            add(at, name + QStringLiteral(": %1 is %2 the field's %3 %4, which it shows")
                                   .arg(*number)
                                   .arg(low ? QStringLiteral("below") : QStringLiteral("above"),
                                        low ? QStringLiteral("lowest") : QStringLiteral("highest"))
                                   .arg(heldNumber(row, *number)));
        }
        break;
    }
    case ValueKind::OnOff:
    case ValueKind::InvertedOnOff:
        if (lower != "on" && lower != "yes" && lower != "off" && lower != "no")
            add(at, name + QStringLiteral(": \"%1\" is none of on, yes, off, no; the field shows ")
                        + QString::fromLatin1(fieldState(row, value).choice),
                value.toByteArray());
        break;
    case ValueKind::LowerUpper:
        if (lower != "lower" && lower != "upper")
            add(at, name + QStringLiteral(": no option takes \"%1\""), value.toByteArray());
        break;
    case ValueKind::Radio:
        for (const QByteArray &word : wordsOf(value)) {
            const std::vector<RadioOption> &options = row.radio->options;
            if (std::none_of(options.begin(), options.end(),
                             [&](const RadioOption &o) { return optionWord(o) == word; }))
                add(at, name + QStringLiteral(": no option takes \"%1\""), word);
        }
        break;
    case ValueKind::Flags:
        for (const QByteArray &word : wordsOf(value)) {
            const std::vector<QByteArrayView> &words = row.flags->words;
            if (std::find(words.begin(), words.end(), QByteArrayView(word)) == words.end())
                add(at, name + QStringLiteral(": no box takes \"%1\""), word);
        }
        break;
    default:
        break;
    }
}

} // namespace vog
