// The online check dialog, opened modeless, against a real HTTP server on 127.0.0.1.
#include "ui/online/frm_online.h"

#include <gtest/gtest.h>

#include "support/dialog_answerer.h"
#include "ui/common/message_box.h"
#include "ui/online/scoped_environment.h"
#include "ui/online/screenshot.h"
#include "ui/online/test_http_server.h"

namespace ui {
namespace {

using testing_support::HttpRoute;
using testing_support::ScopedEnvironment;
using testing_support::TestHttpServer;
using Id = FrmOnline::ControlId;

constexpr char kDataPath[] = "/updates/quillane.dat";
constexpr wchar_t kInitialStatus[] = L"Press 'Check!' to receive the latest information...";
constexpr wchar_t kNoConnection[] =
    L"Could not connect to web site - are you connected to the Internet?";
constexpr wchar_t kNotFound[] = L"File not found on Web Server";

std::string DataFile(const std::string& version) {
  return "Quillane-Update: 1\nVersion: " + version +
         "\nDownload: https://www.veltrano.com/download.html\nAbstract: Short news\n\n"
         "Quillane 2000 " + version + " is out.\nIt converts pictures faster.\n";
}

std::wstring Text(HWND window) {
  wchar_t text[512] = {};
  ::GetWindowTextW(window, text, 512);
  return text;
}

class FrmOnlineTest : public ::testing::Test {
 protected:
  FrmOnlineTest()
      : environment_(online::kUpdateUrlVariable, server_.Url(kDataPath)),
        messages_([this](const MessageRequest& request) {
          asked_.push_back(request);
          return IDOK;
        }),
        form_(state_, [this](const std::wstring& address, HWND window, const std::wstring& folder) {
          opened_.push_back({address, window, folder});
        }) {
    state_.ProgramFolder = L"C:\\Program Files\\Quillane\\";
  }

  // Hidden: under Xvfb, with no window manager, each shown window costs a second.
  void SetUp() override { ASSERT_TRUE(form_.CreateModeless(nullptr)); }

  HWND Control(Id id) { return form_.Control(id); }
  std::wstring Text(Id id) { return ui::Text(Control(id)); }
  // The control's own visibility (the dialog itself stays hidden).
  bool Visible(Id id) { return (::GetWindowLongPtrW(Control(id), GWL_STYLE) & WS_VISIBLE) != 0; }

  // Presses a button as the user would: only a visible, enabled one.
  void Click(Id id) {
    HWND button = Control(id);
    ASSERT_TRUE(Visible(id) && ::IsWindowEnabled(button)) << "button " << id;
    ::SendMessageW(form_.hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(button));
  }

  // The texts of the messages asked since the last call.
  std::vector<std::wstring> TakeMessages() {
    std::vector<std::wstring> texts;
    for (const MessageRequest& request : asked_) {
      EXPECT_EQ(request.title, L"Quillane 2000");
      EXPECT_EQ(request.style, static_cast<UINT>(MB_OK)) << "plain, OK only, no icon";
      EXPECT_EQ(request.owner, form_.hwnd());
      texts.push_back(request.text);
    }
    asked_.clear();
    return texts;
  }

  void ExpectUpToDate() {
    EXPECT_EQ(Text(Id::kIdLblStatus), L"Your version is updated!");
    EXPECT_EQ(Text(Id::kIdLblLatestVersion), L"5.00");
    EXPECT_TRUE(::IsWindowEnabled(Control(Id::kIdBtnCheck)));
  }

  void ExpectReset() {
    EXPECT_EQ(Text(Id::kIdLblStatus), kInitialStatus);
    EXPECT_TRUE(::IsWindowEnabled(Control(Id::kIdBtnCheck)));
  }

  struct Opened {
    std::wstring address;
    HWND window;
    std::wstring folder;
  };

