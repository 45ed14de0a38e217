// The technical sheets as PDF files, read back with the poppler tools: page count and size,
// the printed texts and the rendered pixels.
#include "app/design.h"
#include "knit/samples.h"
#include "print/report.h"

#include <QFile>
#include <QImage>
#include <QPageSize>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace warplon {
namespace {

QByteArray RunTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return QByteArray();
    return process.readAllStandardOutput();
}

int PdfPages(const QString &path)
{
    const QString info = QString::fromUtf8(RunTool(QStringLiteral("pdfinfo"), {path}));
    const QRegularExpressionMatch match
        = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// Width and height of page 1 in points, rounded.
QSize PdfPageSize(const QString &path)
{
    const QString info = QString::fromUtf8(RunTool(QStringLiteral("pdfinfo"), {path}));
    const QRegularExpressionMatch match
        = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts")).match(info);
    if (!match.hasMatch())
        return QSize();
    return QSize(qRound(match.captured(1).toDouble()), qRound(match.captured(2).toDouble()));
}

QString PdfText(const QString &path, int page = 0, bool layout = false)
{
    QStringList arguments;
    if (layout)
        arguments << QStringLiteral("-layout");
    if (page > 0)
        arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l")
                  << QString::number(page);
    arguments << path << QStringLiteral("-");
    return QString::fromUtf8(RunTool(QStringLiteral("pdftotext"), arguments));
}

QImage PdfPage(const QString &path, int page, int dpi)
{
    const QString prefix = path + QStringLiteral(".page");
    RunTool(QStringLiteral("pdftoppm"),
            {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(dpi),
             QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
             QString::number(page), QStringLiteral("-singlefile"), path, prefix});
    return QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

// "n / N" in a page's text (pdftotext may drop the blanks).
bool PageNumber(const QString &text, int page, int pages)
{
    return QRegularExpression(QStringLiteral("(^|\\s)%1\\s*/\\s*%2(\\s|$)").arg(page).arg(pages))
        .match(text)
        .hasMatch();
}

// A design of one of the sample structures.
std::unique_ptr<Design> Sample(const QString &name)
{
    auto design = std::make_unique<Design>();
    MakeNewDesign(*design);
    EXPECT_TRUE(MakeSample(name, design->header, design->document));
    return design;
}

class Sheets : public ::testing::Test
{
protected:
    struct Written
    {
        bool ok = false;
        QString error;
        int pages = 0;
        QString path;
    };

    Written Write(const Design &design, const ReportOptions &options, const QString &name,
                  const QString &language = QStringLiteral("English"), QImage picture = QImage(),
                  QPageSize::PageSizeId paper = QPageSize::A4,
                  QPageLayout::Orientation orientation = QPageLayout::Portrait)
    {
        const ReportTexts texts = LoadReportTexts(QStringLiteral(WARPLON_RESOURCES), language);
        const ReportInput input{design.header,
                                design.document,
                                design.guideBars,
                                design.treatment,
                                design.simulation,
                                design.cost,
                                design.properties,
                                texts,
                                picture,
                                design.designWindow.chartBackground,
                                QStringLiteral(WARPLON_RESOURCES),
                                false,
                                QStringLiteral("/designs/sample.trc"),
                                QStringLiteral("2026-12-06"),
                                QSize(240, 180)};
        Written written;
        written.path = m_dir.filePath(name);
        QPdfWriter writer(written.path);
        writer.setPageSize(QPageSize(paper));
        writer.setPageOrientation(orientation);
        written.ok = PaintReport(writer, input, options, &written.error, &written.pages);
        return written;
    }

    // A light picture standing in for the simulation window's.
    static QImage LightPicture(int width, int height)
    {
        QImage picture(width, height, QImage::Format_RGB32);
        picture.fill(QColor(200, 210, 220));
        return picture;
    }

    QTemporaryDir m_dir;
};

TEST_F(Sheets, EveryKindWritesPagesOfThePaperWithHeaderAndFooter)
{
    auto design = Sample(QStringLiteral("tricot"));
    design->header.note1 = QByteArrayLiteral("Satin Royal");
    for (const QString &name : ReportKindNames()) {
        ReportOptions options;
        options.kind = *ReportKindFromName(name);
        const Written pdf = Write(*design, options, name + QStringLiteral(".pdf"),
                                  QStringLiteral("English"), LightPicture(300, 200));
        ASSERT_TRUE(pdf.ok) << name.toStdString() << ": " << pdf.error.toStdString();
        EXPECT_EQ(PdfPages(pdf.path), pdf.pages) << name.toStdString();
        EXPECT_GE(pdf.pages, 1);
        // The landscape sheet turns the paper; the others follow the set-up.
        const QSize expected
            = options.kind == ReportKind::Landscape ? QSize(842, 595) : QSize(595, 842);
        EXPECT_EQ(PdfPageSize(pdf.path), expected) << name.toStdString();
        const QString text = PdfText(pdf.path, 1);
        EXPECT_TRUE(text.contains(QStringLiteral("Satin Royal"))) << name.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("sample.trc"))) << name.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("2026-12-06"))) << name.toStdString();
        EXPECT_TRUE(PageNumber(text, 1, pdf.pages)) << name.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("Warplon CAD System 2.41"))) << name.toStdString();
    }
    // The simple sheet of an ordinary design takes one page, on Letter and landscape too.
    ReportOptions simple;
    const Written letter
        = Write(*design, simple, QStringLiteral("letter.pdf"), QStringLiteral("English"),
                LightPicture(300, 200), QPageSize::Letter, QPageLayout::Portrait);
    ASSERT_TRUE(letter.ok);
    EXPECT_EQ(PdfPageSize(letter.path), QSize(612, 792));
    EXPECT_EQ(PdfPages(letter.path), 1);
    ReportOptions yarn;
    yarn.kind = ReportKind::Yarn;
    const Written turned
        = Write(*design, yarn, QStringLiteral("turned.pdf"), QStringLiteral("English"), QImage(),
                QPageSize::Letter, QPageLayout::Landscape);
    ASSERT_TRUE(turned.ok);
    EXPECT_EQ(PdfPageSize(turned.path), QSize(792, 612));
}

