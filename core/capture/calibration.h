#pragma once

// The calibration of the capture window: how many micrometres of fabric one picture pixel
// covers, from the optics' magnification, the width of the captured frame and a calibration
// constant. Kept in section "Capture" of "Main.ini" beside the window's "Visible" switch.

#include <QString>

#include <cstdint>
#include <vector>

namespace warplon {

class IniFile;

// The magnifications offered by the window's magnification list, in its order.
const std::vector<int32_t> &CaptureMagnifications();
// The list's start value.
constexpr int32_t kDefaultMagnification = 100;

struct CaptureCalibration
{
    double umPerDot = 0.0;       // micrometres per picture pixel ("UM/DOT")
    int32_t magnification = 100; // "MAGNIFICATION"
    int32_t resWidth = 320;      // pixels across the last captured frame ("RES_WIDTH")
    int32_t tuning = 300000;     // micrometres across the field of view at magnification 1

    // Whenever tuning, frame width and magnification are all non-zero, umPerDot is
    // tuning / resWidth / magnification; otherwise umPerDot stays as it is. True when applied.
    bool ApplyRule();

    // A magnification chosen in the list. A non-zero value becomes the magnification; then, with
    // a non-zero magnification, umPerDot is recomputed: by the rule, or as
    // tuning * 0.003125 / magnification when no frame width is known (0.003125 = 1 / 320, the
    // frame width of a fresh install).
    void SetMagnification(int32_t value);

    // A new calibration constant typed by the user; umPerDot follows by the rule.
    void SetTuning(int32_t value);

    // A frame of frameWidth pixels was captured. A width of 0 changes nothing (false); otherwise
    // it becomes the frame width and umPerDot follows by the rule.
    bool FrameCaptured(int32_t frameWidth);
};

// The four keys from section "Capture": "UM/DOT" (a decimal number, 0 when missing or not a
// finite number), "MAGNIFICATION" (100), "RES_WIDTH" (320) and "TUNING" (300000), then the
// rule, so a fresh install measures at 9.375 um per pixel.
CaptureCalibration ReadCaptureCalibration(const IniFile &ini);
// Writes the four keys, UM/DOT as the shortest decimal that reads back to the same double.
// False when the file could not be written.
bool WriteCaptureCalibration(IniFile &ini, const CaptureCalibration &calibration);

// The same on "Main.ini" of the program directory.
CaptureCalibration LoadCaptureCalibration(const QString &programDirectory);
bool SaveCaptureCalibration(const QString &programDirectory, const CaptureCalibration &calibration);

// The video source of a capture, key "Source" of the same section: empty for the camera, else
// the path of a video clip or picture that stands in for it.
QString LoadCaptureSource(const QString &programDirectory);

} // namespace warplon
