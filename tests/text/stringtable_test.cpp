#include "testsupport.h"
#include "text/inifile.h"
#include "text/stringtable.h"

#include <QDir>
#include <QStringDecoder>

#include <gtest/gtest.h>

#include <algorithm>

using namespace warplon;

namespace {

QString s(const char *text)
{
    return QString::fromUtf8(text);
}

QStringList entries(const TStringTable &table)
{
    QStringList result;
    for (int32_t i = 0; i < table.count(); ++i)
        result.append(table.TextAt(i));
    return result;
}

// The language files as they ship, beside the folder of test data.
QString resourceFolder()
{
    return QStringLiteral(WARPLON_RESOURCES);
}

// English.tdw and Korean.tdw of a program folder, written by hand.
class LanguageFolder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::writeFile(dir.file(QStringLiteral("English.tdw")),
                                    "; English texts\r\n"
                                    "[Window]\r\nLength=3\r\n0=Zero\r\n1=One\r\n2=Two\r\n"
                                    "[Lines]\r\nLength=1\r\n0=first\\nsecond\\nthird\r\n"
                                    "[OnlyEnglish]\r\nLength=2\r\n0=Caption\r\n1=Text\r\n"
                                    "[Empty]\r\nLength=2\r\n"));
        ASSERT_TRUE(test::writeFile(dir.file(QStringLiteral("Korean.tdw")),
                                    s("[window]\r\nLENGTH=3\r\n0=영\r\n2=이\r\n"
                                      "[Lines]\r\nLength=3\r\n0=\r\n1=a\\\\nb\r\n2=\\n\\n\r\n"
                                      "[Empty]\r\nLength=2\r\n0=\r\n"
                                      "[Sparse]\r\nLength=5\r\n4=다섯\r\n"
                                      "[Huge]\r\nLength=2000000000\r\n0=x\r\n"
                                      "[TooMany]\r\nLength=10001\r\n"
                                      "[Zero]\r\nLength=0\r\n0=x\r\n"
                                      "[Negative]\r\nLength=-5\r\n0=x\r\n"
                                      "[Words]\r\nLength=many\r\n0=x\r\n")
                                        .toUtf8()));
    }

    bool load(TStringTable &table, const char *language, const char *section)
    {
        return LoadTable(table, dir.path(), s(language), s(section));
    }

    test::TempDir dir;
};

} // namespace

TEST_F(LanguageFolder, EntriesMissingOrEmptyInTheLanguageComeFromEnglish)
{
    struct Case
    {
        const char *section;
        QStringList expected;
    };
    const Case cases[] = {
        // Key 1 only in English.tdw; section and "Length" found without regard to case.
        {"Window", {s("영"), s("One"), s("이")}},
        // Two backslash-n pairs give three lines; an escaped backslash before n still breaks.
        {"Lines", {s("first\r\nsecond\r\nthird"), s("a\\\r\nb"), s("\r\n\r\n")}},
        // Empty in both files stays empty.
        {"Empty", {QString(), QString()}},
        // A count above the keys present gives empty entries.
        {"Sparse", {QString(), QString(), QString(), QString(), s("다섯")}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.section);
        TStringTable table;
        EXPECT_TRUE(load(table, "Korean", c.section));
        EXPECT_EQ(entries(table), c.expected);
    }

    TStringTable english;
    ASSERT_TRUE(load(english, "English", "Window"));
    EXPECT_EQ(entries(english), (QStringList{s("Zero"), s("One"), s("Two")}));
    EXPECT_EQ(english.TextAt(3), QString());
    EXPECT_EQ(english.TextAt(-1), QString());
    EXPECT_EQ(english.TextAt(INT32_MAX), QString());
}

TEST_F(LanguageFolder, TablesWithoutAUsableCountStayEmpty)
{
    const char *const sections[] = {
        "OnlyEnglish", // "Length" only in English.tdw
        "Missing",     "Huge", "TooMany", "Zero", "Negative", "Words",
    };
    for (const char *section : sections) {
        SCOPED_TRACE(section);
        TStringTable table;
        ASSERT_TRUE(load(table, "English", "Window"));
        EXPECT_FALSE(load(table, "Korean", section)); // a table loaded before is emptied
        EXPECT_EQ(table.count(), 0);
        EXPECT_EQ(table.TextAt(0), QString());
    }
    TStringTable table;
    EXPECT_FALSE(load(table, "German", "Window")); // no German.tdw
    EXPECT_EQ(table.count(), 0);

    // Without English.tdw the language file alone fills what it has.
    ASSERT_TRUE(QFile::remove(dir.file(QStringLiteral("English.tdw"))));
    ASSERT_TRUE(load(table, "Korean", "Window"));
    EXPECT_EQ(entries(table), (QStringList{s("영"), QString(), s("이")}));
}