TEST_F(Sheets, HeaderCutsTheCodeAndChainsPrintInBothForms)
{
    auto design = Sample(QStringLiteral("tricot"));
    design->header.note2 = QByteArrayLiteral("ABCDEFGHIJKLMNOP");
    design->properties.hours = 0.155; // the window shows 0.16
    ReportOptions options;
    options.kind = ReportKind::Simple;
    const Written two = Write(*design, options, QStringLiteral("two.pdf"),
                              QStringLiteral("English"), LightPicture(80, 60));
    ASSERT_TRUE(two.ok) << two.error.toStdString();
    const QString text = PdfText(two.path);
    EXPECT_TRUE(text.contains(QStringLiteral("ABCDEFGHIJ")));
    EXPECT_FALSE(text.contains(QStringLiteral("ABCDEFGHIJK")));
    EXPECT_TRUE(text.contains(QStringLiteral("1-0/1-2//")));
    EXPECT_TRUE(text.contains(QStringLiteral("1-2/1-0//")));
    EXPECT_TRUE(text.contains(QStringLiteral("0.16")));
    EXPECT_FALSE(text.contains(QStringLiteral("0.15")));

    options.kind = ReportKind::DesignData;
    options.threeSteps = true;
    const Written three = Write(*design, options, QStringLiteral("three.pdf"));
    ASSERT_TRUE(three.ok) << three.error.toStdString();
    const QString threeText = PdfText(three.path);
    EXPECT_TRUE(threeText.contains(QStringLiteral("1-0-1/1-2-1//")));
    EXPECT_TRUE(threeText.contains(QStringLiteral("1-2-1/1-0-1//")));
    EXPECT_FALSE(threeText.contains(QStringLiteral("1-0/1-2//")));
}

// One bar, one yarn: 1000 ends of 90 denier with a run-in of 1920 mm a rack at 20 courses a
// cm weigh 7.3152 m x 1000 x 90 / 9000 = 73.152 g a yard, 80 g a metre.
std::unique_ptr<Design> CostDesign()
{
    auto design = std::make_unique<Design>();
    MainData start;
    start.barCount = 1;
    start.courseCount = 4;
    start.coursesPerCm = 20.0;
    MakeNewDesign(*design, start);
    Yarn yarn;
    yarn.denier = 90.0;
    yarn.yarnValue = 5000.0;
    yarn.material = MaterialPolyester;
    design->document.yarns = {yarn};
    for (CourseState2 &state : design->document.bars[0].courseStates)
        state.runIn = 1920;
    YarnUse use;
    use.ends = 1000;
    design->document.yarnUses = {use};
    design->simulation.coursesPerCm = 20.0;
    design->cost.itemCost[0] = 23500.0; // 1000 a day and machine
    return design;
}

