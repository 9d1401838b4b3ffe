// A small HTTP server on 127.0.0.1 for tests, run by a thread of the test program.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

struct HttpRoute {
  int status = 200;
  std::string body;
  bool sendLength = true;       // Content-Length header; without it the body ends at close
  bool stallAfterHead = false;  // send the head and part of the body, then wait forever
  DWORD trickleMs = 0;          // when not 0, send the body one byte at a time, this far apart
  std::function<void()> onRequest;  // runs on the server thread before the reply is sent
};

class TestHttpServer {
 public:
  TestHttpServer();  // listens on a free port
  ~TestHttpServer();
  TestHttpServer(const TestHttpServer&) = delete;
  TestHttpServer& operator=(const TestHttpServer&) = delete;

  // Replies to GET requests for the path; other paths get 404.
  void Serve(const std::string& path, HttpRoute route);
  // While on, connections are accepted and never answered.
  void SetSilent(bool silent);

  int port() const { return port_; }
  std::wstring Url(const std::string& path) const;
  // The request lines received so far ("GET /path HTTP/1.1").
  std::vector<std::string> requests() const;

 private:
  void Run();
  using Socket = UINT_PTR;  // a winsock SOCKET
  void Answer(Socket client);

  Socket listener_ = ~Socket{0};
  int port_ = 0;
  HANDLE stop_ = nullptr;
  mutable std::mutex mutex_;
  std::map<std::string, HttpRoute> routes_;
  bool silent_ = false;
  std::vector<std::string> requests_;
  std::vector<Socket> held_;  // connections kept open without an answer
  std::thread thread_;
};

// A port on 127.0.0.1 where nothing listens.
int UnusedPort();

}  // namespace testing_support
