#include "print/metadataform.h"
#include "testsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

using namespace warplon;
using warplon::test::TempDir;

namespace {

MainData Header()
{
    MainData header;
    header.note1 = QByteArrayLiteral("Power net");
    header.note2 = QByteArrayLiteral("PN-0412");
    header.gauge = 32;
    header.coursesPerCm = 21.456;
    header.widthInch = 130;
    return header;
}

SimulationSettings Finished()
{
    SimulationSettings finished;
    finished.widthInch = 62.5;
    finished.coursesPerCm = 30;
    finished.walesPerInch = 66.5625;
    return finished;
}

} // namespace

TEST(PropertyWindow, ShowsTheFabricAndTheRecordWithTheirDecimals)
{
    TempDir dir;
    test::writeFile(dir.file(QStringLiteral("English.tdw")),
                    QByteArrayLiteral("[MetaData]\r\nLength=20\r\n0=Property\r\n1=Fabric Name\r\n"
                                      "8=Hours\r\n15=Grey Fabric\r\n17=Width (inch)\r\n"));
    TMetaDataForm form(dir.path(), QStringLiteral("English"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Property"));
    EXPECT_EQ(form.findChild<QLabel *>(QStringLiteral("lbName"))->text(),
              QStringLiteral("Fabric Name"));
    EXPECT_EQ(form.findChild<QLabel *>(QStringLiteral("lbHours"))->text(), QStringLiteral("Hours"));

    form.Refresh(Header(), Finished());
    EXPECT_EQ(form.edName->text(), QStringLiteral("Power net"));
    EXPECT_EQ(form.edCode->text(), QStringLiteral("PN-0412"));
    EXPECT_EQ(form.edMWidth->text(), QStringLiteral("130.00"));
    EXPECT_EQ(form.edMCPC->text(), QStringLiteral("21.46"));
    EXPECT_EQ(form.edMGauge->text(), QStringLiteral("32"));
    EXPECT_EQ(form.edSWidth->text(), QStringLiteral("62.50"));
    EXPECT_EQ(form.edSCPC->text(), QStringLiteral("30.00"));
    EXPECT_EQ(form.edSGauge->text(), QStringLiteral("66.56"));
    EXPECT_TRUE(form.edName->isReadOnly());

    EXPECT_EQ(form.edHours->text(), QStringLiteral("24.00"));
    EXPECT_EQ(form.edEfficiency->text(), QStringLiteral("85"));
    EXPECT_EQ(form.edTestWidth->text(), QStringLiteral("10.00"));
    EXPECT_EQ(form.edTestWeight->text(), QStringLiteral("0.000"));
    EXPECT_EQ(form.edCutYard->text(), QStringLiteral("100"));
}

TEST(PropertyWindow, EditsGoIntoTheRecordButNeverOverALoadedOne)
{
    TMetaDataForm form(QString(), QStringLiteral("English"));
    form.edMachineName->setText(QStringLiteral("HKS 3-M"));
    form.mmDetail->setPlainText(QStringLiteral("beam 1\nbeam 2"));
    form.edHours->setText(QStringLiteral("7.5"));
    form.edRPM->setText(QStringLiteral("fast"));
    EXPECT_FALSE(form.StoreEdits());
    EXPECT_EQ(form.record().machineName, QByteArrayLiteral("HKS 3-M"));
    EXPECT_EQ(form.record().detailLines, (std::vector<QByteArray>{"beam 1", "beam 2"}));
    EXPECT_EQ(form.record().hours, 7.5);
    EXPECT_EQ(form.record().rpm, 0);
    EXPECT_EQ(form.edHours->text(), QStringLiteral("7.50"));
    EXPECT_EQ(form.edRPM->text(), QStringLiteral("0"));

    // Hiding the window keeps what was typed.
    form.show();
    form.edCutYard->setText(QStringLiteral("120"));
    form.hide();
    EXPECT_EQ(form.record().cutYard, 120);

    // A design was loaded into the record: the edits still show the old one and must not win.
    form.record().machineName = QByteArrayLiteral("Loaded");
    form.record().hours = 16;
    EXPECT_TRUE(form.StoreEdits());
    EXPECT_EQ(form.record().machineName, QByteArrayLiteral("Loaded"));
    EXPECT_EQ(form.record().hours, 16.0);
    EXPECT_EQ(form.edMachineName->text(), QStringLiteral("Loaded"));

    form.ResetRecord();
    EXPECT_EQ(form.record(), PropertyRecord{});
    EXPECT_TRUE(form.edMachineName->text().isEmpty());
    EXPECT_TRUE(form.mmDetail->toPlainText().isEmpty());
    EXPECT_EQ(form.edHours->text(), QStringLiteral("24.00"));
}
