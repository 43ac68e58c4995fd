#include "QuickFindModel.h"

#include "document/ConfigDocument.h"
#include "editors/TFiles_and_Paths.h"
#include "editors/TGeneral_Keywords.h"
#include "editors/TLink_Keywords.h"
#include "editors/Windows.h"
#include "fields/ChoiceField.h"
#include "fields/FlagBoxes.h"
#include "fields/LineList.h"
#include "fields/NumberField.h"
#include "fields/RadioChoice.h"
#include "fields/TextField.h"
#include "reader/KeywordTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QTextBlock>

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
    return Link_Keywords->LinksStringGrid.cellText(link + 1, akaRow()).simplified();
}

// What a field holds now, in a few words.
QString valueOf(const QWidget *field)
{
    if (auto *text = qobject_cast<const TextField *>(field))
        return text->text();
    if (auto *choice = qobject_cast<const ChoiceField *>(field))
        return choice->currentText();
    if (auto *number = qobject_cast<const NumberField *>(field))
        return QString::number(number->value());
    if (auto *radio = qobject_cast<const RadioChoice *>(field))
        return radio->caption(radio->selectedOption());
    if (auto *flags = qobject_cast<const FlagBoxes *>(field)) {
        QStringList on;
        for (int i = 0; i < flags->boxCount(); ++i)
            if (flags->box(i))
                on.append(flags->checkBox(i)->text());
        return on.join(QLatin1Char(' '));
    }
    if (auto *list = qobject_cast<const LineList *>(field)) {
        // The first line only: a list may hold a hundred thousand.
        const int lines = list->lineCount();
        const QString first = list->document()->firstBlock().text();
        return lines > 1 ? QStringLiteral("%1 lines: %2").arg(lines).arg(first) : first;
    }
    return {};
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
    switch (row.place) {
    case Place::General:
        return General_Keywords;
    case Place::FilesAndPaths:
        return Files_and_Paths;
    case Place::Link:
        break;
    }
    return Link_Keywords;
}

void QuickFindModel::indexLinks()
{
    const QComboBox *list = Link_Keywords->LinkChange;
    const int count = list->count();
    m_links.resize(std::size_t(count));
    for (int k = 0; k < count; ++k)
        m_links[std::size_t(k)] = {list->itemText(k).toLower(), addresses(k).toLower()};
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
    if (Link_Keywords && std::size_t(Link_Keywords->LinkChange->count()) != m_links.size())
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
        const QString value = valueOf(window->form()->fieldWidget(*found.keyword)).left(200);
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
                          : Link_Keywords->LinkChange->itemText(f.link);
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
