#pragma once

#include <QRect>

class QScrollArea;
class QWidget;

namespace vog {

// A window's outer rectangle brought inside an available area: made no larger than the area,
// then moved in over the edges it stood beyond.
QRect fittedInto(QRect outer, const QRect &area);

// The window, frame and all, inside this area; its content scrolls where it no longer fits.
void fitWindowInto(QWidget *window, const QRect &area);

// From here on every window and dialog opens inside the available area of the screen it opens
// on, however large it asks to be or wherever it was placed. Installed once.
void keepWindowsOnScreen();

// The widget a window's controls stand on, inside a frameless scroll area that fills the
// window: where the window is smaller than what they need, they scroll rather than being cut.
QWidget *scrollingContent(QWidget *window);
// The frameless scroll area alone, its content widget made, for a window that places it itself.
QScrollArea *scrollingArea(QWidget *parent);

} // namespace vog
