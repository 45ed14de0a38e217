#include "cliutil.h"
#include "commands.h"

#include "app/thumbnail.h"

namespace warplon::cli {

// Used by file browsers through the thumbnailer entry: the design's stored preview, scaled to fit
// a square, as a PNG picture. Reads nothing but the design file.
int RunThumbnail(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOptions({
        {{QStringLiteral("o"), QStringLiteral("output")},
         QStringLiteral("The PNG picture to write."),
         QStringLiteral("OUT.png")},
        {{QStringLiteral("s"), QStringLiteral("size")},
         QStringLiteral("The square the picture fits in, in pixels (default %1).")
             .arg(kDefaultThumbnailSize),
         QStringLiteral("N")},
    });
    parser.addPositionalArgument(QStringLiteral("FILE.trc"), QStringLiteral("The design file."));
    int exitCode = kExitOk;
    if (!ParseArguments(parser, QStringLiteral("thumbnail"),
                        QStringLiteral("Writes the preview of a design file, scaled to fit N x N "
                                       "pixels with its 4 : 5 shape kept, as a PNG picture."),
                        arguments, exitCode))
        return exitCode;
    if (parser.positionalArguments().size() != 1)
        return Fail(QStringLiteral("thumbnail takes one design file"), kExitUsage);
    if (!parser.isSet(QStringLiteral("output")))
        return Fail(QStringLiteral("thumbnail needs -o OUT.png"), kExitUsage);
    int size = kDefaultThumbnailSize;
    if (parser.isSet(QStringLiteral("size"))) {
        bool ok = false;
        size = parser.value(QStringLiteral("size")).toInt(&ok);
        if (!ok || !ThumbnailSize(size).isValid())
            return Fail(
                QStringLiteral("--size must be a whole number from 1 to %1").arg(kMaxThumbnailSize),
                kExitUsage);
    }
    QString error;
    if (!WriteDesignThumbnail(parser.positionalArguments().constFirst(),
                              parser.value(QStringLiteral("output")), size, &error))
        return Fail(error);
    return kExitOk;
}

} // namespace warplon::cli
