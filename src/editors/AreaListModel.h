#pragma once

#include "reader/AreaLine.h"

#include <QAbstractTableModel>
#include <QByteArray>

#include <unordered_map>
#include <vector>

namespace vog {

class AreaLines;

// The areas of the document as rows, those a filter keeps: a row per area line, not a widget,
// its cells split from the line only when shown. The filter looks in one block of lower-cased
// text made once per read (each area's tag, description and link addresses), so a keystroke
// over fifty thousand areas is one search through it.
class AreaListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { Tag, Kind, Path, Base, Group, Links, Description, ColumnCount };

    AreaListModel(AreaLines &areas, QObject *parent = nullptr);

    // The rows again, as the document now has them, the filter kept.
    void reload();
    // No row until the next reload: for a window not shown, which then holds no area that a
    // later edit may move.
    void empty();
    // Keeps the rows whose tag or description holds the text, or that name a link whose
    // address holds it, without regard to case; an empty text keeps every area.
    void setFilter(const QString &text);
    QString filter() const { return m_filter; }
    // What the user changed of these areas: their cells and what the filter finds in them.
    void areasChanged(const std::vector<int> &areas);

    int areaAt(int row) const { return m_rows[std::size_t(row)]; }
    int rowOf(int area) const; // -1 where the filter hides it
    // The block the filter searches, made now as far as it is not yet.
    void prepareFilter();
    // Some more of it, for a moment when nothing else is to be done; whether it is whole.
    bool prepareSome(int areas);
    bool isPrepared() const { return m_indexed; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void refill(bool listed);
    const AreaState &stateOf(int area) const;
    // The areas that hold the text.
    std::vector<int> search(const QByteArray &needle) const;
    // The areas the filter keeps, those removed left out.
    std::vector<int> kept();

    AreaLines &m_areas;
    std::vector<int> m_rows;
    QString m_filter;
    QByteArray m_needle; // the filter's text as searched, empty for none
    // The filter's block: area i's text is [m_starts[i], m_starts[i + 1]); an area the user
    // changed is searched in its own text instead.
    QByteArray m_index;
    std::vector<qsizetype> m_starts;
    std::unordered_map<int, QByteArray> m_changed;
    bool m_indexed = false;
    int m_built = 0; // the areas whose text is in the block so far
    mutable std::unordered_map<int, AreaState> m_shown; // the states of the rows shown lately
};

} // namespace vog
