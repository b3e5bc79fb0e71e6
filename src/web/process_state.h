// What the web layer keeps for the whole process: the settings every transfer reads (an extra
// CA bundle, the timeouts), the abort flag for exit, and each thread's reusable libcurl
// handles. Internal to src/web.
#pragma once

#include <curl/curl.h>
#include <string>

namespace fundlens::web {

inline constexpr int DefaultTimeoutSeconds = 30;  // longest time without progress
inline constexpr int DefaultDeadlineSeconds = 60; // longest time for a whole transfer

struct TransferSettings {
    std::string extraCaBundle; // empty: the system store only
    int noProgressSeconds = DefaultTimeoutSeconds;
    int deadlineSeconds = DefaultDeadlineSeconds;
};

// A copy of the settings as they stand.
TransferSettings CurrentSettings();

// True once AbortAllTransfers has run.
bool Aborted();

// libcurl's process-wide initialisation, done once.
void GlobalInit();

// The calling thread's multi and easy handles. The multi handle keeps the thread's connections
// alive between transfers and is registered so that an abort can wake it.
struct ThreadHandles {
    CURLM* multi = nullptr;
    CURL* easy = nullptr;

    ThreadHandles();
    ~ThreadHandles();
    ThreadHandles(const ThreadHandles&) = delete;
    ThreadHandles& operator=(const ThreadHandles&) = delete;

    // A reset easy handle for the next transfer; false when none could be made.
    bool PrepareEasy();
};

ThreadHandles& Handles();

} // namespace fundlens::web
