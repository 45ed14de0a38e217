#include "app/messagebox.h"
#include "print/hiddenprintdataform.h"
#include "print/printform.h"
#include "print/report.h"
#include "testhost.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

using namespace warplon;
using namespace warplon::test;

namespace {

class PrintWindowTest : public ::testing::Test
{
protected:
    QByteArray environment() const
    {
        return readFile(host.programDirectory() + QStringLiteral("/Environment.ini"));
    }
    void writeEnvironment(const QByteArray &text)
    {
        ASSERT_TRUE(writeFile(host.programDirectory() + QStringLiteral("/Environment.ini"), text));
    }

    TestHost host;
    PropertyRecord properties;
    THiddenPrintDataForm holder;
    MessageRecorder recorder;
    QStringList &messages = recorder.texts;
};

} // namespace

TEST_F(PrintWindowTest, ChoicesStartFromTheKeysAndAreWrittenOnCancel)
{
    ASSERT_EQ(host.design.document.bars.size(), 2u);
    {
        const PrintContext context{properties, QImage(), 0, false, QSize(400, 300)};
        TPrintForm form(host, holder, context);
        EXPECT_EQ(form.settings(), PrintSettings{});
        EXPECT_TRUE(form.modeItems[0]->isChecked());
        // Simple disables the data and the options.
        EXPECT_FALSE(form.rgData->isEnabled());
        EXPECT_FALSE(form.gbOption->isEnabled());
        ASSERT_EQ(form.dataItems.size(), 5u);
        EXPECT_EQ(form.dataItems[4]->text(), QStringLiteral("Cost Data"));
        // No printer on a test machine: the sheet goes to a PDF file.
        if (!THiddenPrintDataForm::HasPrinter()) {
            EXPECT_TRUE(form.lbPrinter->text().contains(QStringLiteral("PDF")));
        }
        form.btnCancel->click();
    }
    const QByteArray written = environment();
    for (const char *key : {"Style=0", "Data=0", "Chain=0", "Option=1", "Method=0"})
        EXPECT_TRUE(written.contains(key)) << key;

    // The partner edition lists its own yarn sheet before the cost sheet; "Option" 5 (layer 3)
    // on two bars opens at "Design Window".
    writeEnvironment("[Printer]\r\nStyle=2\r\nData=2\r\nOption=5\r\n");
    const PrintContext partner{properties, QImage(), 0, true, QSize(400, 300)};
    TPrintForm form(host, holder, partner);
    ASSERT_EQ(form.dataItems.size(), 6u);
    EXPECT_EQ(form.dataItems[4]->text(), QStringLiteral("Yarn Data (Ombra)"));
    EXPECT_EQ(form.dataItems[5]->text(), QStringLiteral("Cost Data"));
    EXPECT_TRUE(form.optionItems[0]->isChecked());
    // Design Image on two bars: Layer1 and Layer2 only.
    EXPECT_TRUE(form.rgData->isEnabled());
    EXPECT_TRUE(form.gbOption->isEnabled());
    EXPECT_TRUE(form.optionItems[1]->isEnabled());
    EXPECT_TRUE(form.optionItems[2]->isEnabled());
    EXPECT_TRUE(form.optionItems[3]->isEnabled());
    EXPECT_FALSE(form.optionItems[4]->isEnabled());
    EXPECT_FALSE(form.optionItems[5]->isEnabled());
    form.dataItems[3]->setChecked(true);
    EXPECT_FALSE(form.gbOption->isEnabled());
    form.modeItems[0]->setChecked(true);
    EXPECT_FALSE(form.rgData->isEnabled());
}

TEST_F(PrintWindowTest, OkWritesThePdfAndAMissingLayerPrintsNothing)
{
    const PrintContext context{properties, QImage(), 0, false, QSize(400, 300)};
    const QString pdf = host.programDirectory() + QStringLiteral("/sheet.pdf");
    {
        // Layer 3 of a two-bar design: Message 76 and no page. The stored choice is refused
        // when read, so it is made in the window.
        TPrintForm form(host, holder, context);
        form.SetPdfFileChooser([&pdf] { return pdf; });
        form.modeItems[2]->setChecked(true);
        form.dataItems[2]->setChecked(true);
        form.optionItems[4]->setChecked(true);
        EXPECT_FALSE(form.PrintSheet());
        ASSERT_EQ(messages.size(), 1);
        EXPECT_EQ(messages[0], host.messageTable().TextAt(76));
        EXPECT_FALSE(QFile::exists(pdf));
    }
    if (THiddenPrintDataForm::HasPrinter())
        return; // a real printer would print the sheet below
    TPrintForm form(host, holder, context);
    form.SetPdfFileChooser([&pdf] { return pdf; });
    form.modeItems[2]->setChecked(true);
    form.dataItems[4]->setChecked(true); // cost
    form.btnOK->click();
    EXPECT_EQ(messages.size(), 1) << messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    ASSERT_TRUE(QFile::exists(pdf));
    EXPECT_TRUE(readFile(pdf).startsWith("%PDF"));
    EXPECT_TRUE(form.lbPrinter->text().endsWith(pdf));
}

TEST_F(PrintWindowTest, PreviewPaintsEveryPageOfTheSheet)
{
    const PrintContext context{properties, QImage(), 0, false, QSize(400, 300)};
    TPrintForm form(host, holder, context);
    form.modeItems[2]->setChecked(true);
    form.dataItems[3]->setChecked(true); // yarn
    int shown = -1;
    QTimer::singleShot(0, &form, [&shown] {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (auto *preview = qobject_cast<QPrintPreviewDialog *>(window)) {
                if (auto *pages = preview->findChild<QPrintPreviewWidget *>())
                    shown = pages->pageCount();
                preview->reject();
            }
        }
    });
    form.PreviewSheet();
    EXPECT_TRUE(messages.isEmpty());

    // The preview shows as many pages as the sheet has when it is counted for the same printer.
    const ReportTexts texts = LoadReportTexts(host.programDirectory(), host.language());
    const ReportInput input{host.header(),
                            host.document(),
                            host.guideBars(),
                            host.treatment(),
                            host.simulationSettings(),
                            host.cost(),
                            properties,
                            texts,
                            QImage(),
                            0,
                            host.programDirectory(),
                            false,
                            QString(),
                            QString(),
                            QSize(400, 300)};
    ReportOptions options;
    options.kind = ReportKind::Yarn;
    EXPECT_EQ(shown, CountReportPages(holder.printer(), input, options));
    EXPECT_GE(shown, 1);
}
