#pragma once
// GoogleTest's own customisation point, for the win32-thread MinGW runtime, which has no
// std::mutex. GoogleTest's locks are Windows critical sections already; its one use of
// std::mutex, the notification that starts its threads, is a Windows event here.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace testing::internal {

class Notification {
  public:
    Notification() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(event_); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { SetEvent(event_); }
    void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

  private:
    HANDLE event_;
};

}  // namespace testing::internal

#define GTEST_HAS_NOTIFICATION_ 1
