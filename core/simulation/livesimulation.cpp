#include "simulation/livesimulation.h"

#include "base/progress.h"
#include "base/randomsource.h"
#include "simulation/simulationrun.h"

#include <QTimer>

namespace warplon {

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
        QMetaObject::invokeMethod(
            m_live.m_context.get(),
            [&live = m_live, generation = m_generation, stage = m_stage, percent = m_percent] {
                if (live.m_progress && generation == live.m_generation.load())
                    live.m_progress(stage, percent);
            },
            Qt::QueuedConnection);
    }

    LiveSimulation &m_live;
    uint64_t m_generation;
    int32_t m_stage = 0;
    int32_t m_percent = -1;
};

LiveSimulation::LiveSimulation(SnapshotSource source, FinishedHandler finished)
    : m_source(std::move(source))
    , m_finished(std::move(finished))
    , m_context(std::make_unique<QObject>())
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
        QMetaObject::invokeMethod(
            m_context.get(), [this, outcome] { deliver(outcome); }, Qt::QueuedConnection);
    }
}

void LiveSimulation::deliver(std::shared_ptr<SimulationOutcome> outcome)
{
    if (outcome->generation != m_generation.load())
        return;
    m_delivered = outcome->generation;
    if (m_finished)
        m_finished(std::move(outcome));
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
