#include "knit/guidebaredits.h"

#include "app/mainparameters.h"
#include "base/numbers.h"
#include "knit/optimizedrunin.h"
#include "knit/runin.h"
#include "knit/threading.h"
#include "knit/treatmentedits.h"
#include "text/stringtable.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>

namespace warplon {

namespace {

// The grids always offer 30 rows; a long list gets ten blank rows below its last entry.
constexpr int32_t kMinimumGridRows = 30;
constexpr int32_t kBlankRowsBelow = 10;
constexpr int32_t kEntriesInMinimumGrid = 20;

bool KnownBar(int32_t bar)
{
    return bar >= 0 && bar < kMaxBars;
}

// The index of the list entry shown in grid row `row`, or -1 for the header row and rows past
// the list.
int64_t EntryOfRow(int32_t row, size_t count)
{
    return row >= 1 && int64_t(row) <= int64_t(count) ? int64_t(row) - 1 : -1;
}

QString OX(bool set)
{
    return set ? QStringLiteral("O") : QStringLiteral("X");
}

// Truncating integer mean of one field over the course states; 0 without course states.
template<typename Field>
int64_t MeanOf(const std::vector<CourseState2> &states, Field field)
{
    if (states.empty())
        return 0;
    int64_t sum = 0;
    for (const CourseState2 &state : states)
        sum += state.*field;
    return sum / int64_t(states.size());
}

bool FormsNoLoop(const ChainLink &link)
{
    return link.x0 == link.x1;
}

// What a typed text sets a float switch to.
uint8_t FloatSwitchOf(const QString &text)
{
    return ClassifyTreatmentText(text) == TreatmentEntry::Set ? 1 : 0;
}

// The per-course switch list a course column edits; null for other columns.
std::vector<uint8_t> *FloatSwitches(Tex &bar, int32_t column)
{
    if (column == CourseColumnCarryFloat)
        return &bar.carryFloat;
    if (column == CourseColumnTightFloat)
        return &bar.tightFloat;
    return nullptr;
}

} // namespace

const Tex *EditedBar(const TexLayer &document, int32_t bar)
{
    if (bar < 0 || int64_t(bar) >= int64_t(document.bars.size()))
        return nullptr;
    return &document.bars[size_t(bar)];
}

Tex *EditedBar(TexLayer &document, int32_t bar)
{
    return const_cast<Tex *>(EditedBar(std::as_const(document), bar));
}

int32_t GuideBarGridRows(int64_t entries)
{
    if (entries <= kEntriesInMinimumGrid)
        return kMinimumGridRows;
    return int32_t(
        std::min<int64_t>(entries + kBlankRowsBelow, std::numeric_limits<int32_t>::max()));
}

QString ThreadingHeaderText(const TStringTable &texts, int32_t column)
{
    switch (column) {
    case ThreadingColumnInOut:
        return texts.TextAt(GuideBarTextThreading);
    case ThreadingColumnNeedles:
        return texts.TextAt(GuideBarTextNeedles);
    case ThreadingColumnYarn:
        return texts.TextAt(GuideBarTextYarn);
    case ThreadingColumnHidden:
        return texts.TextAt(GuideBarTextHidden);
    default:
        return {};
    }
}

QString CourseHeaderText(const TStringTable &texts, int32_t column)
{
    switch (column) {
    case CourseColumnNumber:
        return texts.TextAt(GuideBarTextCourseNumber);
    case CourseColumnRunIn:
        return QStringLiteral("mm/RACK");
    case CourseColumnCalcRunIn:
        return texts.TextAt(GuideBarTextDefault);
    case CourseColumnRatio:
        return texts.TextAt(GuideBarTextRatio);
    case CourseColumnCarryFloat:
        return texts.TextAt(GuideBarTextCarryFloat);
    case CourseColumnTightFloat:
        return texts.TextAt(GuideBarTextTightFloat);
    default:
        return {};
    }
}

QString ThreadingCellText(const std::vector<WaleState> &runs, int32_t row, int32_t column)
{
    if (row < 1)
        return {};
    if (column == ThreadingColumnRow)
        return QString::number(row);
    const int64_t index = EntryOfRow(row, runs.size());
    if (index < 0)
        return {};
    const WaleState &run = runs[size_t(index)];
    switch (column) {
    case ThreadingColumnInOut:
        return run.threaded ? QStringLiteral("In") : QStringLiteral("Out");
    case ThreadingColumnNeedles:
        return QString::number(run.count);
    case ThreadingColumnYarn:
        return QString(YarnLetter(run.yarn));
    case ThreadingColumnHidden:
        return run.threaded ? OX(run.needleFlag != 0) : QString();
    default:
        return {};
    }
}

QString CourseCellText(const Tex &bar, int32_t row, int32_t column)
{
    const int64_t course = EntryOfRow(row, bar.lapping.size());
    if (course < 0)
        return {};
    const size_t c = size_t(course);
    const bool countsAgree = bar.lapping.size() == bar.courseStates.size();
    const bool hasState = c < bar.courseStates.size();
    switch (column) {
    case CourseColumnNumber:
        return QString::number(row);
    case CourseColumnRunIn:
        return hasState ? QString::number(bar.courseStates[c].runIn) : QString();
    case CourseColumnCalcRunIn:
        return countsAgree ? QString::number(bar.courseStates[c].calcRunIn) : QStringLiteral("-");
    case CourseColumnRatio:
        return countsAgree ? QString::number(bar.courseStates[c].ratio) + QLatin1Char('%')
                           : QStringLiteral("-");
    case CourseColumnCarryFloat:
        return OX(c < bar.carryFloat.size() && bar.carryFloat[c] != 0);
    case CourseColumnTightFloat:
        return OX(c < bar.tightFloat.size() && bar.tightFloat[c] != 0);
    default:
        return {};
    }
}

QString CourseGridHint(const Tex &bar, int32_t column)
{
    if (column == CourseColumnRunIn)
        return QString::number(MeanOf(bar.courseStates, &CourseState2::runIn));
    if (column == CourseColumnCalcRunIn)
        return QString::number(MeanOf(bar.courseStates, &CourseState2::calcRunIn));
    return {};
}

int32_t ThreadingRepeat(const TexLayer &document)
{
    int32_t lengths[kMaxBars] = {1, 1, 1, 1};
    for (size_t b = 0; b < document.bars.size() && b < size_t(kMaxBars); ++b) {
        const int64_t length = ThreadingLength(document.bars[b]);
        lengths[b] = int32_t(std::min<int64_t>(length, std::numeric_limits<int32_t>::max()));
    }
    return LeastCommonMultiple4(lengths[0], lengths[1], lengths[2], lengths[3]);
}

QString OptimizationCaption(const QString &prefix, const TexLayer &document, int32_t spaces)
{
    return prefix + QString(std::max(spaces, 0), QLatin1Char(' '))
           + QString::number(ThreadingRepeat(document));
}

int32_t TypedYarnIndex(QChar typed, int32_t yarnCount)
{
    const char16_t c = typed.unicode();
    int32_t index = c >= u'A' && c <= u'Z' ? int32_t(c - u'A') : int32_t(c) - int32_t(u'a');
    index = std::min(index, yarnCount - 1);
    return std::max(index, 0);
}

WaleState DefaultRun()
{
    return WaleState{0, 1, 1, 0};
}

GuideBarEntry EnterThreadingText(std::vector<WaleState> &runs, int32_t yarnCount, int32_t column,
                                 int32_t top, int32_t bottom, const QString &text)
{
    if (text.isEmpty())
        return GuideBarEntry::Nothing;
    WaleState typed = DefaultRun();
    if (column == ThreadingColumnNeedles) {
        const std::optional<int32_t> count = ParseInteger(text);
        if (!count)
            return GuideBarEntry::NotANumber;
        // A run always holds at least one needle.
        typed.count = std::max(*count, 1);
    } else if (column == ThreadingColumnYarn) {
        typed.yarn = TypedYarnIndex(text.front(), yarnCount);
    } else {
        return GuideBarEntry::Nothing;
    }
    // Row by row from the top: a row past the list appends, so the next row finds the run just
    // appended and the selection adds as many runs as it has rows past the list.
    for (int32_t row = std::max(top, 1); row <= bottom; ++row) {
        const int64_t index = EntryOfRow(row, runs.size());
        if (index < 0) {
            runs.push_back(typed);
            continue;
        }
        WaleState &run = runs[size_t(index)];
        if (column == ThreadingColumnNeedles)
            run.count = typed.count;
        else
            run.yarn = typed.yarn;
    }
    return GuideBarEntry::Stored;
}

bool PressThreadingCell(std::vector<WaleState> &runs, int32_t row, int32_t column)
{
    const int64_t index = EntryOfRow(row, runs.size());
    if (index >= 0) {
        WaleState &run = runs[size_t(index)];
        if (column == ThreadingColumnInOut) {
            run.threaded = run.threaded ? 0 : 1;
            return true;
        }
        if (column == ThreadingColumnHidden) {
            run.needleFlag = run.needleFlag ? 0 : 1;
            return true;
        }
        return false;
    }
    if (column == ThreadingColumnHidden && row >= 1 && int64_t(row) == int64_t(runs.size()) + 1) {
        runs.push_back(DefaultRun());
        return true;
    }
    return false;
}

bool AddThreadingRun(std::vector<WaleState> &runs, int32_t row)
{
    if (row < 1 || int64_t(row) > int64_t(runs.size()) + 1)
        return false;
    runs.insert(runs.begin() + (row - 1), DefaultRun());
    return true;
}

bool DeleteThreadingRuns(std::vector<WaleState> &runs, int32_t top, int32_t bottom)
{
    top = std::max(top, 1);
    if (bottom < top || EntryOfRow(bottom, runs.size()) < 0)
        return false;
    // Bottom up, so the rows above keep their runs while the lower ones go.
    for (int32_t row = bottom; row >= top; --row)
        runs.erase(runs.begin() + (row - 1));
    return true;
}

GuideBarEntry EnterCourseText(Tex &bar, int32_t column, int32_t top, int32_t bottom,
                              const QString &text)
{
    if (text.isEmpty())
        return GuideBarEntry::Nothing;
    top = std::max(top, 1);
    if (column == CourseColumnRunIn || column == CourseColumnRatio) {
        const std::optional<int32_t> parsed = ParseInteger(text);
        if (!parsed)
            return GuideBarEntry::NotANumber;
        const int32_t value = std::max(*parsed, 0);
        for (int32_t row = top; row <= bottom; ++row) {
            const int64_t course = EntryOfRow(row, bar.courseStates.size());
            if (course < 0)
                continue;
            CourseState2 &state = bar.courseStates[size_t(course)];
            (column == CourseColumnRunIn ? state.runIn : state.ratio) = value;
        }
        return GuideBarEntry::Stored;
    }
    std::vector<uint8_t> *switches = FloatSwitches(bar, column);
    if (!switches)
        return GuideBarEntry::Nothing;
    const uint8_t value = FloatSwitchOf(text);
    for (int32_t row = top; row <= bottom; ++row) {
        const int64_t course = EntryOfRow(row, switches->size());
        if (course >= 0)
            (*switches)[size_t(course)] = value;
    }
    return GuideBarEntry::Stored;
}

bool PressCourseCell(Tex &bar, int32_t row, int32_t column)
{
    std::vector<uint8_t> *switches = FloatSwitches(bar, column);
    if (!switches)
        return false;
    if (row == 0) {
        const bool anySet
            = std::any_of(switches->begin(), switches->end(), [](uint8_t s) { return s != 0; });
        bool changed = false;
        for (size_t c = 0; c < switches->size(); ++c) {
            // Floats are set where the bar forms no loop: that is where its yarn floats.
            const uint8_t value
                = !anySet && c < bar.lapping.size() && FormsNoLoop(bar.lapping[c]) ? 1 : 0;
            changed = changed || (*switches)[c] != value;
            (*switches)[c] = value;
        }
        return changed;
    }
    if (EntryOfRow(row, bar.lapping.size()) < 0)
        return false;
    const int64_t course = EntryOfRow(row, switches->size());
    if (course < 0)
        return false;
    uint8_t &value = (*switches)[size_t(course)];
    value = value ? 0 : 1;
    return true;
}

NumberEntry ShiftEntry(const QString &text)
{
    if (text.isEmpty())
        return {};
    const std::optional<int32_t> value = ParseInteger(text);
    if (!value)
        return {GuideBarEntry::NotANumber, 0};
    return {GuideBarEntry::Stored, std::max(*value, 0)};
}

NumberEntry CompleteNeedleEntry(const QString &text)
{
    if (text.isEmpty())
        return {};
    const std::optional<int32_t> value = ParseInteger(text);
    if (!value)
        return {GuideBarEntry::NotANumber, 0};
    return {GuideBarEntry::Stored, std::max(*value, 1)};
}

bool CopyCalcRunIns(Tex &bar)
{
    bool changed = false;
    for (CourseState2 &state : bar.courseStates) {
        changed = changed || state.runIn != state.calcRunIn;
        state.runIn = state.calcRunIn;
    }
    return changed;
}

void DefaultRunInsByFormula(Tex &bar, int32_t barIndex, const TexLayer &document,
                            const GuideBarData &settings, const MainData &header)
{
    if (!KnownBar(barIndex))
        return;
    SetDefaultWithFormula(bar, document.yarns, settings.formula[size_t(barIndex)], header);
}

bool DefaultRunInsByOptimization(Tex &bar, int32_t barIndex, const TexLayer &document,
                                 const GuideBarData &settings, const MainData &header,
                                 DirectionMemory &directions, Progress *progress,
                                 RunInModelCache *cache)
{
    const std::vector<int32_t> values = OptimizedCalcRunIns(bar, barIndex, document, header,
                                                            settings, directions, progress, cache);
    if (values.empty())
        return false;
    const size_t courses = std::min(values.size(), bar.courseStates.size());
    for (size_t c = 0; c < courses; ++c)
        bar.courseStates[c].calcRunIn = values[c];
    return true;
}

} // namespace warplon
