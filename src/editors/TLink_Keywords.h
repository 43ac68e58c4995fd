#pragma once

#include "editors/EditorWindow.h"
#include "reader/LinkStore.h"

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
    // The document's link records: column k + 1 holds the link named by entry k of LinkChange.
    vog::LinkStore &LinksStringGrid;

public slots:
    // Loads the record of the link that LinkChange reports into the fields.
    void LinkChangeChange();
    // Shows the record shown last again, as the files and the user's changes now say it.
    void showRecordAgain();
    // Shows the defaults record while the button is checked, the link picked in LinkChange
    // again when it is unchecked.
    void LinkDefaultsButtonClick();

    void AutoAreaCreateFileButtonClick();
    void DenyFwdFileButtonClick();
    void ForwardRequestFileButtonClick();
    void FileBoxButtonClick();
    void LinkMsgBaseDirButtonClick();

signals:
    // A load has run to its end; column is the record it showed.
    void linkLoaded(int column);
    // A load stopped at a row whose text is no number; the rows from there on kept their values.
    void loadFailed(const QString &message);

protected:
    void changeEvent(QEvent *event) override;

public:
    int shownRecord() const override { return m_shown; }

private:
    void loadRecord(int column);
    // One row of a record into its field.
    void loadRow(const vog::KeywordRow &row, int column);
    // A field the user left empty where the link inherits a value.
    void leftEmptied(const vog::KeywordRow &row);
    std::vector<QMetaObject::Connection> m_leaving;
    int m_shown = -2; // no record loaded yet
    // The option that a radio rule following another window's field takes as its default.
    int followedDefault(const vog::KeywordRow &row) const;
    void placeLinkChange();
};
