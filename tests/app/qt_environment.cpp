// One QApplication for every window test, on the headless platform.
#include <gtest/gtest.h>

#include <QApplication>

namespace {
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_app";
    static char* argv[] = {name, nullptr};
    app_ = new QApplication(argc, argv);
    app_->setQuitOnLastWindowClosed(false);
  }
  void TearDown() override { delete app_; }

 private:
  QApplication* app_ = nullptr;
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);
}  // namespace
