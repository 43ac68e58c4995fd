#include "AreaListModel.h"

#include "document/AreaLines.h"

#include <QFont>

#include <algorithm>

namespace vog {

AreaListModel::AreaListModel(AreaLines &areas, QObject *parent)
    : QAbstractTableModel(parent), m_areas(areas)
{
}

void AreaListModel::reload()
{
    beginResetModel();
    m_shown.clear();
    m_changed.clear();
    m_indexed = false;
    m_index.clear();
    m_starts.clear();
    m_rows.clear();
    if (m_needle.isEmpty()) {
        m_rows.reserve(std::size_t(m_areas.count()));
        for (int i = 0; i < m_areas.count(); ++i)
            if (!m_areas.isRemoved(i))
                m_rows.push_back(i);
    } else {
        prepareFilter();
        m_rows = search(m_needle, nullptr);
    }
    endResetModel();
}

void AreaListModel::prepareFilter()
{
    if (m_indexed)
        return;
    m_index.clear();
    m_starts.clear();
    m_changed.clear();
    m_starts.reserve(std::size_t(m_areas.count()) + 1);
    for (int i = 0; i < m_areas.count(); ++i) {
        m_starts.push_back(m_index.size());
        m_areas.appendSearchText(i, m_index);
    }
    m_starts.push_back(m_index.size());
    m_indexed = true;
}

std::vector<int> AreaListModel::search(const QByteArray &needle, const std::vector<int> *among) const
{
    std::vector<int> found;
    const QByteArrayView index(m_index);
    const auto holds = [&](int area) {
        const auto changed = m_changed.find(area);
        if (changed != m_changed.end())
            return changed->second.contains(needle);
        const qsizetype from = m_starts[std::size_t(area)];
        return index.sliced(from, m_starts[std::size_t(area) + 1] - from).contains(needle);
    };
    if (among) {
        for (int area : *among)
            if (holds(area))
                found.push_back(area);
        return found;
    }
    // One search through the block: each hit names its area, and the search goes on at the
    // next area's text.
    for (qsizetype at = index.indexOf(needle); at >= 0;) {
        const auto next = std::upper_bound(m_starts.begin(), m_starts.end(), at);
        const int area = int(next - m_starts.begin()) - 1;
        if (!m_changed.count(area) && !m_areas.isRemoved(area))
            found.push_back(area);
        at = next == m_starts.end() ? -1 : index.indexOf(needle, *next);
    }
    const std::size_t plain = found.size();
    for (const auto &[area, text] : m_changed)
        if (!m_areas.isRemoved(area) && text.contains(needle))
            found.push_back(area);
    if (found.size() > plain)
        std::sort(found.begin(), found.end());
    return found;
}

void AreaListModel::setFilter(const QString &text)
{
    const QByteArray needle = text.trimmed().toLower().toUtf8();
    if (needle == m_needle && text == m_filter)
        return;
    // A longer text keeps some of the rows kept: only those are looked at again.
    const bool narrower = !m_needle.isEmpty() && needle.contains(m_needle) && m_indexed;
    m_filter = text;
    m_needle = needle;
    beginResetModel();
    if (needle.isEmpty()) {
        m_rows.clear();
        for (int i = 0; i < m_areas.count(); ++i)
            if (!m_areas.isRemoved(i))
                m_rows.push_back(i);
    } else {
        prepareFilter();
        const std::vector<int> kept = m_rows;
        m_rows = search(needle, narrower ? &kept : nullptr);
    }
    endResetModel();
}

void AreaListModel::areasChanged(const std::vector<int> &areas)
{
    for (int area : areas) {
        m_shown.erase(area);
        if (m_indexed) {
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
