#pragma once

#include "shell/EditorWindow.h"

namespace vog {
class BrowseButton;
class ChoiceField;
class FileOpenDialog;
class FlagBoxes;
class LineList;
class NumberField;
class RadioChoice;
class TextField;
} // namespace vog

// The General Keywords window: the configuration's general (not per-link) keywords.
class TGeneral_Keywords : public vog::EditorWindow
{
    Q_OBJECT
public:
    explicit TGeneral_Keywords(QWidget *parent = nullptr);

    vog::TextField *AddToSeen, *Address, *AfterUnpack;
    vog::ChoiceField *AreafixFromPkt, *AreafixKillRequests;
    vog::NumberField *AreafixMsgSize;
    vog::TextField *AreafixNames, *AreafixFromName, *AreafixOrigin;
    vog::FlagBoxes *AreafixKillReports;
    vog::TextField *AreafixSplitStr;
    vog::ChoiceField *AreafixQueryReports;
    vog::TextField *AreafixQueueFile;
    vog::ChoiceField *AreasFileNameCase;
    vog::TextField *AutoAreaCreateFlag;
    vog::ChoiceField *AutoPassive;
    vog::TextField *BeforePack;
    vog::RadioChoice *BundleNameStyle;
    vog::ChoiceField *CreateAreasCase, *CreateFwdNonPass;
    vog::NumberField *DefArcmailSize;
    vog::ChoiceField *DisableTID, *DisablePID;
    vog::NumberField *ForwardRequestTimeout, *IdlePassthruTimeout;
    vog::ChoiceField *IgnoreCapWord;
    vog::TextField *IgnoreSeen;
    vog::ChoiceField *KeepTrsFiles, *KeepTrsMail;
    vog::NumberField *KilledRequestTimeout;
    vog::RadioChoice *KludgeAreaNetmail, *LinkWithImportLog;
    vog::ChoiceField *LogEchoToScreen;
    vog::TextField *LogLevels, *Name, *NetmailFlag, *NewAreaRefuseFile;
    vog::ChoiceField *NoProcessBundles;
    vog::TextField *Origin;
    vog::LineList *Pack;
    vog::ChoiceField *PackNetMailOnScan;
    vog::TextField *ProcessPkt, *PublicGroup;
    vog::LineList *Remap;
    vog::TextField *ReportTo, *RobotsArea;
    vog::LineList *Route, *RouteFile, *RouteMail;
    vog::TextField *ScreenLogLevels;
    vog::ChoiceField *SeparateBundles, *SetConsoleTitle;
    vog::TextField *Sysop, *TearLine, *TossingExt;
    vog::LineList *Unpack;

    vog::BrowseButton *AreafixQueueFileButton, *AutoAreaCreateFlagButton, *NetmailFlagButton,
        *NewAreaRefuseFileButton;
    vog::FileOpenDialog *OpenFileDialog;

public slots:
    void AreafixQueueFileButtonClick();
    void AutoAreaCreateFlagButtonClick();
    void NetmailFlagButtonClick();
    void NewAreaRefuseFileButtonClick();
};
