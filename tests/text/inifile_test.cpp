#include "testsupport.h"
#include "text/inifile.h"

#include <QDir>

#include <gtest/gtest.h>

#include <random>

using namespace warplon;

namespace {

QString s(const char *text)
{
    return QString::fromUtf8(text);
}

// A settings file as a user or an older install leaves it: CR LF lines, comments, blanks around
// names and values, a second section of an existing name, stray lines.
const QByteArray kSettings = QByteArrayLiteral("; Warplon settings\r\n"
                                               "[Environment]\r\n"
                                               "Language = Korean \r\n"
                                               "Path=C:\\Temp\\new\r\n"
                                               "\r\n"
                                               "[ Guide Bar ]\r\n"
                                               "  Width =  12  \r\n"
                                               "[Capture]\r\n"
                                               "UM/DOT=9.375\r\n"
                                               "Empty=\r\n"
                                               "a line without equals sign\r\n"
                                               "=orphan value\r\n"
                                               "Bar=3\r\n"
                                               "bar=4\r\n"
                                               "[capture]\r\n"
                                               "Late=1\r\n");

} // namespace

TEST(IniFile, LooksUpRawValuesByNameWithoutRegardToCase)
{
    test::TempDir dir;
    const QString path = dir.file(QStringLiteral("Environment.ini"));
    ASSERT_TRUE(test::writeFile(path, kSettings));
    const IniFile ini(path);

    struct Case
    {
        const char *section;
        const char *key;
        const char *expected; // "<fallback>" when the key must not be found
    };
    const Case cases[] = {
        {"Environment", "Language", "Korean"},
        {"ENVIRONMENT", "language", "Korean"},
        {"Environment", "Path", "C:\\Temp\\new"}, // backslash-n is no line break here
        {"Guide Bar", "Width", "12"},
        {"guide bar", "WIDTH", "12"},
        {"Capture", "UM/DOT", "9.375"},
        {"Capture", "Empty", ""},          // present but empty is not missing
        {"Capture", "Bar", "3"},           // the first line of a key wins
        {"Capture", "Late", "<fallback>"}, // a second [capture] section is not looked at
        {"Capture", "a line without equals sign", "<fallback>"},
        {"Capture", "", "<fallback>"},
        {"Environment", "Width", "<fallback>"},
        {"Printer", "Style", "<fallback>"},
        {"", "Language", "<fallback>"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.section) + " / " + c.key);
        EXPECT_EQ(ini.ReadString(s(c.section), s(c.key), QStringLiteral("<fallback>")),
                  s(c.expected));
    }

    const IniSection capture = ini.ReadSection(QStringLiteral("CAPTURE"));
    EXPECT_EQ(capture.keys(), (QStringList{QStringLiteral("UM/DOT"), QStringLiteral("Empty"),
                                           QStringLiteral("Bar")}));
    EXPECT_EQ(capture.ReadString(QStringLiteral("um/dot")), QStringLiteral("9.375"));
    EXPECT_EQ(capture.ReadInteger(QStringLiteral("BAR"), -1), 3);
    EXPECT_TRUE(capture.contains(QStringLiteral("empty")));
    EXPECT_FALSE(capture.contains(QStringLiteral("Late")));
    EXPECT_TRUE(ini.ReadSection(QStringLiteral("Font")).keys().isEmpty());

    const IniFile missing(dir.file(QStringLiteral("Main.ini")));
    EXPECT_EQ(missing.ReadString(QStringLiteral("Capture"), QStringLiteral("Visible"),
                                 QStringLiteral("x")),
              QStringLiteral("x"));
    EXPECT_TRUE(missing.ReadBool(QStringLiteral("Capture"), QStringLiteral("Visible"), true));
}

TEST(IniFile, ReadsIntegersAndBooleansLeniently)
{
    struct Case
    {
        const char *value;
        int32_t integer; // with fallback -99
        int boolean;     // 1 true, 0 false, -1 the fallback
    };
    const Case cases[] = {
        {"150", 150, -1},
        {" -7 ", -7, -1},
        {"+5", 5, -1},
        {"42 needles", 42, -1},
        {"0x1F", 31, -1},
        {"0x", 0, -1},
        {"2147483647", 2147483647, -1},
        {"-2147483648", INT32_MIN, -1},
        {"2147483648", -99, -1},
        {"99999999999999999999", -99, -1},
        {"abc", -99, -1},
        {"", -99, -1},
        {"\xD9\xA1\xD9\xA2", -99, -1}, // Arabic-Indic digits are no number here
        {"1", 1, 1},
        {"0", 0, 0},
        {"TRUE", -99, 1},
        {"False", -99, 0},
        {"yes", -99, -1},
        {"2", 2, -1},
    };
    test::TempDir dir;
    QByteArray bytes("[Values]\r\n");
    for (size_t i = 0; i < std::size(cases); ++i)
        bytes += "k" + QByteArray::number(qulonglong(i)) + "=" + cases[i].value + "\r\n";
    const QString path = dir.file(QStringLiteral("values.ini"));
    ASSERT_TRUE(test::writeFile(path, bytes));
    const IniFile ini(path);
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].value);
        const QString key = QStringLiteral("k") + QString::number(i);
        EXPECT_EQ(ini.ReadInteger(QStringLiteral("Values"), key, -99), cases[i].integer);
        if (cases[i].boolean >= 0) {
            EXPECT_EQ(ini.ReadBool(QStringLiteral("Values"), key, false), cases[i].boolean == 1);
            EXPECT_EQ(ini.ReadBool(QStringLiteral("Values"), key, true), cases[i].boolean == 1);
        } else {
            EXPECT_FALSE(ini.ReadBool(QStringLiteral("Values"), key, false));
            EXPECT_TRUE(ini.ReadBool(QStringLiteral("Values"), key, true));
        }
    }
}

