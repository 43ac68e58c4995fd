#include "QuickFindModel.h"

#include "document/ConfigDocument.h"
#include "editors/TLink_Keywords.h"
#include "editors/Windows.h"
#include "fields/LineList.h"
#include "reader/Errors.h"
#include "reader/KeywordTable.h"
#include "reader/ValueRules.h"

#include <array>

namespace vog {

namespace {

// How well a text matches, best first; NoMatch when it doesn't hold it.
enum Rank { WholeWord, Begins, WordBegins, Holds, RankCount, NoMatch = RankCount };

// Words end at blanks, and an address's parts (2:5020/1234@fidonet) at their marks; a point
// number (.1) is part of its node, so "1234" is the node 2:5020/1234 itself before its points.
bool isBreak(QStringView text, qsizetype at)
{
    if (at < 0 || at >= text.size())
        return true;
    const QChar c = text[at];
    return c.isSpace() || c == u':' || c == u'/' || c == u'@';
}

// Both in lower case.
Rank rank(QStringView text, QStringView needle)
{
    if (needle.isEmpty())
        return Begins;
    qsizetype at = text.indexOf(needle);
    if (at < 0)
        return NoMatch;
    Rank best = Holds;
    for (; at >= 0 && best != WholeWord; at = text.indexOf(needle, at + 1)) {
        if (!isBreak(text, at - 1))
            continue;
        const Rank here = isBreak(text, at + needle.size()) ? WholeWord
            : at == 0                                       ? Begins
                                                            : WordBegins;
        best = std::min(best, here);
    }
    return best;
}

struct KeywordName
{
    const KeywordRow *row;
    QString lower;
};

// The keywords shown in the three windows, in the order of the windows' rows.
const std::vector<KeywordName> &keywordNames()
{
    static const std::vector<KeywordName> names = [] {
        std::vector<KeywordName> out;
        for (Place place : {Place::General, Place::FilesAndPaths, Place::Link})
            for (const KeywordRow *row : rowsShownIn(place))
                out.push_back({row, QString::fromLatin1(row->name).toLower()});
        return out;
    }();
    return names;
}

int akaRow()
{
    static const int row = rowNamed("Aka")->storeRow;
    return row;
}

// A link's Aka cell as its file's codepage shows it, its addresses one blank apart.
QString addresses(int link)
{
    return document().links().cellText(link + 1, akaRow()).simplified();
}

// What a keyword's field shows now, in a few words, as the document has it: the value in effect
// for the record shown (-1: a window's own keywords; below it: none yet, every field as made).
QString valueOf(const KeywordRow &row, int record)
{
    const ConfigDocument &doc = document();
    const QString initial = row.kind == ValueKind::Number ? QStringLiteral("0") : QString();
    if (row.kind == ValueKind::LineList) {
        // The first line only: a list may hold a hundred thousand.
        QStringList lines;
        if (const Change *change = doc.change(row))
            lines = change->lines;
        else
            for (const ValueLine *line : doc.linesOf(row))
                lines.append(doc.valueText(*line));
        const QString first = lines.value(0);
        return lines.size() > 1 ? QStringLiteral("%1 lines: %2").arg(lines.size()).arg(first)
                                : first;
    }
    if (record < -1)
        return initial;
    const InEffect value = doc.inEffect(row, record);
    // A window's field that nothing set stays as it was made.
    if (record == -1 && !value.isSet())
        return initial;
    if (!row.comparesWords())
        return value.text();
    try {
        const FieldState state = fieldState(row, value.words, 0, doc.followedOption(row));
        return QString::fromUtf8(shownState(row, state));
    } catch (const NumberError &) {
        return value.text(); // its field keeps what it showed before
    }
}

} // namespace

QuickFindModel::QuickFindModel(QObject *parent) : QAbstractListModel(parent)
{
    // A link added, copied, renamed or removed: the links are indexed again at the next find.
    if (Link_Keywords)
        connect(Link_Keywords, &TLink_Keywords::linksChanged, this, [this] { m_links.clear(); });
}

EditorWindow *QuickFindModel::windowOf(const KeywordRow &row)
{
    return static_cast<EditorWindow *>(windowShowing(row.place).instance());
}

int QuickFindModel::linkCount()
{
    return std::max(0, document().links().columnCount() - 1);
}

void QuickFindModel::indexLinks()
{
    const int count = linkCount();
    m_links.resize(std::size_t(count));
    for (int k = 0; k < count; ++k)
        m_links[std::size_t(k)] = {document().linkName(k + 1).toLower(), addresses(k).toLower()};
}

void QuickFindModel::indexAreas()
{
    const AreaLines &areas = document().areas();
    m_areasIndexed = areas.generation();
    m_areaTags.resize(std::size_t(areas.count()));
    for (int i = 0; i < areas.count(); ++i)
        m_areaTags[std::size_t(i)] = areas.isRemoved(i) ? QString() : areas.tag(i).toLower();
}

void QuickFindModel::find(const QString &text)
{
    if (document().areas().generation() != m_areasIndexed)
        indexAreas();
    if (std::size_t(linkCount()) != m_links.size())
        indexLinks();
    const QString needle = text.trimmed().toLower();
    std::array<std::vector<Found>, RankCount> ranked;
    for (const KeywordName &k : keywordNames())
        if (const Rank r = rank(k.lower, needle); r != NoMatch)
            ranked[r].push_back({k.row, -1});
    for (std::size_t k = 0; k < m_links.size(); ++k) {
        const Link &link = m_links[k];
        const Rank r = std::min(rank(link.name, needle), rank(link.addresses, needle));
        if (r != NoMatch)
            ranked[r].push_back({nullptr, int(k)});
    }
    for (std::size_t a = 0; a < m_areaTags.size(); ++a)
        if (!m_areaTags[a].isEmpty())
            if (const Rank r = rank(m_areaTags[a], needle); r != NoMatch)
                ranked[r].push_back({nullptr, -1, int(a)});
    beginResetModel();
    m_found.clear();
    for (const std::vector<Found> &found : ranked)
        for (const Found &f : found) {
            if (m_found.size() == MaxRows)
                break;
            m_found.push_back(f);
        }
    endResetModel();
}

int QuickFindModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_found.size());
}

QString QuickFindModel::detail(const Found &found) const
{
    if (found.keyword) {
        const EditorWindow *window = windowOf(*found.keyword);
        // Enough to tell values apart; the row is a line of a few hundred pixels.
        const QString value = valueOf(*found.keyword, window->shownRecord()).left(200);
        return window->windowTitle() + QStringLiteral(" · ")
            + (value.isEmpty() ? QStringLiteral("(empty)") : LineList::oneLine(value));
    }
    if (found.area >= 0) {
        const AreaState s = document().areas().state(found.area);
        return QStringLiteral("Area · %1, %2 links")
                .arg(QLatin1String(areaKindName(s.kind())))
                .arg(s.links.size());
    }
    const QString akas = addresses(found.link);
    return akas.isEmpty() ? QStringLiteral("Link · no Aka") : QStringLiteral("Link · Aka ") + akas;
}

QVariant QuickFindModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Found &f = m_found[std::size_t(index.row())];
    const QString name = f.keyword    ? QString::fromLatin1(f.keyword->name)
            : f.area >= 0 ? document().areas().tag(f.area)
                          : document().linkName(f.link + 1);
    switch (role) {
    case NameRole:
        return name;
    case DetailRole:
        return detail(f);
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return name + QStringLiteral(" — ") + detail(f);
    default:
        return {};
    }
}

} // namespace vog
