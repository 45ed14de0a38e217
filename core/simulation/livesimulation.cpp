#include "simulation/livesimulation.h"

#include "base/progress.h"
#include "base/randomsource.h"
#include "simulation/simulationrun.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

#if defined(__SANITIZE_THREAD__)
#include <sanitizer/tsan_interface.h>
#endif

namespace warplon {

namespace {

// The worker wakes the owner's thread with these events. They carry no data: what they announce
// waits under the worker's mutex or in atomics, so the hand-over is one the thread checker sees.
const QEvent::Type kFinishedEvent = QEvent::Type(QEvent::User + 101);
const QEvent::Type kProgressEvent = QEvent::Type(QEvent::User + 102);

// Qt's event queue orders the posting thread's work before the event's delivery, but the thread
// checker cannot see into Qt; these tell it so.
void handOver([[maybe_unused]] void *token)
{
#if defined(__SANITIZE_THREAD__)
    __tsan_release(token);
#endif
}

void takeOver([[maybe_unused]] void *token)
{
#if defined(__SANITIZE_THREAD__)
    __tsan_acquire(token);
#endif
}

} // namespace

// Lives in the owner's thread and turns the worker's wake-ups into calls there.
class LiveSimulation::Context : public QObject
{
public:
    explicit Context(LiveSimulation &live)
        : m_live(live)
    {}

protected:
    bool event(QEvent *event) override
    {
        takeOver(&m_live);
        if (event->type() == kFinishedEvent) {
            m_live.deliver();
            return true;
        }
        if (event->type() == kProgressEvent) {
            if (m_live.m_progress && m_live.m_reportedGeneration == m_live.m_generation.load())
                m_live.m_progress(m_live.m_reportedStage, m_live.m_reportedPercent);
            return true;
        }
        return QObject::event(event);
    }

private:
    LiveSimulation &m_live;
};

// The worker's progress: stops the run as soon as a newer change came or the owner is going,
// and passes whole percentages on to the owner's thread.
class LiveSimulation::RunProgress : public Progress
{
public:
    RunProgress(LiveSimulation &live, uint64_t generation)
        : m_live(live)
        , m_generation(generation)
    {}

    void SetPercent(int32_t percent) override
    {
        if (percent == m_percent || !m_live.m_progress)
            return;
        m_percent = percent;
        post();
    }
    void BeginStage(int32_t stage) override
    {
        m_stage = stage;
        m_percent = 0;
        if (m_live.m_progress)
            post();
    }
    bool StopRequested() const override
    {
        return m_live.m_quit.load() || m_live.m_generation.load() != m_generation;
    }

private:
    void post()
    {
        m_live.m_reportedStage = m_stage;
        m_live.m_reportedPercent = m_percent;
        m_live.m_reportedGeneration = m_generation;
        m_live.wake(kProgressEvent);
    }

    LiveSimulation &m_live;
    uint64_t m_generation;
    int32_t m_stage = 0;
    int32_t m_percent = -1;
};

LiveSimulation::LiveSimulation(SnapshotSource source, FinishedHandler finished)
    : m_source(std::move(source))
    , m_finished(std::move(finished))
    , m_context(std::make_unique<Context>(*this))
    , m_cache(std::make_unique<SimulationModelCache>())
{
    m_delay = new QTimer(m_context.get());
    m_delay->setSingleShot(true);
    m_delay->setInterval(30);
    QObject::connect(m_delay, &QTimer::timeout, m_context.get(), [this] { submit(); });
    m_worker = std::thread([this] { work(); });
}

LiveSimulation::~LiveSimulation()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_all();
    m_worker.join();
    // Deliveries still queued to the context are dropped with it.
    m_context.reset();
}

void LiveSimulation::SetDelay(int32_t milliseconds)
{
    m_delay->setInterval(std::max(0, milliseconds));
}

void LiveSimulation::Changed()
{
    // The running run sees the new generation at its next report and stops.
    ++m_generation;
    m_delay->start();
}

void LiveSimulation::RunNow()
{
    ++m_generation;
    m_delay->stop();
    submit();
}

bool LiveSimulation::busy() const
{
    return m_delivered.load() != m_generation.load();
}

void LiveSimulation::submit()
{
    SimulationSnapshot snapshot = m_source();
    {
        std::lock_guard lock(m_mutex);
        m_pending.emplace(m_generation.load(), std::move(snapshot));
    }
    m_wake.notify_all();
}

void LiveSimulation::work()
{
    for (;;) {
        std::pair<uint64_t, SimulationSnapshot> job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_quit.load() || m_pending.has_value(); });
            if (m_quit.load())
                return;
            job = std::move(*m_pending);
            m_pending.reset();
        }
        if (job.first != m_generation.load())
            continue; // overtaken while waiting
        ++m_runsStarted;
        RunProgress progress(*this, job.first);
        std::shared_ptr<SimulationOutcome> outcome
            = RunSnapshot(std::move(job.second), m_cache.get(), &progress);
        outcome->generation = job.first;
        if (progress.StopRequested())
            continue; // a newer change or the end: this picture belongs to no one
        {
            std::lock_guard lock(m_mutex);
            m_finishedOutcome = std::move(outcome);
        }
        wake(kFinishedEvent);
    }
}

void LiveSimulation::wake(QEvent::Type type)
{
    auto *wakeUp = new QEvent(type);
    handOver(this);
    QCoreApplication::postEvent(m_context.get(), wakeUp);
}

void LiveSimulation::deliver()
{
    std::shared_ptr<SimulationOutcome> outcome;
    {
        std::lock_guard lock(m_mutex);
        outcome = std::move(m_finishedOutcome);
    }
    if (!outcome || outcome->generation != m_generation.load())
        return;
    m_delivered = outcome->generation;
    if (m_finished)
        m_finished(std::move(outcome));
}

SimulationSnapshot TakeSimulationSnapshot(const MainData &header, const TexLayer &document,
                                          const GuideBarData &guideBars,
                                          const TreatmentData &treatment,
                                          const SimulationSettings &settings, int32_t currentBar,
                                          QSize view, uint64_t seed)
{
    return SimulationSnapshot{header,   document,   guideBars, treatment,
                              settings, currentBar, view,      ProgramDirectionMemory(),
                              seed};
}

std::shared_ptr<SimulationOutcome> RunSnapshot(SimulationSnapshot snapshot,
                                               SimulationModelCache *cache, Progress *progress)
{
    auto outcome = std::make_shared<SimulationOutcome>();
    RandomSource random(snapshot.seed);
    outcome->directions = snapshot.directions;
    SimulationJob job{snapshot.header,    snapshot.document, snapshot.guideBars,
                      snapshot.treatment, snapshot.settings, snapshot.currentBar,
                      snapshot.view};
    job.cache = cache;
    job.directions = &outcome->directions;
    outcome->made
        = RunSimulation(job, outcome->picture, random, progress, nullptr, &outcome->error);
    outcome->settings = snapshot.settings;
    return outcome;
}

} // namespace warplon
