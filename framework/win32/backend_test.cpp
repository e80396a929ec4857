// The Win32 backend against the real USER32 / GDI32 / COMDLG32 (under Wine on
// Linux). Windows need a display: without one the window cases are skipped,
// and the end-to-end harness runs this program again on its own Xvfb.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "framework/backend.h"
#include "framework/framework.h"
#include "framework/win32/paint_context.h"
#include "framework/win32/state.h"

namespace {

bool have_display() {
  static const bool answer = [] {
    HWND probe =
        CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (probe == nullptr) return false;
    DestroyWindow(probe);
    return true;
  }();
  return answer;
}

#define REQUIRE_DISPLAY() \
  if (!have_display()) GTEST_SKIP() << "no display for Wine"

struct Client : fw::TWindow {
  std::vector<int> commands;
  Client() : TWindow(nullptr) {
    set_background(fw::rgb(212, 208, 200));
    new fw::TButton(this, 104, "Ok", 516, 1, 55, 20);
    new fw::TButton(this, 101, "New", 54, 1, 55, 20);
  }
  bool find_command(int id) override {
    commands.push_back(id);
    return true;
  }
};

struct App : fw::TApplication {
  Client* client = nullptr;
  void (*during)(App&) = nullptr;
  void make_main_window() override {
    client = new Client;
    auto* frame = new fw::TFrameWindow("Drollbox v1.8.6", client);
    frame->set_icon("DROLLBOXICON");
    frame->rect = {80, 171, 639, 86};
    set_main_window(frame);
    PostMessageA(nullptr, WM_APP, 0, 0);  // runs `during` from inside the loop
  }
};

HWND hwnd(const fw::TWindow* window) {
  return static_cast<HWND>(window->peer);
}

// Drives one Window cycle: `during` runs from the event loop once everything
// is created, then the loop must end by itself.
int run_cycle(App& app) {
  static App* current = nullptr;
  current = &app;
  static HHOOK hook = nullptr;
  hook = SetWindowsHookExA(
      WH_GETMESSAGE,
      [](int code, WPARAM remove, LPARAM message) -> LRESULT {
        auto* msg = reinterpret_cast<MSG*>(message);
        if (code >= 0 && remove == PM_REMOVE && msg->message == WM_APP && msg->hwnd == nullptr &&
            current->during) {
          auto during = current->during;
          current->during = nullptr;
          during(*current);
        }
        return CallNextHookEx(hook, code, remove, message);
      },
      nullptr, GetCurrentThreadId());
  int status = app.run();
  UnhookWindowsHookEx(hook);
  return status;
}

TEST(Win32Windows, FrameClientAndButtonsAreMadeAsAskedAndClickingRunsTheCommand) {
  REQUIRE_DISPLAY();
  App app;
  static bool checked = false;
  checked = false;
  app.during = [](App& a) {
    fw::TFrameWindow* frame = a.main_window();
    HWND frame_hwnd = hwnd(frame);
    RECT placed;
    GetWindowRect(frame_hwnd, &placed);
    EXPECT_EQ(placed.left, 80);
    EXPECT_EQ(placed.top, 171);
    EXPECT_EQ(placed.right - placed.left, 639);
    EXPECT_EQ(placed.bottom - placed.top, 86);
    auto style = static_cast<DWORD>(GetWindowLongPtrA(frame_hwnd, GWL_STYLE));
    EXPECT_EQ(style & (WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN),
              DWORD(WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN));
    EXPECT_EQ(GetParent(frame_hwnd), nullptr);
    EXPECT_EQ(GetMenu(frame_hwnd), nullptr);
    EXPECT_NE(SendMessageA(frame_hwnd, WM_GETICON, ICON_BIG, 0), 0)
        << "the icon resource was not loaded";
    char title[64] = {};
    GetWindowTextA(frame_hwnd, title, sizeof title);
    EXPECT_STREQ(title, "Drollbox v1.8.6");

    HWND client_hwnd = hwnd(a.client);
    EXPECT_EQ(GetParent(client_hwnd), frame_hwnd);
    RECT frame_area, client_area;
    GetClientRect(frame_hwnd, &frame_area);
    GetClientRect(client_hwnd, &client_area);
    EXPECT_EQ(client_area.right, frame_area.right);
    EXPECT_EQ(client_area.bottom, frame_area.bottom);
    MoveWindow(frame_hwnd, 80, 171, 800, 300, TRUE);  // the client follows a resize
    GetClientRect(frame_hwnd, &frame_area);
    GetClientRect(client_hwnd, &client_area);
    EXPECT_EQ(client_area.right, frame_area.right);
    EXPECT_EQ(client_area.bottom, frame_area.bottom);

    ASSERT_EQ(a.client->children().size(), 2u);
    fw::TWindow* ok = a.client->children()[0];
    HWND ok_hwnd = hwnd(ok);
    char class_name[16] = {};
    GetClassNameA(ok_hwnd, class_name, sizeof class_name);
    EXPECT_STREQ(class_name, "Button");
    EXPECT_EQ(GetParent(ok_hwnd), client_hwnd);
    EXPECT_EQ(GetDlgCtrlID(ok_hwnd), 104);
    auto button_style = static_cast<DWORD>(GetWindowLongPtrA(ok_hwnd, GWL_STYLE));
    DWORD wanted = WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP;
    EXPECT_EQ(button_style & wanted, wanted);
    EXPECT_EQ(button_style & 0xF, DWORD(BS_PUSHBUTTON));
    RECT button;
    GetWindowRect(ok_hwnd, &button);
    MapWindowPoints(nullptr, client_hwnd, reinterpret_cast<POINT*>(&button), 2);
    EXPECT_EQ(button.left, 516);
    EXPECT_EQ(button.top, 1);
    EXPECT_EQ(button.right - button.left, 55);
    EXPECT_EQ(button.bottom - button.top, 20);

    SendMessageA(hwnd(a.client->children()[1]), BM_CLICK, 0, 0);
    SendMessageA(ok_hwnd, BM_CLICK, 0, 0);
    EXPECT_EQ(a.client->commands, (std::vector<int>{101, 104}));
    checked = true;
    PostMessageA(frame_hwnd, WM_CLOSE, 0, 0);
  };
  EXPECT_EQ(run_cycle(app), 0);
  EXPECT_TRUE(checked);
}

// A memory bitmap stands in for a window's device context.
struct Canvas {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = nullptr;
  HGDIOBJ old_bitmap = nullptr;
  Canvas() {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 200;
    info.bmiHeader.biHeight = -40;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    old_bitmap = SelectObject(dc, bitmap);
    PatBlt(dc, 0, 0, 200, 40, WHITENESS);
  }
  ~Canvas() {
    SelectObject(dc, old_bitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
};

TEST(Win32Painting, PixelsFontsAndOpaqueTextBackground) {
  Canvas canvas;
  ASSERT_NE(canvas.bitmap, nullptr);
  HGDIOBJ own_font = GetCurrentObject(canvas.dc, OBJ_FONT);
  auto font = fw::TFont::create({"Liberation Mono Bold", 13});
  ASSERT_NE(font, nullptr);
  {
    fw::win32::HdcPaintContext dc(canvas.dc);
    dc.set_pixel(6, 26, fw::rgb(255, 0, 0));
    EXPECT_EQ(GetPixel(canvas.dc, 6, 26), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(canvas.dc, 5, 26), RGB(255, 255, 255));

    EXPECT_EQ(dc.select_font(font.get()), nullptr);
    EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_FONT), font->handle());
    fw::Colour menu = fw::rgb(212, 208, 200);
    dc.set_text_background(menu);
    EXPECT_EQ(dc.set_text_background(menu), menu);
    dc.text_out(4, 2, "  ", 2);  // blanks: only the opaque cell shows
    EXPECT_EQ(GetPixel(canvas.dc, 5, 4), RGB(212, 208, 200));
    EXPECT_EQ(dc.select_font(nullptr), font.get());
    EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_FONT), own_font);

