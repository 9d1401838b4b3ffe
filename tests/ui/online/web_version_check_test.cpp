// The web version check against a real HTTP server on 127.0.0.1.
#include "ui/online/web_version_check.h"

#include <gtest/gtest.h>


#include "ui/online/scoped_environment.h"
#include "ui/online/test_http_server.h"
#include "ui/online/update_data.h"

namespace online {
namespace {

using testing_support::HttpRoute;
using testing_support::ScopedEnvironment;
using testing_support::TestHttpServer;

constexpr char kDataPath[] = "/updates/quillane.dat";

std::string DataFile(const std::string& version, const std::string& description = "") {
  return "Quillane-Update: 1\r\nVersion: " + version +
         "\r\nDownload: http://www.veltrano.com/download/quillane-" + version +
         ".zip\r\nAbstract: Abstract of " + version + "\r\n\r\n" + description;
}

// Records the events in the order they arrive.
struct Recorder final : WebVrChkEvents {
  struct Update {
    std::wstring version, address, abstract, custom;
  };
  std::vector<Update> updates;
  std::vector<int32_t> errors;
  void UpdateAvailable(const std::wstring& v, const std::wstring& a, const std::wstring& s,
                       const std::wstring& c) override {
    updates.push_back({v, a, s, c});
  }
  void ErrorInDownload(int32_t error) override { errors.push_back(error); }
  size_t count() const { return updates.size() + errors.size(); }
};

class WebVrChkTest : public ::testing::Test {
 protected:
  WebVrChkTest() { check_.url = server_.Url(kDataPath); }

  // Runs one check and returns the one error raised, 0 for none.
  int32_t CheckError() {
    recorder_ = {};
    check_.Check();
    EXPECT_LE(recorder_.count(), 1u) << "a check raises at most one event";
    EXPECT_TRUE(recorder_.updates.empty());
    return recorder_.errors.empty() ? 0 : recorder_.errors.front();
  }

