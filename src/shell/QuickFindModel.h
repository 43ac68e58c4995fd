#pragma once

#include <QAbstractListModel>
#include <QString>

#include <vector>

namespace vog {

class EditorWindow;
struct KeywordRow;

// What the quick find lists for a text: the keywords whose name holds it, the links whose
// name or one of whose Aka addresses holds it and the areas whose tag holds it, without regard
// to case. Best matches first: a
// whole word that is the text (or a whole part of an address: "5020/1234" in 2:5020/1234),
// then a name or address that begins with it, then a word that does, then any that holds it;
// keywords before links, each in the order shown. At most MaxRows, so that a short text over
// 20,000 links stays instant.
class QuickFindModel : public QAbstractListModel
{
    Q_OBJECT
public:
    static constexpr int MaxRows = 300;
    // A row's two parts, as shown: the keyword or link name, and where it is with what it holds
    // (the keyword's window and its field's value now; a link's addresses).
    enum Role { NameRole = Qt::UserRole, DetailRole };

    // One result: a keyword, the link in column `link` + 1 of the link records (entry `link` of
    // LinkChange), or an area.
    struct Found
    {
        const KeywordRow *keyword = nullptr;
        int link = -1;
        int area = -1;
    };

    explicit QuickFindModel(QObject *parent = nullptr);

    void find(const QString &text);
    Found found(int row) const { return m_found.at(std::size_t(row)); }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    // The window that shows a keyword's field.
    static EditorWindow *windowOf(const KeywordRow &row);

private:
    // The links the document has: column k + 1 holds entry k.
    static int linkCount();
    // The links in lower case, made again when the number of links changed or a link edit
    // dropped them.
    void indexLinks();
    QString detail(const Found &found) const;

    struct Link
    {
        QString name;
        QString addresses;
    };
    std::vector<Link> m_links;
    // The areas' tags in lower case, made again whenever the areas changed.
    void indexAreas();
    std::vector<QString> m_areaTags;
    quint64 m_areasIndexed = 0;
    std::vector<Found> m_found;
};

} // namespace vog