TEST_F(Sheets, PartnerYarnSheetAddsKilogramsPerCut)
{
    auto design = CostDesign();
    design->properties.cutYard = 250; // 73.152 g a yard x 250 yards = 18.288 kg
    ReportOptions options;
    options.kind = ReportKind::YarnPartner;
    const Written partner = Write(*design, options, QStringLiteral("partner.pdf"));
    ASSERT_TRUE(partner.ok) << partner.error.toStdString();
    const QString text = PdfText(partner.path);
    EXPECT_TRUE(text.contains(QStringLiteral("Kilograms per Cut")));
    EXPECT_TRUE(text.contains(QStringLiteral("73.15")));
    EXPECT_TRUE(text.contains(QStringLiteral("18.288")));
    options.kind = ReportKind::Yarn;
    const Written plain = Write(*design, options, QStringLiteral("plain.pdf"));
    ASSERT_TRUE(plain.ok);
    EXPECT_FALSE(PdfText(plain.path).contains(QStringLiteral("18.288")));
}

TEST_F(Sheets, CostSheetShowsHandWorkedFiguresInBothCurrencies)
{
    auto design = CostDesign();
    ReportOptions options;
    options.kind = ReportKind::Cost;
    const Written pdf = Write(*design, options, QStringLiteral("cost.pdf"));
    ASSERT_TRUE(pdf.ok) << pdf.error.toStdString();
    const QString text = PdfText(pdf.path);
    // Yarn: 1.02 x 80 g x 5000 a kg = 408; making 1000; raw base 1408, loss 42.24, with loss
    // 1450.24, margin 72.512, raw price 1522.752; finishing loss 45.68256, treated 1568.43456,
    // margin 78.421728, treated price 1646.856288; all also over the rate of 1200.
    for (const char *figure : {"80.00", "100.0", "408.000", "0.3400", "1000.000", "0.8333",
                               "1408.000", "42.240", "1450.240", "72.512", "1522.752", "1.2690",
                               "45.683", "1568.435", "78.422", "1646.856", "1.3724", "24.77%"})
        EXPECT_TRUE(text.contains(QLatin1String(figure))) << figure;
    EXPECT_FALSE(text.contains(QStringLiteral("inf")));
    EXPECT_FALSE(text.contains(QStringLiteral("nan")));

    // Zero divisors print "-", never inf or nan.
    design->cost.exchangeRate = 0.0;
    design->cost.capa = 0.0;
    design->header.coursesPerCm = 0.0;
    const Written zero = Write(*design, options, QStringLiteral("zero.pdf"));
    ASSERT_TRUE(zero.ok);
    const QString zeroText = PdfText(zero.path, 0, true);
    EXPECT_FALSE(zeroText.contains(QStringLiteral("inf"), Qt::CaseInsensitive));
    EXPECT_FALSE(zeroText.contains(QStringLiteral("nan"), Qt::CaseInsensitive));
    const QRegularExpression weightLine(QStringLiteral("Fabric Weight \\(g/m\\)\\s+-\\s*\\n"));
    EXPECT_TRUE(weightLine.match(zeroText).hasMatch()) << zeroText.toStdString();
    const QRegularExpression itemLine(QStringLiteral("Cost Item 1\\s+-\\s+-\\s+-\\s*\\n"));
    EXPECT_TRUE(itemLine.match(zeroText).hasMatch());

    options.kind = ReportKind::Simple;
    const Written simple = Write(*design, options, QStringLiteral("simple.pdf"),
                                 QStringLiteral("English"), LightPicture(80, 60));
    ASSERT_TRUE(simple.ok);
    const QString simpleText = PdfText(simple.path, 0, true);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("Production \\(m/day\\)\\s+-"))
                    .match(simpleText)
                    .hasMatch());
    EXPECT_FALSE(simpleText.contains(QStringLiteral("inf")));
}

// Pixels that are clearly red.
int RedPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qRed(p) > 170 && qGreen(p) < 90 && qBlue(p) < 90)
                ++count;
        }
    }
    return count;
}

