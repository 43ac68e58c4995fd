#pragma once

#include "editors/EditorWindow.h"

class QAction;

// The Files and Paths window: the keywords that name the tosser's files and directories.
class TFiles_and_Paths : public vog::EditorWindow
{
    Q_OBJECT
public:
    explicit TFiles_and_Paths(QWidget *parent = nullptr);

    // In the context menu of the list of included files: open the file named on the line that
    // holds the text cursor, or every file the list names and those they name in turn. The
    // commands that carry them out are connected at start-up.
    QAction *OpenIncludedFile;
    QAction *OpenAllIncludedFiles;

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
    // "+": appends a file to the list of included files
    void IncludeButtonClick();
};
