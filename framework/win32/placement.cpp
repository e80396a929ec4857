// Where a frame, its client's buttons and its scrolling go: the layout
// pixels the fit gives, at the dpi of the screen the frame is on.
#include "framework/win32/placement.h"

namespace fw::win32 {

POINT scrolled_by(HWND client) {
  return {GetScrollPos(client, SB_HORZ), GetScrollPos(client, SB_VERT)};
}

// A child's rect is in layout pixels of all its parent paints, of which the
// client shows the part its scroll bars say.
void place_child(TWindow& child, int dpi) {
  HWND hwnd = hwnd_of(child);
  const Rect& r = child.rect;
  const POINT scrolled = scrolled_by(GetParent(hwnd));
  SetWindowPos(hwnd, nullptr, to_device(r.x, dpi) - scrolled.x, to_device(r.y, dpi) - scrolled.y,
               to_device(r.width, dpi), to_device(r.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(gui_font(dpi)), TRUE);
}

namespace {

void place_children(TWindow& client) {
  const int dpi = dpi_of_window(hwnd_of(client));
  for (TWindow* child : client.children()) {
    if (child->alive()) place_child(*child, dpi);
  }
}

}  // namespace

// The client scrolls where what it paints is larger than its area; the
// platform hides a bar whose page holds the whole range.
void fit_scroll_bars(TWindow& client) {
  HWND hwnd = hwnd_of(client);
  const int dpi = dpi_of_window(hwnd);
  RECT area;
  GetClientRect(hwnd, &area);
  const auto set_range = [hwnd](int bar, int content, int page) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMax = content > page ? content - 1 : 0;
    info.nPage = static_cast<UINT>(content > page ? page : 1);
    SetScrollInfo(hwnd, bar, &info, TRUE);
  };
  set_range(SB_HORZ, to_device(client.scroll_size.width, dpi), area.right);
  set_range(SB_VERT, to_device(client.scroll_size.height, dpi), area.bottom);
  place_children(client);
  InvalidateRect(hwnd, nullptr, TRUE);
}

void scroll(HWND hwnd, int bar, int request) {
  SCROLLINFO info = {};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  GetScrollInfo(hwnd, bar, &info);
  const int line = 16;
  int position = info.nPos;
  switch (request) {
    case SB_LINEUP:
      position -= line;
      break;
    case SB_LINEDOWN:
      position += line;
      break;
    case SB_PAGEUP:
      position -= static_cast<int>(info.nPage);
      break;
    case SB_PAGEDOWN:
      position += static_cast<int>(info.nPage);
      break;
    case SB_THUMBTRACK:
      position = info.nTrackPos;
      break;
    default:
      return;
  }
  const int before = info.nPos;
  info.fMask = SIF_POS;
  info.nPos = position;
  SetScrollInfo(hwnd, bar, &info, TRUE);
  const int moved = GetScrollPos(hwnd, bar) - before;
  ScrollWindowEx(hwnd, bar == SB_HORZ ? -moved : 0, bar == SB_VERT ? -moved : 0, nullptr, nullptr,
                 nullptr, nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
}

// The frame's rect is the whole frame in layout pixels; its client gets
// exactly the layout size the rect leaves inside the decorations.
void place_frame(TFrameWindow& frame, int dpi) {
  state.dpi = dpi;
  const Margins around = decorations(dpi);
  const Rect& r = frame.rect;
  const RECT outer =
      frame_around_client(to_device(r.width - around.left - around.right, dpi),
                          to_device(r.height - around.top - around.bottom, dpi), frame_style, dpi);
  SetWindowPos(hwnd_of(frame), nullptr, to_device(r.x, dpi), to_device(r.y, dpi),
               outer.right - outer.left, outer.bottom - outer.top, SWP_NOZORDER | SWP_NOACTIVATE);
  if (TWindow* client = frame.client(); client != nullptr && client->alive())
    fit_scroll_bars(*client);
}

}  // namespace fw::win32

namespace fw {

// In layout pixels of the monitor holding the point: its work area, and the
// decorations our frames get at its dpi.
Screen screen_at(const TFrameWindow&, int x, int y) {
  const POINT device = {win32::to_device(x, win32::state.dpi),
                        win32::to_device(y, win32::state.dpi)};
  const int dpi = win32::dpi_at(device);
  win32::state.dpi = dpi;
  Screen seen;
  seen.scale = static_cast<double>(dpi) / win32::layout_dpi;
  seen.decorations = win32::decorations(dpi);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  if (GetMonitorInfoA(MonitorFromPoint(device, MONITOR_DEFAULTTONEAREST), &monitor)) {
    const RECT& area = monitor.rcWork;
    const auto layout = [dpi](LONG device_pixels) {
      return MulDiv(device_pixels, win32::layout_dpi, dpi);
    };
    seen.work_area = {layout(area.left), layout(area.top), layout(area.right - area.left),
                      layout(area.bottom - area.top)};
  }
  return seen;
}

}  // namespace fw
