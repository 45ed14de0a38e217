#include "knit/designfile.h"

#include "base/numbers.h"
#include "base/safefile.h"
#include "knit/documentblock.h"
#include "knit/guidebarblock.h"
#include "knit/headerblock.h"
#include "knit/threading.h"
#include "simulation/simulationimage.h"

#include <algorithm>

namespace warplon {

namespace {

constexpr int32_t kFirstNewLayoutVersion = 100;
constexpr int32_t kOldYarnRecordSize = 64;
constexpr int64_t kMinOldBarRecord = 4 + 4 + 4 + 1 + 4 + 4 + 4;

// A design file with its picture stays far below this; anything larger is not ours.
constexpr qint64 kMaxDesignFileSize = qint64(1) << 30;

void setCourseCounts(MainData &header, TexLayer &document)
{
    header.courseCount = std::clamp(header.courseCount, 0, kMaxCourseCount);
    document.SetCourseCount(header.courseCount);
}

// --- the old layout (file versions 1 to 99) -------------------------------------------------

struct OldHeader
{
    int32_t barCount = 0;
    int32_t courseCount = 0;
    int32_t fabricWalesPerInch = 0;
    double fabricCoursesPerCm = 0.0;
    int32_t repeatsDown = 0;
    int32_t repeatsAcross = 0;
    uint8_t backView = 0;
    int32_t fuzz = 0;
    int32_t gauge = 0;
    double coursesPerCm = 0.0;
    double widthInch = 0.0;
    int32_t backgroundColor = 0;
    int32_t zoomUnits = 0;
};

void readOldHeader(ByteReader &in, OldHeader &h)
{
    in.readI32(h.barCount);
    in.readI32(h.courseCount);
    in.readI32(h.fabricWalesPerInch);
    in.readF64(h.fabricCoursesPerCm);
    in.readI32(h.repeatsDown);
    in.readI32(h.repeatsAcross);
    in.readU8(h.backView);
    in.readI32(h.fuzz);
    in.readI32(h.gauge);
    in.readF64(h.coursesPerCm);
    in.readF64(h.widthInch);
    in.readI32(h.backgroundColor);
    in.readI32(h.zoomUnits);
}

// One old yarn record gives a yarn and its yarn use.
void readOldYarn(ByteReader &in, TexLayer &document)
{
    QByteArray record;
    if (!in.readBytes(kOldYarnRecordSize, record))
        return;
    ByteReader r(record);
    Yarn yarn;
    YarnUse use;
    int32_t word = 0;
    r.readI32(use.bar);
    r.readI32(word);
    yarn.material = uint8_t(word & 0xFF);
    r.readF64(yarn.denier);
    r.readI32(yarn.filaments);
    r.readI32(word);
    yarn.optical = uint8_t(word & 0xFF);
    r.readI32(yarn.color);
    r.readI32(use.runIn);
    r.readF64(use.metersPerYard);
    r.readI32(use.ends);
    r.skip(4);
    r.readF64(use.gramsPerYard);
    r.readF64(use.percent);
    use.yarn = int32_t(document.yarns.size());
    document.yarns.push_back(yarn);
    document.yarnUses.push_back(use);
}

// The threading record of the old layout: a needle run that carried its yarn's values itself.
struct OldWaleState2
{
    int32_t count = 0;
    int32_t color = 0;
    double denier = 0.0;
    int32_t unused = 0;
    int32_t filaments = 0;
    uint8_t threaded = 0;
    int32_t materialAndOptical = 0;
    uint8_t needleFlag = 0;
};

// Files before version 2 dumped the record as it lay in memory: 32 bytes with the padding
// after `threaded` and without the needle flag.
constexpr int64_t kOldRunRawSize = 32;
constexpr int64_t kOldRunFieldSize = 4 + 4 + 8 + 4 + 4 + 1 + 4 + 1;

void readOldRun(ByteReader &in, int32_t fileVersion, OldWaleState2 &run)
{
    if (fileVersion < 2) {
        QByteArray record;
        if (!in.readBytes(kOldRunRawSize, record))
            return;
        ByteReader r(record);
        r.readI32(run.count);
        r.readI32(run.color);
        r.readF64(run.denier);
        r.readI32(run.unused);
        r.readI32(run.filaments);
        r.readU8(run.threaded);
        r.skip(3);
        r.readI32(run.materialAndOptical);
        return;
    }
    in.readI32(run.count);
    in.readI32(run.color);
    in.readF64(run.denier);
    in.readI32(run.unused);
    in.readI32(run.filaments);
    in.readU8(run.threaded);
    in.readI32(run.materialAndOptical);
    in.readU8(run.needleFlag);
}

// The yarn of an old run: the first yarn with the same colour, count, filaments, material and
// processing, or a new yarn with these values.
int32_t matchingYarn(TexLayer &document, const OldWaleState2 &run)
{
    const uint8_t material = uint8_t((run.materialAndOptical >> 8) & 0xFF);
    const uint8_t optical = uint8_t(run.materialAndOptical & 0xFF);
    for (size_t i = 0; i < document.yarns.size(); ++i) {
        const Yarn &y = document.yarns[i];
        if (y.color == run.color && y.denier == run.denier && y.filaments == run.filaments
            && y.material == material && y.optical == optical)
            return int32_t(i);
    }
    Yarn yarn;
    yarn.color = run.color;
    yarn.denier = run.denier;
    yarn.filaments = run.filaments;
    yarn.material = material;
    yarn.optical = optical;
    document.yarns.push_back(yarn);
    return int32_t(document.yarns.size() - 1);
}

void readOldBar(ByteReader &in, int32_t fileVersion, TexLayer &document, Tex &bar)
{
    bar.threading.clear();
    in.readI32(bar.barTag);
    in.readI32(bar.courseCount);
    in.readI32(bar.shift);
    in.readU8(bar.visible);
    int32_t count = 0;
    if (in.readI32(count) && in.expectRecords(count, 12)) {
        bar.lapping.resize(size_t(count));
        for (ChainLink &link : bar.lapping) {
            in.readI32(link.x0);
            in.readI32(link.x1);
            in.readI32(link.x2);
        }
    }
    count = 0;
    const int64_t runSize = fileVersion < 2 ? kOldRunRawSize : kOldRunFieldSize;
    if (in.readI32(count) && in.expectRecords(count, runSize)) {
        for (int32_t i = 0; i < count && in.ok(); ++i) {
            OldWaleState2 old;
            readOldRun(in, fileVersion, old);
            if (!in.ok() || old.count < 1)
                continue;
            bar.threading.push_back(
                {matchingYarn(document, old), old.count, old.threaded, old.needleFlag});
        }
    }
    count = 0;
    if (in.readI32(count) && in.expectRecords(count, 4)) {
        bar.courseStates.resize(size_t(count));
        for (CourseState2 &state : bar.courseStates)
            in.readI32(state.runIn);
    }
    if (bar.threading.empty())
        bar.threading.push_back(WaleState{});
}

void readOldDocument(ByteReader &in, int32_t fileVersion, TexLayer &document)
{
    document = TexLayer{};
    document.yarns.clear();
    int32_t barCount = 0;
    int32_t yarnCount = 0;
    in.readI32(barCount);
    in.readI32(yarnCount);
    if (in.expectRecords(yarnCount, kOldYarnRecordSize)) {
        for (int32_t i = 0; i < yarnCount; ++i)
            readOldYarn(in, document);
    }
    if (in.expectRecords(barCount, kMinOldBarRecord)) {
        for (int32_t i = 0; i < barCount && in.ok(); ++i) {
            Tex bar;
            bar.lapping.clear();
            readOldBar(in, fileVersion, document, bar);
            if (document.bars.size() < size_t(kMaxBars))
                document.bars.push_back(std::move(bar));
        }
    }
    if (document.yarns.empty())
        document.yarns.push_back(Yarn{});
    // The old layout kept no repeat width: it is worked out from the threading.
    int32_t lengths[kMaxBars] = {1, 1, 1, 1};
    for (size_t b = 0; b < document.bars.size(); ++b)
        lengths[b] = int32_t(std::clamp<int64_t>(ThreadingLength(document.bars[b]), 1, INT32_MAX));
    document.completeNeedle = LeastCommonMultiple4(lengths[0], lengths[1], lengths[2], lengths[3]);
}

void readOldLayout(ByteReader &in, int32_t version, const QString &fileName, Design &staged)
{
    OldHeader old;
    readOldHeader(in, old);
    if (version > 4)
        ReadPropertyBlock(in, staged.properties);
    readOldDocument(in, version, staged.document);
    ReadOldTreatmentBlock(in, staged.treatment);
    ReadSimulationImageBlock(in, staged.picture, version);

    MainData &h = staged.header;
    h.barCount = old.barCount;
    h.courseCount = old.courseCount;
    h.gauge = old.gauge;
    h.coursesPerCm = old.coursesPerCm;
    h.widthInch = old.widthInch;
    h.fileName = fileName.toLocal8Bit();
    h.note1.clear();
    h.note2.clear();
    h.note3.clear();

    SimulationSettings &s = staged.simulation;
    s = SimulationSettings{};
    s.coursesPerCm = old.fabricCoursesPerCm;
    s.walesPerInch = old.fabricWalesPerInch;
    // The finished width follows from the needles on the machine and the finished wale density;
    // a file without a wale density keeps the default width.
    if (old.fabricWalesPerInch > 0)
        s.widthInch = double(old.gauge) * old.widthInch / old.fabricWalesPerInch;
    s.repeatsDown = old.repeatsDown;
    s.repeatsAcross = old.repeatsAcross;
    s.backView = old.backView;
    s.fuzz = old.fuzz;
    s.backgroundColor = old.backgroundColor;
    s.zoomUnits = old.zoomUnits;
    s.zoomTenths = 0;
}

// --- the current layout ------------------------------------------------------------------------

void readNewLayout(ByteReader &in, int32_t version, Design &staged)
{
    in.seek(kDesignBlocksStart);
    ReadHeaderBlock(in, staged.header);
    ReadPropertyBlock(in, staged.properties);
    ReadDocument(in, staged.document, version);
    setCourseCounts(staged.header, staged.document);
    const int32_t lappingCount
        = staged.document.bars.empty() ? 0 : staged.document.bars.front().LappingCount();
    ReadTreatmentBlock(in, staged.treatment, lappingCount);
    ReadGuideBarBlock(in, staged.guideBars);
    ReadSimulationSettingsBlock(in, staged.simulation);
    ReadSimulationImageBlock(in, staged.picture, version);
    if (version >= 101)
        ReadDesignWindowBlock(in, staged.designWindow);
    if (version >= 102)
        ReadCostBlock(in, staged.cost);
}

void commit(Design &staged, DesignRecords &records)
{
    records.header = staged.header;
    records.properties = staged.properties;
    records.document = std::move(staged.document);
    records.treatment = staged.treatment;
    records.guideBars = staged.guideBars;
    records.simulation = staged.simulation;
    records.picture = std::move(staged.picture);
    records.designWindow = staged.designWindow;
    records.cost = staged.cost;
}

bool readVersion(const QByteArray &bytes, int32_t &version)
{
    ByteReader in(bytes);
    return in.readI32(version);
}

} // namespace

bool SaveDesign(const QString &fileName, DesignRecords records, uint8_t compressPixels,
                QString *error)
{
    records.header.fileName = fileName.toLocal8Bit();
    ByteWriter out;
    out.writeI32(kDesignFileVersion);
    MakePreview(records.picture, records.simulation.backgroundColor).WriteBlock(out, 0);
    out.padTo(kDesignBlocksStart);

    const int32_t lappingCount
        = (records.currentBar >= 0 && records.currentBar < int32_t(records.document.bars.size()))
              ? records.document.bars[size_t(records.currentBar)].LappingCount()
              : 0;
    WriteHeaderBlock(out, records.header);
    WritePropertyBlock(out, records.properties);
    WriteDocument(out, records.document);
    WriteTreatmentBlock(out, records.treatment, lappingCount);
    WriteGuideBarBlock(out, records.guideBars);
    WriteSimulationSettingsBlock(out, records.simulation);
    WriteSimulationImageBlock(out, records.picture, kDesignFileVersion, compressPixels);
    WriteDesignWindowBlock(out, records.designWindow);
    WriteCostBlock(out, records.cost);
    return WriteFileAtomically(fileName, out.data(), error);
}

LoadResult LoadDesign(const QString &fileName, DesignRecords records, int32_t *fileVersion)
{
    QByteArray bytes;
    if (!ReadWholeFile(fileName, bytes, kMaxDesignFileSize))
        return LoadResult::Unreadable;
    return LoadDesignFromBytes(bytes, fileName, records, fileVersion);
}

LoadResult LoadDesignFromBytes(const QByteArray &bytes, const QString &fileName,
                               DesignRecords records, int32_t *fileVersion)
{
    int32_t version = 0;
    if (!readVersion(bytes, version))
        return LoadResult::Unreadable;
    if (fileVersion)
        *fileVersion = version;
    if (version > kDesignFileVersion)
        return LoadResult::VersionError;
    // Version 0 or below is no design file this program ever wrote.
    if (version <= 0)
        return LoadResult::Unreadable;

    // The file is read into fresh records and only then handed over, so that the open design
    // changes in one step. Header values that an old block lacks keep their current values.
    Design staged;
    staged.header = records.header;
    staged.header.fileName.clear();
    staged.header.note1.clear();
    staged.header.note2.clear();
    staged.header.note3.clear();
    ByteReader in(bytes, 4);
    if (version < kFirstNewLayoutVersion) {
        readOldLayout(in, version, fileName, staged);
        setCourseCounts(staged.header, staged.document);
    } else {
        readNewLayout(in, version, staged);
    }
    commit(staged, records);
    return LoadResult::Loaded;
}

bool ReadPreview(const QString &fileName, TCorvexBitmap &preview, MainData &header)
{
    QByteArray bytes;
    return ReadWholeFile(fileName, bytes, kMaxDesignFileSize)
           && ReadPreviewFromBytes(bytes, fileName, preview, header);
}

bool ReadPreviewFromBytes(const QByteArray &bytes, const QString &fileName, TCorvexBitmap &preview,
                          MainData &header)
{
    int32_t version = 0;
    if (!readVersion(bytes, version) || version <= 0 || version > kDesignFileVersion)
        return false;
    ByteReader in(bytes, 4);
    if (version >= kFirstNewLayoutVersion) {
        if (!ReadPreviewPixels(in, preview))
            return false;
        in.seek(kDesignBlocksStart);
        MainData read = header;
        if (!ReadHeaderBlock(in, read))
            return false;
        header = read;
        return true;
    }
    // Old files kept no preview: read them into scratch records and shrink their picture.
    Design scratch;
    readOldLayout(in, version, fileName, scratch);
    header.barCount = scratch.header.barCount;
    header.courseCount = scratch.header.courseCount;
    header.gauge = scratch.header.gauge;
    header.coursesPerCm = scratch.header.coursesPerCm;
    header.widthInch = scratch.header.widthInch;
    header.fileName = scratch.header.fileName;
    if (!scratch.picture.IsAllocated())
        return false;
    preview = MakePreview(scratch.picture, scratch.simulation.backgroundColor);
    return true;
}

QString LoadFailureMessage(LoadResult result)
{
    switch (result) {
    case LoadResult::Loaded:
        return {};
    case LoadResult::VersionError:
        return QStringLiteral("version error");
    case LoadResult::Unreadable:
        break;
    }
    return QStringLiteral("This file cannot be read as a design file.");
}

} // namespace warplon
