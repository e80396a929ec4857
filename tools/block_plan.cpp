#include "tools/block_plan.h"

#include <algorithm>
#include <optional>

#include "codec/codec.h"
#include "database/data_file_writer.h"
#include "database/format.h"

namespace tools {

namespace {

constexpr std::size_t per_block = database::cookies_per_block;

struct Layout {
  const std::function<std::string(std::uint32_t)>& text_of;
  std::vector<std::uint32_t> sizes;  // block text bytes of each cookie
  std::vector<std::uint32_t> order;  // cookie numbers, block after block
  std::vector<std::size_t> budgets;  // text bytes each block may hold
  std::vector<bool> stream_checked;

  std::size_t block_count() const { return database::block_count(order.size()); }
  std::size_t first(std::size_t block) const { return block * per_block; }
  std::size_t end(std::size_t block) const {
    return std::min(order.size(), first(block) + per_block);
  }

  std::size_t text_size(std::size_t block) const {
    std::size_t total = 0;
    for (std::size_t at = first(block); at < end(block); ++at) total += sizes[order[at]];
    return total;
  }

  // Position of the largest (or smallest) cookie of a block; the first on ties.
  std::size_t extreme(std::size_t block, bool largest) const {
    std::size_t best = first(block);
    for (std::size_t at = best + 1; at < end(block); ++at) {
      const std::size_t size = sizes[order[at]], best_size = sizes[order[best]];
      if (largest ? size > best_size : size < best_size) best = at;
    }
    return best;
  }
};

// Trades the largest cookie of an overfull block for the smallest cookie of
// the block that keeps the most room after the trade. False when none can.
bool trade_down(Layout& layout, std::size_t full_block) {
  const std::size_t big = layout.extreme(full_block, true);
  const std::size_t big_size = layout.sizes[layout.order[big]];
  std::optional<std::size_t> partner;
  std::size_t partner_room = 0;
  for (std::size_t block = 0; block < layout.block_count(); ++block) {
    if (block == full_block) continue;
    const std::size_t small = layout.extreme(block, false);
    const std::size_t small_size = layout.sizes[layout.order[small]];
    if (small_size >= big_size) continue;
    const std::size_t after = layout.text_size(block) - small_size + big_size;
    if (after > layout.budgets[block]) continue;
    if (!partner || layout.budgets[block] - after > partner_room) {
      partner = small;
      partner_room = layout.budgets[block] - after;
    }
  }
  if (!partner) return false;
  std::swap(layout.order[big], layout.order[*partner]);
  layout.stream_checked[full_block] = false;
  layout.stream_checked[*partner / per_block] = false;
  return true;
}

enum class StreamFit { fits, too_long, codec_failed };

StreamFit stream_fits(const Layout& layout, std::size_t block, std::size_t limit,
                      PlanError& error) {
  std::vector<std::string> members;
  for (std::size_t at = layout.first(block); at < layout.end(block); ++at) {
    members.push_back(layout.text_of(layout.order[at]));
  }
  const std::string text = database::block_text(members);
  codec::load_input(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  switch (const codec::RunStatus status = codec::compress()) {
    case codec::RunStatus::ok:
      return codec::output_total <= limit ? StreamFit::fits : StreamFit::too_long;
    case codec::RunStatus::out_of_memory:
      error = {block, status};
      return StreamFit::codec_failed;
    default:
      return StreamFit::too_long;
  }
}

enum class Repair { done, drop, codec_failed };

// Makes every block fit, or names (in drop_position) a cookie to leave out.
Repair repair(Layout& layout, std::size_t limit, StreamCheck check, std::size_t& drop_position,
              PlanError& error) {
  for (bool changed = true; changed;) {
    changed = false;
    for (std::size_t block = 0; block < layout.block_count(); ++block) {
      while (layout.text_size(block) > layout.budgets[block]) {
        if (!trade_down(layout, block)) {
          drop_position = layout.extreme(block, true);
          return Repair::drop;
        }
        changed = true;
      }
    }
    for (std::size_t block = 0; block < layout.block_count() && !changed; ++block) {
      if (check == StreamCheck::skip || layout.stream_checked[block]) continue;
      const StreamFit fit = stream_fits(layout, block, limit, error);
      if (fit == StreamFit::codec_failed) return Repair::codec_failed;
      layout.stream_checked[block] = true;
      if (fit == StreamFit::too_long) {
        // Text that does not compress: the block must hold less of it, in
        // proportion to the overshoot.
        const std::size_t text = layout.text_size(block);
        const std::size_t stream = std::max<std::size_t>(codec::output_total, limit + 1);
        layout.budgets[block] = text * limit / stream - 1;
        layout.stream_checked[block] = false;
        changed = true;
      }
    }
  }
  return Repair::done;
}

}  // namespace

BlockOrder plan_block_order(std::vector<std::uint32_t> sizes, std::size_t block_limit,
                            StreamCheck check,
                            const std::function<std::string(std::uint32_t)>& text_of) {
  Layout layout{text_of, std::move(sizes), {}, {}, {}};
  std::vector<std::uint32_t> kept(layout.sizes.size());
  for (std::size_t i = 0; i < kept.size(); ++i) kept[i] = static_cast<std::uint32_t>(i);

  BlockOrder plan;
  std::vector<std::size_t> budgets;
  for (;;) {
    layout.order = kept;
    budgets.resize(layout.block_count(), block_limit);
    layout.budgets = budgets;
    layout.stream_checked.assign(layout.block_count(), false);
    std::size_t drop_position = 0;
    const Repair result = repair(layout, block_limit, check, drop_position, plan.error);
    if (result == Repair::codec_failed) return {{}, 0, plan.error};
    budgets = layout.budgets;
    if (result == Repair::done) break;
    kept.erase(std::find(kept.begin(), kept.end(), layout.order[drop_position]));
    ++plan.no_room;
  }
  plan.cookies = std::move(layout.order);
  return plan;
}

BlockPlan plan_blocks(std::vector<std::string> cookies, std::size_t block_limit,
                      StreamCheck check) {
  std::vector<std::uint32_t> sizes;
  for (const std::string& cookie : cookies) sizes.push_back(block_text_size(cookie.size()));
  BlockOrder order = plan_block_order(std::move(sizes), block_limit, check,
                                      [&](std::uint32_t number) { return cookies[number]; });
  BlockPlan plan{{}, order.no_room, order.error};
  for (const std::uint32_t number : order.cookies)
    plan.cookies.push_back(std::move(cookies[number]));
  return plan;
}

std::uint32_t block_text_size(std::size_t cookie_length) {
  return static_cast<std::uint32_t>(cookie_length + database::cookie_separator.size());
}

}  // namespace tools
