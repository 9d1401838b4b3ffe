#include "ui/online/web_version_check.h"

#include <windows.h>

#include <new>
#include <optional>

#include "ui/online/update_data.h"

namespace online {
namespace {

struct Outcome {
  std::optional<UpdateData> update;  // set when the server's version is newer
  int32_t error = 0;                 // set when the check failed
};

int32_t ErrorFor(const HttpReply& reply) {
  switch (reply.outcome) {
    case HttpReply::Outcome::kOk:
      return 0;
    case HttpReply::Outcome::kInvalidAddress:
      return kErrorInvalidRequest;
    case HttpReply::Outcome::kNoConnection:
      return kErrorNoConnection;
    case HttpReply::Outcome::kTooLarge:
      return kErrorInvalidData;
    case HttpReply::Outcome::kHttpError:
      return reply.statusCode == 404 || reply.statusCode == 410 ? kErrorFileNotFound
                                                                : kErrorServerStatus;
  }
  return kErrorNoConnection;
}

Outcome RunCheck(const std::wstring& url, const std::wstring& version,
                 const HttpTimeouts& timeouts) {
  const std::optional<VersionParts> running = ParseVersion(version);
  if (!running) return {std::nullopt, kErrorInvalidRequest};
  const HttpReply reply = HttpGet(url, timeouts, kMaxUpdateDataBytes);
  if (const int32_t error = ErrorFor(reply)) return {std::nullopt, error};
  std::optional<UpdateData> data = ParseUpdateData(reply.body);
  if (!data) return {std::nullopt, kErrorInvalidData};
  if (CompareVersions(*ParseVersion(data->version), *running) <= 0) return {};
  return {std::move(data), 0};
}

}  // namespace

std::wstring DefaultUpdateUrl() {
  const DWORD size = ::GetEnvironmentVariableW(kUpdateUrlVariable, nullptr, 0);
  if (size > 1) {
    std::wstring value(size, L'\0');
    const DWORD length = ::GetEnvironmentVariableW(kUpdateUrlVariable, value.data(), size);
    if (length > 0 && length < size) {
      value.resize(length);
      return value;
    }
  }
  return kDefaultUpdateUrl;
}

void WebVrChk::Check() {
  // The work is done before any event is raised, so the host sees at most one.
  Outcome outcome;
  try {
    outcome = RunCheck(url, version, timeouts);
  } catch (const std::bad_alloc&) {
    outcome = {std::nullopt, kErrorInvalidData};
  }
  if (outcome.update) {
    const UpdateData& data = *outcome.update;
    events_.UpdateAvailable(data.version, data.downloadUrl, data.abstract, data.description);
  } else if (outcome.error != 0) {
    events_.ErrorInDownload(outcome.error);
  }
}

}  // namespace online
