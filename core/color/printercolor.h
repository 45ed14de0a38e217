#pragma once

// The printer-colour atlas: colours computed from HLS rather than read from a file. The atlas
// has 73 page indices. Indices 0-35 run through the hues at full lightness range (15 columns of
// falling saturation, 36 lightness steps), index 36 holds the greys and six pale primaries
// (7 columns, 36 steps), and indices 37-72 repeat the hues in the pale range (15 columns,
// 12 steps). The user sees a colour as a 1-based atlas page (1-1087, one per index and column)
// and a lightness step, or as the code text "index-column:step", all 1-based.

#include "color/colorconvert.h"

#include <QString>

#include <cstdint>

namespace warplon {

class TPrinterColor
{
public:
    static constexpr int kIndexCount = 73;
    static constexpr int kGreyIndex = 36;
    static constexpr int kPaleFirstIndex = 37;
    static constexpr int kAtlasPageCount = 1087;

    // Columns of a page index (15, or 7 on the grey index); 0 for an index outside the atlas.
    static int ColumnCount(int pageIndex);
    // Lightness steps of a page index (36, or 12 in the pale range); 0 outside the atlas.
    static int StepCount(int pageIndex);
    // Lightness steps of a 1-based atlas page; 0 for a page outside 1..1087.
    static int StepCountOfPage(int atlasPage);
    // True when the index, column and step name a colour of the atlas.
    static bool IsValid(int pageIndex, int step, int column);

    // The 1-based atlas page of an index and column.
    static int AtlasPage(int pageIndex, int column);
    // Splits a 1-based atlas page into index and column; false (outputs untouched) for a page
    // outside 1..1087.
    static bool SplitAtlasPage(int atlasPage, int &pageIndex, int &column);
    // The HLS and RGB of one atlas colour, without touching any current position.
    static void AtlasHLS(int pageIndex, int step, int column, double &h, double &l, double &s);
    static RGBQUAD AtlasRGB(int pageIndex, int step, int column);

    // Starts at the black corner of the first page: index 0, column 0, step 0.
    TPrinterColor();

    // Sets the whole position (0-based index, step and column) and recomputes H, L and S.
    void SetCode(uint16_t pageIndex, uint16_t step, uint16_t column);
    // Moves to a 1-based atlas page, keeping the step, and recomputes H and S. A page outside
    // 1..1087 is refused (false) and nothing changes.
    bool SetPage(uint16_t atlasPage);
    // Sets the lightness step and recomputes L.
    void SetNumber(uint8_t step);
    // The 1-based atlas page and the 0-based lightness step of the current position.
    uint16_t GetPage() const;
    uint8_t GetNumber() const { return uint8_t(m_step); }

    uint16_t PageIndex() const { return m_pageIndex; }
    uint16_t Column() const { return m_column; }
    uint16_t Step() const { return m_step; }
    double Hue() const { return m_hue; }
    double Lightness() const { return m_lightness; }
    double Saturation() const { return m_saturation; }
    // The colour of the current position.
    RGBQUAD ToRGB() const;

    void ConvertHS();
    void ConvertL();

    // The nearest atlas colour to r, g, b: index, step and column, all 0-based. The atlas is
    // never empty, so this always finds one.
    bool SearchRGB(uint8_t r, uint8_t g, uint8_t b, int &pageIndex, int &step, int &column) const;

    // "index-column:step", 1-based, of a 1-based atlas page and a 0-based step; empty for a page
    // outside 1..1087.
    static QString PN2Code(uint16_t atlasPage, uint8_t step);
    // Reads a typed code with two digits per part, such as "37-01:01", and gives the 1-based
    // index, step and column. False for anything else, including codes past the end of a
    // page's columns or steps.
    static bool SearchPrinterColor(const QString &text, int &pageIndex, int &step, int &column);

private:
    uint16_t m_pageIndex = 0;
    uint16_t m_step = 0;
    uint16_t m_column = 0;
    double m_hue = 0.0;
    double m_lightness = 0.0;
    double m_saturation = 0.0;
};

} // namespace warplon
