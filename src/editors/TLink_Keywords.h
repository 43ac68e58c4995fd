#pragma once

#include "reader/LinkStore.h"
#include "shell/EditorWindow.h"

class QComboBox;

// The Link Keywords window: one link's per-link keywords at a time, picked in LinkChange.
class TLink_Keywords : public vog::EditorWindow
{
    Q_OBJECT
public:
    explicit TLink_Keywords(QWidget *parent = nullptr);

    QComboBox *LinkChange;
    // The link records: column k + 1 holds the link named by entry k of LinkChange.
    vog::LinkStore LinksStringGrid;

public slots:
    void LinkChangeChange();
};
