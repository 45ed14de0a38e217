#include "knit/threading.h"

#include "base/numbers.h"

#include <algorithm>
#include <limits>

namespace warplon {

namespace {
// A threading longer than this is not a knitting machine's: the table is left empty instead of
// allocating gigabytes for a damaged file.
constexpr int64_t kMaxNeedles = 1 << 20;
} // namespace

int64_t ThreadingLength(const Tex &bar)
{
    int64_t length = 0;
    // A run always holds at least one needle; a damaged count below that adds none.
    for (const WaleState &run : bar.threading)
        length += std::max(run.count, 0);
    return length;
}

void Expand(Tex &bar)
{
    bar.needles.clear();
    bar.needleCount = 0;
    const int64_t length = ThreadingLength(bar);
    if (length <= 0 || length > kMaxNeedles)
        return;
    bar.needles.reserve(size_t(length));
    for (const WaleState &run : bar.threading) {
        for (int32_t i = 0; i < run.count; ++i)
            bar.needles.push_back({run.yarn, run.threaded, run.needleFlag});
    }
    bar.needleCount = int32_t(bar.needles.size());
}

int32_t WrapNeedle(int32_t needle, int32_t needleCount)
{
    const int32_t r = needle % needleCount;
    return r < 0 ? r + needleCount : r;
}

const Yarn *YarnAt(const Tex &bar, const std::vector<Yarn> &yarns, int32_t needle, bool firstOnly)
{
    if (bar.needles.empty())
        return nullptr;
    const NeedleEntry *entry = nullptr;
    if (firstOnly) {
        if (needle != 0)
            return nullptr;
        entry = &bar.needles.front();
    } else {
        entry = &bar.needles[size_t(WrapNeedle(needle, int32_t(bar.needles.size())))];
        if (!entry->threaded)
            return nullptr;
    }
    if (entry->yarn < 0 || entry->yarn >= int32_t(yarns.size()))
        return nullptr;
    return &yarns[size_t(entry->yarn)];
}

uint8_t NeedleFlagAt(const Tex &bar, int32_t needle)
{
    if (bar.needles.empty())
        return 1;
    const NeedleEntry &entry = bar.needles[size_t(WrapNeedle(needle, int32_t(bar.needles.size())))];
    return entry.threaded ? entry.needleFlag : uint8_t(1);
}

int32_t RepeatWidth(const TexLayer &layer)
{
    if (!layer.optimizeRepeat)
        return layer.completeNeedle;
    int32_t lengths[kMaxBars] = {1, 1, 1, 1};
    for (size_t b = 0; b < layer.bars.size() && b < size_t(kMaxBars); ++b) {
        const int64_t length = ThreadingLength(layer.bars[b]);
        lengths[b] = int32_t(std::min<int64_t>(length, std::numeric_limits<int32_t>::max()));
    }
    return LeastCommonMultiple4(lengths[0], lengths[1], lengths[2], lengths[3]);
}

} // namespace warplon
