#include "EditorWindow.h"

#include "RowForm.h"
#include "SharedFont.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace vog {

EditorWindow::EditorWindow(const QString &objectName, const QString &title,
                           const QRect &placement, int fieldColumn, int top, QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(objectName);
    setWindowTitle(title);
    setFont(sharedFont());
    move(placement.topLeft());
    resize(placement.size());

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_form = new RowForm(fieldColumn, top, m_scroll);
    m_scroll->setWidget(m_form);
    layout->addWidget(m_scroll);
}

void EditorWindow::scrollToTop()
{
    m_scroll->verticalScrollBar()->setValue(m_scroll->verticalScrollBar()->minimum());
}

void EditorWindow::scrollToBottom()
{
    m_scroll->verticalScrollBar()->setValue(m_scroll->verticalScrollBar()->maximum());
}

} // namespace vog
