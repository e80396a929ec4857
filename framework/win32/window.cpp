// Windows, the window procedure and the event loop on USER32, in the manner
// of a scratch program: one procedure, one small handler per message.
#include <cstdint>
#include <string>

#include "framework/backend.h"
#include "framework/win32/dpi.h"
#include "framework/win32/paint_context.h"
#include "framework/win32/placement.h"

#include <windowsx.h>

namespace fw::win32 {

namespace {

TWindow* attached(HWND hwnd) {
  return reinterpret_cast<TWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

void attach(HWND hwnd, TWindow* window) {
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
  window->peer = hwnd;
}

// The platform keeps sending a window messages after WM_DESTROY (at least
// WM_NCDESTROY); by then its object may be gone, so it is detached first.
void detach_and_report_destroyed(HWND hwnd, TWindow* window) {
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
  window->handle_destroyed();
}

bool is_of_class(HWND hwnd, const char* name) {
  char found[32] = {};
  return GetClassNameA(hwnd, found, sizeof found) > 0 && lstrcmpiA(found, name) == 0;
}

}  // namespace

TWindow* window_of(HWND hwnd) {
  if (hwnd == nullptr) return nullptr;
  const bool ours = is_of_class(hwnd, frame_class_name) || is_of_class(hwnd, client_class_name) ||
                    (is_of_class(hwnd, "Button") && window_of(GetParent(hwnd)) != nullptr);
  return ours ? attached(hwnd) : nullptr;
}

TFrameWindow* frame_of(HWND hwnd) {
  return hwnd != nullptr ? dynamic_cast<TFrameWindow*>(window_of(GetAncestor(hwnd, GA_ROOT)))
                         : nullptr;
}

namespace {

constexpr DWORD client_style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
constexpr DWORD button_style = WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON;

void on_size(TWindow& window, int width, int height) {
  auto* frame = dynamic_cast<TFrameWindow*>(&window);
  if (frame == nullptr) {
    fit_scroll_bars(window);
    return;
  }
  if (frame->client() == nullptr || !frame->client()->alive()) return;
  MoveWindow(hwnd_of(*frame->client()), 0, 0, width, height, TRUE);
}

void on_command(TWindow& window, int id, int notification, LPARAM control) {
  if (control != 0 && notification == BN_CLICKED) window.handle_command(id);
}

LRESULT on_erase_background(HWND hwnd, TWindow& window, HDC hdc) {
  if (!window.has_background) return 0;
  RECT area;
  GetClientRect(hwnd, &area);
  COLORREF previous = SetBkColor(hdc, to_colorref(window.background));
  ExtTextOutA(hdc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
  SetBkColor(hdc, previous);
  return 1;
}

void on_paint(HWND hwnd, TWindow& window) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd, &ps);
  if (hdc != nullptr) {
    const POINT scrolled = scrolled_by(hwnd);
    SetWindowOrgEx(hdc, scrolled.x, scrolled.y, nullptr);
    HdcPaintContext dc(hdc, dpi_of_window(hwnd));
    window.handle_paint(dc);
  }
  EndPaint(hwnd, &ps);
}

LRESULT CALLBACK button_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

struct ButtonClass {
  WNDPROC original = nullptr;  // the platform's button procedure
};
ButtonClass button_class;

// Buttons keep the platform's procedure; ours only hears of their focus and end.
LRESULT CALLBACK button_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_SETFOCUS) remember_focus(hwnd);
  if (message == WM_DESTROY) {
    if (TWindow* window = attached(hwnd)) detach_and_report_destroyed(hwnd, window);
  }
  return CallWindowProcA(button_class.original, hwnd, message, wparam, lparam);
}

[[noreturn]] void window_creation_failed() {
  message_box(nullptr, "Couldn't create the window.", "Drollbox Problem", BoxKind::problem);
  exit_process(-1);
}

// Made at the dpi of where it opens, then placed at the dpi it got.
HWND create_frame(TFrameWindow& frame) {
  const Rect& r = frame.rect;
  const int dpi = dpi_at({to_device(r.x, state.dpi), to_device(r.y, state.dpi)});
  HWND hwnd = CreateWindowExA(0, frame_class_name, frame.title.c_str(), frame_style,
                              to_device(r.x, dpi), to_device(r.y, dpi), to_device(r.width, dpi),
                              to_device(r.height, dpi), nullptr, nullptr, state.instance, &frame);
  if (hwnd != nullptr) place_frame(frame, dpi_of_window(hwnd));
  return hwnd;
}

HWND create_client(TWindow& client) {
  RECT area = {};
  GetClientRect(hwnd_of(*client.parent()), &area);
  return CreateWindowExA(0, client_class_name, client.title.c_str(), client_style, 0, 0, area.right,
                         area.bottom, hwnd_of(*client.parent()), nullptr, state.instance, &client);
}

// Labels get a mnemonic on their first letter, as the keys that press them.
std::string with_mnemonic(const std::string& label) {
  return label.empty() || label.find('&') != std::string::npos ? label : '&' + label;
}

HWND create_button(TWindow& button) {
  HWND hwnd = CreateWindowExA(0, "BUTTON", with_mnemonic(button.title).c_str(), button_style, 0, 0,
                              0, 0, hwnd_of(*button.parent()),
                              reinterpret_cast<HMENU>(static_cast<std::intptr_t>(button.id)),
                              state.instance, nullptr);
  if (hwnd == nullptr) return nullptr;
  attach(hwnd, &button);
  place_child(button, dpi_of_window(hwnd));
  auto original = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(button_procedure)));
  button_class.original = original;
  return hwnd;
}

