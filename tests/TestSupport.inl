#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

template <typename T>
void whenModal(const std::function<void(T *)> &onModal, const std::function<void()> &fn)
{
    QTimer timer;
    QElapsedTimer clock;
    clock.start();
    bool done = false;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (done)
            return;
        if (auto *w = qobject_cast<T *>(QApplication::activeModalWidget())) {
            done = true;
            timer.stop();
            onModal(w);
        } else if (clock.elapsed() > 20000) {
            // Never hang a test run on a dialog that didn't come.
            timer.stop();
            if (QWidget *m = QApplication::activeModalWidget())
                m->close();
        }
    });
    timer.start();
    fn();
    timer.stop();
}
