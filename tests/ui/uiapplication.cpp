// The one application object of the window tests: widgets need a QApplication before the first
// test creates a window.
#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ApplicationEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        // The user key and the per-user folders of every window test lie in a folder of the
        // run, never in the home of whoever runs the tests.
        qputenv("XDG_CONFIG_HOME", m_home.filePath(QStringLiteral("config")).toLocal8Bit());
        qputenv("XDG_DATA_HOME", m_home.filePath(QStringLiteral("data")).toLocal8Bit());
        static int argc = 1;
        static char name[] = "test_ui";
        static char *argv[] = {name, nullptr};
        m_application = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { m_application.reset(); }

private:
    QTemporaryDir m_home;
    std::unique_ptr<QApplication> m_application;
};

const auto *const environment = ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

} // namespace
