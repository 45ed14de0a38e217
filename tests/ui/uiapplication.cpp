// The one application object of the window tests: widgets need a QApplication before the first
// test creates a window.
#include <QApplication>

#include <gtest/gtest.h>

namespace {

class ApplicationEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "test_ui";
        static char *argv[] = {name, nullptr};
        m_application = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { m_application.reset(); }

private:
    std::unique_ptr<QApplication> m_application;
};

const auto *const environment = ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

} // namespace
