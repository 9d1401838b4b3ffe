// One GET over WinHTTP (http and https) with bounded waits.
#pragma once

#include <windows.h>

#include <string>

namespace online {

struct HttpTimeouts {
  DWORD connectMs = 5000;  // name resolution and connection
  DWORD replyMs = 5000;    // the reply's head, and each wait for more of its body
  DWORD totalMs = 15000;   // the whole transfer, against servers that trickle
};

struct HttpReply {
  enum class Outcome {
    kOk,              // status 200, body read in full
    kInvalidAddress,  // not an http or https address
    kNoConnection,    // no connection, no reply in time, or the transfer broke off
    kHttpError,       // the server answered another status (statusCode says which)
    kTooLarge,        // the body is longer than the limit
  };
  Outcome outcome = Outcome::kNoConnection;
  DWORD statusCode = 0;
  DWORD systemError = 0;  // the failing call's error, for kNoConnection
  std::string body;
};

// Fetches the address; reads at most maxBytes of body.
HttpReply HttpGet(const std::wstring& address, const HttpTimeouts& timeouts, size_t maxBytes);

}  // namespace online
