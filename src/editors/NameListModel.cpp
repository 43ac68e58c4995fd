#include "NameListModel.h"

namespace vog {

void NameListModel::appendNames(const QStringList &names)
{
    qsizetype length = m_text.size();
    for (const QString &name : names)
        length += name.size();
    m_text.reserve(length);
    m_ends.reserve(m_ends.size() + std::size_t(names.size()));
    for (const QString &name : names) {
        m_text += name;
        m_ends.push_back(m_text.size());
    }
}

void NameListModel::append(const QStringList &names)
{
    if (names.isEmpty())
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + int(names.size()) - 1);
    appendNames(names);
    endInsertRows();
}

void NameListModel::setNames(const QStringList &names)
{
    beginResetModel();
    m_text.clear();
    m_ends.clear();
    appendNames(names);
    m_text.squeeze();
    endResetModel();
}

void NameListModel::shift(int row, qsizetype by)
{
    for (std::size_t k = std::size_t(row); k < m_ends.size(); ++k)
        m_ends[k] += by;
}

int NameListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_ends.size());
}

QVariant NameListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()
        || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const qsizetype from = start(index.row());
    return m_text.mid(from, m_ends[std::size_t(index.row())] - from);
}

bool NameListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.row() >= rowCount()
        || (role != Qt::DisplayRole && role != Qt::EditRole))
        return false;
    const int row = index.row();
    const QString name = value.toString();
    const qsizetype from = start(row);
    const qsizetype length = m_ends[std::size_t(row)] - from;
    m_text.replace(from, length, name);
    shift(row, name.size() - length);
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags NameListModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren
                           : Qt::NoItemFlags;
}

bool NameListModel::insertRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || row < 0 || row > rowCount() || count < 1)
        return false;
    beginInsertRows({}, row, row + count - 1);
    // Empty rows, each ending where the row before them does.
    m_ends.insert(m_ends.begin() + row, std::size_t(count), start(row));
    endInsertRows();
    return true;
}

bool NameListModel::removeRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || row < 0 || count < 1 || row + count > rowCount())
        return false;
    beginRemoveRows({}, row, row + count - 1);
    const qsizetype from = start(row);
    const qsizetype length = m_ends[std::size_t(row + count) - 1] - from;
    m_text.remove(from, length);
    m_ends.erase(m_ends.begin() + row, m_ends.begin() + row + count);
    shift(row, -length);
    endRemoveRows();
    return true;
}

} // namespace vog
