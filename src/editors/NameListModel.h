#pragma once

#include <QAbstractListModel>
#include <QString>
#include <QStringList>

#include <vector>

namespace vog {

// A list of names for a combo box over tens of thousands of links: the names one after another
// in a single text, each row where the one before it ends. An item object, or a string of its
// own, for each name would weigh several times the name. Rows are put in, taken out and renamed
// as a combo box asks; many names are best added in one go.
class NameListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    // The names after the last row, told as one insertion.
    void append(const QStringList &names);
    // These names in place of all the rows.
    void setNames(const QStringList &names);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool insertRows(int row, int count, const QModelIndex &parent = {}) override;
    bool removeRows(int row, int count, const QModelIndex &parent = {}) override;

private:
    qsizetype start(int row) const { return row > 0 ? m_ends[std::size_t(row) - 1] : 0; }
    void appendNames(const QStringList &names);
    // Rows from `row` on moved by `by` characters.
    void shift(int row, qsizetype by);

    QString m_text;
    std::vector<qsizetype> m_ends; // row k is [start(k), m_ends[k]) of m_text
};

} // namespace vog
