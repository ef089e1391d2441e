// Left clicks step one row's own counter through 13 states; 11 and 12 show the first skin again.
#pragma once

#include <cstdint>

namespace skins {

// The counter after one click: 12 or more wraps to 0.
constexpr std::int32_t nextCycleState(std::int32_t counter) {
    return counter >= 12 ? 0 : counter + 1;
}

} // namespace skins
