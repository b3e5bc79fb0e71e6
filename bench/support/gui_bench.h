// Shared pieces of the end-to-end benchmarks: the demo portal in a process of its own (so that
// its threads do not compete with the GUI thread being measured), a meter of the GUI thread's
// gaps between two rounds of event processing, and waiting for a loader to end.
#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

namespace fundlens::bench {

// The demo portal started with `options` beside the fixed market day; empty base when it did
// not start. Stopped when destroyed.
class PortalProcess {
public:
    explicit PortalProcess(const QStringList& options);
    ~PortalProcess();
    const std::string& base() const { return m_base; }

private:
    QProcess m_process;
    std::string m_base;
};

// Watches the GUI thread: a timer due every millisecond runs whenever it processes events; the
// times between two runs are its gaps. (A zero-interval timer would keep a core busy and starve
// the workers being measured.)
class GapMeter {
public:
    GapMeter();
    void Start();
    void Stop();
    double LongestMs() const;
    double PercentileMs(double share);

private:
    void Tick();

    QTimer m_ticker;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    std::vector<qint64> m_gaps;
};

// Processes events until `finished` holds.
void WaitFor(const std::function<bool()>& finished);

// Lets a new window be shown and painted (fonts loaded) before anything is measured.
void Settle();

// The main of a GUI benchmark: an offscreen application set up as the program's, then every
// registered benchmark.
int GuiBenchmarkMain(int argc, char** argv);

} // namespace fundlens::bench
