#pragma once

#include "shell/EditorWindow.h"

// The Files and Paths window: the keywords that name the tosser's files and directories.
class TFiles_and_Paths : public vog::EditorWindow
{
    Q_OBJECT
public:
    explicit TFiles_and_Paths(QWidget *parent = nullptr);
};
