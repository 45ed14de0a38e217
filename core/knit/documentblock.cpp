#include "knit/documentblock.h"

// A yarn is stored in the document block exactly as in a yarn file.
#include "simulation/yarnfile.h"

namespace warplon {

namespace {

constexpr int32_t kDocumentVersion = 2;
constexpr int32_t kYarnUseVersion = 1;
constexpr int32_t kBarVersion = 4;
constexpr int32_t kRunVersion = 1;
constexpr int32_t kCourseStateVersion = 3;

// Smallest size of each record, to refuse counts the rest of the block cannot hold.
constexpr int64_t kMinYarnRecord = 4;
constexpr int64_t kMinYarnUseRecord = 4;
constexpr int64_t kMinBarRecord = 4 + 4 + 4 + 4 + 1 + 4 + 4 + 4;
constexpr int64_t kChainLinkSize = 12;
constexpr int64_t kMinRunRecord = 4;
constexpr int64_t kMinCourseState = 4;

void writeYarnUse(ByteWriter &out, const YarnUse &use)
{
    out.writeI32(kYarnUseVersion);
    out.writeI32(use.yarn);
    out.writeI32(use.bar);
    out.writeI32(use.endsPerBeam);
    out.writeI32(use.beams);
    out.writeI32(use.ends);
    out.writeF64(use.metersPerYard);
    out.writeF64(use.gramsPerYard);
    out.writeF64(use.percent);
    out.writeI32(use.runIn);
}

void readYarnUse(ByteReader &in, YarnUse &use)
{
    int32_t version = 0;
    if (!in.readI32(version) || version <= 0)
        return;
    in.readI32(use.yarn);
    in.readI32(use.bar);
    in.readI32(use.endsPerBeam);
    in.readI32(use.beams);
    in.readI32(use.ends);
    in.readF64(use.metersPerYard);
    in.readF64(use.gramsPerYard);
    in.readF64(use.percent);
    in.readI32(use.runIn);
}

void writeBytesList(ByteWriter &out, const std::vector<uint8_t> &values)
{
    out.writeI32(int32_t(values.size()));
    for (uint8_t value : values)
        out.writeU8(value);
}

void readBytesList(ByteReader &in, std::vector<uint8_t> &values)
{
    int32_t count = 0;
    if (!in.readI32(count) || !in.expectRecords(count, 1))
        return;
    QByteArray bytes;
    in.readBytes(count, bytes);
    values.assign(bytes.begin(), bytes.end());
}

void writeBar(ByteWriter &out, const Tex &bar)
{
    out.writeI32(kBarVersion);
    out.writeI32(bar.barTag);
    out.writeI32(bar.courseCount);
    out.writeI32(bar.shift);
    out.writeU8(bar.visible);
    out.writeI32(int32_t(bar.lapping.size()));
    for (const ChainLink &link : bar.lapping) {
        out.writeI32(link.x0);
        out.writeI32(link.x1);
        out.writeI32(link.x2);
    }
    out.writeI32(int32_t(bar.threading.size()));
    for (const WaleState &run : bar.threading) {
        out.writeI32(kRunVersion);
        out.writeI32(run.yarn);
        out.writeI32(run.count);
        out.writeU8(run.threaded);
        out.writeU8(run.needleFlag);
    }
    out.writeI32(int32_t(bar.courseStates.size()));
    for (const CourseState2 &state : bar.courseStates) {
        out.writeI32(kCourseStateVersion);
        out.writeI32(state.runIn);
        out.writeI32(state.calcRunIn);
        out.writeI32(state.ratio);
    }
    writeBytesList(out, bar.carryFloat);
    writeBytesList(out, bar.tightFloat);
}

void readCourseState(ByteReader &in, int32_t barVersion, CourseState2 &state)
{
    // Bars before record version 4 stored the bare run-in of each course.
    if (barVersion < 4) {
        in.readI32(state.runIn);
        return;
    }
    int32_t version = 0;
    if (!in.readI32(version) || version <= 0)
        return;
    in.readI32(state.runIn);
    in.readI32(state.calcRunIn);
    if (version == 1)
        state.calcRunIn = 0;
    if (version >= 3)
        in.readI32(state.ratio);
}

void readBar(ByteReader &in, Tex &bar)
{
    bar.lapping.clear();
    bar.threading.clear();
    bar.courseStates.clear();
    bar.carryFloat.clear();
    bar.tightFloat.clear();

    int32_t version = 0;
    in.readI32(version);
    in.readI32(bar.barTag);
    in.readI32(bar.courseCount);
    in.readI32(bar.shift);
    in.readU8(bar.visible);

    int32_t count = 0;
    if (in.readI32(count) && in.expectRecords(count, kChainLinkSize)) {
        bar.lapping.resize(size_t(count));
        for (ChainLink &link : bar.lapping) {
            in.readI32(link.x0);
            in.readI32(link.x1);
            in.readI32(link.x2);
        }
    }
    count = 0;
    if (in.readI32(count) && in.expectRecords(count, kMinRunRecord)) {
        for (int32_t i = 0; i < count && in.ok(); ++i) {
            WaleState &run = bar.threading.emplace_back();
            int32_t runVersion = 0;
            if (!in.readI32(runVersion) || runVersion <= 0)
                continue;
            in.readI32(run.yarn);
            in.readI32(run.count);
            in.readU8(run.threaded);
            in.readU8(run.needleFlag);
        }
    }
    count = 0;
    if (in.readI32(count) && in.expectRecords(count, kMinCourseState)) {
        for (int32_t i = 0; i < count && in.ok(); ++i)
            readCourseState(in, version, bar.courseStates.emplace_back());
    }
    if (version > 1)
        readBytesList(in, bar.carryFloat);
    if (version > 2)
        readBytesList(in, bar.tightFloat);
}

} // namespace

void WriteDocument(ByteWriter &out, const TexLayer &document)
{
    out.writeI32(kDocumentVersion);
    out.writeI32(document.completeNeedle);
    out.writeI32(int32_t(document.yarns.size()));
    for (const Yarn &yarn : document.yarns)
        WriteYarnFileRecord(out, yarn);
    out.writeI32(int32_t(document.yarnUses.size()));
    for (const YarnUse &use : document.yarnUses)
        writeYarnUse(out, use);
    out.writeI32(int32_t(document.bars.size()));
    for (const Tex &bar : document.bars)
        writeBar(out, bar);
    out.writeU8(document.optimizeRepeat);
}

bool ReadDocument(ByteReader &in, TexLayer &document, int32_t fileVersion)
{
    // The block carries its own record versions; the file version adds nothing to its layout.
    Q_UNUSED(fileVersion);
    document.yarns.clear();
    document.yarnUses.clear();
    document.bars.clear();

    int32_t version = 0;
    if (in.readI32(version) && version >= 1) {
        in.readI32(document.completeNeedle);
        int32_t count = 0;
        if (in.readI32(count) && in.expectRecords(count, kMinYarnRecord)) {
            for (int32_t i = 0; i < count && in.ok(); ++i)
                ReadYarnFileRecord(in, document.yarns.emplace_back());
        }
        count = 0;
        if (in.readI32(count) && in.expectRecords(count, kMinYarnUseRecord)) {
            for (int32_t i = 0; i < count && in.ok(); ++i)
                readYarnUse(in, document.yarnUses.emplace_back());
        }
        count = 0;
        if (in.readI32(count) && in.expectRecords(count, kMinBarRecord)) {
            // Bars past the fourth are read to stay in step with the block, then dropped: no
            // machine of the program has more than four guide bars.
            for (int32_t i = 0; i < count && in.ok(); ++i) {
                Tex bar;
                readBar(in, bar);
                if (document.bars.size() < size_t(kMaxBars))
                    document.bars.push_back(std::move(bar));
            }
        }
    }
    if (version >= 2)
        in.readU8(document.optimizeRepeat);
    else
        document.optimizeRepeat = 0;

    if (document.yarns.empty())
        document.yarns.push_back(Yarn{});
    for (Tex &bar : document.bars) {
        if (bar.threading.empty())
            bar.threading.push_back(WaleState{});
    }
    return in.ok();
}

} // namespace warplon
