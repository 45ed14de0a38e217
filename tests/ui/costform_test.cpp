#include "simulation/costform.h"
#include "ui/testhost.h"

#include "app/messagebox.h"

#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace warplon;

namespace {

// Counts the message boxes and answers them with OK.
struct Messages
{
    Messages()
    {
        SetMessageHandler([this](QMessageBox::Icon, const QString &, const QString &text,
                                 QMessageBox::StandardButtons) {
            texts << text;
            return QMessageBox::Ok;
        });
    }
    ~Messages() { SetMessageHandler({}); }
    QStringList texts;
};

void Type(QLineEdit *edit, const QString &text)
{
    edit->setText(text);
    QTest::keyClick(edit, Qt::Key_Return);
}

// The sheet row whose first cell is `name`, as "local/foreign".
QString SheetAmount(const QTableWidget *sheet, const QString &name)
{
    for (int row = 0; row < sheet->rowCount(); ++row) {
        if (sheet->item(row, 0)->text() == name)
            return sheet->item(row, 7)->text() + QLatin1Char('/') + sheet->item(row, 8)->text();
    }
    return QStringLiteral("no row ") + name;
}

} // namespace

TEST(CostWindow, FreshWindowShowsTheDefaults)
{
    test::TestHost host;
    TCost_F form(host);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Cost"));
    EXPECT_EQ(form.cedExchangeRate->text(), QStringLiteral("1,200.00"));
    EXPECT_EQ(form.edWorkDay->text(), QStringLiteral("23.5"));
    EXPECT_EQ(form.edPolyLoss->text() + form.edSpanLoss->text() + form.edNylonLoss->text(),
              QStringLiteral("232"));
    EXPECT_EQ(form.edSpanTreatLoss->text(), QStringLiteral("0"));
    EXPECT_EQ(form.edCAPA->text() + form.edMachineCount->text(), QStringLiteral("11"));
    EXPECT_EQ(form.cedCMT_Machine->text(), QStringLiteral("0.00"));
    EXPECT_EQ(form.edRawLoss->text() + form.edRawMargin->text() + form.edTreatLoss->text()
                  + form.edTreatMargin->text(),
              QStringLiteral("3535"));
    EXPECT_EQ(form.ced[6]->text(), QStringLiteral("0.00"));
    for (const char *name : {"cedExchangeRate", "edWorkDay", "edPolyTreatLoss", "edCAPA",
                             "cedCMT_Machine", "cedTreatCost", "ed1", "ed7", "ced1", "ced7"})
        EXPECT_NE(form.findChild<QLineEdit *>(QLatin1String(name)), nullptr) << name;

    // Shown, the sheet prices the new design: no yarn weighs anything yet.
    form.show();
    EXPECT_EQ(SheetAmount(form.sgSheet, QStringLiteral("Yarn Total")),
              QStringLiteral("0.000/0.0000"));
    EXPECT_EQ(form.sgSheet->horizontalHeaderItem(7)->text(), QStringLiteral("Amount"));
}

TEST(CostWindow, EnterStoresLeavingDoesNot)
{
    test::TestHost host;
    Messages messages;
    TCost_F form(host);
    form.show();

    // Enter stores and reformats; the sheet follows at once.
    Type(form.cedTreatCost, QStringLiteral("1500"));
    EXPECT_EQ(host.design.cost.treatCost, 1500.0);
    EXPECT_EQ(form.cedTreatCost->text(), QStringLiteral("1,500.00"));
    EXPECT_EQ(SheetAmount(form.sgSheet, QStringLiteral("Treatment Cost")),
              QStringLiteral("1500.000/1.2500"));
    Type(form.edCAPA, QStringLiteral("0"));
    EXPECT_EQ(SheetAmount(form.sgSheet, QStringLiteral("Making")), QStringLiteral("-/-"));
    EXPECT_EQ(host.edits, 2);

    // An empty Enter keeps the value and shows it again; a text that is no number is refused
    // with one message.
    Type(form.edWorkDay, QString());
    EXPECT_EQ(host.design.cost.workDaysPerMonth, 23.5);
    EXPECT_EQ(form.edWorkDay->text(), QStringLiteral("23.5"));
    Type(form.edWorkDay, QStringLiteral("twenty"));
    EXPECT_EQ(host.design.cost.workDaysPerMonth, 23.5);
    EXPECT_EQ(form.edWorkDay->text(), QStringLiteral("23.5"));
    EXPECT_EQ(messages.texts,
              QStringList{QStringLiteral("The entry is not a number. The value was kept.")});

    // Leaving an edit without Enter stores nothing and shows the stored value.
    form.activateWindow();
    form.edRawLoss->setFocus();
    form.edRawLoss->setText(QStringLiteral("9"));
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(form.edRawLoss, &leave);
    EXPECT_EQ(host.design.cost.rawLoss, 3.0);
    EXPECT_EQ(form.edRawLoss->text(), QStringLiteral("3"));

    // Item names are cut to 127 bytes.
    Type(form.ed[0], QString(130, QLatin1Char('k')));
    EXPECT_EQ(host.design.cost.itemName[0], QByteArray(127, 'k'));
    EXPECT_EQ(form.ed[0]->text().size(), 127);
    EXPECT_EQ(host.edits, 3);
}

TEST(CostWindow, FilesLoadWholeOrNotAtAll)
{
    test::TestHost host;
    Messages messages;
    TCost_F form(host);
    const QString folder = host.programDirectory() + QStringLiteral("/cost");
    QDir().mkpath(folder);

    Type(form.cedExchangeRate, QStringLiteral("1,350"));
    ASSERT_TRUE(form.SaveCostFile(folder + QStringLiteral("/a.cst")));
    form.ResetForNewDesign();
    EXPECT_EQ(form.cedExchangeRate->text(), QStringLiteral("1,200.00"));
    ASSERT_TRUE(form.LoadCostFile(folder + QStringLiteral("/a.cst")));
    EXPECT_EQ(host.design.cost.exchangeRate, 1350.0);
    EXPECT_EQ(form.cedExchangeRate->text(), QStringLiteral("1,350.00"));

    // A short file: one message, nothing changed.
    test::writeFile(folder + QStringLiteral("/short.cst"), test::Bytes().i32(1).f64(5.0));
    EXPECT_FALSE(form.LoadCostFile(folder + QStringLiteral("/short.cst")));
    EXPECT_EQ(host.design.cost.exchangeRate, 1350.0);
    EXPECT_EQ(messages.texts,
              QStringList{QStringLiteral("The cost file could not be read. Nothing was changed.")});
    // A folder is no file to write.
    EXPECT_FALSE(form.SaveCostFile(folder));
    EXPECT_EQ(messages.texts.size(), 2);
}