// True when the band of `mm` millimetres around the page holds only white.
bool BlankMargin(const QImage &page, double mm, int dpi)
{
    const int band = int(mm * dpi / 25.4);
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const bool inside
                = x >= band && x < page.width() - band && y >= band && y < page.height() - band;
            if (!inside && page.pixel(x, y) != qRgb(255, 255, 255))
                return false;
        }
    }
    return true;
}

TEST_F(Sheets, RedYarnPaintsRedPixelsInsideBlankMargins)
{
    auto design = Sample(QStringLiteral("tricot"));
    for (Yarn &yarn : design->document.yarns)
        yarn.color = 0x0000ff; // red
    ReportOptions options;
    options.kind = ReportKind::Simple; // no picture given: the sheet runs a simulation
    const Written pdf = Write(*design, options, QStringLiteral("red.pdf"));
    ASSERT_TRUE(pdf.ok) << pdf.error.toStdString();
    const QImage page = PdfPage(pdf.path, 1, 50);
    ASSERT_FALSE(page.isNull());
    EXPECT_GT(RedPixels(page), 1000);
    EXPECT_TRUE(BlankMargin(page, 14.0, 50));

    // The landscape sheet puts the picture on the left.
    options.kind = ReportKind::Landscape;
    const Written landscape = Write(*design, options, QStringLiteral("redwide.pdf"));
    ASSERT_TRUE(landscape.ok);
    const QImage wide = PdfPage(landscape.path, 1, 50);
    ASSERT_GT(wide.width(), wide.height());
    // Only the yarn swatches of the table on the right are red there.
    const int left = RedPixels(wide.copy(0, 0, wide.width() / 2, wide.height()));
    const int right = RedPixels(wide.copy(wide.width() / 2, 0, wide.width() / 2, wide.height()));
    EXPECT_GT(left, 1000);
    EXPECT_GT(left, 5 * right);
    EXPECT_TRUE(BlankMargin(wide, 14.0, 50));

    // Blue yarn: the picture holds no red.
    options.kind = ReportKind::Simple;
    for (Yarn &yarn : design->document.yarns)
        yarn.color = 0xff0000;
    const Written blue = Write(*design, options, QStringLiteral("blue.pdf"));
    ASSERT_TRUE(blue.ok);
    EXPECT_LT(RedPixels(PdfPage(blue.path, 1, 50)), 10);
}

// The longest run of black pixels in any row.
int LongestBlackRun(const QImage &image)
{
    int longest = 0;
    for (int y = 0; y < image.height(); ++y) {
        int run = 0;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            run = qRed(p) < 60 && qGreen(p) < 60 && qBlue(p) < 60 ? run + 1 : 0;
            longest = std::max(longest, run);
        }
    }
    return longest;
}

TEST_F(Sheets, FabricScaleSpreadsThePictureAndItsScaleBarMeasuresOneCentimetre)
{
    auto design = Sample(QStringLiteral("tricot"));
    design->simulation.zoomUnits = 4;
    design->simulation.zoomTenths = 0;
    // 4000 pixels at 164 a cm: 24.4 cm, wider than the 18 cm of an A4 page.
    const QImage picture = LightPicture(4000, 1500);
    ReportOptions options;
    options.kind = ReportKind::Simulation;
    options.method = 2;
    const Written scaled
        = Write(*design, options, QStringLiteral("scaled.pdf"), QStringLiteral("English"), picture);
    ASSERT_TRUE(scaled.ok) << scaled.error.toStdString();
    EXPECT_GE(scaled.pages, 2);
    const int dpi = 254; // 100 pixels a centimetre
    const int bar = LongestBlackRun(PdfPage(scaled.path, 1, dpi));
    EXPECT_NEAR(bar, 100, 3);

    options.method = 1;
    const Written fitted
        = Write(*design, options, QStringLiteral("fitted.pdf"), QStringLiteral("English"), picture);
    ASSERT_TRUE(fitted.ok);
    EXPECT_EQ(fitted.pages, 1);
    // Fitted into 18 cm, the picture's centimetre is 18 / 24.4 cm long.
    EXPECT_NEAR(LongestBlackRun(PdfPage(fitted.path, 1, dpi)), 100 * 180.0 / 243.9, 4);
}

