#include "commands.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstring>
#include <memory>

#include <cstdio>

namespace {

// The report command prints its own one-line failures; Qt's notes on the platform set-up
// (runtime folders, fonts) would only add lines to stderr.
void QuietQtNotes(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

const char kUsage[]
    = "Usage: warplon-cli COMMAND [options]\n"
      "\n"
      "Commands:\n"
      "  new      write a new design file (the default design or a sample)\n"
      "  dump     print every stored field of a design file\n"
      "  runin    print the run-in of every bar and course (formula or optimized)\n"
      "  simulate render the simulated fabric of a design to a picture\n"
      "  model    print the relaxed stitch model of a design as JSON\n"
      "  color    look up printer-atlas and catalogue colours, draw the atlas\n"
      "  palette  print, draw, export or import a palette file\n"
      "  yarns    print and edit the yarn list of a design or a yarn file\n"
      "  composition  print and edit the yarn composition of a design\n"
      "  cost     print the cost sheet of a design and edit its cost data\n"
      "  treatment  print and edit the finishing of a design's courses\n"
      "  chart    draw the lapping chart of a design on point paper\n"
      "  thumbnail  write the preview of a design as a PNG picture (file browsers)\n"
      "  overlay  lay the stitch grid and a bar's lapping path over a picture of fabric\n"
      "  measure  measure lengths and areas on a picture of fabric in micrometres\n"
      "  report   write a technical sheet of a design as a PDF file\n"
      "  floats   list the floats longer than a limit (exit 1 when there are any)\n"
      "\n"
      "Run 'warplon-cli COMMAND --help' for the options of a command.\n";

} // namespace

int main(int argc, char **argv)
{
    // Sheets are painted with fonts, which need the GUI application; no display is used.
    const bool painting = argc > 1 && std::strcmp(argv[1], "report") == 0;
    if (painting) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(QuietQtNotes);
    }
    std::unique_ptr<QCoreApplication> app;
    if (painting)
        app = std::make_unique<QGuiApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("warplon-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.41"));

    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    if (arguments.isEmpty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const QString command = arguments.takeFirst();
    if (command == QLatin1String("--help") || command == QLatin1String("-h")
        || command == QLatin1String("help")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == QLatin1String("new"))
        return warplon::cli::RunNew(arguments);
    if (command == QLatin1String("dump"))
        return warplon::cli::RunDump(arguments);
    if (command == QLatin1String("runin"))
        return warplon::cli::RunRunIn(arguments);
    if (command == QLatin1String("simulate"))
        return warplon::cli::RunSimulate(arguments);
    if (command == QLatin1String("model"))
        return warplon::cli::RunModel(arguments);
    if (command == QLatin1String("color"))
        return warplon::cli::RunColor(arguments);
    if (command == QLatin1String("palette"))
        return warplon::cli::RunPalette(arguments);
    if (command == QLatin1String("yarns"))
        return warplon::cli::RunYarns(arguments);
    if (command == QLatin1String("composition"))
        return warplon::cli::RunComposition(arguments);
    if (command == QLatin1String("cost"))
        return warplon::cli::RunCost(arguments);
    if (command == QLatin1String("treatment"))
        return warplon::cli::RunTreatment(arguments);
    if (command == QLatin1String("chart"))
        return warplon::cli::RunChart(arguments);
    if (command == QLatin1String("thumbnail"))
        return warplon::cli::RunThumbnail(arguments);
    if (command == QLatin1String("overlay"))
        return warplon::cli::RunOverlay(arguments);
    if (command == QLatin1String("measure"))
        return warplon::cli::RunMeasure(arguments);
    if (command == QLatin1String("report"))
        return warplon::cli::RunReport(arguments);
    if (command == QLatin1String("floats"))
        return warplon::cli::RunFloats(arguments);
    std::fprintf(stderr, "warplon-cli: unknown command '%s'; try 'warplon-cli --help'\n",
                 qPrintable(command));
    return 2;
}
