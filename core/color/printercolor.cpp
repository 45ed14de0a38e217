#include "color/printercolor.h"

namespace warplon {

namespace {

constexpr int kFullColumns = 15;
constexpr int kGreyColumns = 7;
constexpr int kFullSteps = 36;
constexpr int kPaleSteps = 12;
// Atlas pages (0-based) where the grey index and the pale range begin.
constexpr int kGreyFirstPage = 540;
constexpr int kPaleFirstPage = 547;

// Two ASCII digits at text[at], or -1.
int TwoDigits(const QString &text, qsizetype at)
{
    const char16_t high = text.at(at).unicode();
    const char16_t low = text.at(at + 1).unicode();
    if (high < u'0' || high > u'9' || low < u'0' || low > u'9')
        return -1;
    return (high - u'0') * 10 + (low - u'0');
}

} // namespace

int TPrinterColor::ColumnCount(int pageIndex)
{
    if (pageIndex < 0 || pageIndex >= kIndexCount)
        return 0;
    return pageIndex == kGreyIndex ? kGreyColumns : kFullColumns;
}

int TPrinterColor::StepCount(int pageIndex)
{
    if (pageIndex < 0 || pageIndex >= kIndexCount)
        return 0;
    return pageIndex < kPaleFirstIndex ? kFullSteps : kPaleSteps;
}

int TPrinterColor::StepCountOfPage(int atlasPage)
{
    int pageIndex = 0;
    int column = 0;
    return SplitAtlasPage(atlasPage, pageIndex, column) ? StepCount(pageIndex) : 0;
}

bool TPrinterColor::IsValid(int pageIndex, int step, int column)
{
    return column >= 0 && column < ColumnCount(pageIndex) && step >= 0
           && step < StepCount(pageIndex);
}

int TPrinterColor::AtlasPage(int pageIndex, int column)
{
    if (pageIndex < kGreyIndex)
        return kFullColumns * pageIndex + column + 1;
    if (pageIndex == kGreyIndex)
        return kGreyFirstPage + 1 + column;
    return kFullColumns * (pageIndex - kPaleFirstIndex) + column + kPaleFirstPage + 1;
}

bool TPrinterColor::SplitAtlasPage(int atlasPage, int &pageIndex, int &column)
{
    if (atlasPage < 1 || atlasPage > kAtlasPageCount)
        return false;
    const int q = atlasPage - 1;
    if (q < kGreyFirstPage) {
        pageIndex = q / kFullColumns;
        column = q % kFullColumns;
    } else if (q >= kPaleFirstPage) {
        pageIndex = (q - kPaleFirstPage) / kFullColumns + kPaleFirstIndex;
        column = (q - kPaleFirstPage) % kFullColumns;
    } else {
        pageIndex = kGreyIndex;
        column = q - kGreyFirstPage;
    }
    return true;
}

void TPrinterColor::AtlasHLS(int pageIndex, int step, int column, double &h, double &l, double &s)
{
    if (pageIndex == kGreyIndex) {
        // Column 0 is the neutral grey ramp; columns 1-6 are faint tints of the six primaries
        // and secondaries, 60 degrees apart.
        if (column == 0) {
            h = kUndefinedHue;
            s = 0.0;
        } else {
            h = (column - 1) * 60.0;
            s = 0.05;
        }
        l = step * 0.85 / 35.0 + 0.025;
        return;
    }
    // Both hue ranges spread 540 columns round the circle, saturation falling from 1 to 0.15
    // across the 15 columns of a page.
    const int v = pageIndex < kGreyIndex ? kFullColumns * pageIndex + column
                                         : kFullColumns * (pageIndex - kPaleFirstIndex) + column;
    h = double(v) / 540.0 * 360.0;
    s = 1.0 - (v % kFullColumns) * 0.85 / 14.0;
    if (pageIndex < kGreyIndex)
        l = step / 35.0;
    else
        l = step * 0.3 / 12.0 + 0.7;
}

RGBQUAD TPrinterColor::AtlasRGB(int pageIndex, int step, int column)
{
    double h = 0.0;
    double l = 0.0;
    double s = 0.0;
    AtlasHLS(pageIndex, step, column, h, l, s);
    return HLS2RGBQUAD(h, l, s);
}

TPrinterColor::TPrinterColor()
{
    SetCode(0, 0, 0);
}

void TPrinterColor::SetCode(uint16_t pageIndex, uint16_t step, uint16_t column)
{
    m_pageIndex = pageIndex;
    m_step = step;
    m_column = column;
    ConvertHS();
    ConvertL();
}

bool TPrinterColor::SetPage(uint16_t atlasPage)
{
    int pageIndex = 0;
    int column = 0;
    if (!SplitAtlasPage(atlasPage, pageIndex, column))
        return false;
    m_pageIndex = uint16_t(pageIndex);
    m_column = uint16_t(column);
    ConvertHS();
    return true;
}

void TPrinterColor::SetNumber(uint8_t step)
{
    m_step = step;
    ConvertL();
}

uint16_t TPrinterColor::GetPage() const
{
    return uint16_t(AtlasPage(m_pageIndex, m_column));
}

RGBQUAD TPrinterColor::ToRGB() const
{
    return HLS2RGBQUAD(m_hue, m_lightness, m_saturation);
}

void TPrinterColor::ConvertHS()
{
    double lightness = 0.0;
    AtlasHLS(m_pageIndex, m_step, m_column, m_hue, lightness, m_saturation);
}

void TPrinterColor::ConvertL()
{
    double hue = 0.0;
    double saturation = 0.0;
    AtlasHLS(m_pageIndex, m_step, m_column, hue, m_lightness, saturation);
}

bool TPrinterColor::SearchRGB(uint8_t r, uint8_t g, uint8_t b, int &pageIndex, int &step,
                              int &column) const
{
    TSearchColor search(r, g, b);
    for (int p = 0; p < kIndexCount; ++p) {
        for (int c = 0; c < ColumnCount(p); ++c) {
            for (int n = 0; n < StepCount(p); ++n) {
                const RGBQUAD rgb = AtlasRGB(p, n, c);
                const int result = search.Search(rgb.rgbRed, rgb.rgbGreen, rgb.rgbBlue);
                if (result == TSearchColor::NotBetter)
                    continue;
                pageIndex = p;
                step = n;
                column = c;
                if (result == TSearchColor::Exact)
                    return true;
            }
        }
    }
    return true;
}

QString TPrinterColor::PN2Code(uint16_t atlasPage, uint8_t step)
{
    int pageIndex = 0;
    int column = 0;
    if (!SplitAtlasPage(atlasPage, pageIndex, column))
        return QString();
    return QStringLiteral("%1-%2:%3").arg(pageIndex + 1).arg(column + 1).arg(step + 1);
}

bool TPrinterColor::SearchPrinterColor(const QString &text, int &pageIndex, int &step, int &column)
{
    // Every code the atlas can match is "aa-bb:ss" with two digits per part, so reading the
    // three numbers and checking them against the page's columns and steps finds exactly the
    // code a walk through the whole atlas would.
    if (text.size() != 8 || text.at(2) != u'-' || text.at(5) != u':')
        return false;
    const int a = TwoDigits(text, 0);
    const int b = TwoDigits(text, 3);
    const int s = TwoDigits(text, 6);
    if (!IsValid(a - 1, s - 1, b - 1))
        return false;
    pageIndex = a;
    step = s;
    column = b;
    return true;
}

} // namespace warplon
