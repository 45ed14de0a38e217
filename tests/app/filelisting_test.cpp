#include "app/filelisting.h"

#include "app/design.h"
#include "knit/designfile.h"
#include "testsupport.h"
#include "text/inifile.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace warplon;
using test::Bytes;
using test::TempDir;

namespace {

QStringList Row(const QString &name, const QString &size, const QString &date)
{
    return {name, QString(), size, date};
}

} // namespace

TEST(FileListing, ReportColumnsSortByTheirMeaningNotByTheirText)
{
    const auto less = [](FileColumn column, const QStringList &a, const QStringList &b) {
        return ColumnLess(column, a, b);
    };
    // Sizes by their number: "99KB" before "100KB", which a text comparison would turn round.
    EXPECT_TRUE(less(FileColumn::Size, Row({}, QStringLiteral("99KB"), {}),
                     Row({}, QStringLiteral("100KB"), {})));
    EXPECT_FALSE(less(FileColumn::Size, Row({}, QStringLiteral("100KB"), {}),
                      Row({}, QStringLiteral("99KB"), {})));
    // Dates by year, month, day, hour, minute.
    EXPECT_TRUE(less(FileColumn::Date, Row({}, {}, QStringLiteral("2026-9-30  23:59")),
                     Row({}, {}, QStringLiteral("2026-10-1  0:0"))));
    EXPECT_TRUE(less(FileColumn::Date, Row({}, {}, QStringLiteral("2026-10-1  9:5")),
                     Row({}, {}, QStringLiteral("2026-10-1  10:0"))));
    // Names exactly, upper case first.
    EXPECT_TRUE(less(FileColumn::Name, Row(QStringLiteral("B.trc"), {}, {}),
                     Row(QStringLiteral("a.trc"), {}, {})));

    std::vector<DesignListEntry> entries(3);
    const char *sizes[] = {"100KB", "7KB", "99KB"};
    for (size_t i = 0; i < entries.size(); ++i) {
        entries[i].name = QString::number(i);
        entries[i].sizeText = QLatin1String(sizes[i]);
    }
    SortEntries(entries, FileColumn::Size, true);
    EXPECT_EQ(entries[0].sizeText + entries[1].sizeText + entries[2].sizeText,
              QStringLiteral("7KB99KB100KB"));
    SortEntries(entries, FileColumn::Size, false);
    EXPECT_EQ(entries[0].name + entries[1].name + entries[2].name, QStringLiteral("021"));
}

TEST(FileListing, TextsOfSizeAndDate)
{
    EXPECT_EQ(SizeText(0), QStringLiteral("0KB"));
    EXPECT_EQ(SizeText(1), QStringLiteral("1KB"));
    EXPECT_EQ(SizeText(27 * 1024), QStringLiteral("27KB"));
    EXPECT_EQ(SizeText(27 * 1024 + 1), QStringLiteral("28KB"));
    EXPECT_EQ(DateText(QDateTime(QDate(2026, 9, 3), QTime(7, 5))), QStringLiteral("2026-9-3  7:5"));
    EXPECT_EQ(SpaceText(3 * 1048576 + 1048575, 10 * 1048576),
              QStringLiteral("Current Free Spaces :  3 M Bytes, Total Disk Spaces :  10 M Bytes"));
}

TEST(FileListing, NamesAreCheckedAndCompleted)
{
    for (const char *bad : {"a/b", "a\\b", ".", "..", " ... ", "/"})
        EXPECT_EQ(CheckFileName(QLatin1String(bad)), FileNameProblem::PathSeparator) << bad;
    EXPECT_EQ(CheckFileName(QStringLiteral("   ")), FileNameProblem::Empty);
    EXPECT_EQ(CheckFileName(QStringLiteral("v1.2")), FileNameProblem::None);
    EXPECT_EQ(CheckFileName(QStringLiteral(".hidden")), FileNameProblem::None);

    EXPECT_EQ(CompleteDesignName(QStringLiteral(" weft "), 0), QStringLiteral("weft.trc"));
    EXPECT_EQ(CompleteDesignName(QStringLiteral("v1.2"), 0), QStringLiteral("v1.2"));
    EXPECT_EQ(CompleteDesignName(QStringLiteral("weft"), 3), QStringLiteral("weft.t3d"));
    EXPECT_EQ(CompleteDesignName(QStringLiteral("weft"), 9), QStringLiteral("weft.trc"));
}

