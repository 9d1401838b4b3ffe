// The web version check: fetches the update data file from the maker's web server and
// tells its host whether a newer version of the program exists.
#pragma once

#include <cstdint>
#include <string>

#include "ui/online/http_fetch.h"

namespace online {

// The maker's update address; QUILLANE_UPDATE_URL, when set, replaces it.
inline constexpr wchar_t kDefaultUpdateUrl[] = L"https://www.veltrano.com/updates/quillane.dat";
inline constexpr wchar_t kUpdateUrlVariable[] = L"QUILLANE_UPDATE_URL";
// The version of the running program, as the check compares it.
inline constexpr wchar_t kProgramVersion[] = L"5.0.0";

// QUILLANE_UPDATE_URL when set and not empty, otherwise kDefaultUpdateUrl.
std::wstring DefaultUpdateUrl();

// The codes that ErrorInDownload reports.
enum WebVrChkError : int32_t {
  kErrorFileNotFound = -1,    // the server answered 404 or 410
  kErrorNoConnection = -2,    // no connection, or no complete reply in time
  kErrorInvalidData = -3,     // the reply is not an update data file, or is too large
  kErrorServerStatus = -4,    // the server answered with another failure status
  kErrorInvalidRequest = -5,  // url is not an http or https address, or version is invalid
};

// What the check tells its host. The handlers run on the caller's thread, inside Check.
class WebVrChkEvents {
 public:
  virtual ~WebVrChkEvents() = default;
  virtual void UpdateAvailable(const std::wstring& sNewVersion, const std::wstring& sDownloadURL,
                               const std::wstring& sAbstract, const std::wstring& sCustomData) = 0;
  virtual void ErrorInDownload(int32_t Error) = 0;
};

class WebVrChk {
 public:
  explicit WebVrChk(WebVrChkEvents& events) : events_(events) {}
  WebVrChk(const WebVrChk&) = delete;
  WebVrChk& operator=(const WebVrChk&) = delete;

  std::wstring url = DefaultUpdateUrl();
  std::wstring version = kProgramVersion;
  HttpTimeouts timeouts;

  // Fetches the update data file and compares its version with `version`. Returns when
  // the check is over, having raised UpdateAvailable when the server's version is newer,
  // ErrorInDownload when the check failed, and nothing when the version is current.
  void Check();

 private:
  WebVrChkEvents& events_;
};

}  // namespace online
