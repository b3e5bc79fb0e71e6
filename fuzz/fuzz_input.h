// The fuzzer's input as an answer of the portal: its bytes as received.
#pragma once

#include "text/text.h"

#include <cstddef>
#include <cstdint>

namespace fundlens::fuzz {

inline Text Answer(const std::uint8_t* data, std::size_t size) {
    return Text(reinterpret_cast<const char*>(data), size);
}

} // namespace fundlens::fuzz
