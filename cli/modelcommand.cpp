#include "cliutil.h"
#include "commands.h"

#include "knit/modeljson.h"
#include "knit/threading.h"
#include "knit/tricot.h"

namespace warplon::cli {

int RunModel(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOptions({
        {QStringLiteral("json"), QStringLiteral("Print JSON (the only output form).")},
        {QStringLiteral("vertical"), QStringLiteral("Let the relaxation move loops up and down.")},
        {QStringLiteral("no-optimize"), QStringLiteral("Do not relax; only prepare and shade.")},
    });
    parser.addPositionalArgument(QStringLiteral("FILE.trc"), QStringLiteral("The design file."));
    int exitCode = kExitOk;
    if (!ParseArguments(parser, QStringLiteral("model"),
                        QStringLiteral("Builds and relaxes the stitch model of the design's repeat "
                                       "in millimetres (25.4 / gauge per wale, 10 / courses per cm "
                                       "per course) and prints every node."),
                        arguments, exitCode))
        return exitCode;
    Design design;
    if (const int loaded = LoadDesignOrSample(parser, design); loaded != kExitOk)
        return loaded;
    const int32_t wales = RepeatWidth(design.document);
    const int32_t courses = design.header.courseCount;
    if (design.header.gauge <= 0 || design.header.coursesPerCm <= 0.0 || wales < 1 || courses < 1
        || int64_t(wales) * courses > 4'000'000)
        return Fail(QStringLiteral("the design has no stitch model that can be built"));

    Tricot model(wales, courses, 10.0 / design.header.coursesPerCm, 25.4 / design.header.gauge);
    model.Build(design.document, design.guideBars.runInBrightness, nullptr);
    model.Relax(!parser.isSet(QStringLiteral("no-optimize")),
                parser.isSet(QStringLiteral("vertical")), nullptr, design.guideBars.noTension);
    PrintJson(ModelToJson(model, design.document.yarns));
    return kExitOk;
}

} // namespace warplon::cli
