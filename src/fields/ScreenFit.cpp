#include "ScreenFit.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace vog {

QRect fittedInto(QRect outer, const QRect &area)
{
    outer.setSize(outer.size().boundedTo(area.size()));
    outer.moveLeft(std::clamp(outer.left(), area.left(), area.right() - outer.width() + 1));
    outer.moveTop(std::clamp(outer.top(), area.top(), area.bottom() - outer.height() + 1));
    return outer;
}

void fitWindowInto(QWidget *window, const QRect &area)
{
    // The frame is known once the window has been shown; before that only its inside.
    const QMargins frame = window->windowHandle() ? window->windowHandle()->frameMargins()
                                                  : QMargins();
    const QRect outer = window->geometry().marginsAdded(frame);
    const QRect fitted = fittedInto(outer, area);
    if (fitted != outer)
        window->setGeometry(fitted.marginsRemoved(frame));
}

namespace {

class ScreenFit final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Sent before the window is put on the screen: it appears where it fits.
        if (event->type() != QEvent::Show || !watched->isWidgetType())
            return false;
        auto *window = static_cast<QWidget *>(watched);
        const Qt::WindowType type = window->windowType();
        if (!window->isWindow() || (type != Qt::Window && type != Qt::Dialog))
            return false;
        QScreen *screen = QGuiApplication::screenAt(window->geometry().center());
        if (!screen)
            screen = window->screen();
        if (screen)
            fitWindowInto(window, screen->availableGeometry());
        return false;
    }
};

} // namespace

void keepWindowsOnScreen()
{
    static QObject *fit = nullptr;
    if (fit)
        return;
    fit = new ScreenFit(qApp);
    qApp->installEventFilter(fit);
}

QScrollArea *scrollingArea(QWidget *parent)
{
    auto *scroll = new QScrollArea(parent);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    // It takes no stop of Tab's round: the controls on it do.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidget(new QWidget(scroll));
    return scroll;
}

QWidget *scrollingContent(QWidget *window)
{
    auto *layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    QScrollArea *scroll = scrollingArea(window);
    layout->addWidget(scroll);
    return scroll->widget();
}

} // namespace vog
