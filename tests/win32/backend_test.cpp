// The Win32 backend against the real USER32 / GDI32 / COMDLG32 (under Wine on
// Linux). Windows need a display: without one their case is skipped, and the
// end-to-end run repeats this program on its own Xvfb.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "framework/backend.h"
#include "framework/framework.h"
#include "framework/win32/dpi.h"
#include "framework/win32/paint_context.h"

namespace {

HWND hwnd(const fw::TWindow* window) {
  return static_cast<HWND>(window->peer);
}

std::tuple<LONG, LONG, LONG, LONG> place(HWND window, HWND in) {
  RECT r;
  GetWindowRect(window, &r);
  MapWindowPoints(nullptr, in, reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

bool has_display() {
  HWND probe = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  if (probe != nullptr) DestroyWindow(probe);
  return probe != nullptr;
}

TEST(Win32Windows, FrameClientAndButtonsAreMadeAsAsked) {
  if (!has_display()) GTEST_SKIP() << "no display for Wine";
  auto* client = new fw::TWindow(nullptr);
  new fw::TButton(client, 104, "Ok", 516, 1, 55, 20);
  fw::TFrameWindow frame("Drollbox window", client);
  frame.set_icon("DROLLBOXICON");
  frame.rect = {80, 171, 639, 86};
  frame.create();
  const DWORD frame_style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(hwnd(&frame), GWL_STYLE)) & frame_style,
            frame_style);
  EXPECT_EQ(GetMenu(hwnd(&frame)), nullptr);
  EXPECT_NE(SendMessageA(hwnd(&frame), WM_GETICON, ICON_BIG, 0), 0) << "no icon from the resource";
  // The client fills the frame and follows a resize; it scrolls sideways
  // while it paints more than it shows.
  client->scroll_size = {700, 100};
  for (const auto& [width, scrolls] : {std::pair{639, true}, {800, false}}) {
    MoveWindow(hwnd(&frame), 80, 171, width, 300, TRUE);
    RECT area;
    GetClientRect(hwnd(&frame), &area);
    EXPECT_EQ(place(hwnd(client), hwnd(&frame)), std::make_tuple(0, 0, area.right, area.bottom));
    EXPECT_EQ((GetWindowLongPtrA(hwnd(client), GWL_STYLE) & WS_HSCROLL) != 0, scrolls) << width;
  }

  HWND ok = hwnd(client->children().at(0));
  char class_name[16] = {};
  GetClassNameA(ok, class_name, sizeof class_name);
  EXPECT_STREQ(class_name, "Button");
  EXPECT_EQ(std::make_tuple(GetParent(ok), GetDlgCtrlID(ok)), std::make_tuple(hwnd(client), 104));
  const DWORD button_style = WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON;
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(ok, GWL_STYLE)) & (button_style | 0xF),
            button_style);
  EXPECT_EQ(place(ok, hwnd(client)), std::make_tuple(516, 1, 55, 20));
}

// A client that shows two rows of text and hears its commands.
struct ShowingClient : fw::TWindow {
  ShowingClient() : fw::TWindow(nullptr) {}
  void paint(fw::PaintContext& dc) override {
    dc.text_out(4, 50, "second  ", 8);
    dc.text_out(4, 28,
                "Caf\xE9 \x93"
                "au lait\x94   ",
                17);
    dc.text_out(4, 72, "    ", 4);
  }
  bool find_command(int id) override {
    commands.push_back(id);
    return true;
  }
  void fit_frame(fw::TFrameWindow&) override { ++fits; }
  std::vector<int> commands;
  int fits = 0;
};

// A key as the event loop meets it, with the modifiers it finds held.
void key(int code, std::vector<int> held = {}) {
  BYTE state[256] = {};
  for (int modifier : held) state[modifier] = 0x80;
  SetKeyboardState(state);
  MSG msg = {};
  msg.hwnd = GetFocus();
  msg.message =
      std::find(held.begin(), held.end(), VK_MENU) != held.end() ? WM_SYSKEYDOWN : WM_KEYDOWN;
  msg.wParam = static_cast<WPARAM>(code);
  fw::win32::process_message(msg);
  BYTE none[256] = {};
  SetKeyboardState(none);
}

