// How many more GDI and USER objects this process can make before it runs out. Wine's
// GetGuiResources says 0, so objects still in use show as a smaller count; shared by the tests
// and the footprint benchmark.
#pragma once

#include "platform/handle.h"

#include <vector>

namespace bench {

template <typename Owner, typename Make> int objectsLeft(Make make) {
    std::vector<Owner> made;
    made.reserve(70000);
    while (auto h = make())
        made.emplace_back(h);
    return static_cast<int>(made.size()); // all released here
}

inline int gdiObjectsLeft() {
    return objectsLeft<platform::PenHandle>([] { return ::CreatePen(PS_SOLID, 1, RGB(1, 2, 3)); });
}

inline int userObjectsLeft() {
    return objectsLeft<platform::MenuHandle>([] { return ::CreateMenu(); });
}

} // namespace bench
