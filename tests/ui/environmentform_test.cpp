#include "app/environmentform.h"
#include "app/messagebox.h"
#include "testsupport.h"
#include "text/inifile.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFontDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

using namespace warplon;
using warplon::test::TempDir;

namespace {

// A program directory with the two sections the window reads.
struct ProgramFolder
{
    ProgramFolder()
    {
        test::writeFile(dir.file(QStringLiteral("English.tdw")),
                        QByteArrayLiteral("[Environment]\r\nLength=5\r\n0=Environment\r\n"
                                          "1=Language\r\n2=Font\r\n3=Font...\r\n"
                                          "4=Needle Number\r\n[Message]\r\nLength=75\r\n"
                                          "74=Restart to apply\r\n"));
        test::writeFile(dir.file(QStringLiteral("Korean.tdw")),
                        QStringLiteral("[Environment]\r\nLength=5\r\n0=환경 설정\r\n").toUtf8());
        LoadTable(messages, dir.path(), QStringLiteral("English"), QStringLiteral("Message"));
    }
    QString settings() const { return dir.file(QStringLiteral("Environment.ini")); }

    TempDir dir;
    TStringTable messages;
};

// Answers every message box and remembers its text.
struct MessageLog
{
    MessageLog()
    {
        SetMessageHandler([this](QMessageBox::Icon, const QString &, const QString &text,
                                 QMessageBox::StandardButtons) {
            texts.append(text);
            return QMessageBox::Ok;
        });
    }
    ~MessageLog() { SetMessageHandler({}); }
    QStringList texts;
};

} // namespace

TEST(EnvironmentWindow, ShowsTheRunningValuesAndWritesNothingAtCreation)
{
    ProgramFolder folder;
    MessageLog log;
    TEnvironment window(folder.dir.path(), QStringLiteral("Korean"), QFont(), 300, folder.messages);
    EXPECT_EQ(window.pos(), QPoint(100, 100));
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("환경 설정"));
    EXPECT_EQ(window.lbLanguage->text(), QStringLiteral("Language")); // from English.tdw
    EXPECT_EQ(window.sbFont->text(), QStringLiteral("Font..."));
    EXPECT_EQ(window.lbMaxWidth->text(), QStringLiteral("Needle Number"));
    EXPECT_EQ(window.LanguageComboBox->currentText(), QStringLiteral("Korean"));
    EXPECT_EQ(window.cbMaxWidth->currentText(), QStringLiteral("300"));
    EXPECT_FALSE(QFile::exists(folder.settings()));
    EXPECT_TRUE(log.texts.isEmpty());

    // A limit that is none of the choices shows none; a language of its own is still shown.
    TEnvironment other(folder.dir.path(), QStringLiteral("Thai"), QFont(), 200, folder.messages);
    EXPECT_EQ(other.LanguageComboBox->currentText(), QStringLiteral("Thai"));
    EXPECT_TRUE(other.cbMaxWidth->currentText().isEmpty());
    EXPECT_FALSE(QFile::exists(folder.settings()));
}

TEST(EnvironmentWindow, EachChangeWritesItsKeyAndSaysItAppliesNextStart)
{
    ProgramFolder folder;
    MessageLog log;
    TEnvironment window(folder.dir.path(), QStringLiteral("English"), QFont(), 150,
                        folder.messages);

    window.LanguageComboBox->setCurrentText(QStringLiteral("Korean"));
    window.cbMaxWidth->setCurrentText(QStringLiteral("600"));
    const IniFile settings(folder.settings());
    EXPECT_EQ(settings.ReadString(QStringLiteral("Environment"), QStringLiteral("Language")),
              QStringLiteral("Korean"));
    EXPECT_EQ(settings.ReadInteger(QStringLiteral("Environment"), QStringLiteral("TexMaxWidth"), 0),
              600);
    EXPECT_EQ(log.texts, QStringList(2, QStringLiteral("Restart to apply")));

    // The font dialog starts with the interface font; only a confirmed choice is written.
    QFont start(QStringLiteral("DejaVu Sans"));
    QFont chosen(QStringLiteral("DejaVu Serif"));
    TEnvironment fonts(folder.dir.path(), QStringLiteral("English"), start, 150, folder.messages);
    QString offered;
    auto answerDialog = [&](bool accept) {
        QTimer::singleShot(0, [&, accept] {
            auto *dialog = qobject_cast<QFontDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            offered = dialog->currentFont().family();
            dialog->setCurrentFont(chosen);
            accept ? dialog->accept() : dialog->reject();
        });
    };
    answerDialog(false);
    fonts.sbFont->click();
    EXPECT_EQ(offered, QStringLiteral("DejaVu Sans"));
    EXPECT_TRUE(settings.ReadString(QStringLiteral("Font"), QStringLiteral("Name")).isEmpty());
    EXPECT_EQ(log.texts.size(), 2);

    answerDialog(true);
    fonts.sbFont->click();
    EXPECT_EQ(settings.ReadString(QStringLiteral("Font"), QStringLiteral("Name")),
              QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(fonts.interfaceFont().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(log.texts.size(), 3);
    // The other keys stayed as written.
    EXPECT_EQ(settings.ReadString(QStringLiteral("Environment"), QStringLiteral("Language")),
              QStringLiteral("Korean"));
}