    dc.select_font(font.get());  // left selected: the context puts its own back
  }
  EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_FONT), own_font);
}

TEST(Win32Painting, SystemColoursAreThePlatformsOwn) {
  const std::pair<fw::SystemColour, int> indexes[] = {
      {fw::SystemColour::inactive_caption, 3},
      {fw::SystemColour::menu, 4},
      {fw::SystemColour::highlight_text, 14},
  };
  for (auto [which, index] : indexes) {
    EXPECT_EQ(fw::win32::to_colorref(fw::system_colour(which)), GetSysColor(index)) << index;
  }
}

// What the dialog opens on: the records from the font shown the first time;
// once a font was chosen, the records it left, with two fields set again.
TEST(Win32Dialogs, FontDialogRecords) {
  fw::win32::FontDialogRecords records;
  const fw::FontChoice courier{"Courier New", 210, 0, false};
  fw::win32::prepare_font_dialog(records, courier);
  LOGFONTA expected_font = {};
  std::strcpy(expected_font.lfFaceName, "Courier New");
  expected_font.lfHeight = 21;
  EXPECT_EQ(std::memcmp(&records.log_font, &expected_font, sizeof expected_font), 0);
  const CHOOSEFONTA& request = records.request;
  EXPECT_EQ(request.lStructSize, sizeof(CHOOSEFONTA));
  EXPECT_EQ(request.hwndOwner, nullptr);
  EXPECT_EQ(request.hDC, nullptr);
  EXPECT_EQ(request.lpLogFont, &records.log_font);
  EXPECT_EQ(request.iPointSize, 210);
  EXPECT_EQ(request.Flags, 0x10141u);
  EXPECT_EQ(request.rgbColors, 0x0Au);
  EXPECT_EQ(request.lCustData, 0);
  EXPECT_EQ(request.lpfnHook, nullptr);
  EXPECT_EQ(request.lpTemplateName, nullptr);
  EXPECT_EQ(request.hInstance, nullptr);
  EXPECT_EQ(request.lpszStyle, nullptr);
  EXPECT_EQ(request.nFontType, 0x2000);
  EXPECT_EQ(request.nSizeMin, 8);
  EXPECT_EQ(request.nSizeMax, 20);

  // As the dialog hands a choice back: every field its own, the face unterminated.
  std::memset(records.log_font.lfFaceName, 'W', sizeof records.log_font.lfFaceName);
  records.log_font.lfHeight = -16;
  records.log_font.lfWeight = 700;
  records.log_font.lfItalic = 1;
  records.log_font.lfCharSet = 238;
  records.request.iPointSize = 120;
  records.request.Flags = CF_SCREENFONTS;
  records.request.rgbColors = 0xFF;
  records.returned = fw::win32::chosen_font(records);
  const fw::FontChoice chosen{std::string(32, 'W'), 120, 700, true};
  EXPECT_EQ(records.returned, chosen);
  fw::win32::prepare_font_dialog(records, chosen);
  EXPECT_EQ(records.log_font.lfHeight, -16);
  EXPECT_EQ(records.log_font.lfCharSet, 238);
  EXPECT_EQ(records.request.iPointSize, 120);
  EXPECT_EQ(records.request.Flags, DWORD(CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT));
  EXPECT_EQ(records.request.rgbColors, 0x0Au);

  fw::win32::prepare_font_dialog(records, courier);  // any other font starts afresh
  EXPECT_EQ(std::memcmp(&records.log_font, &expected_font, sizeof expected_font), 0);
  EXPECT_EQ(records.request.Flags, 0x10141u);
}

}  // namespace
