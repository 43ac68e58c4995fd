#pragma once

#include "reader/LinkStore.h"
#include "shell/EditorWindow.h"

#include <vector>

class QComboBox;
class QLabel;

namespace vog {
class BrowseButton;
class ChoiceField;
class FileOpenDialog;
class NumberField;
class RadioChoice;
class TextField;
class UseBox;
} // namespace vog

// The Link Keywords window: one link's per-link keywords at a time, picked in LinkChange.
class TLink_Keywords : public vog::EditorWindow
{
    Q_OBJECT
public:
    explicit TLink_Keywords(QWidget *parent = nullptr);
    ~TLink_Keywords() override;

    QLabel *Label1;
    QComboBox *LinkChange = nullptr;
    // The link records: column k + 1 holds the link named by entry k of LinkChange.
    vog::LinkStore LinksStringGrid;

    vog::TextField *AccessGrp;
    vog::ChoiceField *AdvancedAreafix;
    vog::TextField *Aka;
    vog::RadioChoice *AllowEmptyPktPwd;
    vog::ChoiceField *AllowPktAddrDiffer;
    vog::NumberField *ArcmailSize;
    vog::ChoiceField *ArcNetmail, *Areafix;
    vog::NumberField *AreafixEchoLimit;
    vog::TextField *AreafixPwd;
    vog::ChoiceField *AutoAreaCreate;
    vog::TextField *AutoAreaCreateFile, *AutoAreaCreateDefaults;
    vog::ChoiceField *AutoAreaCreateSubdirs;
    vog::NumberField *AutoPause;
    vog::RadioChoice *AvailList;
    vog::TextField *DenyFwdFile, *DenyFwdMask;
    vog::ChoiceField *DenyFwdReqAccess, *DenyUncondFwdReqAccess;
    vog::RadioChoice *EchoMailFlavour;
    vog::ChoiceField *Export;
    vog::NumberField *ForwardAreaPriority;
    vog::RadioChoice *ForwardPkts;
    vog::TextField *ForwardRequestFile, *ForwardRequestMask;
    vog::ChoiceField *ForwardRequests;
    vog::TextField *FileBox;
    vog::ChoiceField *FileBoxAlways, *Import;
    vog::NumberField *Level;
    vog::RadioChoice *LinkBundleNameStyle;
    vog::TextField *LinkGrp, *LinkMsgBaseDir;
    vog::ChoiceField *Mandatory, *Manual, *NoRules;
    vog::TextField *OptGrp, *OurAka, *PackAka, *Packer, *Password;
    vog::RadioChoice *Pause;
    vog::NumberField *PktSize;
    vog::TextField *PktPwd, *RemoteRobotName;

    vog::UseBox *AreafixEchoLimitUse, *AutoPauseUse, *ForwardAreaPriorityUse, *PktSizeUse;
    vog::BrowseButton *AutoAreaCreateFileButton, *DenyFwdFileButton, *ForwardRequestFileButton,
        *FileBoxButton, *LinkMsgBaseDirButton;
    vog::FileOpenDialog *OpenFileDialog;

public slots:
    // Loads the record of the link that LinkChange reports into the fields.
    void LinkChangeChange();

    void AutoAreaCreateFileButtonClick();
    void DenyFwdFileButtonClick();
    void ForwardRequestFileButtonClick();
    void FileBoxButtonClick();
    void LinkMsgBaseDirButtonClick();

signals:
    // A load has run to its end; column is the record it showed.
    void linkLoaded(int column);

protected:
    void changeEvent(QEvent *event) override;

private:
    struct LoadTarget;
    void loadRecord(int column);
    void placeLinkChange();

    // The load table's fields, found once by name.
    std::vector<LoadTarget> m_targets;
    QByteArray m_lowered;
};
