#include "framework/win32/dpi.h"

#include <map>

namespace fw::win32 {

namespace {

// Functions of newer Windows than the program needs, found at run time.
template <class Function>
Function newer_function(const char* module, const char* name) {
  HMODULE handle = GetModuleHandleA(module);
  if (handle == nullptr) handle = LoadLibraryA(module);
  if (handle == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(handle, name)));
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using AdjustForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using ParametersForDpiFunction = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);

int system_dpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : layout_dpi;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : layout_dpi;
}

}  // namespace

int dpi_of_window(HWND hwnd) {
  static const auto get_dpi =
      newer_function<GetDpiForWindowFunction>("user32.dll", "GetDpiForWindow");
  const UINT dpi = get_dpi != nullptr && hwnd != nullptr ? get_dpi(hwnd) : 0;
  return dpi > 0 ? static_cast<int>(dpi) : system_dpi();
}

int dpi_at(POINT device_point) {
  static const auto get_dpi =
      newer_function<GetDpiForMonitorFunction>("shcore.dll", "GetDpiForMonitor");
  constexpr int effective_dpi = 0;
  UINT x = 0, y = 0;
  if (get_dpi == nullptr ||
      get_dpi(MonitorFromPoint(device_point, MONITOR_DEFAULTTONEAREST), effective_dpi, &x, &y) !=
          S_OK ||
      y == 0) {
    return system_dpi();
  }
  return static_cast<int>(y);
}

RECT frame_around_client(int width, int height, DWORD style, int dpi) {
  static const auto adjust =
      newer_function<AdjustForDpiFunction>("user32.dll", "AdjustWindowRectExForDpi");
  RECT frame = {0, 0, width, height};
  if (adjust == nullptr || !adjust(&frame, style, FALSE, 0, static_cast<UINT>(dpi))) {
    frame = {0, 0, width, height};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
  }
  return frame;
}

Margins decorations(int dpi) {
  const RECT around = frame_around_client(0, 0, frame_style, dpi);
  return {to_layout_ceiling(-around.left, dpi), to_layout_ceiling(-around.top, dpi),
          to_layout_ceiling(around.right, dpi), to_layout_ceiling(around.bottom, dpi)};
}

HFONT gui_font(int dpi) {
  static const auto parameters =
      newer_function<ParametersForDpiFunction>("user32.dll", "SystemParametersInfoForDpi");
  static std::map<int, HFONT> made;
  if (auto found = made.find(dpi); found != made.end()) return found->second;
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof metrics;
  if (parameters == nullptr ||
      !parameters(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi))) {
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, system_dpi());
  }
  HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
  if (font != nullptr) made.emplace(dpi, font);
  return font;
}

}  // namespace fw::win32
