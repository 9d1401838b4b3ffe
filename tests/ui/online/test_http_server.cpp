#include <winsock2.h>

#include "ui/online/test_http_server.h"

#include <stdexcept>

namespace testing_support {
namespace {

class WinsockSession {
 public:
  WinsockSession() {
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) throw std::runtime_error("WSAStartup");
  }
  ~WinsockSession() { ::WSACleanup(); }
};

void EnsureWinsock() { static WinsockSession session; }

sockaddr_in Loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<u_short>(port));
  return address;
}

int BoundPort(SOCKET socket) {
  sockaddr_in address{};
  int length = sizeof(address);
  ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length);
  return ntohs(address.sin_port);
}

const char* Reason(int status) {
  switch (status) {
    case 200: return "OK";
    case 404: return "Not Found";
    case 410: return "Gone";
    case 500: return "Internal Server Error";
    default: return "Status";
  }
}

void SendAll(SOCKET socket, const std::string& bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    const int n = ::send(socket, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
    if (n <= 0) return;
    sent += static_cast<size_t>(n);
  }
}

}  // namespace

TestHttpServer::TestHttpServer() {
  EnsureWinsock();
  listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address = Loopback(0);
  if (listener_ == INVALID_SOCKET ||
      ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
      ::listen(listener_, SOMAXCONN) != 0)
    throw std::runtime_error("cannot listen on 127.0.0.1");
  port_ = BoundPort(listener_);
  stop_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  thread_ = std::thread([this] { Run(); });
}

TestHttpServer::~TestHttpServer() {
  ::SetEvent(stop_);
  if (thread_.joinable()) thread_.join();
  for (Socket socket : held_) ::closesocket(socket);
  ::closesocket(listener_);
  ::CloseHandle(stop_);
}

void TestHttpServer::Serve(const std::string& path, HttpRoute route) {
  std::lock_guard lock(mutex_);
  routes_[path] = std::move(route);
}

void TestHttpServer::SetSilent(bool silent) {
  std::lock_guard lock(mutex_);
  silent_ = silent;
}

std::wstring TestHttpServer::Url(const std::string& path) const {
  return L"http://127.0.0.1:" + std::to_wstring(port_) + std::wstring(path.begin(), path.end());
}

std::vector<std::string> TestHttpServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void TestHttpServer::Run() {
  WSAEVENT ready = ::WSACreateEvent();
  ::WSAEventSelect(listener_, ready, FD_ACCEPT);
  HANDLE waits[] = {stop_, ready};
  while (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
    ::WSAResetEvent(ready);
    SOCKET client;
    while ((client = ::accept(listener_, nullptr, nullptr)) != INVALID_SOCKET) {
      // Accepted sockets inherit the listener's event selection; answer them blocking.
      ::WSAEventSelect(client, nullptr, 0);
      u_long blocking = 0;
      ::ioctlsocket(client, FIONBIO, &blocking);
      Answer(client);
    }
  }
  ::WSACloseEvent(ready);
}

void TestHttpServer::Answer(Socket client) {
  {
    std::lock_guard lock(mutex_);
    if (silent_) {
      held_.push_back(client);
      return;
    }
  }
  const DWORD waitMs = 5000;
  ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&waitMs),
               sizeof(waitMs));
  std::string head;
  char buffer[1024];
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < 16384) {
    const int n = ::recv(client, buffer, sizeof(buffer), 0);
    if (n <= 0) break;
    head.append(buffer, static_cast<size_t>(n));
  }
  const std::string requestLine = head.substr(0, head.find("\r\n"));
  const size_t pathStart = requestLine.find(' ') + 1;
  const std::string path = requestLine.substr(pathStart, requestLine.find(' ', pathStart) - pathStart);

  HttpRoute route{404, "Not Found"};
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(requestLine);
    if (auto found = routes_.find(path); found != routes_.end()) route = found->second;
  }
  if (route.onRequest) route.onRequest();

  std::string reply = "HTTP/1.1 " + std::to_string(route.status) + " " + Reason(route.status) +
                      "\r\nContent-Type: text/plain; charset=utf-8\r\nConnection: close\r\n";
  if (route.sendLength || route.stallAfterHead)
    reply += "Content-Length: " + std::to_string(route.body.size()) + "\r\n";
  reply += "\r\n";
  if (route.stallAfterHead) {
    SendAll(client, reply + route.body.substr(0, route.body.size() / 2));
    std::lock_guard lock(mutex_);
    held_.push_back(client);
    return;
  }
  if (route.trickleMs) {
    SendAll(client, reply);
    for (char byte : route.body) {
      // Ends when the client goes away or the server stops.
      if (::send(client, &byte, 1, 0) != 1 ||
          ::WaitForSingleObject(stop_, route.trickleMs) != WAIT_TIMEOUT)
        break;
    }
  } else {
    SendAll(client, reply + route.body);
  }
  ::shutdown(client, SD_SEND);
  ::closesocket(client);
}

int UnusedPort() {
  EnsureWinsock();
  SOCKET probe = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address = Loopback(0);
  ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address));
  const int port = BoundPort(probe);
  ::closesocket(probe);
  return port;
}

}  // namespace testing_support
