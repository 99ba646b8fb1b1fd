#pragma once
// What keeps the server loaded: live objects, class-factory locks and open merge windows.
#include <windows.h>
#include <atomic>

namespace ServerLife {

inline HMODULE module = nullptr;
inline std::atomic<long> objects{0};
inline std::atomic<long> locks{0};
inline std::atomic<long> windows{0};

inline bool CanUnload() noexcept { return objects == 0 && locks == 0 && windows == 0; }

}  // namespace ServerLife
