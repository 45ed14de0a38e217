#include "app/filemanagerform.h"
#include "app/mainform.h"
#include "app/messagebox.h"
#include "app/recentfiles.h"
#include "knit/undostore.h"
#include "testsupport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <gtest/gtest.h>

using namespace warplon;
using namespace warplon::test;

namespace {

// The main window in a program directory and user key of its own; questions get `answer`.
class DocumentCommands : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const QString &name : {QStringLiteral("English.tdw"), QStringLiteral("Korean.tdw")})
            QFile::copy(QStringLiteral(WARPLON_RESOURCES "/") + name, dir.file(name));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           dir.file(QStringLiteral("config")));
        SetMessageHandler([this](QMessageBox::Icon, const QString &, const QString &text,
                                 QMessageBox::StandardButtons) {
            messages.append(text);
            return answer;
        });
    }
    void TearDown() override
    {
        SetMessageHandler({});
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")));
    }

    // Drops the files on the main window as a file manager would.
    bool drop(TMain &main, const QList<QUrl> &urls)
    {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&main, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&main, &event);
        return true;
    }

    // When the file manager opens, saves the design under `name` in the program directory (or
    // saves nothing for an empty name) and leaves it.
    void answerFileManager(const QString &name)
    {
        QTimer::singleShot(0, [this, name] {
            auto *dialog = qobject_cast<TFileManagerForm *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            if (!name.isEmpty()) {
                dialog->SetFolder(dir.path());
                dialog->SetMode(FileManagerMode::Save);
                dialog->Edit4->setText(name);
                dialog->SpeedButton4->click();
            }
            dialog->reject();
        });
    }

    TempDir dir;
    QStringList messages;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
};

} // namespace

TEST_F(DocumentCommands, RecentFilesFollowSavesAndLoads)
{
    TMain main(dir.path());
    const QString first = dir.file(QStringLiteral("R&D 시험.trc"));
    const QString second = dir.file(QStringLiteral("b.trc"));
    ASSERT_TRUE(main.SaveDesignTo(first, 0));
    EXPECT_FALSE(main.isModified());
    ASSERT_TRUE(main.SaveDesignTo(second, 2));
    EXPECT_EQ(main.recentFiles(), (QStringList{second, first}));

    // Reopening the first moves it to the top; the menu shows "&" as itself.
    QMenu *reopen = main.findChild<QMenu *>(QStringLiteral("mReopen"));
    ASSERT_EQ(reopen->actions().size(), 2);
    EXPECT_EQ(reopen->actions()[1]->text(),
              QStringLiteral("%1").arg(first).replace(QLatin1Char('&'), QLatin1String("&&")));
    reopen->actions()[1]->trigger();
    EXPECT_EQ(main.recentFiles(), (QStringList{first, second}));
    EXPECT_EQ(QString::fromLocal8Bit(main.header().fileName), first);

    // A failed save (below a regular file) keeps the list and says why.
    ASSERT_FALSE(main.SaveDesignTo(second + QStringLiteral("/c.trc"), 0));
    EXPECT_EQ(main.recentFiles(), (QStringList{first, second}));
    EXPECT_EQ(messages.size(), 1);

    // A vanished file gives a message and nothing else; the list comes back in a new session.
    ASSERT_TRUE(QFile::remove(second));
    main.findChild<QMenu *>(QStringLiteral("mReopen"))->actions()[1]->trigger();
    EXPECT_EQ(messages.size(), 2);
    EXPECT_EQ(QString::fromLocal8Bit(main.header().fileName), first);
    TMain again(dir.path());
    EXPECT_EQ(again.recentFiles(), (QStringList{first, second}));
}

TEST_F(DocumentCommands, NewAndCloseAskOnlyWhenChangesWouldBeLost)
{
    TMain main(dir.path());
    main.show();
    EXPECT_FALSE(main.isModified());
    ASSERT_TRUE(main.SaveDesignTo(dir.file(QStringLiteral("kept.trc")), 0));
    main.NewDesign(); // nothing to lose: no question
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(main.header().fileName.isEmpty());

    main.PushUndo();
    main.document().bars[0].lapping[0] = {5, 6, 5};
    EXPECT_TRUE(main.isModified());
    EXPECT_TRUE(main.windowTitle().endsWith(QStringLiteral(" *")));
    answer = QMessageBox::Cancel;
    main.NewDesign();
    EXPECT_EQ(main.document().bars[0].lapping[0].x0, 5);
    EXPECT_FALSE(main.close());
    EXPECT_TRUE(main.isVisible());
    ASSERT_EQ(messages.size(), 2);

    // Yes opens the file manager; leaving it without saving keeps the design.
    answer = QMessageBox::Yes;
    answerFileManager(QString());
    main.NewDesign();
    EXPECT_EQ(main.document().bars[0].lapping[0].x0, 5);
    answerFileManager(QString());
    EXPECT_FALSE(main.close());

    // Saved from the file manager, the New goes on.
    answerFileManager(QStringLiteral("kept first"));
    main.NewDesign();
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("kept first.trc"))));
    EXPECT_NE(main.document().bars[0].lapping[0].x0, 5);
    EXPECT_EQ(main.recentFiles().first(), dir.file(QStringLiteral("kept first.trc")));

    main.PushUndo();
    main.document().bars[0].lapping[0] = {5, 6, 5};
    answer = QMessageBox::No;
    main.NewDesign();
    EXPECT_NE(main.document().bars[0].lapping[0].x0, 5);
    EXPECT_FALSE(main.isModified());
    EXPECT_FALSE(main.undo().CanUndo());
    main.PushUndo();
    EXPECT_TRUE(main.close());
}

TEST_F(DocumentCommands, DroppedDesignsOpenAfterTheQuestion)
{
    TMain main(dir.path());
    const QString design = dir.file(QStringLiteral("UPPER.TRC"));
    ASSERT_TRUE(main.SaveDesignTo(design, 0));
    main.NewDesign();
    EXPECT_FALSE(drop(main, {QUrl::fromLocalFile(dir.file(QStringLiteral("notes.txt")))}));

    answer = QMessageBox::Cancel;
    ASSERT_TRUE(drop(main, {QUrl::fromLocalFile(design)}));
    EXPECT_TRUE(main.header().fileName.isEmpty());
    answer = QMessageBox::Ok;
    ASSERT_TRUE(drop(main, {QUrl::fromLocalFile(design)}));
    EXPECT_EQ(QString::fromLocal8Bit(main.header().fileName), design);

    // A refused file keeps the open design.
    const QString broken = dir.file(QStringLiteral("broken.trc"));
    ASSERT_TRUE(writeFile(broken, QByteArray("not a design")));
    ASSERT_TRUE(drop(main, {QUrl::fromLocalFile(broken)}));
    EXPECT_EQ(QString::fromLocal8Bit(main.header().fileName), design);
}
