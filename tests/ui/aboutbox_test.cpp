#include "app/aboutbox.h"
#include "app/messagebox.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace warplon;

TEST(AboutBox, NamesTheEditionAndOpensTheMakersSite)
{
    TAboutBox standard(false);
    EXPECT_EQ(standard.lbSystem->text(), QStringLiteral("Warplon CAD System 2.41"));
    EXPECT_EQ(standard.lbType->text(), QStringLiteral("Tricot Design"));
    EXPECT_TRUE(standard.isModal());
    EXPECT_TRUE(standard.lbLink->font().underline());
    EXPECT_EQ(standard.lbLink->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(TAboutBox(true).lbSystem->text(), QStringLiteral("Warplon CAD System 2.41 (Ombra)"));

    QStringList messages;
    SetMessageHandler(
        [&](QMessageBox::Icon, const QString &, const QString &text, QMessageBox::StandardButtons) {
            messages.append(text);
            return QMessageBox::Ok;
        });
    QList<QUrl> opened;
    bool opens = true;
    standard.SetUrlOpener([&](const QUrl &url) {
        opened.append(url);
        return opens;
    });
    standard.show();
    QTest::mouseClick(standard.lbLink, Qt::LeftButton);
    EXPECT_EQ(opened, QList<QUrl>{QUrl(QStringLiteral("https://www.example.com/warplon"))});
    EXPECT_TRUE(messages.isEmpty());

    opens = false;
    QTest::mouseClick(standard.lbLink, Qt::LeftButton);
    EXPECT_EQ(messages, QStringList{QStringLiteral("Unknown Error in AboutBox")});
    SetMessageHandler({});

    QTest::mouseClick(standard.OKButton, Qt::LeftButton);
    EXPECT_FALSE(standard.isVisible());
    EXPECT_EQ(standard.result(), QDialog::Accepted);
}
