#include "capture/calibration.h"

#include "text/inifile.h"

#include <QLocale>

#include <cmath>

namespace warplon {

namespace {

const QString kSection = QStringLiteral("Capture");
const QString kUmPerDot = QStringLiteral("UM/DOT");
const QString kMagnification = QStringLiteral("MAGNIFICATION");
const QString kResWidth = QStringLiteral("RES_WIDTH");
const QString kTuning = QStringLiteral("TUNING");

QString MainFile(const QString &programDirectory)
{
    return programDirectory + QStringLiteral("/Main.ini");
}

} // namespace

const std::vector<int32_t> &CaptureMagnifications()
{
    static const std::vector<int32_t> values = {40, 100, 150, 170, 250, 300, 450, 500, 750, 800};
    return values;
}

bool CaptureCalibration::ApplyRule()
{
    if (tuning == 0 || resWidth == 0 || magnification == 0)
        return false;
    umPerDot = double(tuning) / double(resWidth) / double(magnification);
    return true;
}

void CaptureCalibration::SetMagnification(int32_t value)
{
    if (value != 0)
        magnification = value;
    if (magnification == 0)
        return; // only possible from a settings file; nothing to divide by
    if (resWidth == 0)
        umPerDot = double(tuning) * 0.003125 / double(magnification);
    else
        umPerDot = double(tuning) / double(resWidth) / double(magnification);
}

void CaptureCalibration::SetTuning(int32_t value)
{
    tuning = value;
    ApplyRule();
}

bool CaptureCalibration::FrameCaptured(int32_t frameWidth)
{
    if (frameWidth == 0)
        return false;
    resWidth = frameWidth;
    ApplyRule();
    return true;
}

CaptureCalibration ReadCaptureCalibration(const IniFile &ini)
{
    CaptureCalibration calibration;
    bool ok = false;
    const double umPerDot = ini.ReadString(kSection, kUmPerDot).toDouble(&ok);
    calibration.umPerDot = ok && std::isfinite(umPerDot) ? umPerDot : 0.0;
    calibration.magnification = ini.ReadInteger(kSection, kMagnification, 100);
    calibration.resWidth = ini.ReadInteger(kSection, kResWidth, 320);
    calibration.tuning = ini.ReadInteger(kSection, kTuning, 300000);
    calibration.ApplyRule();
    return calibration;
}

bool WriteCaptureCalibration(IniFile &ini, const CaptureCalibration &calibration)
{
    const QString umPerDot
        = QString::number(calibration.umPerDot, 'g', QLocale::FloatingPointShortest);
    bool ok = ini.WriteString(kSection, kUmPerDot, umPerDot);
    ok = ini.WriteInteger(kSection, kMagnification, calibration.magnification) && ok;
    ok = ini.WriteInteger(kSection, kResWidth, calibration.resWidth) && ok;
    ok = ini.WriteInteger(kSection, kTuning, calibration.tuning) && ok;
    return ok;
}

CaptureCalibration LoadCaptureCalibration(const QString &programDirectory)
{
    return ReadCaptureCalibration(IniFile(MainFile(programDirectory)));
}

bool SaveCaptureCalibration(const QString &programDirectory, const CaptureCalibration &calibration)
{
    IniFile ini(MainFile(programDirectory));
    return WriteCaptureCalibration(ini, calibration);
}

QString LoadCaptureSource(const QString &programDirectory)
{
    return IniFile(MainFile(programDirectory)).ReadString(kSection, QStringLiteral("Source"));
}

} // namespace warplon
