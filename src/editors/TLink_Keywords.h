#pragma once

#include "editors/EditorWindow.h"
#include "reader/LinkStore.h"

#include <functional>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;

// The Link Keywords window: one link's per-link keywords at a time, picked in LinkChange.
class TLink_Keywords : public vog::EditorWindow
{
    Q_OBJECT
public:
    explicit TLink_Keywords(QWidget *parent = nullptr);
    ~TLink_Keywords() override;

    QLabel *Label1;
    QComboBox *LinkChange = nullptr;
    // Checked: the fields show the defaults as the last LinkDefaults block left them, and the
    // user's edits change those.
    QPushButton *LinkDefaultsButton = nullptr;
    // Links as a whole: a new one, a copy of the one shown, its new name, its removal.
    QPushButton *NewLinkButton = nullptr;
    QPushButton *CopyLinkButton = nullptr;
    QPushButton *RenameLinkButton = nullptr;
    QPushButton *RemoveLinkButton = nullptr;
    // The document's link records: column k + 1 holds the link named by entry k of LinkChange.
    vog::LinkStore &LinksStringGrid;

    // LinkChange lists these links just read, by their names in the document, after those it
    // lists; it selects nothing new and loads nothing.
    void followLinks(const std::vector<int> &columns);
    // LinkChange lists the document's links, none picked, and the rows show no record.
    void showDocument() override;

public slots:
    // Loads the record of the link that LinkChange reports into the fields.
    void LinkChangeChange();
    // Shows the record shown last again, as the files and the user's changes now say it.
    void showRecordAgain();
    // Shows the defaults record while the button is checked, the link picked in LinkChange
    // again when it is unchecked.
    void LinkDefaultsButtonClick();

    // Each asks first (the link dialog, or the question before a removal), changes the
    // document, and shows the new, copied or renamed link; Cancel or No changes nothing.
    void NewLinkButtonClick();
    void CopyLinkButtonClick();
    void RenameLinkButtonClick();
    void RemoveLinkButtonClick();

    void AutoAreaCreateFileButtonClick();
    void DenyFwdFileButtonClick();
    void ForwardRequestFileButtonClick();
    void FileBoxButtonClick();
    void LinkMsgBaseDirButtonClick();

signals:
    // A load has run to its end; column is the record it showed.
    void linkLoaded(int column);
    // A load stopped at a row whose text is no number; the rows from there on kept their values.
    // Also a link edit that could not be made.
    void loadFailed(const QString &message);
    // A link was added, copied, renamed or removed: LinkChange lists the links anew.
    void linksChanged();

protected:
    void changeEvent(QEvent *event) override;

public:
    int shownRecord() const override { return m_shown; }

private:
    void loadRecord(int column);
    // A field the user left empty where the link inherits a value.
    void leftEmptied(const vog::KeywordRow &row);
    std::vector<QMetaObject::Connection> m_leaving;
    int m_shown = -2; // no record loaded yet
    void placeLinkChange();
    // The rows take input only while they show a record.
    void enableRows();
    // Copy, Rename and Remove act on the link shown: greyed while none is.
    void enableLinkButtons();
    // The link dialog for a new link or a copy (renamed < 0), or for the link renamed; false
    // when it was cancelled.
    bool askLink(const QString &title, int renamed, QString &name, QString &address);
    // A link edit, its error in the one error box.
    void linkCommand(const std::function<void()> &command);
    // LinkChange lists the links after a link edit; the one at `column` is shown.
    void showLinkEdit(int column, bool added);
};