  TestHttpServer server_;
  ScopedEnvironment environment_;
  ScopedMessageHandler messages_;
  std::vector<MessageRequest> asked_;
  std::vector<Opened> opened_;
  app::AppState state_;
  FrmOnline form_;
};

TEST_F(FrmOnlineTest, OpensWithItsCaptionsAndLayout) {
  EXPECT_EQ(ui::Text(form_.hwnd()), L"Online check");
  const std::pair<Id, const wchar_t*> captions[] = {
      {Id::kIdFrame1, L"Online check"},
      {Id::kIdLabel1,
       L"Press 'Check!' to receive the latest information about Quillane 2000 over the Internet"},
      {Id::kIdBtnCheck, L"C&heck!"},
      {Id::kIdLabel2, L"Status:"},
      {Id::kIdLblStatus, kInitialStatus},
      {Id::kIdFrame2, L"Quillane 2000"},
      {Id::kIdLabel4_1, L"&You are using version:"},
      {Id::kIdLblCurVersion, L"5.00"},
      {Id::kIdLabel4_2, L"&Latest version:"},
      {Id::kIdLblLatestVersion, L""},
      {Id::kIdLabel4_0, L"&Information"},
      {Id::kIdDescript, L""},
      {Id::kIdBtnDownload, L"Download from the web"},
      {Id::kIdBtnClose, L"&Close"},
  };
  for (const auto& [id, caption] : captions) EXPECT_EQ(Text(id), caption) << "control " << id;
  EXPECT_FALSE(Visible(Id::kIdBtnDownload));
  EXPECT_TRUE(Visible(Id::kIdBtnClose));
  EXPECT_TRUE(::GetWindowLongPtrW(Control(Id::kIdDescript), GWL_STYLE) & ES_MULTILINE);
  EXPECT_EQ(form_.WebVrChk1().url, server_.Url(kDataPath));
  EXPECT_EQ(form_.WebVrChk1().version, L"5.0.0");

  // Twips at the window's DPI: the buttons' places and sizes, relative to the client area.
  HDC dc = ::GetDC(form_.hwnd());
  const int dpi = ::GetDeviceCaps(dc, LOGPIXELSY);
  ::ReleaseDC(form_.hwnd(), dc);
  auto twips = [dpi](int value) { return ::MulDiv(value, dpi, 1440); };
  auto place = [&](Id id) {
    RECT r{};
    ::GetWindowRect(Control(id), &r);
    ::MapWindowPoints(nullptr, form_.hwnd(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  };
  const RECT close = place(Id::kIdBtnClose);
  EXPECT_EQ(close.left, twips(3960));
  EXPECT_EQ(close.top, twips(4200));
  EXPECT_EQ(close.right - close.left, twips(1215));
  const RECT download = place(Id::kIdBtnDownload);
  EXPECT_EQ(download.left, twips(1800));
  EXPECT_EQ(download.right - download.left, twips(2055));
  EXPECT_EQ(place(Id::kIdFrame2).top, twips(1680));
  EXPECT_EQ(place(Id::kIdBtnCheck).left, twips(120 + 3600));
  RECT client{};
  ::GetClientRect(form_.hwnd(), &client);
  EXPECT_EQ(client.right, twips(5295));
  EXPECT_EQ(client.bottom, twips(4695));
}

TEST_F(FrmOnlineTest, ANewerVersionOffersTheDownload) {
  std::wstring statusWhileChecking;
  bool checkEnabledWhileChecking = true;
  HttpRoute route{200, DataFile("5.1.2")};
  route.onRequest = [&] {  // on the server thread, while the dialog waits for the reply
    wchar_t text[256] = {};
    ::InternalGetWindowText(Control(Id::kIdLblStatus), text, 256);
    statusWhileChecking = text;
    checkEnabledWhileChecking = ::IsWindowEnabled(Control(Id::kIdBtnCheck));
  };
  server_.Serve(kDataPath, route);

  for (int round = 0; round < 2; ++round) {  // a second check finds the same
    SCOPED_TRACE(round);
    Click(Id::kIdBtnCheck);
    EXPECT_EQ(statusWhileChecking, L"Checking the Quillane 2000 website for updates...");
    EXPECT_FALSE(checkEnabledWhileChecking);
    EXPECT_EQ(Text(Id::kIdLblStatus), L"New version available");
    EXPECT_EQ(Text(Id::kIdLblLatestVersion), L"5.1.2");
    EXPECT_EQ(Text(Id::kIdDescript), L"Quillane 2000 5.1.2 is out.\r\nIt converts pictures faster.");
    EXPECT_EQ(Text(Id::kIdLblCurVersion), L"5.00");
    EXPECT_TRUE(Visible(Id::kIdBtnDownload));
    EXPECT_TRUE(::IsWindowEnabled(Control(Id::kIdBtnCheck)));
    EXPECT_TRUE(TakeMessages().empty());
  }
  ::ShowWindow(form_.hwnd(), SW_SHOWNOACTIVATE);
  EXPECT_NE(testing_support::SaveWindowScreenshot(form_.hwnd(), L"frm_online_new_version.bmp"),
            L"");

  Click(Id::kIdBtnDownload);
  ASSERT_EQ(opened_.size(), 1u);
  EXPECT_EQ(opened_[0].address, L"https://www.veltrano.com/download.html");
  EXPECT_EQ(opened_[0].window, form_.hwnd());
  EXPECT_EQ(opened_[0].folder, L"C:\\Program Files\\Quillane\\");
}

TEST_F(FrmOnlineTest, TheSameOrAnOlderVersionIsUpToDate) {
  for (const char* version : {"5.0.0", "4.2"}) {
    SCOPED_TRACE(version);
    server_.Serve(kDataPath, {200, DataFile(version)});
    Click(Id::kIdBtnCheck);
    ExpectUpToDate();
    EXPECT_FALSE(Visible(Id::kIdBtnDownload));
    EXPECT_EQ(Text(Id::kIdDescript), L"");
    EXPECT_TRUE(TakeMessages().empty());
  }
}

TEST_F(FrmOnlineTest, FailuresShowTheirMessageAndResetTheStatus) {
  const int deadPort = testing_support::UnusedPort();
  const struct {
    const char* what;
    HttpRoute route;
    std::wstring url;  // empty: the server's
    std::vector<std::wstring> messages;
  } cases[] = {
      {"file not found", {404, "Not Found"}, L"", {kNotFound}},
      {"nothing listening", {}, L"http://127.0.0.1:" + std::to_wstring(deadPort) + L"/updates/quillane.dat",
       {kNoConnection}},
      {"malformed file", {200, "<html>Sign in to the network</html>"}, L"", {}},
      {"server error", {500, "Oops"}, L"", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    server_.Serve(kDataPath, c.route);
    form_.WebVrChk1().url = c.url.empty() ? server_.Url(kDataPath) : c.url;
    Click(Id::kIdBtnCheck);
    EXPECT_EQ(TakeMessages(), c.messages);
    ExpectReset();
    EXPECT_EQ(Text(Id::kIdLblLatestVersion), L"");
    EXPECT_FALSE(Visible(Id::kIdBtnDownload));
  }

  // A check after the errors that finds no newer version.
  form_.WebVrChk1().url = server_.Url(kDataPath);
  server_.Serve(kDataPath, {200, DataFile("5.0.0")});
  Click(Id::kIdBtnCheck);
  EXPECT_TRUE(TakeMessages().empty());
  ExpectUpToDate();
}

TEST_F(FrmOnlineTest, ASilentServerEndsInTheConnectionMessage) {
  server_.SetSilent(true);
  const ULONGLONG start = ::GetTickCount64();
  Click(Id::kIdBtnCheck);
  const ULONGLONG elapsed = ::GetTickCount64() - start;
  EXPECT_LT(elapsed, 12000u) << "the wait for a reply is bounded";
  EXPECT_EQ(TakeMessages(), std::vector<std::wstring>{kNoConnection});
  ExpectReset();

  server_.SetSilent(false);
  server_.Serve(kDataPath, {200, DataFile("5.0")});
  Click(Id::kIdBtnCheck);
  ExpectUpToDate();
}

TEST_F(FrmOnlineTest, CloseEndsTheDialog) {
  Click(Id::kIdBtnClose);
  EXPECT_EQ(form_.hwnd(), nullptr);
}

TEST(ShowOnlineDialogTest, RunsModallyUntilClosed) {
  app::AppState state;
  testing_support::DialogAnswerer closer(IDCANCEL);
  ShowOnlineDialog(nullptr, state);
  closer.stop();
  EXPECT_EQ(closer.titles(), std::vector<std::wstring>{L"Online check"});
}

}  // namespace
}  // namespace ui