// The language files that ship with the program: every section a window loads is there, in
// both languages, with the same entries, and Korean is stored as UTF-8.
TEST(LanguageFiles, EveryWindowFindsItsTextsInBothLanguages)
{
    const QString folder = resourceFolder();
    const char *const sections[] = {
        "Common",        "Message",      "Main",           "Guide Bar",   "Treatment",
        "Viewer",        "ColorLibrary", "Palette",        "ColorChart",  "UserColor",
        "UserColorData", "Composition",  "FileManager",    "Environment", "DesignViewer",
        "Capture",       "Simulation",   "Simulation Adv", "Design",      "PathData",
        "MetaData",      "YarnList",     "Cost",           "Print",       "PaletteFileManager",
    };
    const QByteArray koreanBytes = test::readFile(folder + QStringLiteral("/Korean.tdw"));
    ASSERT_FALSE(koreanBytes.isEmpty());
    QStringDecoder utf8(QStringDecoder::Utf8);
    (void)utf8.decode(koreanBytes);
    EXPECT_FALSE(utf8.hasError());

    const IniFile englishFile(folder + QStringLiteral("/English.tdw"));
    const IniFile koreanFile(folder + QStringLiteral("/Korean.tdw"));
    for (const char *name : sections) {
        SCOPED_TRACE(name);
        const IniSection english = englishFile.ReadSection(s(name));
        const IniSection korean = koreanFile.ReadSection(s(name));
        QStringList englishKeys = english.keys();
        QStringList koreanKeys = korean.keys();
        englishKeys.sort();
        koreanKeys.sort();
        EXPECT_EQ(englishKeys, koreanKeys);

        // "Length" is one more than the highest index, and every other key is an index below it.
        const int32_t length = english.ReadInteger(QStringLiteral("Length"), 0);
        EXPECT_EQ(korean.ReadInteger(QStringLiteral("Length"), 0), length);
        int32_t highest = -1;
        for (const QString &key : english.keys()) {
            if (key == u"Length")
                continue;
            bool isNumber = false;
            const int index = key.toInt(&isNumber);
            EXPECT_TRUE(isNumber && index >= 0 && QString::number(index) == key) << qPrintable(key);
            highest = std::max(highest, int32_t(index));
            EXPECT_FALSE(english.ReadString(key).isEmpty()) << qPrintable(key);
            EXPECT_FALSE(korean.ReadString(key).isEmpty()) << qPrintable(key);
        }
        EXPECT_EQ(length, highest + 1);

        for (const char *language : {"English", "Korean"}) {
            TStringTable table;
            EXPECT_TRUE(LoadTable(table, folder, s(language), s(name))) << language;
            EXPECT_EQ(table.count(), length) << language;
        }
    }
}

TEST(LanguageFiles, EnglishUsesTheCaptionsTheWindowsAreKnownBy)
{
    const QString folder = resourceFolder();
    struct Case
    {
        const char *section;
        int32_t index;
        const char *text;
    };
    const Case cases[] = {
        {"Main", 15, "&File"},
        {"Main", 16, "&New"},
        {"Main", 17, "&Open/Save"},
        {"Main", 19, "E&xit"},
        {"Main", 24, "Window"},
        {"Main", 36, "&Total Cost"},
        {"Main", 6, "Treatment Setting"},
        {"Viewer", 1, "&Copy"},
        {"Viewer", 2, "&Save"},
        {"Guide Bar", 7, "&Add"},
        {"Guide Bar", 20, "Default"},
        {"Guide Bar", 24, "Brightness By Run-in Ratio"},
        {"Simulation", 0, "Simulation"},
        {"Environment", 4, "Needle Number"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.section) + " " + std::to_string(c.index));
        TStringTable table;
        ASSERT_TRUE(LoadTable(table, folder, QStringLiteral("English"), s(c.section)));
        EXPECT_EQ(table.TextAt(c.index), s(c.text));
    }
}
