#include "app/recentfiles.h"
#include "testsupport.h"

#include <QSettings>

#include <gtest/gtest.h>

using namespace warplon;

TEST(RecentFiles, TopWithoutDuplicatesAndAtMostTen)
{
    QStringList files;
    for (int i = 1; i <= 11; ++i)
        files = UpdateRecentFiles(files, QStringLiteral("/d/%1.trc").arg(i));
    ASSERT_EQ(files.size(), 10);
    EXPECT_EQ(files.first(), QStringLiteral("/d/11.trc"));
    EXPECT_EQ(files.last(), QStringLiteral("/d/2.trc"));

    // Saving again moves the file to the top; the rest keep their order.
    files = UpdateRecentFiles(files, QStringLiteral("/d/5.trc"));
    EXPECT_EQ(files.size(), 10);
    EXPECT_EQ(files.mid(0, 3), (QStringList{QStringLiteral("/d/5.trc"), QStringLiteral("/d/11.trc"),
                                            QStringLiteral("/d/10.trc")}));
    EXPECT_EQ(files.count(QStringLiteral("/d/5.trc")), 1);
    // Letter case makes another file; an empty path changes nothing.
    EXPECT_EQ(UpdateRecentFiles(files, QStringLiteral("/d/5.TRC")).size(), 10);
    EXPECT_EQ(UpdateRecentFiles(files, QString()), files);
}

TEST(RecentFiles, KeptInTheUserKeyWithAmpersandsAndHangul)
{
    test::TempDir dir;
    const QString path = dir.file(QStringLiteral("key.ini"));
    const QStringList files = {QStringLiteral("/designs/R&D 시험.trc"), QStringLiteral("/b.trc")};
    {
        QSettings key(path, QSettings::IniFormat);
        WriteRecentFiles(key, files);
    }
    QSettings key(path, QSettings::IniFormat);
    EXPECT_EQ(ReadRecentFiles(key), files);
    EXPECT_EQ(key.value(QStringLiteral("Recent Files/9")).toString(), QString());
    EXPECT_EQ(RecentFileCaption(files[0]), QStringLiteral("/designs/R&&D 시험.trc"));
}