TEST(IniFile, WritingOneKeyKeepsEveryOtherLine)
{
    test::TempDir dir;
    const QString path = dir.file(QStringLiteral("Environment.ini"));
    ASSERT_TRUE(test::writeFile(path, kSettings));
    IniFile ini(path);

    // An existing key keeps its place and its spelling; the other lines keep their bytes.
    ASSERT_TRUE(ini.WriteString(QStringLiteral("environment"), QStringLiteral("LANGUAGE"),
                                QStringLiteral("English")));
    QByteArray expected = kSettings;
    expected.replace("Language = Korean \r\n", "Language=English\r\n");
    EXPECT_EQ(test::readFile(path), expected);

    // A new key of an existing section goes after the section's last key, before the blank line.
    ASSERT_TRUE(ini.WriteString(QStringLiteral("Environment"), QStringLiteral("TexMaxWidth"),
                                QStringLiteral("300")));
    expected.replace("Path=C:\\Temp\\new\r\n", "Path=C:\\Temp\\new\r\nTexMaxWidth=300\r\n");
    EXPECT_EQ(test::readFile(path), expected);

    // A new section is appended after a blank line; slashes and backslashes are stored raw.
    ASSERT_TRUE(ini.WriteString(QStringLiteral("FileManager"), QStringLiteral("DirectoryName"),
                                QStringLiteral("D:\\tricot\\new")));
    expected += "\r\n[FileManager]\r\nDirectoryName=D:\\tricot\\new\r\n";
    EXPECT_EQ(test::readFile(path), expected);

    EXPECT_EQ(ini.ReadString(QStringLiteral("FileManager"), QStringLiteral("DirectoryName")),
              QStringLiteral("D:\\tricot\\new"));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("Environment"), QStringLiteral("TexMaxWidth"), 150),
              300);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("Environment.ini")});
}

TEST(IniFile, WritingCreatesFilesAndFollowsTheFileLineEnds)
{
    test::TempDir dir;
    struct Case
    {
        const char *name;
        QByteArray before; // "-" for no file
        const char *section;
        const char *key;
        const char *value;
        QByteArray after;
    };
    const Case cases[] = {
        {"new file", "-", "Capture", "UM/DOT", "9.375", "[Capture]\r\nUM/DOT=9.375\r\n"},
        {"empty file", "", "Main", "Bar", "2", "[Main]\r\nBar=2\r\n"},
        {"LF file", "[Main]\nBar=2\n", "Main", "Course", "16", "[Main]\nBar=2\nCourse=16\n"},
        {"no final line end", "[Main]\r\nBar=2", "Main", "Bar", "3", "[Main]\r\nBar=3\r\n"},
        {"section without keys", "[Font]\r\n\r\n[Main]\r\n", "Font", "Name", "Gulim",
         "[Font]\r\nName=Gulim\r\n\r\n[Main]\r\n"},
        {"trailing comment stays below", "[Main]\r\nBar=2\r\n; end\r\n", "Main", "Width", "105",
         "[Main]\r\nBar=2\r\nWidth=105\r\n; end\r\n"},
        {"empty value", "[Main]\r\nBar=2\r\n", "Main", "Bar", "", "[Main]\r\nBar=\r\n"},
        {"byte order mark kept", "\xEF\xBB\xBF[Main]\r\nBar=2\r\n", "main", "Bar", "4",
         "\xEF\xBB\xBF[Main]\r\nBar=4\r\n"},
    };
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.file(QStringLiteral("f%1.ini").arg(++n));
        if (c.before != "-") {
            ASSERT_TRUE(test::writeFile(path, c.before));
        }
        IniFile ini(path);
        EXPECT_TRUE(ini.WriteString(s(c.section), s(c.key), s(c.value)));
        EXPECT_EQ(test::readFile(path), c.after);
        EXPECT_EQ(ini.ReadString(s(c.section), s(c.key), QStringLiteral("?")), s(c.value));
    }
    IniFile ini(dir.file(QStringLiteral("flags.ini")));
    ASSERT_TRUE(ini.WriteBool(QStringLiteral("Capture"), QStringLiteral("Visible"), false));
    ASSERT_TRUE(ini.WriteInteger(QStringLiteral("Main"), QStringLiteral("Cpc"), -20));
    EXPECT_FALSE(ini.ReadBool(QStringLiteral("Capture"), QStringLiteral("Visible"), true));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("Main"), QStringLiteral("Cpc"), 0), -20);
}

