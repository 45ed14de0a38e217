#include "knit/chartedits.h"

#include "knit/threading.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace warplon {

int32_t ClampChartCourse(int32_t typed, int32_t courseCount)
{
    return std::clamp(typed, 1, std::max(courseCount, 1));
}

int32_t ChartScrollForCourse(int32_t course, int32_t courseCount, int32_t scrollMax)
{
    if (courseCount <= 0)
        return scrollMax;
    return int32_t(scrollMax - int64_t(course) * scrollMax / courseCount);
}

int32_t WriteChartLap(Tex &bar, int32_t course, int32_t xIn, int32_t xVia)
{
    const int32_t count = bar.LappingCount();
    if (count == 0)
        return -1;
    const int32_t index = int32_t(((int64_t(course) - 1) % count + count) % count);
    ChainLink &lap = bar.lapping[size_t(index)];
    // The turning point stays beside the overlap's end it lay beside: it is judged against the
    // lap as it was, then held between the new positions.
    const int32_t oldX0 = lap.x0;
    const int32_t oldX1 = lap.x1;
    lap.x0 = xIn;
    lap.x1 = std::max(xVia, 0);
    if (oldX0 < lap.x2 && lap.x2 < oldX1)
        lap.x2 = lap.x1 - 1;
    else if (oldX1 < lap.x2 && lap.x2 < oldX0)
        lap.x2 = lap.x1 + 1;
    lap.x2 = std::clamp(lap.x2, std::min(lap.x0, lap.x1), std::max(lap.x0, lap.x1));
    return index;
}

int32_t NextChartCourse(int32_t course, int32_t courseCount)
{
    return course >= courseCount ? 1 : course + 1;
}

void JoinThreadingRuns(std::vector<WaleState> &runs)
{
    std::vector<WaleState> joined;
    joined.reserve(runs.size());
    for (const WaleState &run : runs) {
        if (run.count <= 0)
            continue;
        if (!joined.empty()) {
            WaleState &last = joined.back();
            if (last.yarn == run.yarn && last.threaded == run.threaded
                && last.needleFlag == run.needleFlag
                && int64_t(last.count) + run.count <= std::numeric_limits<int32_t>::max()) {
                last.count += run.count;
                continue;
            }
        }
        joined.push_back(run);
    }
    runs = std::move(joined);
}

bool ToggleThreadedNeedle(Tex &bar, int32_t needle)
{
    const int64_t length = ThreadingLength(bar);
    if (length <= 0 || length > std::numeric_limits<int32_t>::max())
        return false;
    int64_t position = ((int64_t(needle) % length) + length) % length;
    std::vector<WaleState> &runs = bar.threading;
    for (size_t r = 0; r < runs.size(); ++r) {
        WaleState &run = runs[r];
        if (run.count <= 0)
            continue;
        if (position >= run.count) {
            position -= run.count;
            continue;
        }
        WaleState single = run;
        single.count = 1;
        single.threaded = run.threaded ? 0 : 1;
        const auto at = runs.begin() + std::ptrdiff_t(r);
        if (run.count == 1) {
            run.threaded = single.threaded;
        } else if (position == 0) {
            --run.count;
            runs.insert(at, single);
        } else if (position == run.count - 1) {
            --run.count;
            runs.insert(at + 1, single);
        } else {
            WaleState after = run;
            after.count = run.count - int32_t(position) - 1;
            run.count = int32_t(position);
            runs.insert(at + 1, {single, after});
        }
        JoinThreadingRuns(runs);
        Expand(bar);
        return true;
    }
    return false;
}

QStringList EditorMode1Lines(const Tex &bar)
{
    QStringList lines;
    lines.reserve(qsizetype(bar.lapping.size()));
    for (size_t c = 0; c < bar.lapping.size(); ++c) {
        const ChainLink &lap = bar.lapping[c];
        const QString pair = QStringLiteral("%1 %2").arg(lap.x0).arg(lap.x1);
        const qsizetype blanks = std::max<qsizetype>(1, 22 - 2 * pair.size());
        lines << pair + QString(blanks, QLatin1Char(' ')) + QStringLiteral("(%1)").arg(c + 1);
    }
    return lines;
}

