// Start-up of the desktop program: the splash, the program directory, the main window and the
// windows it holds, then the message loop.
#include "app/mainform.h"
#include "app/messagebox.h"
#include "app/programsettings.h"
#include "app/splash.h"
#include "capture/captureform.h"

#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

using namespace warplon;

namespace {

// A fault that escapes an event handler is shown to the user in place of ending the program.
class Application : public QApplication
{
public:
    using QApplication::QApplication;

    bool notify(QObject *receiver, QEvent *event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception &fault) {
            ShowMessage(activeWindow(), QMessageBox::Critical, applicationDisplayName(),
                        QString::fromLocal8Bit(fault.what()));
        } catch (...) {
            ShowMessage(activeWindow(), QMessageBox::Critical, applicationDisplayName(),
                        QStringLiteral("Unknown Error in Warplon"));
        }
        return false;
    }
};

// The program directory: "Exe" of "Common" in the user key replaces the executable's folder; an
// installed copy (<prefix>/bin beside <prefix>/share/warplon), or one that cannot write beside
// itself, works in the per-user data folder, seeded with the shipped program files.
QString FindProgramDirectory()
{
    QSettings userKey(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Brenmoor"),
                      QStringLiteral("Warplon"));
    const QString exe
        = userKey.value(QLatin1String(kProgramVersion) + QStringLiteral("/Common/Exe")).toString();
    return ResolveProgramDirectory(
        QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation), exe);
}

// Where the screen cannot be read (a display without a compositor), the main window and the
// tool windows in front of it, each drawn at its place.
QImage PictureOfWindows(QWidget &main)
{
    QRect area = main.geometry();
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window->isVisible())
            area |= window->geometry();
    }
    QImage picture(area.size(), QImage::Format_RGB32);
    picture.fill(Qt::darkGray);
    QPainter painter(&picture);
    painter.drawPixmap(main.geometry().topLeft() - area.topLeft(), main.grab());
    for (QWidget *window : windows) {
        if (window != &main && window->isVisible())
            painter.drawPixmap(window->geometry().topLeft() - area.topLeft(), window->grab());
    }
    return picture;
}

} // namespace

int main(int argc, char **argv)
{
    Application application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Brenmoor"));
    QCoreApplication::setApplicationName(QStringLiteral("Warplon"));
    QCoreApplication::setApplicationVersion(QLatin1String(kProgramVersion));
    QGuiApplication::setDesktopFileName(QStringLiteral("warplon"));
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Save a picture of the screen to FILE after the start and quit."),
        QStringLiteral("FILE"));
    const QCommandLineOption simulate(QStringLiteral("simulate"),
                                      QStringLiteral("Run the simulation once at the start."));
    const QCommandLineOption window(
        QStringLiteral("window"),
        QStringLiteral("Open a window at the start as its menu item does, named by the item "
                       "(mYarnList, mTreatment, mYarn, mCost, mProperty); repeatable."),
        QStringLiteral("ITEM"));
    const QCommandLineOption captureSource(
        QStringLiteral("capture-source"),
        QStringLiteral("Capture from a video clip or picture file instead of the camera."),
        QStringLiteral("FILE"));
    parser.addOption(screenshot);
    parser.addOption(simulate);
    parser.addOption(captureSource);
    parser.addOption(window);
    parser.addPositionalArgument(QStringLiteral("FILE.trc"),
                                 QStringLiteral("A design to open after the start."));
    parser.process(application);
    const QString programDirectory = FindProgramDirectory();

    // The splash shows while the windows are made; the main window closes it two seconds on.
    auto *splash = new Tsplash(programDirectory);
    splash->show();
    splash->repaint();
    QApplication::processEvents();

    TMain main(programDirectory);
    main.SetSplash(splash);
    if (parser.isSet(captureSource))
        main.capture()->SetVideoSourceName(parser.value(captureSource));
    if (!parser.positionalArguments().isEmpty())
        main.OpenDesign(parser.positionalArguments().constFirst());
    main.showMaximized();
    if (parser.isSet(simulate))
        QTimer::singleShot(500, &main, [&main] { main.RunSimulation(); });
    const QStringList items = parser.values(window);
    QTimer::singleShot(600, &main, [&main, items] {
        for (const QString &name : items) {
            if (QAction *item = main.findChild<QAction *>(name))
                item->trigger();
        }
    });
    if (parser.isSet(screenshot)) {
        // For documentation and for checking the look of the program without a person.
        const QString file = parser.value(screenshot);
        QTimer::singleShot(2500, &main, [&main, file] {
            QScreen *screen = main.screen();
            const QPixmap shot = screen ? screen->grabWindow(0) : QPixmap();
            if (shot.isNull() || shot.toImage().allGray())
                PictureOfWindows(main).save(file);
            else
                shot.save(file);
            QApplication::quit();
        });
    }
    return QApplication::exec();
}