TEST(FileListing, ListsDesignFilesInAnyCaseAndSurvivesBadOnes)
{
    TempDir dir;
    Design design;
    MakeNewDesign(design);
    design.header.note1 = "Satin \xea\xb0\x80";
    ASSERT_TRUE(SaveDesign(dir.file(QStringLiteral("good.trc")), design.records(), 0));
    const QByteArray good = test::readFile(dir.file(QStringLiteral("good.trc")));
    ASSERT_TRUE(test::writeFile(dir.file(QStringLiteral("UPPER.TRC")), good));
    ASSERT_TRUE(test::writeFile(dir.file(QStringLiteral("short.trc")), good.left(300)));
    ASSERT_TRUE(test::writeFile(dir.file(QStringLiteral("empty.trc")), QByteArray()));
    // A count that would ask for gigabytes right after an old-layout header.
    ASSERT_TRUE(test::writeFile(dir.file(QStringLiteral("old.trc")),
                                Bytes().i32(5).i32(1).i32(0x7FFFFFFF).i32(-1)));
    ASSERT_TRUE(test::writeFile(dir.file(QStringLiteral("notes.txt")), good));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.trc")));

    const QStringList names = DesignFileNames(dir.path());
    EXPECT_EQ(names, (QStringList{QStringLiteral("UPPER.TRC"), QStringLiteral("empty.trc"),
                                  QStringLiteral("good.trc"), QStringLiteral("old.trc"),
                                  QStringLiteral("short.trc")}));

    const DesignListEntry read = ReadListEntry(dir.path(), QStringLiteral("UPPER.TRC"), true);
    EXPECT_TRUE(read.previewRead);
    EXPECT_EQ(read.version, kDesignFileVersion);
    EXPECT_EQ(read.noteText, QStringLiteral("Satin ") + QChar(0xAC00));
    EXPECT_EQ(read.preview.size(), QSize(kPreviewWidth, kPreviewHeight));
    EXPECT_EQ(read.sizeText, SizeText(good.size()));
    EXPECT_TRUE(ReadListEntry(dir.path(), QStringLiteral("good.trc"), false).preview.isNull());

    for (const char *bad : {"short.trc", "empty.trc", "old.trc"}) {
        const DesignListEntry entry = ReadListEntry(dir.path(), QLatin1String(bad), true);
        EXPECT_FALSE(entry.previewRead) << bad;
        EXPECT_TRUE(entry.preview.isNull()) << bad;
        EXPECT_TRUE(entry.noteText.isEmpty()) << bad;
        EXPECT_FALSE(entry.dateText.isEmpty()) << bad;
    }
    EXPECT_EQ(ReadListEntry(dir.path(), QStringLiteral("old.trc"), true).version, 5);
    EXPECT_EQ(ReadListEntry(dir.path(), QStringLiteral("empty.trc"), true).version, 0);
}

TEST(FileListing, SettingsReadBackAndBadValuesFallBack)
{
    TempDir dir;
    FileManagerSettings settings;
    settings.directory = dir.path();
    settings.directoryIndex = 3;
    settings.compress = true;
    settings.geometry = QRect(10, 20, 700, 500);
    settings.filter = 0;
    settings.viewType = 3;
    ASSERT_TRUE(WriteFileManagerSettings(dir.path(), settings));
    const FileManagerSettings back = ReadFileManagerSettings(dir.path(), 1);
    EXPECT_EQ(back.directory, dir.path());
    EXPECT_EQ(back.directoryIndex, 3);
    EXPECT_TRUE(back.compress);
    EXPECT_EQ(back.geometry, QRect(10, 20, 700, 500));
    EXPECT_EQ(back.viewType, 3);

    IniFile ini(QDir(dir.path()).filePath(QStringLiteral("Main.ini")));
    ASSERT_TRUE(ini.WriteInteger(QStringLiteral("FileManager"), QStringLiteral("ViewType"), 4));
    ASSERT_TRUE(ini.WriteInteger(QStringLiteral("FileManager"), QStringLiteral("Filter"), 1));
    EXPECT_EQ(ReadFileManagerSettings(dir.path(), 1).viewType, 0);
    EXPECT_EQ(ReadFileManagerSettings(dir.path(), 1).filter, 0);
    EXPECT_EQ(ReadFileManagerSettings(dir.path(), 2).filter, 1);
    ASSERT_TRUE(ini.WriteInteger(QStringLiteral("FileManager"), QStringLiteral("ViewType"), -1));
    EXPECT_EQ(ReadFileManagerSettings(dir.path(), 1).viewType, 0);
    // Nothing stored: no geometry, the caller centres the dialog.
    EXPECT_FALSE(ReadFileManagerSettings(dir.file(QStringLiteral("none")), 1).geometry.isValid());
}

TEST(FileListing, UnreachableFolderAndOffScreenGeometryFallBack)
{
    TempDir dir;
    const QString tricot = QDir(dir.path()).filePath(QStringLiteral("tricot"));
    EXPECT_EQ(StartFolder(dir.file(QStringLiteral("gone")), dir.path()), tricot);
    EXPECT_TRUE(QFileInfo(tricot).isDir());
    EXPECT_EQ(StartFolder(QString(), dir.path()), tricot);
    // A file is no folder to enter.
    ASSERT_TRUE(test::writeFile(dir.file(QStringLiteral("file")), "x"));
    EXPECT_EQ(StartFolder(dir.file(QStringLiteral("file")), dir.path()), tricot);
    EXPECT_EQ(StartFolder(tricot, QStringLiteral("/elsewhere")), tricot);

    const QList<QRect> screens{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    const QRect onSecond(2000, 100, 600, 400);
    EXPECT_EQ(PlaceDialog(onSecond, QSize(700, 500), screens), onSecond);
    const QRect off = PlaceDialog(QRect(5000, 3000, 600, 400), QSize(700, 500), screens);
    EXPECT_EQ(off, QRect(660, 340, 600, 400));
    EXPECT_EQ(PlaceDialog(QRect(), QSize(700, 500), screens), QRect(610, 290, 700, 500));
}
