#pragma once

#include <QDialog>
#include <QWidget>

#include <functional>
#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTableView;
class QTimer;

namespace vog {
class AreaListModel;
struct AreaState;
}

// The Area Definition window: every area line of the files read, in a list a filter narrows,
// the area picked in the fields below it, and links added to or taken off many areas at once.
// Closing it only hides it. What the user changes goes to the document at once.
class TArea_Definition : public QWidget
{
    Q_OBJECT
public:
    explicit TArea_Definition(QWidget *parent = nullptr);
    ~TArea_Definition() override;

    QLineEdit *AreaFilter;
    QTableView *AreaList;
    QLineEdit *AreaTag;
    QLineEdit *AreaPath;
    QComboBox *AreaBase;
    QLineEdit *AreaGroup;
    QLineEdit *AreaDescription;
    QLineEdit *AreaAka;
    QSpinBox *AreaPurge;
    QSpinBox *AreaMaxMsgs;
    QLineEdit *AreaOptions;
    QListWidget *AreaLinks;
    QComboBox *AreaLinkAddress;
    // Why the text typed under Link address is no address, or a value typed into a field can't
    // be written; empty while nothing is refused.
    QLabel *AreaLinkReason;
    QLabel *AreaFieldReason;
    QPushButton *AreaLinkAdd;
    QPushButton *AreaLinkRemove;
    QPushButton *NewAreaButton;
    QPushButton *RemoveAreaButton;
    // Ctrl+F: the quick find, over this window.
    QAction *QuickFindAction;

    vog::AreaListModel *model() const { return m_model; }
    // The area of the current row, or -1.
    int pickedArea() const;
    // The areas of the rows selected, in list order.
    std::vector<int> selectedAreas() const;
    // Makes the area the current row, clearing a filter that hides it.
    void pickArea(int area);

public slots:
    void AreaFilterChange();
    // The current row changed: its area into the fields.
    void AreaListChange();
    void AreaLinkAddClick();
    void AreaLinkRemoveClick();
    void NewAreaButtonClick();
    void RemoveAreaButtonClick();
    // The list and fields as the document now has them: after an Open, a save.
    void followDocument();

signals:
    // A command of the window failed; the message is for the error box.
    void failed(const QString &message);

protected:
    void showEvent(QShowEvent *event) override;

private:
    // The picked area into the fields, the program's own sets not counted as the user's.
    void showPicked();
    // What the area's fields inherit from an EchoAreaDefaults line.
    void showInherited(int area);
    // A field the user changed: its part of the picked area's state.
    void edited(const std::function<void(vog::AreaState &)> &change);
    // The field's edits reach the area unless no word of its line can carry the text: then the
    // reason, naming the field by its label, stands under the fields.
    void connectField(QWidget *field, const QString &label, bool quoted,
                      const std::function<void(vog::AreaState &)> &change);
    // Each selected area that the change changes, as one change of the document.
    void changeSelected(const std::function<bool(vog::AreaState &)> &change);
    void updateButtons();
    // The list made again from the document; its filter's block made anew while idle.
    void reloadList();
    // The program's links' addresses, offered in AreaLinkAddress.
    void offerLinkAddresses();

    vog::AreaListModel *m_model;
    QTimer *m_preparing;
    bool m_showing = false; // the program is setting the fields
    bool m_following = false;
    // The document changed while the window was hidden: it lists nothing until shown again,
    // then the row that was current.
    bool m_behind = false;
    int m_behindRow = -1;
    int m_shownArea = -1;
};

// The dialog of NewAreaButton: a tag no other area has, and a path.
class AreaDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AreaDialog(QWidget *parent = nullptr);
    QLineEdit *AreaTagEdit;
    QLineEdit *AreaPathEdit;
    QPushButton *OkButton;

private:
    void check();
    std::vector<QString> m_tags; // the areas' tags, lower-cased and sorted
};
