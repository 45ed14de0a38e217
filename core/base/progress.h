#pragma once

#include <algorithm>
#include <cstdint>

namespace warplon {

// What a long calculation reports its progress to: a whole percentage, 0 to 100. Every
// calculation accepts a null progress. A caller that runs calculations in the background can
// also ask them to stop early; they then return at their next report.
class Progress
{
public:
    virtual ~Progress() = default;
    virtual void SetPercent(int32_t percent) = 0;
    virtual bool StopRequested() const { return false; }
    // A calculation of several passes names the pass it starts (a number the calculation
    // defines), so a window can show its own words for it.
    virtual void BeginStage(int32_t stage) { (void)stage; }
};

// Reports to an optional progress, limited to 0..100.
inline void ReportProgress(Progress *progress, int64_t percent)
{
    if (progress)
        progress->SetPercent(int32_t(std::clamp<int64_t>(percent, 0, 100)));
}

inline void BeginStage(Progress *progress, int32_t stage)
{
    if (progress)
        progress->BeginStage(stage);
}

inline bool StopRequested(const Progress *progress)
{
    return progress && progress->StopRequested();
}

} // namespace warplon
