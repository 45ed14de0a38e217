#pragma once

// Live simulation: the picture follows every edit. Each change of what the simulation reads
// schedules a run a short delay after the last change; the run works on a copy of the design on
// a worker thread, so the windows stay responsive; a newer change stops the running run at its
// next progress report and starts again from the newer copy. Only the run of the newest copy
// delivers its picture, whole, in the thread that made the object.

#include "bitmap/corvexbitmap.h"
#include "knit/records.h"
#include "knit/treatmentdata.h"
#include "knit/tricot.h"
#include "simulation/simulationsettings.h"

#include <QEvent>
#include <QObject>
#include <QSize>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

class QTimer;

namespace warplon {

class SimulationModelCache;

// Everything a run reads, copied, so a run can go on while the design is edited.
struct SimulationSnapshot
{
    MainData header;
    TexLayer document;
    GuideBarData guideBars;
    TreatmentData treatment;
    SimulationSettings settings;
    int32_t currentBar = 0;
    QSize view{800, 600};
    DirectionMemory directions; // the program's pair when the copy was taken
    uint64_t seed = 1;
};

// The copy of the design's parts as the program holds them, with the program's direction memory
// at this moment.
SimulationSnapshot TakeSimulationSnapshot(const MainData &header, const TexLayer &document,
                                          const GuideBarData &guideBars,
                                          const TreatmentData &treatment,
                                          const SimulationSettings &settings, int32_t currentBar,
                                          QSize view, uint64_t seed);

// What a finished run hands back: the picture, the settings as the run completed them (pixels
// per wale and course, repeats), the direction memory after the build, or why nothing was made.
struct SimulationOutcome
{
    uint64_t generation = 0; // which change it belongs to, counting from 1
    bool made = false;
    TCorvexBitmap picture;
    SimulationSettings settings;
    DirectionMemory directions;
    QString error;
};

class LiveSimulation
{
public:
    using SnapshotSource = std::function<SimulationSnapshot()>;
    using FinishedHandler = std::function<void(std::shared_ptr<SimulationOutcome>)>;
    using ProgressHandler = std::function<void(int32_t stage, int32_t percent)>;

    // `source` takes the copy when the delay after the last change is over; `finished` gets
    // the outcome of every run that was not overtaken by a newer change.
    LiveSimulation(SnapshotSource source, FinishedHandler finished);
    // Stops the running run and waits for the worker; no handler is called after this.
    ~LiveSimulation();
    LiveSimulation(const LiveSimulation &) = delete;
    LiveSimulation &operator=(const LiveSimulation &) = delete;

    // Milliseconds between the last change and the start of its run (30 by default).
    void SetDelay(int32_t milliseconds);
    // Reports of the running run, throttled to changes of the whole percentage.
    void SetProgressHandler(ProgressHandler handler) { m_progress = std::move(handler); }

    // Something the simulation reads changed: the running run is asked to stop, and a new run
    // starts when no further change comes within the delay.
    void Changed();
    // Takes the copy now and runs it, without waiting for the delay.
    void RunNow();

    // True from a change until the outcome of the newest run was delivered.
    bool busy() const;
    // Runs the worker started since the object was made, including stopped ones.
    int64_t runsStarted() const { return m_runsStarted.load(); }
    // The newest change's generation.
    uint64_t generation() const { return m_generation.load(); }

private:
    class Context;
    class RunProgress;
    void submit();
    void work();
    // Posts a wake-up to the owner's thread.
    void wake(QEvent::Type type);
    // In the owner's thread: hands the newest finished outcome to the handler.
    void deliver();

    SnapshotSource m_source;
    FinishedHandler m_finished;
    ProgressHandler m_progress;
    std::unique_ptr<Context> m_context; // lives in the owner's thread; the worker wakes it
    QTimer *m_delay = nullptr;

    std::atomic<uint64_t> m_generation{0}; // of the newest change
    std::atomic<uint64_t> m_delivered{0};  // of the newest outcome delivered
    std::atomic<int64_t> m_runsStarted{0};
    std::atomic<bool> m_quit{false};
    std::unique_ptr<SimulationModelCache> m_cache; // the worker's alone

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<std::pair<uint64_t, SimulationSnapshot>> m_pending;
    std::shared_ptr<SimulationOutcome> m_finishedOutcome; // waiting for the owner's thread
    // The latest report of the running run, for the owner's thread.
    std::atomic<int32_t> m_reportedStage{0};
    std::atomic<int32_t> m_reportedPercent{0};
    std::atomic<uint64_t> m_reportedGeneration{0};
    std::thread m_worker;
};

// Runs one snapshot the way the live simulation does, in the calling thread: the same
// pictures, given the same copy and seed. `cache` may be null.
std::shared_ptr<SimulationOutcome> RunSnapshot(SimulationSnapshot snapshot,
                                               SimulationModelCache *cache, Progress *progress);

} // namespace warplon
