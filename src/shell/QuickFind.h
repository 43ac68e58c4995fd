#pragma once

#include <QFrame>

class QAction;
class QLineEdit;
class QListView;

namespace vog {

class QuickFindModel;

// The quick find, Ctrl+F from the main window and from each editor window: a popup whose list
// narrows, as the user types, to the keywords and links that hold the text (QuickFindModel).
// Up and Down move in the list, Return or a click opens the result chosen, Escape closes.
// A keyword opens as its window shown from the menu, scrolled to its field, which takes the
// focus; a link is picked in LinkChange as the user's own pick would, one load with its
// errors, and the Link Keywords window comes to the front.
class QuickFind : public QFrame
{
    Q_OBJECT
public:
    // Answers the Ctrl+F of the parent (its action parentsQuickFind, enabled only while the
    // configurator menu is: once a file is open) and of every window of the window table,
    // which must exist.
    QuickFind(QWidget *parent, QAction *parentsQuickFind, QAction *configurator);

    QLineEdit *QuickFindText;
    QListView *QuickFindResults;

public slots:
    // Shows the popup over this window, the text typed last selected and its list made again.
    void popUp(QWidget *over);
    // Opens the result in this row of the list.
    void open(int row);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void find();

    QuickFindModel *m_model;
};

} // namespace vog