// Four bars of 400 courses with 30 yarns; the run-in changes every second course, so the
// course table of each bar has the 200 runs "1-2", "3-4", ..., "399-400".
std::unique_ptr<Design> LargeDesign()
{
    auto design = std::make_unique<Design>();
    MainData start;
    start.barCount = 4;
    start.courseCount = 400;
    MakeNewDesign(*design, start);
    design->document.yarns.clear();
    for (int y = 0; y < 30; ++y) {
        Yarn yarn;
        yarn.name = QStringLiteral("Yarnname%1").arg(y, 2, 10, QLatin1Char('0')).toUtf8();
        yarn.color = 0x102030 * (y + 1);
        design->document.yarns.push_back(yarn);
    }
    for (int b = 0; b < 4; ++b) {
        Tex &bar = design->document.bars[size_t(b)];
        bar.threading.clear();
        for (int y = b; y < 30; y += 4)
            bar.threading.push_back({y, 1, 1, 0});
        for (size_t c = 0; c < bar.lapping.size(); ++c)
            bar.lapping[c] = {0, 0, 0}; // laid in, so no chain text looks like a course run
        for (size_t c = 0; c < bar.courseStates.size(); ++c)
            bar.courseStates[c].runIn = int32_t(1000 + c / 2 + 10 * b);
    }
    return design;
}

int Occurrences(const QString &text, const QString &word)
{
    int count = 0;
    for (const QString &token : text.split(QRegularExpression(QStringLiteral("\\s+"))))
        count += token == word ? 1 : 0;
    return count;
}

TEST_F(Sheets, LargeDesignSpansPagesWithEveryRunOnceAndRepeatedHeaders)
{
    auto design = LargeDesign();
    ReportOptions options;
    options.kind = ReportKind::DesignData;
    const Written pdf = Write(*design, options, QStringLiteral("large.pdf"));
    ASSERT_TRUE(pdf.ok) << pdf.error.toStdString();
    ASSERT_GT(pdf.pages, 4);
    EXPECT_EQ(PdfPages(pdf.path), pdf.pages);
    {
        // Counting alone gives the pages painting makes.
        const ReportTexts texts
            = LoadReportTexts(QStringLiteral(WARPLON_RESOURCES), QStringLiteral("English"));
        const ReportInput input{design->header,     design->document,
                                design->guideBars,  design->treatment,
                                design->simulation, design->cost,
                                design->properties, texts,
                                QImage(),           0,
                                QString(),          false,
                                QString(),          QString(),
                                QSize(100, 100)};
        QPdfWriter counter(m_dir.filePath(QStringLiteral("count.pdf")));
        counter.setPageSize(QPageSize(QPageSize::A4));
        EXPECT_EQ(CountReportPages(counter, input, options), pdf.pages);
    }
    const QString text = PdfText(pdf.path);
    for (int c = 1; c < 400; c += 2) {
        const QString run = QStringLiteral("%1-%2").arg(c).arg(c + 1);
        ASSERT_EQ(Occurrences(text, run), 4) << run.toStdString();
    }
    // Every page names itself, and every page with course runs shows the table's header.
    for (int page = 1; page <= pdf.pages; ++page) {
        const QString pageText = PdfText(pdf.path, page);
        EXPECT_TRUE(PageNumber(pageText, page, pdf.pages));
        const bool runs = QRegularExpression(QStringLiteral("(^|\\s)\\d+-\\d+(\\s|$)"))
                              .match(pageText)
                              .hasMatch();
        if (runs) {
            EXPECT_TRUE(pageText.contains(QStringLiteral("mm/RACK"))) << page;
        }
    }

    // "n / N" stands at the right edge of the header.
    const QString boxes = QString::fromUtf8(
        RunTool(QStringLiteral("pdftotext"),
                {QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("3"),
                 QStringLiteral("-l"), QStringLiteral("3"), pdf.path, QStringLiteral("-")}));
    const QRegularExpressionMatch last
        = QRegularExpression(
              QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" "
                             "xMax=\"([\\d.]+)\" yMax=\"[\\d.]+\">(3\\s*/\\s*)?%1</word>")
                  .arg(pdf.pages))
              .match(boxes);
    ASSERT_TRUE(last.hasMatch()) << boxes.left(2000).toStdString();
    const double rightEdge = 595.0 - 15.0 * 72.0 / 25.4;
    EXPECT_NEAR(last.captured(3).toDouble(), rightEdge, 3.0);
    EXPECT_LT(last.captured(2).toDouble(), 15.0 * 72.0 / 25.4 + 20.0);

    // The yarn sheet lists every yarn once.
    options.kind = ReportKind::Yarn;
    const Written yarns = Write(*design, options, QStringLiteral("yarns.pdf"));
    ASSERT_TRUE(yarns.ok);
    const QString yarnText = PdfText(yarns.path);
    for (int y = 0; y < 30; ++y) {
        const QString name = QStringLiteral("Yarnname%1").arg(y, 2, 10, QLatin1Char('0'));
        EXPECT_EQ(Occurrences(yarnText, name), 1) << name.toStdString();
    }

    // A page range paints those pages only, numbered as in the whole sheet.
    options.kind = ReportKind::DesignData;
    options.firstPage = 2;
    options.lastPage = 3;
    const Written range = Write(*design, options, QStringLiteral("range.pdf"));
    ASSERT_TRUE(range.ok);
    EXPECT_EQ(PdfPages(range.path), 2);
    EXPECT_TRUE(PageNumber(PdfText(range.path, 1), 2, pdf.pages));
    options.firstPage = pdf.pages + 1;
    options.lastPage = 0;
    EXPECT_FALSE(Write(*design, options, QStringLiteral("none.pdf")).ok);

    // Charts: one page a layer when fitted, more at 4 mm cells.
    options = ReportOptions();
    options.kind = ReportKind::DesignLayers;
    const Written fitted = Write(*design, options, QStringLiteral("layers.pdf"));
    ASSERT_TRUE(fitted.ok);
    EXPECT_EQ(fitted.pages, 4);
    options.method = 2;
    const Written scaled = Write(*design, options, QStringLiteral("layers2.pdf"));
    ASSERT_TRUE(scaled.ok);
    EXPECT_GT(scaled.pages, 4 * 5); // 400 courses of 4 mm need 7 pages a layer
}

