// What the screenshot tools share to drive the program as a user would: find
// a shown window by name, and wait for a state by polling the event loop.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

// The visible top-level window with this object name, if any.
inline QWidget* TopLevel(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible())
            return w;
    return nullptr;
}

// Repeats `step` every 250 ms until it returns true or `tries` run out.
inline void Poll(int tries, std::function<bool()> step, std::function<void()> failed) {
    auto* timer = new QTimer(qApp);
    auto left = std::make_shared<int>(tries);
    QObject::connect(timer, &QTimer::timeout, [=] {
        if (step()) {
            timer->deleteLater();
        } else if (--*left <= 0) {
            timer->deleteLater();
            failed();
        }
    });
    timer->start(250);
}
