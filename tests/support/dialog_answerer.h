// Answers the system's own dialog boxes (folder picker, shell confirmations) that a
// test's call opens modally on the test's thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

// While alive, a watcher thread presses the button with the given command id in
// every dialog box (class #32770) that the process shows, and records each title.
class DialogAnswerer {
 public:
  explicit DialogAnswerer(int commandId);
  ~DialogAnswerer();
  DialogAnswerer(const DialogAnswerer&) = delete;
  DialogAnswerer& operator=(const DialogAnswerer&) = delete;

  // Titles of the dialogs answered so far (stop() first for a stable answer).
  std::vector<std::wstring> titles() const { return titles_; }
  void stop();

 private:
  void Watch();

  int commandId_;
  std::atomic<bool> stop_{false};
  std::vector<std::wstring> titles_;
  std::thread thread_;
};

}  // namespace testing_support