  TestHttpServer server_;
  Recorder recorder_;
  WebVrChk check_{recorder_};
};

TEST_F(WebVrChkTest, RaisesUpdateAvailableOnlyForANewerVersion) {
  const struct {
    const char* server;
    bool newer;
  } cases[] = {
      {"5.0.10", true}, {"5.1", true}, {"6", true}, {"5.0.0.1", true},
      {"5.0.0", false}, {"5.0", false}, {"5", false}, {"4.99.99", false}, {"0.9", false},
  };
  for (const auto& c : cases) {
    server_.Serve(kDataPath, {200, DataFile(c.server, "News\nmore news")});
    recorder_ = {};
    check_.Check();
    SCOPED_TRACE(c.server);
    EXPECT_TRUE(recorder_.errors.empty());
    if (!c.newer) {
      EXPECT_TRUE(recorder_.updates.empty());
      continue;
    }
    ASSERT_EQ(recorder_.updates.size(), 1u);
    const std::wstring version(c.server, c.server + strlen(c.server));
    const Recorder::Update& update = recorder_.updates.front();
    EXPECT_EQ(update.version, version);
    EXPECT_EQ(update.address, L"http://www.veltrano.com/download/quillane-" + version + L".zip");
    EXPECT_EQ(update.abstract, L"Abstract of " + version);
    EXPECT_EQ(update.custom, L"News\r\nmore news");
  }
  const std::vector<std::string> requests = server_.requests();
  ASSERT_FALSE(requests.empty());
  EXPECT_EQ(requests.front(), "GET /updates/quillane.dat HTTP/1.1");
}

TEST_F(WebVrChkTest, ReportsEachFailureWithItsOwnCode) {
  const std::string tooLarge = DataFile("9.0", std::string(kMaxUpdateDataBytes, 'x'));
  const struct {
    const char* what;
    HttpRoute route;
    int32_t error;
  } cases[] = {
      {"404", {404, "Not Found"}, kErrorFileNotFound},
      {"410", {410, "Gone"}, kErrorFileNotFound},
      {"500", {500, "Oops"}, kErrorServerStatus},
      {"a web page", {200, "<html>Welcome to the hotel network</html>"}, kErrorInvalidData},
      {"an empty reply", {200, ""}, kErrorInvalidData},
      {"too large, with its length", {200, tooLarge}, kErrorInvalidData},
      {"too large, ended by closing", {200, tooLarge, false}, kErrorInvalidData},
  };
  for (const auto& c : cases) {
    server_.Serve(kDataPath, c.route);
    EXPECT_EQ(CheckError(), c.error) << c.what;
  }
}

TEST_F(WebVrChkTest, RefusesAddressesAndVersionsItCannotUse) {
  for (const wchar_t* address : {L"", L"ftp://127.0.0.1/updates/quillane.dat",
                                 L"C:\\updates\\quillane.dat", L"not an address"}) {
    check_.url = address;
    EXPECT_EQ(CheckError(), kErrorInvalidRequest) << address;
  }
  check_.url = server_.Url(kDataPath);
  check_.version = L"five";
  EXPECT_EQ(CheckError(), kErrorInvalidRequest);
  EXPECT_TRUE(server_.requests().empty()) << "nothing is fetched for an invalid request";
}

TEST_F(WebVrChkTest, NoConnectionEndsInTimeWithMinusTwo) {
  const int deadPort = testing_support::UnusedPort();
  for (const std::wstring scheme : {L"http", L"https"}) {
    check_.url = scheme + L"://127.0.0.1:" + std::to_wstring(deadPort) + L"/updates/quillane.dat";
    EXPECT_EQ(CheckError(), kErrorNoConnection) << scheme;
  }

  // A server that accepts and never answers, and one that stops halfway through the
  // body: each ends after the reply wait, not when the server gives up.
  check_.timeouts.replyMs = 1000;
  check_.url = server_.Url(kDataPath);
  server_.Serve(kDataPath, {200, DataFile("9.0", std::string(4000, 'x')), true, true});
  for (bool silent : {true, false}) {
    server_.SetSilent(silent);
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_EQ(CheckError(), kErrorNoConnection) << (silent ? "silent" : "stalled");
    const ULONGLONG elapsed = ::GetTickCount64() - start;
    EXPECT_GE(elapsed, 900u);
    EXPECT_LT(elapsed, 4000u);
  }

  // A server that sends a byte now and then, each in time, is cut off by the limit on
  // the whole transfer.
  server_.SetSilent(false);
  check_.timeouts.totalMs = 1500;
  HttpRoute trickle{200, DataFile("9.0", std::string(4000, 'x'))};
  trickle.trickleMs = 100;
  server_.Serve(kDataPath, trickle);
  const ULONGLONG start = ::GetTickCount64();
  EXPECT_EQ(CheckError(), kErrorNoConnection) << "trickling";
  const ULONGLONG elapsed = ::GetTickCount64() - start;
  EXPECT_GE(elapsed, 1400u);
  EXPECT_LT(elapsed, 4000u);
}

TEST(WebVrChkUrlTest, TheEnvironmentReplacesTheMakersAddress) {
  Recorder recorder;
  {
    ScopedEnvironment unset(kUpdateUrlVariable, std::nullopt);
    EXPECT_EQ(WebVrChk(recorder).url, kDefaultUpdateUrl);
    EXPECT_TRUE(std::wstring(kDefaultUpdateUrl).ends_with(L"/updates/quillane.dat"));
  }
  {
    ScopedEnvironment empty(kUpdateUrlVariable, L"");
    EXPECT_EQ(WebVrChk(recorder).url, kDefaultUpdateUrl);
  }
  {
    ScopedEnvironment mirror(kUpdateUrlVariable, L"http://mirror.example/updates/quillane.dat");
    EXPECT_EQ(WebVrChk(recorder).url, L"http://mirror.example/updates/quillane.dat");
  }
  EXPECT_EQ(WebVrChk(recorder).version, L"5.0.0");
}

}  // namespace
}  // namespace online
