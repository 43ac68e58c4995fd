#include "AreaListModel.h"


#include "document/AreaLines.h"

#include <QFont>

#include <algorithm>
#include <cstring>

namespace vog {

AreaListModel::AreaListModel(AreaLines &areas, QObject *parent)
    : QAbstractTableModel(parent), m_areas(areas)
{
}

void AreaListModel::reload()
{
    refill(true);
}

void AreaListModel::empty()
{
    refill(false);
}

void AreaListModel::refill(bool listed)
{
    beginResetModel();
    m_shown.clear();
    m_changed.clear();
    m_indexed = false;
    m_built = 0;
    m_index.clear();
    m_starts.clear();
    m_rows = listed ? kept() : std::vector<int>();
    endResetModel();
}

std::vector<int> AreaListModel::kept()
{
    if (!m_needle.isEmpty()) {
        prepareFilter();
        return search(m_needle);
    }
    std::vector<int> all;
    all.reserve(std::size_t(m_areas.count()));
    for (int i = 0; i < m_areas.count(); ++i)
        if (!m_areas.isRemoved(i))
            all.push_back(i);
    return all;
}

void AreaListModel::prepareFilter()
{
    prepareSome(m_areas.count());
}

bool AreaListModel::prepareSome(int areas)
{
    if (m_indexed)
        return true;
    if (m_built == 0) {
        m_starts.reserve(std::size_t(m_areas.count()) + 1);
        // The tags, descriptions and addresses are about half of the lines' bytes.
        m_index.reserve(m_areas.lineBytes() * 2 / 3);
    }
    const int end = std::min(m_areas.count(), m_built + areas);
    for (; m_built < end; ++m_built) {
        m_starts.push_back(m_index.size());
        m_areas.appendSearchText(m_built, m_index);
    }
    if (m_built < m_areas.count())
        return false;
    m_starts.push_back(m_index.size());
    m_indexed = true;
    return true;
}

namespace {

// Where the needle first stands in the bytes [from, to) of the text, or -1: the C library's
// search, several times faster than a byte loop over the many megabytes of a hub's areas.
qsizetype find(QByteArrayView text, qsizetype from, qsizetype to, QByteArrayView needle)
{
    const void *at = ::memmem(text.data() + from, std::size_t(to - from), needle.data(),
                              std::size_t(needle.size()));
    return at ? static_cast<const char *>(at) - text.data() : -1;
}

} // namespace

std::vector<int> AreaListModel::search(const QByteArray &needle) const
{
    // A text that reads as a whole address finds that address alone, not those it begins.
    bool whole = false;
    const QByteArray wanted = AreaLines::filterWanted(needle, whole);
    const auto wordEnds = [&](QByteArrayView text, qsizetype at, qsizetype end) {
        return AreaLines::filterWordEnds(text, at, wanted.size(), end, whole);
    };
    // One search through the block: each hit names its area, found by walking on from the
    // last hit's, and the search goes on at the next area's text.
    std::vector<int> found;
    const QByteArrayView index(m_index);
    std::size_t area = 0;
    for (qsizetype at = find(index, 0, index.size(), wanted); at >= 0;) {
        while (m_starts[area + 1] <= at)
            ++area;
        if (!wordEnds(index, at, m_starts[area + 1])) {
            at = find(index, at + 1, index.size(), wanted);
            continue;
        }
        if (!m_changed.count(int(area)) && !m_areas.isRemoved(int(area)))
            found.push_back(int(area));
        at = find(index, m_starts[area + 1], index.size(), wanted);
    }
    const std::size_t plain = found.size();
    for (const auto &[changed, text] : m_changed) {
        if (m_areas.isRemoved(changed))
            continue;
        if (AreaLines::filterMatches(text, needle))
            found.push_back(changed);
    }
    if (found.size() > plain)
        std::sort(found.begin(), found.end());
    return found;
}

void AreaListModel::setFilter(const QString &text)
{
    const QByteArray needle = AreaLines::filterNeedle(text);
    if (needle == m_needle && text == m_filter)
        return;
    m_filter = text;
    m_needle = needle;
    beginResetModel();
    m_rows = kept();
    endResetModel();
}

void AreaListModel::areasChanged(const std::vector<int> &areas)
{
    for (int area : areas) {
        m_shown.erase(area);
        if (area < m_built) {
            QByteArray text;
            m_areas.appendSearchText(area, text);
            m_changed[area] = text;
        }
        const int row = rowOf(area);
        if (row >= 0)
            emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    }
}

int AreaListModel::rowOf(int area) const
{
    const auto it = std::lower_bound(m_rows.begin(), m_rows.end(), area);
    return it != m_rows.end() && *it == area ? int(it - m_rows.begin()) : -1;
}

int AreaListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int AreaListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

const AreaState &AreaListModel::stateOf(int area) const
{
    const auto it = m_shown.find(area);
    if (it != m_shown.end())
        return it->second;
    // A screenful or two of rows is all that is ever shown at once.
    if (m_shown.size() > 512)
        m_shown.clear();
    return m_shown.emplace(area, m_areas.state(area)).first->second;
}

QVariant AreaListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const int area = areaAt(index.row());
    if (area >= m_areas.count())
        return {};
    if (role == Qt::TextAlignmentRole)
        return index.column() == Links ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    if (role == Qt::FontRole) {
        if (!m_areas.isChanged(area))
            return {};
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole && role != Qt::AccessibleTextRole)
        return {};
    const AreaState &s = stateOf(area);
    switch (index.column()) {
    case Tag:
        return s.tag;
    case Kind:
        return QString::fromLatin1(areaKindName(s.kind()));
    case Path:
        return s.path;
    case Base:
        return s.fields[vog::Base];
    case Group:
        return s.fields[vog::Group];
    case Links:
        return int(s.links.size());
    case Description:
        return s.fields[vog::Description];
    default:
        return {};
    }
}

QVariant AreaListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    static const char *const Names[ColumnCount] = {"Tag",   "Kind",  "Path",       "Base",
                                                   "Group", "Links", "Description"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(Names[section]) : QVariant();
}

} // namespace vog
