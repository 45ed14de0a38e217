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
};

// Reports to an optional progress, limited to 0..100.
inline void ReportProgress(Progress *progress, int64_t percent)
{
    if (progress)
        progress->SetPercent(int32_t(std::clamp<int64_t>(percent, 0, 100)));
}

inline bool StopRequested(const Progress *progress)
{
    return progress && progress->StopRequested();
}

} // namespace warplon
