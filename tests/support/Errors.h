#pragma once
// The text of the error a step throws, or "(no error)" when it throws none.
#include <exception>
#include <functional>
#include <string>

namespace qmtest {

inline std::string errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no error)";
}

}  // namespace qmtest
