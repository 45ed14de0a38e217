#pragma once

#include "base/progress.h"

#include <QString>

class QWidget;

namespace warplon {

class TProgress_F;

// The progress of one run, shown in the progress window: the simulation window creates one for
// a run, hands it to the calculation steps and lets it go at the end, which closes the window.
// While the calculation runs on the user-interface thread, each report repaints the window and
// lets the window system deliver its events, so the bar moves and Esc (anywhere in the program)
// or the window's close button can stop the run; every other mouse and key input is held back
// until the run ends, so nobody edits the design under a running calculation.
class WindowProgress : public Progress
{
public:
    // Places the window over `anchor` (centred on the anchor's size, measured from the origin of
    // the anchor's parent), sets its caption to `title` and shows it. `anchor` may be null: the
    // window then stays where it was.
    WindowProgress(TProgress_F &window, const QString &title, QWidget *anchor);
    ~WindowProgress() override;
    WindowProgress(const WindowProgress &) = delete;
    WindowProgress &operator=(const WindowProgress &) = delete;

    // A new stage: caption := title, percent 0 (the window hides until work is reported).
    void Step(const QString &title);
    void SetPercent(int32_t percent) override;
    bool StopRequested() const override;

private:
    void DeliverEvents();

    TProgress_F &m_window;
};

} // namespace warplon
