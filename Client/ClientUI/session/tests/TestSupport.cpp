#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

QApplication* application = nullptr;

class QtAppEnvironment : public ::testing::Environment {
  public:
    void TearDown() override {
        delete application;
        application = nullptr;
    }
};

[[maybe_unused]] auto* const environment =
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment);

}  // namespace

QApplication& TestQtApp() {
    if (!application) {
        static int argc = 1;
        static char name[] = "SessionTests";
        static char* argv[] = {name, nullptr};
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        // The login window and the hall hold browser views; set up as the
        // program does.
        RegisterRoomScheme();
        if (geteuid() == 0)
            qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        application = new QApplication(argc, argv);
    }
    return *application;
}
