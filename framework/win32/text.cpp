// The client's text for the clipboard and for screen readers: what its paint
// draws as text, taken from a paint that only records.
#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "charset/windows_1252.h"
#include "framework/win32/state.h"

namespace fw::win32 {

namespace {

constexpr UINT_PTR copy_command = 1;

class RecordingContext : public PaintContext {
 public:
  void set_pixel(int, int, Colour) override {}
  void text_out(int, int y, const char* text, int length) override {
    while (length > 0 && text[length - 1] == ' ') --length;
    rows_.emplace_back(y, std::string(text, static_cast<std::size_t>(length)));
  }
  const TFont* select_font(const TFont* font) override { return std::exchange(font_, font); }
  Colour set_text_background(Colour colour) override { return std::exchange(background_, colour); }

  std::string text() {
    std::stable_sort(rows_.begin(), rows_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    while (!rows_.empty() && rows_.back().second.empty()) rows_.pop_back();
    std::string joined;
    for (const auto& row : rows_) {
      if (&row != &rows_.front()) joined += "\r\n";
      joined += row.second;
    }
    return joined;
  }

 private:
  std::vector<std::pair<int, std::string>> rows_;
  const TFont* font_ = nullptr;
  Colour background_;
};

// The table the tool and the Qt viewer convert with, so that a cookie copied
// reads the same from every program; MultiByteToWideChar gives the same.
std::wstring from_windows_1252(const std::string& text) {
  const std::u16string wide = charset::to_utf16(text);
  return std::wstring(wide.begin(), wide.end());
}

}  // namespace

std::wstring shown_text(TWindow& client) {
  RecordingContext recorder;
  client.handle_paint(recorder);
  return from_windows_1252(recorder.text());
}

bool copy_shown_text(TWindow& client) {
  const std::wstring text = shown_text(client);
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (memory == nullptr) return false;
  if (void* locked = GlobalLock(memory)) {
    std::memcpy(locked, text.c_str(), bytes);
    GlobalUnlock(memory);
  }
  bool copied = false;
  if (OpenClipboard(hwnd_of(client))) {
    EmptyClipboard();
    copied = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
  }
  if (!copied) GlobalFree(memory);
  return copied;
}

void show_context_menu(TWindow& client, int x, int y) {
  HWND hwnd = hwnd_of(client);
  if (x == -1 && y == -1) {
    POINT corner = {0, 0};
    ClientToScreen(hwnd, &corner);
    x = corner.x;
    y = corner.y;
  }
  HMENU menu = CreatePopupMenu();
  if (menu == nullptr) return;
  AppendMenuA(menu, MF_STRING, copy_command, "&Copy");
  const UINT chosen = static_cast<UINT>(
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, hwnd, nullptr));
  DestroyMenu(menu);
  if (chosen == copy_command) copy_shown_text(client);
}

}  // namespace fw::win32
