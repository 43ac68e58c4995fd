#pragma once

#include <QWidget>

class QScrollArea;

namespace vog {

class RowForm;

// A keyword editor window: a top-level window whose rows scroll vertically. Closing it only
// hides it; its fields keep their values.
class EditorWindow : public QWidget
{
    Q_OBJECT
public:
    EditorWindow(const QString &objectName, const QString &title, const QRect &placement,
                 int fieldColumn, int top, QWidget *parent = nullptr);

    RowForm *form() const { return m_form; }
    QScrollArea *scrollArea() const { return m_scroll; }
    void scrollToTop();
    void scrollToBottom();

protected:
    // Connects each browse button to the window's public slot named after it plus "Click"
    // (InboundButton to InboundButtonClick). Called once the rows are built.
    void connectBrowseButtons();

private:
    // Scrolls the field holding w fully into view.
    void showWhole(QWidget *w);

    QScrollArea *m_scroll;
    RowForm *m_form;
};

} // namespace vog
