#include "web/process_state.h"

#include "web/web_request.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

namespace fundlens {
namespace web {
namespace {

struct Registry {
    std::mutex mutex;
    std::vector<CURLM*> multis; // one per thread that has made a request
    TransferSettings settings;
};

Registry& TheRegistry() {
    static auto* registry = new Registry; // never destroyed: threads may outlive statics
    return *registry;
}

std::atomic<bool> g_aborted{false};

} // namespace

TransferSettings CurrentSettings() {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    return registry.settings;
}

bool Aborted() {
    return g_aborted.load();
}

void GlobalInit() {
    static const bool initialised = [] { return curl_global_init(CURL_GLOBAL_ALL) == CURLE_OK; }();
    (void)initialised;
}

ThreadHandles::ThreadHandles() {
    GlobalInit();
    multi = curl_multi_init();
    easy = curl_easy_init();
    if (multi) {
        Registry& registry = TheRegistry();
        std::lock_guard lock(registry.mutex);
        registry.multis.push_back(multi);
    }
}

ThreadHandles::~ThreadHandles() {
    if (multi) {
        Registry& registry = TheRegistry();
        std::lock_guard lock(registry.mutex);
        std::erase(registry.multis, multi);
    }
    if (easy)
        curl_easy_cleanup(easy);
    if (multi)
        curl_multi_cleanup(multi);
}

bool ThreadHandles::PrepareEasy() {
    if (easy)
        curl_easy_reset(easy);
    else
        easy = curl_easy_init();
    return multi && easy;
}

ThreadHandles& Handles() {
    thread_local ThreadHandles handles;
    return handles;
}

} // namespace web

void SetExtraCaBundle(const Text& path) {
    web::Registry& registry = web::TheRegistry();
    std::lock_guard lock(registry.mutex);
    registry.settings.extraCaBundle = path;
}

void SetRequestTimeouts(int noProgressSeconds, int deadlineSeconds) {
    web::Registry& registry = web::TheRegistry();
    std::lock_guard lock(registry.mutex);
    registry.settings.noProgressSeconds =
        noProgressSeconds > 0 ? noProgressSeconds : web::DefaultTimeoutSeconds;
    registry.settings.deadlineSeconds =
        deadlineSeconds > 0 ? deadlineSeconds : web::DefaultDeadlineSeconds;
}

void AbortAllTransfers() {
    web::g_aborted.store(true);
    web::Registry& registry = web::TheRegistry();
    std::lock_guard lock(registry.mutex);
    for (CURLM* multi : registry.multis)
        curl_multi_wakeup(multi);
}

} // namespace fundlens