// Every word of the page lies inside the 15 mm margins.
void ExpectWordsInsideMargins(const QString &path)
{
    const QString html = QString::fromUtf8(
        RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")}));
    const QRegularExpression page(QStringLiteral("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\""));
    const QRegularExpressionMatch size = page.match(html);
    ASSERT_TRUE(size.hasMatch());
    const double width = size.captured(1).toDouble();
    const double margin = 15.0 * 72.0 / 25.4 - 0.5;
    const QRegularExpression word(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"[\\d.]+\" xMax=\"([\\d.]+)\""));
    int words = 0;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        EXPECT_GE(match.captured(1).toDouble(), margin);
        EXPECT_LE(match.captured(2).toDouble(), width - margin);
        ++words;
    }
    EXPECT_GT(words, 20);
}

TEST_F(Sheets, LongNamesStayInTheirCells)
{
    auto design = Sample(QStringLiteral("tricot"));
    const QByteArray longName(255, 'W');
    design->header.note1 = longName;
    design->document.yarns[0].name = longName;
    design->document.yarns[1].name = QByteArray("Very long words ").repeated(15).left(255);
    design->properties.machineName = longName;
    for (ReportKind kind : {ReportKind::Simple, ReportKind::Yarn, ReportKind::Landscape}) {
        ReportOptions options;
        options.kind = kind;
        const Written pdf = Write(*design, options, QStringLiteral("long.pdf"),
                                  QStringLiteral("English"), LightPicture(80, 60));
        ASSERT_TRUE(pdf.ok);
        ExpectWordsInsideMargins(pdf.path);
        // The name is cut or wrapped, never printed across the page.
        EXPECT_FALSE(PdfText(pdf.path).contains(QString::fromLatin1(longName)));
    }
}

TEST_F(Sheets, KoreanSheetsPrintHangul)
{
    auto design = CostDesign();
    design->header.note1 = QStringLiteral("봄 원단").toUtf8();
    ReportOptions options;
    options.kind = ReportKind::Cost;
    const Written pdf
        = Write(*design, options, QStringLiteral("korean.pdf"), QStringLiteral("Korean"));
    ASSERT_TRUE(pdf.ok);
    QString text = PdfText(pdf.path);
    // pdftotext loses the blanks between Hangul words (or turns them into control characters).
    text.remove(QRegularExpression(QStringLiteral("[\\s\\p{Cc}]")));
    EXPECT_TRUE(text.contains(QStringLiteral("원가계산표")));
    EXPECT_TRUE(text.contains(QStringLiteral("원가조건")));
    EXPECT_TRUE(text.contains(QStringLiteral("봄원단")));
    EXPECT_TRUE(text.contains(QStringLiteral("1646.856")));
}

