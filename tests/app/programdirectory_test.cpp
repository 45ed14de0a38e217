#include "app/programsettings.h"
#include "testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <gtest/gtest.h>

using namespace warplon;
using namespace warplon::test;

namespace {

bool Write(const QString &path, const QByteArray &bytes)
{
    return QDir().mkpath(QFileInfo(path).absolutePath()) && writeFile(path, bytes);
}

// Every file under a folder with its contents, to see that nothing was written there.
QMap<QString, QByteArray> Contents(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(folder).relativeFilePath(path), readFile(path));
    }
    return files;
}

// A prefix as `make install` lays it out.
void MakePrefix(const TempDir &prefix)
{
    ASSERT_TRUE(Write(prefix.file(QStringLiteral("bin/warplon")), "program"));
    const QString data = prefix.file(QStringLiteral("share/warplon/"));
    ASSERT_TRUE(Write(data + QStringLiteral("English.tdw"), "[Main]\r\n0=File\r\n"));
    ASSERT_TRUE(Write(data + QStringLiteral("splash.bmp"), "BM splash"));
    ASSERT_TRUE(Write(data + QStringLiteral("cell.bmp"), "BM cell"));
    ASSERT_TRUE(Write(data + QStringLiteral("color/Textile.kvc"), "colours"));
    ASSERT_TRUE(Write(data + QStringLiteral("tricot/locknit.trc"), "design"));
    ASSERT_TRUE(Write(data + QStringLiteral("notes.txt"), "not a program file"));
}

} // namespace

TEST(ProgramDirectory, AnInstalledCopyIsKnownByItsLayout)
{
    TempDir prefix;
    MakePrefix(prefix);
    const QString bin = prefix.file(QStringLiteral("bin"));
    const QString data = QDir::cleanPath(prefix.file(QStringLiteral("share/warplon")));
    EXPECT_EQ(InstalledDataDirectory(bin), data);
    EXPECT_EQ(InstalledDataDirectory(bin + QStringLiteral("/")), data);
    EXPECT_EQ(ShippedFilesDirectory(bin), data);

    // A build tree or a copied folder keeps its files beside the executable, even with a
    // share/warplon one level up; so does a bin folder without one.
    TempDir other;
    ASSERT_TRUE(QDir().mkpath(other.file(QStringLiteral("app"))));
    ASSERT_TRUE(QDir().mkpath(other.file(QStringLiteral("share/warplon"))));
    ASSERT_TRUE(QDir().mkpath(other.file(QStringLiteral("x/bin"))));
    EXPECT_TRUE(InstalledDataDirectory(other.file(QStringLiteral("app"))).isEmpty());
    EXPECT_TRUE(InstalledDataDirectory(other.file(QStringLiteral("x/bin"))).isEmpty());
    EXPECT_EQ(ShippedFilesDirectory(other.file(QStringLiteral("app"))),
              QDir::cleanPath(other.file(QStringLiteral("app"))));

    // Installed, the program works in the user's folder although it could write beside itself,
    // and writes nothing into the prefix.
    const QMap<QString, QByteArray> before = Contents(prefix.path());
    TempDir home;
    const QString user = home.file(QStringLiteral("data/Warplon"));
    EXPECT_EQ(ResolveProgramDirectory(bin, user), user);
    EXPECT_EQ(Contents(prefix.path()), before);
    EXPECT_EQ(readFile(user + QStringLiteral("/English.tdw")), QByteArray("[Main]\r\n0=File\r\n"));
    EXPECT_EQ(readFile(user + QStringLiteral("/cell.bmp")), QByteArray("BM cell"));
    EXPECT_EQ(readFile(user + QStringLiteral("/color/Textile.kvc")), QByteArray("colours"));
    EXPECT_EQ(readFile(user + QStringLiteral("/tricot/locknit.trc")), QByteArray("design"));
    EXPECT_FALSE(QFile::exists(user + QStringLiteral("/notes.txt")));
    EXPECT_FALSE(QFile::exists(user + QStringLiteral("/warplon")));

    // The user key's folder still wins over everything.
    EXPECT_EQ(ResolveProgramDirectory(bin, user, other.path()), QDir::cleanPath(other.path()));
}

TEST(ProgramDirectory, ANewVersionRefreshesShippedTextsAndPicturesOnly)
{
    TempDir prefix;
    MakePrefix(prefix);
    const QString data = prefix.file(QStringLiteral("share/warplon"));
    // Shipped files are read-only in a system folder; the user's copies must not be.
    QFile::setPermissions(data + QStringLiteral("/English.tdw"), QFile::ReadOwner);
    TempDir home;
    const QString user = home.path();
    SeedProgramDirectory(data, user);
    EXPECT_TRUE(QFile::permissions(user + QStringLiteral("/English.tdw")) & QFile::WriteOwner);

    // The user's own changes.
    const auto mine = [&](const char *name, const QByteArray &bytes) {
        ASSERT_TRUE(Write(user + QLatin1Char('/') + QLatin1String(name), bytes));
    };
    mine("English.tdw", "my texts");
    mine("cell.bmp", "my cell");
    mine("Environment.ini", "[Environment]\r\nLanguage=Korean\r\n");
    mine("color/Textile.kvc", "my colours");
    mine("tricot/locknit.trc", "my design");
    ASSERT_TRUE(QFile::remove(user + QStringLiteral("/splash.bmp")));

    // The same version again: only the missing file comes back.
    SeedProgramDirectory(data, user);
    EXPECT_EQ(readFile(user + QStringLiteral("/English.tdw")), QByteArray("my texts"));
    EXPECT_EQ(readFile(user + QStringLiteral("/cell.bmp")), QByteArray("my cell"));
    EXPECT_EQ(readFile(user + QStringLiteral("/splash.bmp")), QByteArray("BM splash"));

    // A new version ships other texts and a new sample: texts and pictures are replaced, the
    // settings, colours and designs stay the user's.
    QFile::setPermissions(data + QStringLiteral("/English.tdw"),
                          QFile::ReadOwner | QFile::WriteOwner);
    ASSERT_TRUE(Write(data + QStringLiteral("/English.tdw"), "[Main]\r\n0=&File\r\n"));
    ASSERT_TRUE(Write(data + QStringLiteral("/tricot/satin.trc"), "satin"));
    ASSERT_TRUE(Write(data + QStringLiteral("/color/Textile.kvc"), "new colours"));
    SeedProgramDirectory(data, user);
    EXPECT_EQ(readFile(user + QStringLiteral("/English.tdw")), QByteArray("[Main]\r\n0=&File\r\n"));
    EXPECT_EQ(readFile(user + QStringLiteral("/cell.bmp")), QByteArray("BM cell"));
    EXPECT_EQ(readFile(user + QStringLiteral("/Environment.ini")),
              QByteArray("[Environment]\r\nLanguage=Korean\r\n"));
    EXPECT_EQ(readFile(user + QStringLiteral("/color/Textile.kvc")), QByteArray("my colours"));
    EXPECT_EQ(readFile(user + QStringLiteral("/tricot/locknit.trc")), QByteArray("my design"));
    EXPECT_EQ(readFile(user + QStringLiteral("/tricot/satin.trc")), QByteArray("satin"));

    // Once refreshed, the user's later edits of the texts are kept until the next version.
    mine("English.tdw", "my texts again");
    SeedProgramDirectory(data, user);
    EXPECT_EQ(readFile(user + QStringLiteral("/English.tdw")), QByteArray("my texts again"));
}
