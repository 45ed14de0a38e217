#include "knit/runinreport.h"

#include "knit/runin.h"

namespace warplon {

std::vector<BarRunIn> MakeRunInReport(const MainData &header, const TexLayer &document,
                                      const GuideBarData &guideBars)
{
    std::vector<BarRunIn> report;
    for (size_t b = 0; b < document.bars.size(); ++b) {
        const Tex &bar = document.bars[b];
        BarRunIn entry;
        entry.bar = int32_t(b);
        entry.formula = b < guideBars.formula.size() ? guideBars.formula[b] : 2;
        const BarYarnMeans means = ThreadedYarnMeans(bar, document.yarns);
        entry.meanDenier = means.denier;
        entry.meanFilaments = means.filaments;
        // The same values "Set Default With Formula" stores, computed on a copy of the bar.
        Tex scratch = bar;
        SetDefaultWithFormula(scratch, document.yarns, entry.formula, header);
        for (int32_t c = 0; c < header.courseCount && c < int32_t(scratch.courseStates.size()); ++c)
            entry.calcRunIn.push_back(scratch.courseStates[size_t(c)].calcRunIn);
        entry.formulaRunIn = FormulaRunIn(bar, means.filaments, header.gauge, entry.formula,
                                          header.coursesPerCm, means.denier);
        entry.averageRunIn = AverageRunIn(bar);
        entry.metersPerYard = MetersPerYard(bar, means.filaments, header.gauge, entry.formula,
                                            header.coursesPerCm, means.denier);
        report.push_back(std::move(entry));
    }
    return report;
}

} // namespace warplon
