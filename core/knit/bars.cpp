#include "knit/records.h"

#include <algorithm>
#include <limits>

namespace warplon {

namespace {

// Positions read from a damaged file can lie anywhere in the int32 range; edits on them stay in
// that range instead of overflowing.
int32_t clampPosition(int64_t value)
{
    return int32_t(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max()));
}

} // namespace

Tex::Tex()
{
    threading.push_back(WaleState{});
}

void Tex::SetCourseCount(int32_t n)
{
    n = std::max(n, 0);
    courseCount = n;
    const size_t oldCount = lapping.size();
    lapping.resize(size_t(n));
    // A fresh course continues the two-course lapping 2-3/1-0 by its own index.
    for (size_t c = oldCount; c < lapping.size(); ++c)
        lapping[c] = (c % 2 == 0) ? ChainLink{2, 3, 2} : ChainLink{1, 0, 1};
    courseStates.resize(size_t(n));
    carryFloat.resize(size_t(n), 0);
    tightFloat.resize(size_t(n), 0);
}

void Tex::ClickLapping(bool ctrl, bool alt, int32_t wale, bool halfNeedle, int32_t course)
{
    if (course < 0 || course >= LappingCount())
        return;
    ChainLink &link = lapping[size_t(course)];
    const int64_t p = int64_t(wale) - shift;
    if (!halfNeedle) {
        if (ctrl)
            return;
        // Each click around the same needle turns the one-needle overlap the other way.
        if (link.x0 < link.x1) {
            link.x0 = clampPosition(p + 1);
            link.x1 = clampPosition(p);
        } else {
            link.x0 = clampPosition(p);
            link.x1 = clampPosition(p + 1);
        }
    } else {
        if (ctrl)
            link.x0 = clampPosition(p);
        if (alt)
            link.x1 = clampPosition(p);
    }
    Normalize();
}

void Tex::Normalize()
{
    const size_t count = lapping.size();
    for (size_t c = 0; c < count; ++c) {
        ChainLink &link = lapping[c];
        const int32_t nextX0 = lapping[(c + 1) % count].x0;
        // x2 marks an underlap that turns back across its own overlap (a closed lap).
        if (link.x0 == link.x1)
            link.x2 = link.x0;
        else if (link.x1 > link.x0)
            link.x2 = nextX0 < link.x1 ? link.x1 - 1 : link.x1;
        else
            link.x2 = nextX0 > link.x1 ? link.x1 + 1 : link.x1;
    }
}

bool Tex::sameStoredFields(const Tex &other) const
{
    return courseCount == other.courseCount && barTag == other.barTag && lapping == other.lapping
           && threading == other.threading && courseStates == other.courseStates
           && carryFloat == other.carryFloat && tightFloat == other.tightFloat
           && visible == other.visible && shift == other.shift;
}

TexLayer::TexLayer()
{
    yarns.push_back(Yarn{});
}

void TexLayer::AddBar()
{
    bars.emplace_back();
}

void TexLayer::DeleteBar(int32_t index)
{
    if (index < 0 || index >= int32_t(bars.size()))
        return;
    bars.erase(bars.begin() + index);
}

void TexLayer::SetCourseCount(int32_t n)
{
    for (Tex &bar : bars)
        bar.SetCourseCount(n);
}

int32_t TexLayer::CourseCount() const
{
    return bars.empty() ? 0 : bars.front().LappingCount();
}

void TexLayer::SetBarVisible(int32_t index, uint8_t value)
{
    if (index >= 0 && index < int32_t(bars.size()))
        bars[size_t(index)].visible = value;
}

void TexLayer::SetBarDrawAllNeedles(int32_t index, uint8_t value)
{
    if (index >= 0 && index < int32_t(bars.size()))
        bars[size_t(index)].drawAllNeedles = value;
}

void TexLayer::SetCursor(int32_t wale, int32_t course)
{
    cursorWale = wale;
    cursorCourse = course;
}

