#include "blockchecks.h"
#include "simulation/yarnfile.h"

using namespace warplon;
using warplon::test::Bytes;

namespace {

const Yarn kSample = {.name = "Nylon 6",
                      .code = "N40",
                      .extraText = "x",
                      .maker = "Hyosung",
                      .remark = "",
                      .yarnNumber = 7,
                      .yarnValue = 3.25,
                      .denier = 70.0,
                      .filaments = 24,
                      .material = MaterialDirectInput,
                      .optical = 9,
                      .yarnText1 = "Tencel",
                      .yarnText2 = "dull",
                      .stretch = 0.5,
                      .gloss = 0.625,
                      .translucency = 0.125,
                      .color = 0x0000ff,
                      .reserved = 2,
                      .hidden = 1,
                      .yarnImage = QByteArray("\x01\x02\x00\x03", 4)};

// Everything from denier to hidden, as kSample has it.
Bytes &Body(Bytes &b)
{
    return b.f64(70.0).i32(24).u8(5).u8(9).f64(0.5).f64(0.625).f64(0.125).i32(0xff).u8(2).u8(1);
}

} // namespace

TEST(YarnFile, SavesVersionThreeAndReadsBack)
{
    test::TempDir dir;
    const QString path = dir.file(QStringLiteral("nylon.yan"));
    ASSERT_TRUE(SaveYarnFile(path, kSample));
    Bytes expected;
    expected.i32(3).lstring("Nylon 6").lstring("N40").lstring("x").lstring("Hyosung");
    Body(expected.lstring("").i32(7).f64(3.25)).lstring(QByteArray("\x01\x02\x00\x03", 4));
    expected.lstring("Tencel").lstring("dull");
    EXPECT_EQ(test::readFile(path), expected.data());
    Yarn yarn;
    ASSERT_TRUE(LoadYarnFile(path, yarn));
    EXPECT_EQ(yarn, kSample);

    // A short or missing file leaves the yarn alone.
    ASSERT_TRUE(test::writeFile(path, expected.data().first(30)));
    EXPECT_FALSE(LoadYarnFile(path, yarn));
    EXPECT_FALSE(LoadYarnFile(dir.file(QStringLiteral("missing.yan")), yarn));
    EXPECT_EQ(yarn, kSample);

    // The field texts go out as their 256-byte fields hold them.
    Yarn longName;
    longName.name = QByteArray(300, 'a');
    longName.code = QByteArrayLiteral("ab\0cd");
    ByteWriter cut;
    WriteYarnFileRecord(cut, longName);
    EXPECT_EQ(cut.data().mid(4, 4 + 255 + 4 + 2),
              Bytes().lstring(QByteArray(255, 'a')).lstring("ab").data());
}

TEST(YarnFile, OlderVersionsAndLongTexts)
{
    // Version 1 starts with the third text and has no yarnValue and no direct-input names: they
    // take the defaults of a new yarn.
    Bytes v1;
    Body(v1.i32(1).lstring("extra").lstring("maker").lstring("remark").i32(11)).i32(0);
    Yarn yarn = test::ReadBeforeNextBlock(v1, kSample, ReadYarnFileRecord);
    Yarn expected = kSample;
    expected.name = expected.code = expected.yarnText1 = expected.yarnText2 = QByteArray();
    expected.yarnImage = QByteArray();
    expected.yarnValue = 0.0;
    std::tie(expected.extraText, expected.maker, expected.remark, expected.yarnNumber)
        = std::tuple("extra", "maker", "remark", 11);
    EXPECT_EQ(yarn, expected);

    // Version 2 adds name, code and yarnValue, still no direct-input names.
    Bytes v2;
    v2.i32(2).lstring("n").lstring("c").lstring("").lstring("").lstring("").i32(0).f64(9.5);
    Body(v2).lstring("\xee");
    yarn = test::ReadBeforeNextBlock(v2, yarn, ReadYarnFileRecord);
    EXPECT_EQ(std::tuple(yarn.name, yarn.yarnValue, yarn.yarnImage, yarn.yarnText1),
              std::tuple(QByteArray("n"), 9.5, QByteArray(1, '\xee'), QByteArray()));

    // Field texts are cut at a zero byte and to 255 characters; the direct-input names are not
    // held in fixed fields, so only a zero byte ends them.
    Bytes v3;
    v3.i32(3).lstring(QByteArray(300, 'a')).lstring(QByteArrayLiteral("ab\0cd"));
    Body(v3.lstring(QByteArray(256, 'e')).lstring("").lstring("").i32(0).f64(0)).i32(0);
    v3.lstring(QByteArray(400, 't')).lstring(QByteArrayLiteral("p\0q"));
    ByteReader reader3(v3.data());
    ASSERT_TRUE(ReadYarnFileRecord(reader3, yarn));
    EXPECT_EQ(yarn.name, QByteArray(255, 'a'));
    EXPECT_EQ(yarn.code, "ab");
    EXPECT_EQ(yarn.extraText, QByteArray(255, 'e'));
    EXPECT_EQ(yarn.yarnText1, QByteArray(400, 't'));
    EXPECT_EQ(yarn.yarnText2, "p");

    // Version 0 holds nothing and leaves the yarn as it was.
    EXPECT_EQ(test::ReadBeforeNextBlock(Bytes().i32(0), kSample, ReadYarnFileRecord), kSample);
}

TEST(YarnFile, ShortOrDamagedDataLeavesTheYarnUnchanged)
{
    // Impossible image lengths are refused before anything is allocated.
    for (int32_t size : {-1, 0x7fffffff, 5}) {
        Bytes b;
        b.i32(2).lstring("n").lstring("").lstring("").lstring("").lstring("").i32(0).f64(1);
        Body(b).i32(size).raw("abcd");
        Yarn yarn = kSample;
        ByteReader reader(b.data());
        EXPECT_FALSE(ReadYarnFileRecord(reader, yarn)) << size;
        EXPECT_EQ(yarn, kSample) << size;
    }
    ByteWriter writer;
    WriteYarnFileRecord(writer, kSample);
    test::CheckDamagedBlocks(writer.data(), 77, 2000, [](ByteReader &reader, qsizetype cut) {
        Yarn yarn;
        yarn.name = "keep";
        const bool ok = ReadYarnFileRecord(reader, yarn);
        EXPECT_TRUE(cut < 0 || (yarn.name == "keep" && yarn.denier == 40.0)) << cut;
        EXPECT_LE(yarn.name.size(), 255);
        EXPECT_LE(yarn.yarnImage.size() + yarn.yarnText1.size(), reader.size());
        return ok;
    });
}
