#include "support/gui_bench.h"

#include "app/startup.h"

#include <QApplication>
#include <QCoreApplication>
#include <QRegularExpression>
#include <algorithm>
#include <benchmark/benchmark.h>

namespace fundlens::bench {

namespace {

constexpr int PortalStartMs = 30000;
constexpr int PortalStopMs = 5000;
constexpr int SettleMs = 300;
constexpr const char* MarketDay = "2026-12-08";

} // namespace

PortalProcess::PortalProcess(const QStringList& options) {
    m_process.start(QStringLiteral(FUNDLENS_DEMO_PORTAL),
                    QStringList{QStringLiteral("--port"), QStringLiteral("0"),
                                QStringLiteral("--date"), QString::fromUtf8(MarketDay)} +
                        options);
    if (!m_process.waitForStarted() || !m_process.waitForReadyRead(PortalStartMs))
        return;
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("(http://\\S+)")).match(m_process.readLine());
    if (match.hasMatch())
        m_base = match.captured(1).toStdString();
}

PortalProcess::~PortalProcess() {
    m_process.terminate();
    m_process.waitForFinished(PortalStopMs);
}

GapMeter::GapMeter() {
    m_ticker.setTimerType(Qt::PreciseTimer);
    m_ticker.setInterval(1);
    QObject::connect(&m_ticker, &QTimer::timeout, &m_ticker, [this] { Tick(); });
}

void GapMeter::Start() {
    m_clock.start();
    m_last = 0;
    m_ticker.start();
}

void GapMeter::Stop() {
    Tick();
    m_ticker.stop();
}

double GapMeter::LongestMs() const {
    return m_gaps.empty() ? 0 : *std::max_element(m_gaps.begin(), m_gaps.end()) / 1e6;
}

double GapMeter::PercentileMs(double share) {
    if (m_gaps.empty())
        return 0;
    std::sort(m_gaps.begin(), m_gaps.end());
    const auto at = static_cast<std::size_t>(share * static_cast<double>(m_gaps.size() - 1));
    return static_cast<double>(m_gaps[at]) / 1e6;
}

void GapMeter::Tick() {
    const qint64 now = m_clock.nsecsElapsed();
    m_gaps.push_back(now - m_last);
    m_last = now;
}

void WaitFor(const std::function<bool()>& finished) {
    while (!finished())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void Settle() {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < SettleMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

int GuiBenchmarkMain(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    PrepareApplication();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace fundlens::bench