namespace {

// Reads one "%d" at `at`: blanks, an optional sign, digits. Advances `at` past it; false (and
// `at` where the number should have been) when there is none. Values beyond int32 are held to it.
bool ScanInteger(const QString &text, qsizetype &at, int32_t &value)
{
    qsizetype i = at;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    const qsizetype digits = i;
    int64_t number = 0;
    while (i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9')) {
        number = std::min<int64_t>(number * 10 + (text[i].unicode() - u'0'), int64_t(1) << 32);
        ++i;
    }
    if (i == digits)
        return false;
    number = negative ? -number : number;
    value = int32_t(std::clamp<int64_t>(number, std::numeric_limits<int32_t>::min(),
                                        std::numeric_limits<int32_t>::max()));
    at = i;
    return true;
}

// The value of up to 16 digits; an empty text reads as 0.
int64_t DigitsValue(QStringView digits)
{
    int64_t value = 0;
    for (QChar digit : digits)
        value = value * 10 + (digit.unicode() - u'0');
    return value;
}

int32_t ToPosition(int64_t value)
{
    return int32_t(std::min<int64_t>(value, std::numeric_limits<int32_t>::max()));
}

} // namespace

void ReadEditorMode1(Tex &bar, const QStringList &lines)
{
    const qsizetype count = std::min<qsizetype>(lines.size(), qsizetype(bar.lapping.size()));
    for (qsizetype i = 0; i < count; ++i) {
        ChainLink &lap = bar.lapping[size_t(i)];
        qsizetype at = 0;
        if (ScanInteger(lines[i], at, lap.x0))
            ScanInteger(lines[i], at, lap.x1);
    }
    bar.Normalize();
}

QString EditorMode2Line(const Tex &bar)
{
    QString line;
    for (const ChainLink &lap : bar.lapping) {
        // Both positions with the same number of digits, so that the token splits back in half
        // whatever their sizes ("10" and "1" give "1001", not the ambiguous "101").
        const QString x0 = QString::number(lap.x0);
        const QString x1 = QString::number(lap.x1);
        const qsizetype width = std::max(x0.size(), x1.size());
        line += x0.rightJustified(width, QLatin1Char('0'))
                + x1.rightJustified(width, QLatin1Char('0')) + QLatin1Char(' ');
    }
    return line;
}

std::vector<std::pair<int32_t, int32_t>> ParseEditorMode2(const QString &text, int32_t limit)
{
    constexpr qsizetype kMaxDigits = 16;
    std::vector<std::pair<int32_t, int32_t>> pairs;
    qsizetype i = 0;
    while (i < text.size() && int32_t(pairs.size()) < limit) {
        const auto isDigit = [&text](qsizetype k) {
            return text[k] >= QLatin1Char('0') && text[k] <= QLatin1Char('9');
        };
        if (!isDigit(i)) {
            ++i; // separators between tokens, however many
            continue;
        }
        const qsizetype start = i;
        while (i < text.size() && isDigit(i))
            ++i;
        const QStringView token = QStringView(text).mid(start, std::min(i - start, kMaxDigits));
        const qsizetype n = token.size();
        if (n % 2 == 0) {
            pairs.emplace_back(ToPosition(DigitsValue(token.left(n / 2))),
                               ToPosition(DigitsValue(token.right(n / 2))));
            continue;
        }
        const int64_t a0 = DigitsValue(token.left((n - 1) / 2));
        const int64_t a1 = DigitsValue(token.right((n + 1) / 2));
        const int64_t b0 = DigitsValue(token.left((n + 1) / 2));
        const int64_t b1 = DigitsValue(token.right((n - 1) / 2));
        if (std::llabs(a0 - a1) <= std::llabs(b0 - b1))
            pairs.emplace_back(ToPosition(a0), ToPosition(a1));
        else
            pairs.emplace_back(ToPosition(b0), ToPosition(b1));
    }
    return pairs;
}

bool ReadEditorMode2(Tex &bar, const QString &text)
{
    const std::vector<std::pair<int32_t, int32_t>> pairs
        = ParseEditorMode2(text, bar.LappingCount());
    if (pairs.empty())
        return false;
    for (size_t c = 0; c < bar.lapping.size(); ++c) {
        const auto &[x0, x1] = pairs[c % pairs.size()];
        bar.lapping[c].x0 = x0;
        bar.lapping[c].x1 = x1;
    }
    bar.Normalize();
    return true;
}

} // namespace warplon
