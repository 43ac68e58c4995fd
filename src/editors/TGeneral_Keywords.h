#pragma once

#include "editors/EditorWindow.h"

// The General Keywords window: the configuration's general (not per-link) keywords.
class TGeneral_Keywords : public vog::EditorWindow
{
    Q_OBJECT
public:
    explicit TGeneral_Keywords(QWidget *parent = nullptr);

public slots:
    void AreafixQueueFileButtonClick();
    void AutoAreaCreateFlagButtonClick();
    void NetmailFlagButtonClick();
    void NewAreaRefuseFileButtonClick();
};
