#pragma once

#include "fields/RowForm.h"

#include <QWidget>

class QAction;
class QScrollArea;

namespace vog {

class Field;
struct InEffect;
class FileOpenDialog;

// A keyword editor window: a top-level window whose rows, built from the keyword table, scroll
// vertically. Closing it only hides it; its fields keep their values.
class EditorWindow : public QWidget
{
    Q_OBJECT
public:
    EditorWindow(const QString &objectName, const QString &title, const QRect &placement,
                 Place place, const FormLook &look, QWidget *parent = nullptr);
    ~EditorWindow() override;

    RowForm *form() const { return m_form; }
    QScrollArea *scrollArea() const { return m_scroll; }
    void scrollToTop();
    void scrollToBottom();

    // The field of the keyword with this name, as the given kind; null if the window has none.
    template <typename Kind>
    Kind *field(const char *name) const
    {
        const KeywordRow *row = rowNamed(name);
        return row ? qobject_cast<Kind *>(m_form->fieldWidget(*row)) : nullptr;
    }

    // The record the fields show: -1 for a window's own keywords, a link record's column on
    // the Link Keywords window, below -1 while they show none.
    virtual int shownRecord() const { return -1; }
    // Tells the document what the user made of a row's field.
    void reportChange(const KeywordRow &row);
    // Shows what the document has in effect for a one-value row of a record in its field (the
    // user's change, the line read, what a link inherits), naming its origin; an inherited
    // value's label in italics. After a save and for a link pick alike.
    // Throws a NumberError for a number that doesn't convert.
    void showValue(const KeywordRow &row, int column);
    // The one way from the document to a one-value field: the value given, as above; the
    // Open's is what a file just said.
    void showValue(const KeywordRow &row, const InEffect &value, const QStringList &notes = {});
    // Every field shows what the document now has for the record shown, as a window made for
    // it would: File > New empties the document, and the windows follow.
    virtual void showDocument();
    // A one-value field shows no value, as it is made: no file has set it.
    void showNothing(const KeywordRow &row);

    // The window's one file-open dialog, shared by its file pickers.
    FileOpenDialog *OpenFileDialog;
    // Ctrl+F: the quick find, over this window.
    QAction *QuickFindAction;

protected:
    // What a browse button does, and its public handler ("InboundButtonClick" browses for
    // Inbound): the keyword's row says which picker fills its field.
    void browse(const KeywordRow &row);
    void browse(const char *keyword);

private:
    // Scrolls the field holding w fully into view.
    void showWhole(QWidget *w);

    QScrollArea *m_scroll;
    RowForm *m_form;
};

} // namespace vog