TEST(IniFile, RefusesWhatTheFileCouldNotGiveBack)
{
    test::TempDir dir;
    const QString path = dir.file(QStringLiteral("Main.ini"));
    const QByteArray before = QByteArrayLiteral("[Main]\r\nBar=2\r\n");
    ASSERT_TRUE(test::writeFile(path, before));
    IniFile ini(path);
    const char *refused[][3] = {
        {"Main", "a=b", "1"},        {"Main", "", "1"},      {"Main", "; note", "1"},
        {"Main", "[x", "1"},         {"a]b", "Bar", "1"},    {"Main", "Bar", "two\nlines"},
        {"Main", "Bar", "cr\ronly"}, {"Ma\nin", "Bar", "1"},
    };
    for (const auto &r : refused) {
        SCOPED_TRACE(std::string(r[0]) + " / " + r[1] + " / " + r[2]);
        EXPECT_FALSE(ini.WriteString(s(r[0]), s(r[1]), s(r[2])));
    }
    EXPECT_EQ(test::readFile(path), before);

    IniFile nowhere(dir.file(QStringLiteral("no/such/folder/Main.ini")));
    EXPECT_FALSE(nowhere.WriteInteger(QStringLiteral("Main"), QStringLiteral("Bar"), 2));

    // A folder where the file should be reads as missing and cannot be written.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Environment.ini")));
    IniFile folder(dir.file(QStringLiteral("Environment.ini")));
    EXPECT_EQ(folder.ReadInteger(QStringLiteral("Main"), QStringLiteral("Bar"), 2), 2);
    EXPECT_FALSE(folder.WriteInteger(QStringLiteral("Main"), QStringLiteral("Bar"), 3));
}

TEST(IniFile, KoreanFilesFromOlderInstallsStayInTheirEncoding)
{
    // "한국어" in CP949: 한 C7 D1, 국 B1 B9, 어 BE EE.
    const QByteArray cp949 = QByteArrayLiteral("[Environment]\r\n"
                                               "Language=\xC7\xD1\xB1\xB9\xBE\xEE\r\n");
    test::TempDir dir;
    const QString path = dir.file(QStringLiteral("Environment.ini"));
    ASSERT_TRUE(test::writeFile(path, cp949));
    IniFile ini(path);
    EXPECT_EQ(ini.ReadString(QStringLiteral("Environment"), QStringLiteral("Language")),
              s("한국어"));

    // Another key written in Korean keeps the file in CP949 ("굴림": B1 BC B8 B2).
    ASSERT_TRUE(ini.WriteString(QStringLiteral("Font"), QStringLiteral("Name"), s("굴림")));
    EXPECT_EQ(test::readFile(path), cp949 + "\r\n[Font]\r\nName=\xB1\xBC\xB8\xB2\r\n");

    // A value CP949 cannot hold turns the whole file into UTF-8, losing nothing.
    ASSERT_TRUE(ini.WriteString(QStringLiteral("Font"), QStringLiteral("Name"), s("Noto 🧶")));
    const QByteArray utf8 = test::readFile(path);
    EXPECT_TRUE(utf8.contains("Language=\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4\r\n"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("Environment"), QStringLiteral("Language")),
              s("한국어"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("Font"), QStringLiteral("Name")), s("Noto 🧶"));

    // Blanks around a Korean value are cut, an ideographic space is text.
    ASSERT_TRUE(test::writeFile(path, s("[Main]\nName = 편직\u3000 \n").toUtf8()));
    EXPECT_EQ(ini.ReadString(QStringLiteral("Main"), QStringLiteral("Name")), s("편직\u3000"));
}

TEST(IniFile, DamagedAndOversizedFilesNeitherHangNorGrow)
{
    test::TempDir dir;
    const QString path = dir.file(QStringLiteral("Main.ini"));

    // Larger than any settings file: reads as empty, and is never rewritten.
    QByteArray huge = QByteArrayLiteral("[Main]\r\nBar=3\r\n");
    huge += QByteArray(int(IniFile::MaxFileSize), 'x');
    ASSERT_TRUE(test::writeFile(path, huge));
    IniFile big(path);
    EXPECT_EQ(big.ReadInteger(QStringLiteral("Main"), QStringLiteral("Bar"), 2), 2);
    EXPECT_FALSE(big.WriteInteger(QStringLiteral("Main"), QStringLiteral("Bar"), 4));
    EXPECT_EQ(QFileInfo(path).size(), huge.size());

    // Random damage of a real file: any answer is fine, as long as reading and writing finish.
    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        ASSERT_TRUE(test::writeFile(path, test::corrupted(kSettings, random, 12)));
        IniFile ini(path);
        (void)ini.ReadString(QStringLiteral("Capture"), QStringLiteral("UM/DOT"));
        (void)ini.ReadSection(QStringLiteral("Guide Bar"));
        EXPECT_TRUE(ini.WriteString(QStringLiteral("Capture"), QStringLiteral("Visible"),
                                    QStringLiteral("1")));
        EXPECT_TRUE(ini.ReadBool(QStringLiteral("Capture"), QStringLiteral("Visible"), false));
    }
}