TEST_F(Sheets, DesignWithoutPictureStillGetsItsSheet)
{
    // A zero gauge gives the simulation nothing to draw; the sheet says so in the picture's place.
    auto design = Sample(QStringLiteral("tricot"));
    design->header.gauge = 0;
    design->header.note1 = QByteArrayLiteral("Flat");
    for (ReportKind kind : {ReportKind::Simple, ReportKind::Landscape, ReportKind::Simulation}) {
        ReportOptions options;
        options.kind = kind;
        const Written pdf = Write(*design, options, QStringLiteral("flat.pdf"));
        ASSERT_TRUE(pdf.ok) << pdf.error.toStdString();
        EXPECT_EQ(pdf.pages, 1);
        const QString text = PdfText(pdf.path);
        EXPECT_TRUE(text.contains(QStringLiteral("Flat")));
        EXPECT_TRUE(text.contains(QStringLiteral("1-0/1-2//")) || kind == ReportKind::Simulation);
        EXPECT_TRUE(text.contains(QStringLiteral("above zero"))); // the simulation's reason
        EXPECT_FALSE(text.contains(QStringLiteral("1 cm")));      // no picture, no scale bar
    }
}

// Pixels that are nearly black.
int DarkPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += qGray(image.pixel(x, y)) < 40 ? 1 : 0;
    }
    return count;
}

TEST_F(Sheets, DesignImageFollowsTheChartBackground)
{
    auto design = Sample(QStringLiteral("tricot"));
    ReportOptions options;
    options.kind = ReportKind::DesignWindow;
    design->designWindow.chartBackground = ChartBlack;
    const Written black = Write(*design, options, QStringLiteral("black.pdf"));
    design->designWindow.chartBackground = ChartWhite;
    const Written white = Write(*design, options, QStringLiteral("white.pdf"));
    ASSERT_TRUE(black.ok && white.ok);
    const QImage blackPage = PdfPage(black.path, 1, 50);
    const QImage whitePage = PdfPage(white.path, 1, 50);
    // The black point paper covers a good part of the page; the white one leaves it light.
    EXPECT_GT(DarkPixels(blackPage), blackPage.width() * blackPage.height() / 10);
    EXPECT_LT(DarkPixels(whitePage), DarkPixels(blackPage) / 4);
    EXPECT_TRUE(BlankMargin(blackPage, 14.0, 50));
}

TEST_F(Sheets, MissingLayerPrintsNothing)
{
    auto design = Sample(QStringLiteral("tricot"));
    ASSERT_EQ(design->document.bars.size(), 2u);
    ReportOptions options;
    options.kind = ReportKind::DesignLayer;
    options.layer = 3;
    const Written pdf = Write(*design, options, QStringLiteral("layer3.pdf"));
    EXPECT_FALSE(pdf.ok);
    EXPECT_EQ(pdf.error, QStringLiteral("The design has no such layer. Nothing was printed."));
    EXPECT_FALSE(QFile::exists(pdf.path));

    // A device the painter cannot begin on reports it instead of printing nothing silently.
    options.layer = 1;
    const ReportTexts texts
        = LoadReportTexts(QStringLiteral(WARPLON_RESOURCES), QStringLiteral("English"));
    const ReportInput input{design->header,     design->document,
                            design->guideBars,  design->treatment,
                            design->simulation, design->cost,
                            design->properties, texts,
                            QImage(),           0,
                            QString(),          false,
                            QString(),          QString(),
                            QSize(100, 100)};
    QPdfWriter unwritable(m_dir.filePath(QStringLiteral("missing/folder/out.pdf")));
    QString error;
    EXPECT_FALSE(PaintReport(unwritable, input, options, &error));
    EXPECT_EQ(error, texts.print.TextAt(LabelNotPrinted));
    EXPECT_FALSE(error.isEmpty());

    options.layer = 2;
    const Written second = Write(*design, options, QStringLiteral("layer2.pdf"));
    ASSERT_TRUE(second.ok);
    const QString text = PdfText(second.path);
    EXPECT_TRUE(text.contains(QStringLiteral("Layer 2")));
    EXPECT_TRUE(text.contains(QStringLiteral("1-2/1-0//")));
    EXPECT_FALSE(text.contains(QStringLiteral("Layer 1")));
}

} // namespace
} // namespace warplon
