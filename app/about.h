// The About box: a fixed notice, nothing computed.
#pragma once

namespace app {

extern const char* const about_text;
inline constexpr const char* about_caption = "About Drollbox...";

}  // namespace app
