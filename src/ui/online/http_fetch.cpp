#include "ui/online/http_fetch.h"

#include <winhttp.h>

#include <algorithm>

#include "common/handles.h"

namespace online {
namespace {

struct WinHttpHandleTraits {
  using Type = HINTERNET;
  static Type Invalid() { return nullptr; }
  static bool IsValid(Type h) { return h != nullptr; }
  static void Close(Type h) { ::WinHttpCloseHandle(h); }
};
using UniqueInternet = common::UniqueResource<WinHttpHandleTraits>;

constexpr wchar_t kUserAgent[] = L"Quillane/5.0";

HttpReply Failure(HttpReply::Outcome outcome) {
  HttpReply reply;
  reply.outcome = outcome;
  reply.systemError = ::GetLastError();
  return reply;
}

void SetTimeoutOption(HINTERNET handle, DWORD option, DWORD milliseconds) {
  ::WinHttpSetOption(handle, option, &milliseconds, sizeof(milliseconds));
}

DWORD QueryNumber(HINTERNET request, DWORD query, DWORD fallback) {
  DWORD value = 0;
  DWORD size = sizeof(value);
  if (!::WinHttpQueryHeaders(request, query | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &value, &size, WINHTTP_NO_HEADER_INDEX))
    return fallback;
  return value;
}

}  // namespace

HttpReply HttpGet(const std::wstring& address, const HttpTimeouts& timeouts, size_t maxBytes) {
  const ULONGLONG start = ::GetTickCount64();

  URL_COMPONENTS parts{sizeof(parts)};
  parts.dwHostNameLength = static_cast<DWORD>(-1);
  parts.dwUrlPathLength = static_cast<DWORD>(-1);
  parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (address.empty() ||
      !::WinHttpCrackUrl(address.c_str(), static_cast<DWORD>(address.size()), 0, &parts) ||
      (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) ||
      parts.dwHostNameLength == 0)
    return Failure(HttpReply::Outcome::kInvalidAddress);
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
  path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (path.empty()) path = L"/";

  UniqueInternet session(::WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                       WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session) return Failure(HttpReply::Outcome::kNoConnection);
  // Windows honours these; Wine does not, which the request options below make up for.
  ::WinHttpSetTimeouts(session.get(), static_cast<int>(timeouts.connectMs),
                       static_cast<int>(timeouts.connectMs), static_cast<int>(timeouts.replyMs),
                       static_cast<int>(timeouts.replyMs));

  UniqueInternet connection(::WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
  if (!connection) return Failure(HttpReply::Outcome::kNoConnection);

  const DWORD flags =
      WINHTTP_FLAG_REFRESH | (parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0);
  UniqueInternet request(::WinHttpOpenRequest(connection.get(), L"GET", path.c_str(), nullptr,
                                              WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                              flags));
  if (!request) return Failure(HttpReply::Outcome::kNoConnection);
  SetTimeoutOption(request.get(), WINHTTP_OPTION_CONNECT_TIMEOUT, timeouts.connectMs);
  SetTimeoutOption(request.get(), WINHTTP_OPTION_SEND_TIMEOUT, timeouts.replyMs);
  SetTimeoutOption(request.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, timeouts.replyMs);
  SetTimeoutOption(request.get(), WINHTTP_OPTION_RECEIVE_TIMEOUT, timeouts.replyMs);

  if (!::WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                            WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
      !::WinHttpReceiveResponse(request.get(), nullptr))
    return Failure(HttpReply::Outcome::kNoConnection);

  HttpReply reply;
  reply.statusCode = QueryNumber(request.get(), WINHTTP_QUERY_STATUS_CODE, 0);
  if (reply.statusCode != HTTP_STATUS_OK) {
    reply.outcome = HttpReply::Outcome::kHttpError;
    return reply;
  }
  // A declared length over the limit is refused before any of the body is read.
  const DWORD declared = QueryNumber(request.get(), WINHTTP_QUERY_CONTENT_LENGTH, 0);
  if (declared > maxBytes) {
    reply.outcome = HttpReply::Outcome::kTooLarge;
    return reply;
  }

  char buffer[8192];
  while (true) {
    if (::GetTickCount64() - start > timeouts.totalMs) {
      reply.outcome = HttpReply::Outcome::kNoConnection;
      reply.systemError = ERROR_WINHTTP_TIMEOUT;
      return reply;
    }
    // Asking what has arrived first keeps each read short: a read for more than has
    // arrived waits for all of it, and would outlast the limit on the whole transfer.
    DWORD available = 0;
    if (!::WinHttpQueryDataAvailable(request.get(), &available)) {
      reply.outcome = HttpReply::Outcome::kNoConnection;
      reply.systemError = ::GetLastError();
      return reply;
    }
    if (available == 0) break;
    DWORD read = 0;
    if (!::WinHttpReadData(request.get(), buffer, std::min<DWORD>(available, sizeof(buffer)),
                           &read)) {
      reply.outcome = HttpReply::Outcome::kNoConnection;
      reply.systemError = ::GetLastError();
      return reply;
    }
    if (read == 0) break;
    if (reply.body.size() + read > maxBytes) {
      reply.outcome = HttpReply::Outcome::kTooLarge;
      return reply;
    }
    reply.body.append(buffer, read);
  }
  reply.outcome = HttpReply::Outcome::kOk;
  return reply;
}

}  // namespace online
