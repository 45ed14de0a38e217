#pragma once

#include <QWidget>

#include <cstdint>

class QFrame;
class QLabel;

namespace warplon {

// The small stay-on-top window that shows how far a long calculation has come: a lowered panel
// with a light-blue bar growing inside it and the percentage beside it. Created once at start-up
// and driven by a WindowProgress during each run. Esc or the close button asks the running
// calculation to stop.
class TProgress_F : public QWidget
{
    Q_OBJECT

public:
    explicit TProgress_F(QWidget *parent = nullptr);

    // Caption := title, show, then percent 0 (which hides the window until work is reported).
    void Step(const QString &title);
    // Limits `percent` to 0..100, sizes the bar, sets the label, shows the window above 0 and
    // hides it at 0, then repaints at once.
    void SetPercent(int32_t percent);

    int32_t percent() const { return m_percent; }
    int32_t barWidth() const;
    int32_t fullBarWidth() const;
    QString percentText() const;

    // A run lasts from BeginRun to EndRun (WindowProgress does both). During a run Esc or the
    // close button asks the calculation to stop instead of closing the window; EndRun closes it.
    void BeginRun();
    void EndRun();
    bool running() const { return m_running; }
    bool stopRequested() const { return m_stopRequested; }
    void requestStop() { m_stopRequested = m_running; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QLabel *m_percentLabel = nullptr;
    QFrame *m_barOut = nullptr;
    QFrame *m_barIn = nullptr;
    int32_t m_percent = 0;
    bool m_running = false;
    bool m_stopRequested = false;
};

} // namespace warplon
