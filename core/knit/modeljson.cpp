#include "knit/modeljson.h"

#include <QJsonArray>

#include <functional>

namespace warplon {

namespace {

int yarnIndex(const Yarn *yarn, const std::vector<Yarn> &yarns)
{
    if (!yarn || yarns.empty())
        return -1;
    const std::less<const Yarn *> before;
    const Yarn *first = yarns.data();
    const Yarn *end = first + yarns.size();
    if (before(yarn, first) || !before(yarn, end))
        return -1;
    return int(yarn - first);
}

} // namespace

QJsonObject ModelToJson(const Tricot &model, const std::vector<Yarn> &yarns)
{
    QJsonArray nodes;
    for (size_t i = 0; i < model.nodes.size(); ++i) {
        const Octopus &node = model.nodes[i];
        QJsonArray loops;
        for (const StitchLoop &loop : node.loops) {
            loops.append(QJsonObject{{QStringLiteral("bar"), loop.bar},
                                     {QStringLiteral("yarn"), yarnIndex(loop.yarn, yarns)},
                                     {QStringLiteral("legMode"), loop.legMode},
                                     {QStringLiteral("ratio"), loop.ratio},
                                     {QStringLiteral("needleFlag"), loop.needleFlag}});
        }
        QJsonArray links;
        for (const LapLink &link : node.links) {
            links.append(QJsonObject{{QStringLiteral("bar"), link.bar},
                                     {QStringLiteral("yarn"), yarnIndex(link.yarn, yarns)},
                                     {QStringLiteral("targetWale"), link.targetWale},
                                     {QStringLiteral("targetCourse"), link.targetCourse},
                                     {QStringLiteral("kind"), link.kind},
                                     {QStringLiteral("endChoice"), link.endChoice},
                                     {QStringLiteral("ratio"), link.ratio},
                                     {QStringLiteral("needleFlag"), link.needleFlag}});
        }
        QJsonArray backLinks;
        for (const BackLink &link : node.backLinks) {
            backLinks.append(QJsonObject{{QStringLiteral("yarn"), yarnIndex(link.yarn, yarns)},
                                         {QStringLiteral("sourceWale"), link.sourceWale},
                                         {QStringLiteral("sourceCourse"), link.sourceCourse},
                                         {QStringLiteral("kind"), link.kind},
                                         {QStringLiteral("ratio"), link.ratio}});
        }
        QJsonArray underlaps;
        for (const UnderlapLink &piece : node.underlaps) {
            underlaps.append(QJsonObject{{QStringLiteral("bar"), piece.bar},
                                         {QStringLiteral("yarn"), yarnIndex(piece.yarn, yarns)},
                                         {QStringLiteral("targetWale"), piece.targetWale},
                                         {QStringLiteral("targetCourse"), piece.targetCourse},
                                         {QStringLiteral("kind"), piece.kind},
                                         {QStringLiteral("startChoice"), piece.startChoice},
                                         {QStringLiteral("endChoice"), piece.endChoice},
                                         {QStringLiteral("ratio"), piece.ratio},
                                         {QStringLiteral("needleFlag"), piece.needleFlag}});
        }
        const qint64 index = qint64(i);
        nodes.append(QJsonObject{{QStringLiteral("index"), index},
                                 {QStringLiteral("wale"), index % model.wales},
                                 {QStringLiteral("course"), index / model.wales},
                                 {QStringLiteral("state"), node.state},
                                 {QStringLiteral("closed"), node.closed},
                                 {QStringLiteral("x"), node.x},
                                 {QStringLiteral("y"), node.y},
                                 {QStringLiteral("loopShade"), node.loopShade},
                                 {QStringLiteral("scatterX"), node.scatterX},
                                 {QStringLiteral("scatterY"), node.scatterY},
                                 {QStringLiteral("brightness"), node.brightness},
                                 {QStringLiteral("loops"), loops},
                                 {QStringLiteral("links"), links},
                                 {QStringLiteral("backLinks"), backLinks},
                                 {QStringLiteral("underlaps"), underlaps}});
    }
    return QJsonObject{{QStringLiteral("wales"), model.wales},
                       {QStringLiteral("courses"), model.courses},
                       {QStringLiteral("xPitch"), model.xPitch},
                       {QStringLiteral("yPitch"), model.yPitch},
                       {QStringLiteral("nodes"), nodes}};
}

} // namespace warplon
