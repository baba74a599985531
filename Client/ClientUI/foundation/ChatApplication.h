// The application object: the one event loop, the last stop for exceptions
// and the IApplication handed to the outside modules.
#pragma once

#include <QApplication>
#include <functional>
#include <string>

#include "common/ModuleApi.h"

class TChatApplication : public QApplication, public IApplication {
    Q_OBJECT

  public:
    // Receives the message text of every exception that reaches the event
    // loop.
    using ExceptionHandler = std::function<void(const std::string& message)>;

    TChatApplication(int& argc, char** argv);
    ~TChatApplication() override;

    // The running application object, or null when there is none (or it is
    // a plain QApplication).
    static TChatApplication* Instance();

    // An exception escaping an event handler is reported here and otherwise
    // ignored: no dialog, and the loop goes on.
    bool notify(QObject* receiver, QEvent* event) override;

    // None restores the default, one line of the daily log.
    void SetExceptionHandler(ExceptionHandler handler) { onException_ = std::move(handler); }
    void HandleException(const std::string& message);

    // Runs the task later on the UI thread; tasks posted from one thread run
    // in posting order. Safe from any thread.
    void Post(std::function<void()> task) override;

  private:
    ExceptionHandler onException_;
};