void set_icon(HWND hwnd, const std::string& resource_name) {
  if (resource_name.empty()) return;
  HICON icon = LoadIconA(GetModuleHandleA(nullptr), resource_name.c_str());
  if (icon == nullptr) return;
  SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

// A click into the client leaves the focus on a button, so its keys work.
void on_click(HWND client) {
  HWND focus = GetFocus();
  if (focus == nullptr || GetParent(focus) != client) SetFocus(GetAncestor(client, GA_ROOT));
}

// The fit is made again for the new dpi, at the place the platform suggests.
void on_dpi_changed(TWindow& window, int dpi, const RECT& suggested) {
  auto* frame = dynamic_cast<TFrameWindow*>(&window);
  if (frame == nullptr) return;
  state.dpi = dpi;
  frame->fit();
  frame->rect.x = MulDiv(suggested.left, layout_dpi, dpi);
  frame->rect.y = MulDiv(suggested.top, layout_dpi, dpi);
  place_frame(*frame, dpi);
}

// The frame's rect follows the user's moves.
void on_move(TWindow& window, HWND hwnd) {
  if (dynamic_cast<TFrameWindow*>(&window) == nullptr) return;
  RECT outer;
  GetWindowRect(hwnd, &outer);
  const int dpi = dpi_of_window(hwnd);
  if (outer.left != to_device(window.rect.x, dpi))
    window.rect.x = MulDiv(outer.left, layout_dpi, dpi);
  if (outer.top != to_device(window.rect.y, dpi))
    window.rect.y = MulDiv(outer.top, layout_dpi, dpi);
}

}  // namespace

LRESULT CALLBACK window_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    attach(hwnd, static_cast<TWindow*>(create->lpCreateParams));
  }
  TWindow* window = attached(hwnd);
  if (window == nullptr) return DefWindowProcW(hwnd, message, wparam, lparam);
  switch (message) {
    case WM_SETFOCUS:
      if (dynamic_cast<TFrameWindow*>(window) != nullptr) pass_focus_on(hwnd);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      on_click(hwnd);
      return 0;
    case WM_CONTEXTMENU:
      if (dynamic_cast<TFrameWindow*>(window) == nullptr) {
        show_context_menu(*window, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
        return 0;
      }
      break;
    case WM_DPICHANGED:
      on_dpi_changed(*window, HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_MOVE:
      on_move(*window, hwnd);
      return 0;
    case WM_HSCROLL:
    case WM_VSCROLL:
      scroll(hwnd, message == WM_HSCROLL ? SB_HORZ : SB_VERT, LOWORD(wparam));
      return 0;
    case WM_MOUSEWHEEL:
      scroll(hwnd, SB_VERT, GET_WHEEL_DELTA_WPARAM(wparam) > 0 ? SB_LINEUP : SB_LINEDOWN);
      return 0;
    case WM_SIZE:
      on_size(*window, LOWORD(lparam), HIWORD(lparam));
      return 0;
    case WM_COMMAND:
      on_command(*window, LOWORD(wparam), HIWORD(wparam), lparam);
      return 0;
    case WM_ERASEBKGND:
      return on_erase_background(hwnd, *window, reinterpret_cast<HDC>(wparam));
    case WM_PAINT:
      on_paint(hwnd, *window);
      return 0;
    case WM_CLOSE:
      window->handle_close();
      return 0;
    case WM_DESTROY:
      forget_focus(hwnd);
      detach_and_report_destroyed(hwnd, window);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

void process_message(MSG& msg) {
  if (handle_frame_key(msg)) return;
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
}

}  // namespace fw::win32

namespace fw::backend {

using win32::hwnd_of;

void create_window(TWindow& window) {
  win32::start_backend();
  HWND hwnd = nullptr;
  if (auto* frame = dynamic_cast<TFrameWindow*>(&window)) {
    hwnd = win32::create_frame(*frame);
    if (hwnd != nullptr) win32::set_icon(hwnd, frame->icon);
  } else if (window.parent() == nullptr || !window.parent()->alive()) {
    hwnd = nullptr;  // a child needs its parent's platform window
  } else if (dynamic_cast<TButton*>(&window) != nullptr) {
    hwnd = win32::create_button(window);
  } else {
    hwnd = win32::create_client(window);
  }
  if (hwnd == nullptr) win32::window_creation_failed();
}

// Screen readers read the client as its window text: the text it shows.
void show_window(TFrameWindow& frame) {
  win32::start_backend();
  if (!frame.alive()) return;
  if (TWindow* client = frame.client(); client != nullptr && client->alive())
    SetWindowTextW(hwnd_of(*client), win32::shown_text(*client).c_str());
  ShowWindow(hwnd_of(frame), win32::state.show_command);
  win32::set_up_keyboard(frame);
}

void destroy_window(TWindow& window) {
  if (window.alive()) DestroyWindow(hwnd_of(window));
}

void send_close(TWindow& window) {
  if (window.alive()) SendMessageA(hwnd_of(window), WM_CLOSE, 0, 0);
}

void post_close(TWindow& window) {
  if (window.alive()) PostMessageA(hwnd_of(window), WM_CLOSE, 0, 0);
}

int run_event_loop() {
  MSG msg;
  for (;;) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
      win32::process_message(msg);
    }
    WaitMessage();
  }
}

void end_event_loop(int status) {
  PostQuitMessage(status);
}

}  // namespace fw::backend
