#include "print/propertyfields.h"

#include <gtest/gtest.h>

using namespace warplon;

TEST(PropertyFields, EditsShowTheRecordWithTheirDecimals)
{
    const PropertyTexts start = PropertyTextsFor(PropertyRecord{});
    EXPECT_EQ(start.rpm, QStringLiteral("0"));
    EXPECT_EQ(start.hours, QStringLiteral("24.00"));
    EXPECT_EQ(start.efficiency, QStringLiteral("85"));
    EXPECT_EQ(start.countOfW, QStringLiteral("2"));
    EXPECT_EQ(start.testWidth, QStringLiteral("10.00"));
    EXPECT_EQ(start.testHeight, QStringLiteral("10.00"));
    EXPECT_EQ(start.testWeight, QStringLiteral("0.000"));
    EXPECT_EQ(start.cutYard, QStringLiteral("100"));
    EXPECT_TRUE(start.detail.isEmpty());

    PropertyRecord record;
    record.machineName = QByteArrayLiteral("\xED\x8E\xB8\xEC\xA7\x81 3"); // "편직 3" in UTF-8
    record.detailLines = {"beam 1", "beam 2"};
    record.hours = 7.125;
    record.testWeight = 1.2345;
    const PropertyTexts texts = PropertyTextsFor(record);
    EXPECT_EQ(texts.machineName, QStringLiteral("편직 3"));
    EXPECT_EQ(texts.detail, QStringLiteral("beam 1\nbeam 2"));
    EXPECT_EQ(texts.hours, QStringLiteral("7.13"));
    EXPECT_EQ(texts.testWeight, QStringLiteral("1.235"));
}

TEST(PropertyFields, OnlyEditedTextsGoBackAndBadNumbersKeepTheirField)
{
    PropertyRecord record;
    record.hours = 22.755; // more decimals than the edit shows
    record.detailLines = {"beam 1", ""};
    PropertyTexts texts = PropertyTextsFor(record);

    // Nothing edited: the record stays exactly as it was, hidden decimals and empty line too.
    const PropertyRecord before = record;
    EXPECT_TRUE(ApplyPropertyTexts(texts, record));
    EXPECT_EQ(record, before);

    texts.machineName = QStringLiteral("편직 3");
    texts.rpm = QStringLiteral(" 1850 ");
    texts.testWidth = QStringLiteral("12.5");
    texts.efficiency = QStringLiteral("85%");   // not a number
    texts.testWeight = QStringLiteral("heavy"); // not a number
    EXPECT_FALSE(ApplyPropertyTexts(texts, record));
    EXPECT_EQ(record.machineName, QByteArrayLiteral("\xED\x8E\xB8\xEC\xA7\x81 3"));
    EXPECT_EQ(record.rpm, 1850);
    EXPECT_EQ(record.testWidth, 12.5);
    EXPECT_EQ(record.efficiency, 85);
    EXPECT_EQ(record.testWeight, 0.0);
    EXPECT_EQ(record.hours, 22.755);
    EXPECT_EQ(record.spareValue, 20.28);
}

TEST(PropertyFields, DetailLinesSplitAtLineBreaks)
{
    struct Case
    {
        QString text;
        std::vector<QByteArray> lines;
    };
    const Case cases[] = {
        {QStringLiteral("a\nb"), {"a", "b"}},
        {QStringLiteral("a\r\nb\r\n"), {"a", "b"}},
        {QStringLiteral("a\n\nb\n"), {"a", "", "b"}},
        {QStringLiteral("\n"), {""}},
        {QString(), {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        PropertyRecord record;
        record.detailLines = {"old"};
        PropertyTexts texts = PropertyTextsFor(record);
        texts.detail = c.text;
        EXPECT_TRUE(ApplyPropertyTexts(texts, record));
        EXPECT_EQ(record.detailLines, c.lines);
    }
}
