// The net-value chart images of the portal ("/img/jjjz/<code>.png"), drawn with QtGui.
#pragma once

#include "demo-portal/universe.h"

#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace fundlens::demo {

inline constexpr int ChartWidth = 770;
inline constexpr int ChartHeight = 270;

// Text can be drawn only while a QGuiApplication exists (fonts need one).
bool CanDrawText();

// PNG bytes of the fund's unit net value over its last year (or its life when shorter):
// axes, grid and the curve, with axis labels and a title when `withText`.
std::string RenderNetValueChart(const Universe& universe, const Fund& fund, bool withText);

// The rendered images, bounded: the least recently used one goes first.
class ChartCache {
public:
    explicit ChartCache(std::size_t capacity = 256) : m_capacity(capacity) {}

    std::shared_ptr<const std::string> Get(const Universe& universe, const Fund& fund);
    std::size_t Size() const;

private:
    using Entry = std::pair<std::string, std::shared_ptr<const std::string>>;
    std::size_t m_capacity;
    mutable std::mutex m_mutex;
    std::mutex m_renderMutex;   // one painter at a time: the font machinery is shared
    std::list<Entry> m_entries; // most recent first
    std::unordered_map<std::string, std::list<Entry>::iterator> m_index;
};

} // namespace fundlens::demo
