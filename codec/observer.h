// What the codec's tests watch: how often each replacement and rescaling
// mechanism ran, every range handed to the coder, and an allocator that can be
// made to fail. Compiled in only where DROLLBOX_CODEC_OBSERVER is defined (the
// tests' own build of the codec); elsewhere every note is nothing.
#pragma once

#include <cstdint>

#if defined(DROLLBOX_CODEC_OBSERVER)

namespace codec {

struct Observer {
  std::uint32_t evictions = 0;
  std::uint32_t order4_evictions = 0;
  std::uint32_t max_new_order_drops = 0;
  std::uint32_t recycle_calls = 0;
  std::uint32_t halvings_by_total = 0;
  std::uint32_t halvings_by_credit = 0;
  std::uint32_t credit_five = 0;
  std::uint32_t full_alphabet_weights = 0;
  void (*on_event)(std::uint16_t low_count, std::uint16_t high_count,
                   std::uint16_t total) = nullptr;
  bool fail_allocation = false;
};

inline Observer observer;

}  // namespace codec

#define CODEC_NOTE(what) (++::codec::observer.what)
#define CODEC_NOTE_EVENT(low, high, total) \
  (::codec::observer.on_event ? ::codec::observer.on_event(low, high, total) : void())
#define CODEC_ALLOCATION_FAILS() (::codec::observer.fail_allocation)

#else

#define CODEC_NOTE(what) ((void)0)
#define CODEC_NOTE_EVENT(low, high, total) ((void)0)
#define CODEC_ALLOCATION_FAILS() false

#endif
