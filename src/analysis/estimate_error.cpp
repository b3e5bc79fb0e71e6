#include "analysis/estimate_error.h"

#include "analysis/dates.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace fundlens {

namespace {

// |estimate - confirmed| of the records that have both, by day.
std::map<int, double> ErrorsByDay(const std::vector<EstimateRecord>& records) {
    std::map<int, double> errors;
    for (const EstimateRecord& record : records) {
        const std::optional<int> day = ReadDay(record.tradeDate);
        if (!day || !record.estimatePct || !record.confirmedPct)
            continue;
        const double error = std::fabs(*record.estimatePct - *record.confirmedPct);
        if (std::isfinite(error))
            errors[*day] = error;
    }
    return errors;
}

double MedianOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

} // namespace

std::optional<double> MedianAbsoluteError(const std::vector<EstimateRecord>& records) {
    const std::map<int, double> errors = ErrorsByDay(records);
    std::vector<double> latest;
    for (auto it = errors.rbegin();
         it != errors.rend() && static_cast<int>(latest.size()) < EstimateErrorDays; ++it)
        latest.push_back(it->second);
    if (static_cast<int>(latest.size()) < MinEstimateErrorDays)
        return std::nullopt;
    return MedianOf(std::move(latest));
}

} // namespace fundlens
