// Saved portal answers under tests/data/portal.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

namespace fundlens {

inline std::string ReadPortalFixture(const std::string& name) {
    std::ifstream in(std::string(FUNDLENS_TEST_DATA) + "/portal/" + name, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

} // namespace fundlens