std::wstring clipboard_text() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    text = static_cast<const wchar_t*>(GlobalLock(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

TEST(Win32Keys, FocusDefaultButtonLettersCopyAndClose) {
  if (!has_display()) GTEST_SKIP() << "no display for Wine";
  auto* client = new ShowingClient();
  const std::pair<int, const char*> buttons[] = {
      {104, "Ok"}, {101, "New"}, {105, "Prev"}, {102, "Config"}, {103, "About"}};
  const int lefts[] = {516, 54, 126, 199, 359};
  for (std::size_t i = 0; i < std::size(buttons); ++i)
    new fw::TButton(client, buttons[i].first, buttons[i].second, lefts[i], 1, 55, 20);
  fw::TFrameWindow frame("Drollbox window", client);
  frame.rect = {80, 171, 639, 200};
  frame.create();
  fw::backend::show_window(frame);
  const auto button = [client](int index) { return hwnd(client->children().at(index)); };
  HWND ok = button(0), new_ = button(1), prev = button(2), about = button(4);

  wchar_t shown[64] = {};
  GetWindowTextW(hwnd(client), shown, 64);
  const std::wstring text = L"Caf\u00E9 \u201Cau lait\u201D\r\nsecond";
  EXPECT_EQ(std::wstring(shown), text) << "the name screen readers read";
  char label[16] = {};
  GetWindowTextA(new_, label, sizeof label);
  EXPECT_STREQ(label, "&New");
  EXPECT_EQ(GetWindowLongPtrA(new_, GWL_STYLE) & 0xF, BS_DEFPUSHBUTTON);
  EXPECT_EQ(GetFocus(), new_);
  EXPECT_EQ(SendMessageA(new_, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS, 0) << "focus not shown";

  const std::pair<std::vector<int>, HWND> tabs[] = {
      {{}, prev}, {{VK_SHIFT}, new_}, {{VK_SHIFT}, ok}, {{}, new_}, {{VK_CONTROL}, new_}};
  for (const auto& [held, focus] : tabs) {
    key(VK_TAB, held);
    EXPECT_EQ(GetFocus(), focus) << "after Tab with " << held.size() << " held";
  }
  SetFocus(about);
  const std::tuple<int, std::vector<int>> presses[] = {
      {VK_RETURN, {}},     {'P', {}}, {'C', {VK_MENU}}, {'A', {VK_SHIFT}},
      {'N', {VK_CONTROL}}, {'X', {}}, {'O', {}}};
  for (const auto& [code, held] : presses) key(code, held);
  EXPECT_EQ(client->commands, (std::vector<int>{101, 105, 102, 103, 104}));

  SetFocus(hwnd(&frame));
  EXPECT_EQ(GetFocus(), about) << "the frame passes the focus on to the button that had it";
  key('C', {VK_CONTROL});
  EXPECT_EQ(clipboard_text(), text);
  ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard() && CloseClipboard());
  // The menu's own loop takes the letter of "&Copy" from the queue.
  PostMessageA(hwnd(client), WM_CHAR, 'c', 0);
  SendMessageA(hwnd(client), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd(client)), -1);
  EXPECT_EQ(clipboard_text(), text) << "Copy on the context menu";
  // A new dpi has the client fit the frame again, placed where the platform suggests.
  const RECT suggested = {300, 200, 900, 500};
  SendMessageA(hwnd(&frame), WM_DPICHANGED, MAKEWPARAM(96, 96),
               reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(client->fits, 1);
  EXPECT_EQ(place(hwnd(&frame), nullptr), std::make_tuple(300, 200, 639, 200));
  key(VK_ESCAPE);
  EXPECT_FALSE(frame.alive());
}

// A memory bitmap stands in for a window's device context.
TEST(Win32Painting, FontsAndOpaqueTextBackground) {
  HDC canvas = CreateCompatibleDC(nullptr);
  HGDIOBJ old_bitmap = SelectObject(canvas, CreateBitmap(200, 40, 1, 32, nullptr));
  PatBlt(canvas, 0, 0, 200, 40, WHITENESS);
  const HGDIOBJ own_font = GetCurrentObject(canvas, OBJ_FONT);
  auto font = fw::TFont::create({"Liberation Mono Bold", 13});
  ASSERT_NE(font, nullptr);
  {
    fw::win32::HdcPaintContext dc(canvas);
    EXPECT_EQ(dc.select_font(font.get()), nullptr);
    EXPECT_EQ(GetCurrentObject(canvas, OBJ_FONT), fw::win32::font_at_dpi(*font, 96));
    const fw::Colour menu = fw::rgb(212, 208, 200);
    dc.set_text_background(menu);
    EXPECT_EQ(dc.set_text_background(menu), menu);
    dc.text_out(4, 2, "  ", 2);  // blanks: only the opaque cell shows
    EXPECT_EQ(GetPixel(canvas, 5, 4), RGB(212, 208, 200));
    EXPECT_EQ(dc.select_font(nullptr), font.get());
    EXPECT_EQ(GetCurrentObject(canvas, OBJ_FONT), own_font);
    dc.select_font(font.get());  // left selected: the context puts its own back
  }
  EXPECT_EQ(GetCurrentObject(canvas, OBJ_FONT), own_font);

  // At twice the dpi a pixel of the program is a square of four, and text
  // measures the same in layout pixels give or take the rounding.
  {
    fw::win32::HdcPaintContext dc(canvas, 192);
    dc.set_pixel(60, 2, fw::rgb(1, 2, 3));
  }
  for (const auto& [x, y, colour] : {std::tuple{120, 4, RGB(1, 2, 3)},
                                     {121, 5, RGB(1, 2, 3)},
                                     {122, 4, RGB(255, 255, 255)},
                                     {120, 6, RGB(255, 255, 255)}})
    EXPECT_EQ(GetPixel(canvas, x, y), colour) << x << "," << y;
  const int width = font->text_width("Drollbox window", 15);
  EXPECT_GT(width, 60);
  fw::win32::state.dpi = 192;
  EXPECT_NEAR(font->text_width("Drollbox window", 15), width, 2);
  fw::win32::state.dpi = 96;
  DeleteObject(SelectObject(canvas, old_bitmap));
  DeleteDC(canvas);
}

auto request_fields(const CHOOSEFONTA& r) {
  return std::make_tuple(r.lStructSize, r.hwndOwner, r.hDC, r.lpLogFont, r.iPointSize, r.Flags,
                         r.rgbColors, r.lCustData, r.lpfnHook == nullptr, r.lpTemplateName,
                         r.hInstance, r.lpszStyle, r.nFontType, r.nSizeMin, r.nSizeMax);
}

// What the dialog opens on: the records from the font shown the first time;
// once a font was chosen, the records it left, with two fields set again.
TEST(Win32Dialogs, FontDialogRecords) {
  fw::win32::FontDialogRecords records;
  const fw::FontChoice courier{"Courier New", 210, 0, false};
  fw::win32::prepare_font_dialog(records, courier);
  LOGFONTA first_font = {};
  std::strcpy(first_font.lfFaceName, "Courier New");
  first_font.lfHeight = 21;
  EXPECT_EQ(std::memcmp(&records.log_font, &first_font, sizeof first_font), 0);
  const auto first =
      std::make_tuple(sizeof(CHOOSEFONTA), nullptr, nullptr, &records.log_font, 210, 0x10141u,
                      0x0Au, 0, true, nullptr, nullptr, nullptr, 0x2000, 8, 20);
  EXPECT_EQ(request_fields(records.request), first);

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
  EXPECT_EQ(
      std::make_tuple(records.log_font.lfHeight, records.log_font.lfCharSet,
                      records.request.iPointSize, records.request.Flags, records.request.rgbColors),
      std::make_tuple(-16, 238, 120, DWORD(CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT), 0x0Au));

  fw::win32::prepare_font_dialog(records, courier);  // any other font starts afresh
  EXPECT_EQ(std::memcmp(&records.log_font, &first_font, sizeof first_font), 0);
  EXPECT_EQ(request_fields(records.request), first);
}

}  // namespace
