// Marks the few steps that run once per coded event or per list node, so
// that they inline into the loops that call them whatever the heuristics say.
#pragma once

#if defined(__GNUC__)
#define CODEC_HOT [[gnu::always_inline]] inline
#else
#define CODEC_HOT inline
#endif