namespace {

// The course block of the rectangle selection, when it lies inside the bar's lapping.
struct CourseBlock
{
    int32_t first = 0;
    int32_t last = 0;
};

bool selectedBlock(const TexLayer &layer, const Tex &bar, CourseBlock &block)
{
    block.first = std::min(layer.selCourse1, layer.selCourse2);
    block.last = std::max(layer.selCourse1, layer.selCourse2);
    return block.first >= 0 && bar.LappingCount() > block.last;
}

// The courses a block edit works on: the selection block in rectangle mode, the whole bar in
// cursor mode; false when there is nothing to edit.
bool affectedCourses(const TexLayer &layer, const Tex &bar, CourseBlock &block)
{
    if (layer.selMode == 0)
        return selectedBlock(layer, bar, block);
    if (layer.selMode == 1 && bar.LappingCount() > 0) {
        block = {0, bar.LappingCount() - 1};
        return true;
    }
    return false;
}

Tex *barAt(std::vector<Tex> &bars, int32_t index)
{
    return (index >= 0 && index < int32_t(bars.size())) ? &bars[size_t(index)] : nullptr;
}

} // namespace

void TexLayer::Repeat(int32_t barIndex, int32_t times)
{
    Tex *bar = barAt(bars, barIndex);
    CourseBlock block;
    if (!bar || selMode != 0 || !selectedBlock(*this, *bar, block))
        return;
    const int64_t length = block.last - block.first + 1;
    const int64_t count = bar->LappingCount();
    // times = 0 fills the rest of the bar with copies of the block.
    const int64_t end
        = times == 0 ? count : std::min<int64_t>(int64_t(times) * length + block.last + 1, count);
    for (int64_t k = block.last + 1; k < end; ++k)
        bar->lapping[size_t(k)] = bar->lapping[size_t(block.first + (k - block.first) % length)];
}

void TexLayer::Shift(int32_t delta, int32_t barIndex)
{
    Tex *bar = barAt(bars, barIndex);
    CourseBlock block;
    if (!bar || !affectedCourses(*this, *bar, block))
        return;
    for (int32_t c = block.first; c <= block.last; ++c) {
        ChainLink &link = bar->lapping[size_t(c)];
        link.x0 = clampPosition(int64_t(link.x0) + delta);
        link.x1 = clampPosition(int64_t(link.x1) + delta);
        link.x2 = clampPosition(int64_t(link.x2) + delta);
    }
}

void TexLayer::Invert(int32_t barIndex)
{
    Tex *bar = barAt(bars, barIndex);
    CourseBlock block;
    if (!bar || !affectedCourses(*this, *bar, block))
        return;
    // Mirror about the widest position of the block, so the result stays at gap 0 or right of it.
    int32_t widest = 0;
    for (int32_t c = block.first; c <= block.last; ++c) {
        const ChainLink &link = bar->lapping[size_t(c)];
        widest = std::max({widest, link.x0, link.x1, link.x2});
    }
    for (int32_t c = block.first; c <= block.last; ++c) {
        ChainLink &link = bar->lapping[size_t(c)];
        link = {clampPosition(int64_t(widest) - link.x0), clampPosition(int64_t(widest) - link.x1),
                clampPosition(int64_t(widest) - link.x2)};
    }
}

bool TexLayer::sameStoredFields(const TexLayer &other) const
{
    if (completeNeedle != other.completeNeedle || optimizeRepeat != other.optimizeRepeat
        || yarns != other.yarns || yarnUses != other.yarnUses || bars.size() != other.bars.size())
        return false;
    for (size_t i = 0; i < bars.size(); ++i) {
        if (!bars[i].sameStoredFields(other.bars[i]))
            return false;
    }
    return true;
}

QChar YarnLetter(int32_t index)
{
    return QChar(char16_t(u'A' + index));
}

} // namespace warplon
