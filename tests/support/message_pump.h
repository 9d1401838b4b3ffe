// Runs the test thread's messages until a condition holds, for at most a bound.
#pragma once

#include <windows.h>

namespace testing_support {

// Returns whether the condition held before the time ran out.
template <typename Condition>
bool PumpMessagesUntil(Condition done, DWORD timeoutMs = 5000) {
  const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
  MSG message;
  while (!done()) {
    const ULONGLONG now = ::GetTickCount64();
    if (now >= deadline) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
  return true;
}

}  // namespace testing_support
