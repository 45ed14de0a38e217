#pragma once

#include "knit/records.h"

#include <vector>

namespace warplon {

// The run-in figures of one bar as "Set Default With Formula" and the composition window see
// them: the formula run-in of every course, and the bar's totals.
struct BarRunIn
{
    int32_t bar = 0;
    int32_t formula = 2;
    double meanDenier = 0.0;
    int32_t meanFilaments = 0;
    std::vector<int32_t> calcRunIn; // one per course of the header's course count
    double formulaRunIn = 0.0;      // mm per rack
    double averageRunIn = 0.0;      // mean of the stored run-in values
    double metersPerYard = 0.0;     // metres of yarn per needle per yard of fabric
};

std::vector<BarRunIn> MakeRunInReport(const MainData &header, const TexLayer &document,
                                      const GuideBarData &guideBars);

} // namespace warplon
