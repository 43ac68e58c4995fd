#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QWidget;

namespace vog {

// Lets files be dropped on a widget: a drag that carries local files is taken and each file is
// handed to open, in order; a drag that carries only other addresses is refused without a word.
// A drag without addresses goes on to the widget, so text still drops into an editable memo.
class FileDrop : public QObject
{
public:
    FileDrop(QWidget *target, std::function<void(const QString &)> open);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void(const QString &)> m_open;
};

} // namespace vog
