#include "app/savedesign.h"

#include "base/randomsource.h"
#include "knit/designfile.h"
#include "simulation/simulationrun.h"

namespace warplon {

bool SaveDesignWithSimulation(const QString &fileName, DesignRecords records,
                              uint8_t compressPixels, QSize view, uint64_t seed, QString *error)
{
    RandomSource random(seed);
    const SimulationJob job{records.header,
                            records.document,
                            records.guideBars,
                            records.treatment,
                            records.simulation,
                            records.currentBar,
                            view};
    RunSimulation(job, records.picture, random);
    return SaveDesign(fileName, records, compressPixels, error);
}

} // namespace warplon
