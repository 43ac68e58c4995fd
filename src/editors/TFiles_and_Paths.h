#pragma once

#include "shell/EditorWindow.h"

namespace vog {
class BrowseButton;
class FileOpenDialog;
class LineList;
class NumberField;
class RadioChoice;
class TextField;
} // namespace vog

// The Files and Paths window: the keywords that name the tosser's files and directories.
class TFiles_and_Paths : public vog::EditorWindow
{
    Q_OBJECT
public:
    explicit TFiles_and_Paths(QWidget *parent = nullptr);

    vog::NumberField *AdvisoryLock;
    vog::TextField *AreafixHelp;
    vog::NumberField *AreasMaxDupeAge;
    vog::RadioChoice *DupeBaseType;
    vog::TextField *DupeHistoryDir, *EchoTossLog, *FileBoxesDir, *VogPerlFile, *ImportLog,
        *Inbound;
    vog::LineList *Include;
    vog::TextField *Intab, *LocalInbound, *LockFile, *LogFileDir;
    vog::NumberField *MinDiskFreeSpace;
    vog::TextField *MsgBaseDir, *NotValidFileNameChars, *Outbound, *Outtab, *ProtInbound,
        *RulesDir, *StatLog, *TempInbound, *TempOutbound;

    vog::BrowseButton *AreafixHelpButton, *DupeHistoryDirButton, *EchoTossLogButton,
        *FileBoxesDirButton, *VogPerlFileButton, *ImportLogButton, *InboundButton,
        *IncludeButton, *IntabButton, *LocalInboundButton, *LockFileButton, *LogFileDirButton,
        *MsgBaseDirButton, *OutboundButton, *OuttabButton, *ProtInboundButton, *RulesDirButton,
        *StatLogButton, *TempInboundButton, *TempOutboundButton;
    vog::FileOpenDialog *OpenFileDialog;

public slots:
    // File pickers
    void AreafixHelpButtonClick();
    void EchoTossLogButtonClick();
    void VogPerlFileButtonClick();
    void ImportLogButtonClick();
    void IntabButtonClick();
    void LockFileButtonClick();
    void OuttabButtonClick();
    void StatLogButtonClick();
    // Directory pickers
    void DupeHistoryDirButtonClick();
    void FileBoxesDirButtonClick();
    void InboundButtonClick();
    void LocalInboundButtonClick();
    void LogFileDirButtonClick();
    void MsgBaseDirButtonClick();
    void OutboundButtonClick();
    void ProtInboundButtonClick();
    void RulesDirButtonClick();
    void TempInboundButtonClick();
    void TempOutboundButtonClick();
    // "+": appends a file to Include
    void IncludeButtonClick();
};
