// The main window's keys, as the Linux viewer has them. The frame's client is
// no dialog, so the dialog manager's keys are handled here, before a key
// reaches the button that has the focus.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <vector>

#include "framework/win32/state.h"

namespace fw::win32 {

namespace {

constexpr const char* focus_property = "DrollboxFocus";

HWND client_of(const TFrameWindow& frame) {
  return frame.client() != nullptr && frame.client()->alive() ? hwnd_of(*frame.client()) : nullptr;
}

std::vector<HWND> buttons_left_to_right(HWND client) {
  std::vector<HWND> buttons;
  for (HWND child = GetWindow(client, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (IsWindowVisible(child) && IsWindowEnabled(child) &&
        (GetWindowLongPtrA(child, GWL_STYLE) & WS_TABSTOP) != 0) {
      buttons.push_back(child);
    }
  }
  const auto left = [](HWND button) {
    RECT r;
    GetWindowRect(button, &r);
    return r.left;
  };
  std::stable_sort(buttons.begin(), buttons.end(),
                   [&left](HWND a, HWND b) { return left(a) < left(b); });
  return buttons;
}

// The letter after the single '&' of a label, upper case; 0 when none.
char mnemonic_of(HWND button) {
  char label[64] = {};
  GetWindowTextA(button, label, sizeof label);
  for (const char* c = label; c[0] != '\0' && c[1] != '\0'; ++c) {
    if (c[0] != '&') continue;
    if (c[1] != '&') return static_cast<char>(std::toupper(static_cast<unsigned char>(c[1])));
    ++c;
  }
  return 0;
}

void press(HWND client, HWND button) {
  SendMessageA(client, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
}

void move_focus(HWND client, bool backwards) {
  const std::vector<HWND> buttons = buttons_left_to_right(client);
  if (buttons.empty()) return;
  const auto at = std::find(buttons.begin(), buttons.end(), GetFocus());
  const auto count = static_cast<std::ptrdiff_t>(buttons.size());
  std::ptrdiff_t next = backwards ? count - 1 : 0;
  if (at != buttons.end()) next = ((at - buttons.begin()) + (backwards ? count - 1 : 1)) % count;
  SetFocus(buttons[static_cast<std::size_t>(next)]);
}

bool held(int key) {
  return GetKeyState(key) < 0;
}

}  // namespace

bool handle_frame_key(const MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  TFrameWindow* frame = frame_of(msg.hwnd);
  HWND client = frame != nullptr ? client_of(*frame) : nullptr;
  if (client == nullptr) return false;
  const bool control = held(VK_CONTROL), alt = held(VK_MENU), shift = held(VK_SHIFT);
  const auto key = static_cast<int>(msg.wParam);
  if (key == VK_TAB && !control && !alt) {
    move_focus(client, shift);
  } else if ((key == VK_RETURN || key == VK_ESCAPE) && !control && !alt && !shift) {
    const std::vector<HWND> buttons = buttons_left_to_right(client);
    if (key == VK_ESCAPE) {
      SendMessageA(hwnd_of(*frame), WM_CLOSE, 0, 0);
    } else if (!buttons.empty()) {
      press(client, buttons.front());
    }
  } else if ((key == 'C' || key == VK_INSERT) && control && !alt && !shift) {
    copy_shown_text(*frame->client());
  } else if (key >= 'A' && key <= 'Z' && !control) {
    const std::vector<HWND> buttons = buttons_left_to_right(client);
    const auto found = std::find_if(buttons.begin(), buttons.end(),
                                    [key](HWND button) { return mnemonic_of(button) == key; });
    if (found == buttons.end()) return false;
    press(client, *found);
  } else {
    return false;
  }
  return true;
}

void set_up_keyboard(TFrameWindow& frame) {
  HWND client = client_of(frame);
  if (client == nullptr) return;
  const std::vector<HWND> buttons = buttons_left_to_right(client);
  if (buttons.empty()) return;
  SendMessageA(buttons.front(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  SendMessageA(hwnd_of(frame), WM_CHANGEUISTATE,
               MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
  SetFocus(buttons.front());
}

void pass_focus_on(HWND frame) {
  TFrameWindow* owner = frame_of(frame);
  HWND client = owner != nullptr ? client_of(*owner) : nullptr;
  if (client == nullptr) return;
  auto remembered = static_cast<HWND>(GetPropA(frame, focus_property));
  if (remembered != nullptr && IsWindow(remembered) && GetParent(remembered) == client) {
    SetFocus(remembered);
    return;
  }
  const std::vector<HWND> buttons = buttons_left_to_right(client);
  if (!buttons.empty()) SetFocus(buttons.front());
}

void remember_focus(HWND button) {
  SetPropA(GetAncestor(button, GA_ROOT), focus_property, button);
}

void forget_focus(HWND frame) {
  RemovePropA(frame, focus_property);
}

}  // namespace fw::win32
