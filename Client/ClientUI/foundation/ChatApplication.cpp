#include "foundation/ChatApplication.h"

#include <QMetaObject>
#include <exception>

#include "foundation/APIUtils.h"

TChatApplication::TChatApplication(int& argc, char** argv) : QApplication(argc, argv) {}

TChatApplication::~TChatApplication() = default;

TChatApplication* TChatApplication::Instance() {
    return qobject_cast<TChatApplication*>(QCoreApplication::instance());
}

bool TChatApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        HandleException(e.what());
    } catch (...) {
        HandleException("Unknown exception");
    }
    return false;
}

void TChatApplication::HandleException(const std::string& message) {
    try {
        if (onException_) {
            onException_(message);
        } else {
            WriteLog(message);
        }
    } catch (...) {
        // The handler is the last resort; a failure inside it must not take
        // the event loop down.
    }
}

void TChatApplication::Post(std::function<void()> task) {
    if (!task) {
        return;
    }
    QMetaObject::invokeMethod(
        this, [task = std::move(task)] { task(); }, Qt::QueuedConnection);
}
