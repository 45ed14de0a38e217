#include "base/safefile.h"
#include "testsupport.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace warplon;

TEST(SafeFile, SavesReplaceTheFileOrLeaveItAlone)
{
    test::TempDir dir;
    const QString path = dir.file(QStringLiteral("design.trc"));
    QString error;
    ASSERT_TRUE(WriteFileAtomically(path, QByteArrayLiteral("first version"), &error));
    ASSERT_TRUE(WriteFileAtomically(path, QByteArrayLiteral("second"), &error));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(test::readFile(path), QByteArrayLiteral("second"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("design.trc")}); // no temporary file left behind

    EXPECT_FALSE(WriteFileAtomically(dir.file(QStringLiteral("no/such/folder/a.cst")),
                                     QByteArrayLiteral("x"), &error));
    EXPECT_FALSE(error.isEmpty());

    // A name so long that no temporary name fits beside it: the save fails at some stage, and
    // the file already there keeps its bytes.
    const QString longName = dir.file(QString(250, QLatin1Char('n')));
    ASSERT_TRUE(test::writeFile(longName, QByteArrayLiteral("old bytes")));
    EXPECT_FALSE(WriteFileAtomically(longName, QByteArrayLiteral("new")));
    EXPECT_EQ(test::readFile(longName), QByteArrayLiteral("old bytes"));
}

TEST(SafeFile, ReadRefusesMissingAndOversizedFiles)
{
    test::TempDir dir;
    const QString path = dir.file(QStringLiteral("data.bin"));
    const QByteArray big(200000, 'b'); // more than one read chunk
    ASSERT_TRUE(test::writeFile(path, big));
    QByteArray bytes = QByteArrayLiteral("before");
    EXPECT_FALSE(ReadWholeFile(path, bytes, big.size() - 1));
    EXPECT_EQ(bytes, QByteArrayLiteral("before"));
    ASSERT_TRUE(ReadWholeFile(path, bytes, big.size()));
    EXPECT_EQ(bytes, big);

    EXPECT_FALSE(ReadWholeFile(dir.file(QStringLiteral("missing.bin")), bytes));
    EXPECT_EQ(bytes, big);
}
