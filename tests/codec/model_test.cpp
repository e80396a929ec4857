#include <initializer_list>

#include "codec_support.h"

using namespace codec_test;
using codec::model;
using codec::NO_LINK;

namespace {

class ModelTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(codec::model_init()); }
  void TearDown() override { codec::model_release(); }

  // Appends a symbol to context c the way the update does after an escape.
  static void append(std::uint16_t c, std::uint8_t symbol) {
    std::uint16_t last = c;
    while (model.nodes[last].node_next != NO_LINK) last = model.nodes[last].node_next;
    model.path_context[0] = c | codec::ESCAPED;
    model.path_node[0] = last;
    model.path_length = 1;
    codec::update_path(symbol);
  }

  // An order-0 context holding symbols 'a', 'b', ... with the given counts.
  static std::uint16_t context_with_counts(std::initializer_list<std::uint16_t> counts) {
    std::uint16_t c = codec::create_context(0, 'a');
    for (std::size_t i = 1; i < counts.size(); ++i) append(c, std::uint8_t('a' + i));
    std::uint16_t n = c, total = 0;
    std::uint8_t low = 0;
    for (std::uint16_t count : counts) {
      model.nodes[n].node_count = count;
      total = std::uint16_t(total + count);
      low = std::uint8_t(low + (count < 3));
      n = model.nodes[n].node_next;
    }
    model.contexts[c].context_total = total;
    model.contexts[c].context_low = low;
    model.path_context[0] = NO_LINK;  // not on the path of a byte in progress
    return c;
  }

  struct Symbol {
    std::uint8_t symbol;
    std::uint16_t count;
    bool operator==(const Symbol&) const = default;
  };

  static std::vector<Symbol> list_of(std::uint16_t c) {
    std::vector<Symbol> list;
    for (std::uint16_t n = c; n != NO_LINK; n = model.nodes[n].node_next)
      list.push_back({model.nodes[n].node_symbol, model.nodes[n].node_count});
    return list;
  }

  static unsigned free_nodes() {
    unsigned count = 0;
    for (std::uint16_t n = model.free_node_head; n != NO_LINK; n = model.nodes[n].node_next)
      ++count;
    return count;
  }

  static void expect_consistent(std::uint16_t c) {
    unsigned total = 0, low = 0, length = 0;
    for (std::uint16_t n = c; n != NO_LINK; n = model.nodes[n].node_next) {
      total += model.nodes[n].node_count;
      low += model.nodes[n].node_count < 3;
      ++length;
    }
    EXPECT_EQ(model.contexts[c].context_total, total);
    EXPECT_EQ(model.contexts[c].context_low, low % 256);
    EXPECT_EQ(model.contexts[c].context_extra + 1u, length);
  }
};

TEST(RandomTable, MatchesTheMinimalStandardGenerator) {
  EXPECT_EQ(codec::random_table[0], 4230);
  EXPECT_EQ(codec::random_table[1], 3435);
  EXPECT_EQ(codec::random_table[2], 129);
  EXPECT_EQ(codec::random_table[3], 14760);
  EXPECT_EQ(codec::random_table[16383], 527);
  for (std::uint16_t value : codec::random_table) EXPECT_LT(value, 16384);
}

TEST(ContextHash, ChainsTheTableOverTheKeyBytes) {
  EXPECT_EQ(codec::context_hash(0, 0x04030201), 0);
  EXPECT_EQ(codec::context_hash(1, 0x00000041), codec::random_table[0x41]);
  std::uint16_t h1 = codec::random_table[0x41];
  std::uint16_t h2 = codec::random_table[(0x42 + h1) & 0x3FFF];
  EXPECT_EQ(codec::context_hash(2, 0x00004241), h2);
  EXPECT_EQ(codec::context_hash(2, 0xFFFF4241), h2) << "bytes beyond the order take no part";
}

TEST_F(ModelTest, FreshModelHasItsInitialState) {
  EXPECT_EQ(model.lru_head, 0);
  EXPECT_EQ(model.lru_tail, 9999);
  EXPECT_EQ(model.free_node_head, 10000);
  EXPECT_EQ(model.max_new_order, 4);
  EXPECT_EQ(model.order4_evictions_left, 2500);
  EXPECT_EQ(model.singleton_bias[0], 16);
  EXPECT_EQ(model.singleton_bias[4], 15);
  EXPECT_EQ(free_nodes(), 22760u);
  EXPECT_EQ(model.nodes[32759].node_next, NO_LINK);
  EXPECT_EQ(codec::find_first_context(), NO_LINK);
  EXPECT_EQ(model.path_length, 0);
}

TEST_F(ModelTest, ContextsTakeSlotsFromTheTopAndAreFoundAtTheirOwnOrder) {
  for (unsigned k = 5; k-- > 0;) EXPECT_EQ(codec::create_context(k, 'A'), 9995 + k);
  EXPECT_EQ(model.contexts[9999].context_credit, 4);
  EXPECT_EQ(model.contexts[9999].context_total, 1);
  EXPECT_EQ(model.contexts[9999].context_low, 1);
  EXPECT_EQ(model.contexts[9999].context_extra, 0);
  EXPECT_EQ(model.contexts[9995].context_order, 0);
  EXPECT_EQ(model.nodes[9995].node_symbol, 'A');
  EXPECT_EQ(model.lru_head, 9995);
  EXPECT_EQ(codec::find_first_context(), 9999) << "order 4 first";
  EXPECT_EQ(codec::find_next_context(), 9998);
  EXPECT_EQ(codec::find_next_context(), 9997);
  EXPECT_EQ(codec::find_next_context(), 9996);
  EXPECT_EQ(codec::find_next_context(), 9995);
  EXPECT_EQ(codec::find_next_context(), NO_LINK);

  // After "A" the order-2 key is (65, 0), distinct from (65, 65).
  codec::shift_history('A');
  EXPECT_EQ(codec::find_first_context(), 9995) << "only the order-0 context fits";
  std::uint16_t order2 = codec::create_context(2, 'x');
  codec::shift_history('A');
  EXPECT_EQ(codec::find_first_context(), 9995);
  codec::set_history(0x0041);
  EXPECT_EQ(codec::find_first_context(), order2);
}

TEST_F(ModelTest, ContextOfAnotherOrderInTheSameBucketIsNotFound) {
  // Find a history whose order-1 and order-2 buckets coincide: an order-1
  // context there, with all four key bytes equal, sits in the bucket that
  // the order-2 search walks.
  std::uint32_t key = 0x10000;
  for (std::uint32_t k = 0; k < 0x10000 && key == 0x10000; ++k)
    if (codec::context_hash(1, k) == codec::context_hash(2, k)) key = k;
  ASSERT_LT(key, 0x10000u);
  codec::set_history(key);
  std::uint16_t order1 = codec::create_context(1, 'a');
  EXPECT_EQ(codec::find_first_context(), order1);
  EXPECT_EQ(model.search_order, 1) << "found at its own order, not at order 2";
  EXPECT_EQ(codec::find_next_context(), NO_LINK);
  std::uint16_t order2 = codec::create_context(2, 'b');
  EXPECT_EQ(model.contexts[order2].context_chain, order1);
  EXPECT_EQ(codec::find_first_context(), order2);
  EXPECT_EQ(codec::find_next_context(), order1);
}

TEST_F(ModelTest, TheTenThousandAndFirstContextEvictsTheLeastRecentlyUsed) {
  for (std::uint32_t i = 0; i < 10000; ++i) {
    codec::set_history(i);
    EXPECT_EQ(codec::create_context(4, 'a'), 9999 - i);
  }
  EXPECT_EQ(model.counters.evictions, 0u);
  codec::touch_context(9999);  // the oldest becomes the newest
  codec::set_history(0);
  EXPECT_NE(codec::find_first_context(), NO_LINK);
  codec::set_history(1);
  EXPECT_EQ(codec::find_first_context(), 9998);
  codec::set_history(20000);
  EXPECT_EQ(codec::create_context(4, 'b'), 9998);
  EXPECT_EQ(model.counters.evictions, 1u);
  EXPECT_EQ(model.counters.order4_evictions, 1u);
  EXPECT_EQ(model.order4_evictions_left, 2499);
  codec::set_history(1);
  EXPECT_EQ(codec::find_first_context(), NO_LINK) << "the evicted context left its bucket";
  codec::set_history(0);
  EXPECT_EQ(codec::find_first_context(), 9999);
}

TEST_F(ModelTest, EvictionReturnsSpareNodesAndTheLastOrderFourEvictionStopsThem) {
  std::uint16_t c = context_with_counts({1, 1, 1});
  EXPECT_EQ(free_nodes(), 22758u);
  for (std::uint32_t i = 1; i < 10000; ++i) {
    codec::set_history(i);
    codec::create_context(1, 'z');
  }
  model.order4_evictions_left = 1;
  codec::set_history(0x1234);
  EXPECT_EQ(codec::create_context(3, 'q'), c);
  EXPECT_EQ(free_nodes(), 22760u);
  EXPECT_EQ(model.max_new_order, 4) << "only order-4 evictions count down";

  for (std::uint32_t i = 0; i < 9999; ++i) {
    codec::set_history(0x100000 + i);
    codec::create_context(4, 'z');
  }
  codec::create_context(4, 'z');  // evicts the context made above, order 3
  EXPECT_EQ(model.max_new_order, 4);
  codec::create_context(4, 'z');  // the first order-4 eviction
  EXPECT_EQ(model.max_new_order, 3);
  EXPECT_EQ(model.counters.max_new_order_drops, 1u);
  EXPECT_EQ(model.order4_evictions_left, 0);
}

TEST_F(ModelTest, RecyclingRemovesTheRarestSymbolsAndDividesTheRest) {
  auto recycled = [](std::initializer_list<std::uint16_t> counts) {
    codec::model_release();
    EXPECT_TRUE(codec::model_init());
    std::uint16_t c = context_with_counts(counts);
    codec::recycle_nodes();
    EXPECT_EQ(model.recycle_cursor, c);
    expect_consistent(c);
    return list_of(c);
  };
  EXPECT_EQ(recycled({5, 1, 3}), (std::vector<Symbol>{{'a', 2}, {'c', 1}}));
  EXPECT_EQ(recycled({1, 4}), (std::vector<Symbol>{{'b', 4}}))
      << "head minimum: the 4 stays undivided";
  EXPECT_EQ(recycled({4, 1}), (std::vector<Symbol>{{'a', 2}}));
  EXPECT_EQ(recycled({1, 1, 1, 1}), (std::vector<Symbol>{{'d', 1}}))
      << "all minimal: the last stays";
  EXPECT_EQ(recycled({3, 3, 5}), (std::vector<Symbol>{{'c', 5}}))
      << "only the last is above: undivided";
  EXPECT_EQ(recycled({1, 2, 1, 6, 1, 2}), (std::vector<Symbol>{{'b', 1}, {'d', 3}, {'f', 1}}));
  EXPECT_EQ(free_nodes(), 22760u - 2) << "every pruned node went back to the pool";
}

TEST_F(ModelTest, RecyclingPassesOverOneSymbolContextsAndThePath) {
  // The cursor meets on_path (the lowest slot) first, then victim.
  std::uint16_t single = codec::create_context(0, 'a');
  codec::set_history(1);
  std::uint16_t victim = context_with_counts({2, 1, 2});
  codec::set_history(2);
  std::uint16_t on_path = context_with_counts({1, 2});
  ASSERT_LT(on_path, victim);
  model.path_context[0] = std::uint16_t(on_path | codec::ESCAPED);
  model.path_length = 0;
  codec::recycle_nodes();
  EXPECT_EQ(list_of(victim), (std::vector<Symbol>{{'a', 1}, {'c', 1}}));
  EXPECT_EQ(list_of(on_path), (std::vector<Symbol>{{'a', 1}, {'b', 2}}));
  EXPECT_EQ(list_of(single), (std::vector<Symbol>{{'a', 1}}));
}

TEST_F(ModelTest, PoolRunningDryRecyclesBeforeTheAppend) {
  std::uint16_t old = context_with_counts({3, 1});
  codec::set_history(7);
  std::uint16_t c = codec::create_context(1, 'a');
  model.free_node_head = NO_LINK;  // as if the pool were exhausted
  append(c, 'b');
  EXPECT_EQ(model.counters.recycle_calls, 1u);
  EXPECT_EQ(list_of(old), (std::vector<Symbol>{{'a', 1}}));
  EXPECT_EQ(list_of(c), (std::vector<Symbol>{{'a', 1}, {'b', 1}}));
  expect_consistent(c);
}

TEST_F(ModelTest, HalvingKeepsOnesAndRaisesTheCredit) {
  std::uint16_t c = context_with_counts({1, 2, 3, 4, 5});
  model.contexts[c].context_credit = 1;
  codec::halve_context(c);
  EXPECT_EQ(list_of(c), (std::vector<Symbol>{{'a', 1}, {'b', 1}, {'c', 1}, {'d', 2}, {'e', 2}}));
  expect_consistent(c);
  EXPECT_EQ(model.contexts[c].context_credit, 2);
}

TEST_F(ModelTest, CreditFollowsThePredictionsAndHalvesAtZeroOrEightThousand) {
  std::uint16_t c = codec::create_context(0, 'a');
  model.contexts[c].context_credit = 3;
  append(c, 'b');  // total 2, average 1: a fair prediction
  EXPECT_EQ(model.contexts[c].context_credit, 4);
  append(c, 'c');
  EXPECT_EQ(model.contexts[c].context_credit, 4) << "fair predictions stop at 4";

  codec::set_history(1);
  std::uint16_t d = context_with_counts({10, 10, 10});
  model.contexts[d].context_credit = 4;
  append(d, 'x');  // total 31, average 7 > 2: poor
  EXPECT_EQ(model.contexts[d].context_credit, 3);
  append(d, 'y');
  append(d, 'z');
  EXPECT_EQ(model.counters.halvings_by_credit, 0u);
  append(d, 'w');  // the fourth poor prediction in a row
  EXPECT_EQ(model.counters.halvings_by_credit, 1u);
  EXPECT_EQ(model.contexts[d].context_credit, 1);
  EXPECT_EQ(model.nodes[d].node_count, 5);
  expect_consistent(d);

  codec::set_history(2);
  std::uint16_t e = codec::create_context(1, 'a');
  model.nodes[e].node_count = 7999;
  model.contexts[e].context_total = 7999;
  model.contexts[e].context_low = 0;
  model.path_context[0] = e;
  model.path_node[0] = e;
  model.path_length = 1;
  codec::update_path('a');
  EXPECT_EQ(model.counters.halvings_by_total, 1u);
  EXPECT_EQ(model.nodes[e].node_count, 4000);
  EXPECT_EQ(model.contexts[e].context_credit, 5) << "full credit plus the halving's one";
  expect_consistent(e);
}

TEST_F(ModelTest, EscapeWeights) {
  std::uint16_t single = codec::create_context(0, 'a');
  EXPECT_EQ(codec::escape_weight(1, single), 2) << "order-0 bias starts at 16";
  model.singleton_bias[0] = 15;
  EXPECT_EQ(codec::escape_weight(1, single), 1);

  codec::set_history(1);
  EXPECT_EQ(codec::escape_weight(2, context_with_counts({1, 1})), 5);
  codec::set_history(2);
  std::uint16_t five = context_with_counts({5, 1});
  model.nodes[five].node_next = NO_LINK;  // one symbol of count 5
  model.contexts[five].context_total = 5;
  model.contexts[five].context_extra = 0;
  EXPECT_EQ(codec::escape_weight(0, five), 1);
  codec::set_history(3);
  EXPECT_EQ(codec::escape_weight(2, context_with_counts({3, 1, 1})), 2) << "2*3*2/5";
  codec::set_history(4);
  EXPECT_EQ(codec::escape_weight(1, context_with_counts({10, 1})), 1) << "few symbols: low";

  codec::set_history(5);
  std::uint16_t many = codec::create_context(1, 0);
  for (unsigned s = 1; s < 182; ++s) append(many, std::uint8_t(s));
  ASSERT_EQ(model.contexts[many].context_total, 182);
  EXPECT_EQ(codec::escape_weight(model.contexts[many].context_low, many), 455)
      << "products in 32 bits";
  for (unsigned s = 182; s < 256; ++s) append(many, std::uint8_t(s));
  EXPECT_EQ(model.contexts[many].context_extra, 255);
  EXPECT_EQ(codec::escape_weight(model.contexts[many].context_low, many), 1);
}

TEST(ModelMemory, FailedAllocationReleasesTablesPrintsAndStopsTheRun) {
  const Bytes text = bytes_of("hello");
  for (unsigned request = 1; request <= codec::MODEL_TABLES; ++request) {
    SCOPED_TRACE(request);
    codec::allocation_hook.fail_request = request;
    testing::internal::CaptureStdout();
    Result packed = compress_bytes(text);
    std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(packed.status, codec::RunStatus::out_of_memory);
    EXPECT_EQ(printed, "Error: Had problems allocating a few bytes of memory :-(\n");
    EXPECT_EQ(model.hash_heads, nullptr);
    EXPECT_EQ(model.contexts, nullptr);
    EXPECT_EQ(model.nodes, nullptr);
    EXPECT_EQ(codec::output_total, 0u);
  }
  codec::allocation_hook.fail_request = 2;
  testing::internal::CaptureStdout();
  EXPECT_EQ(decompress_bytes({0x41, 0xBD, 0x80}).status, codec::RunStatus::out_of_memory);
  testing::internal::GetCapturedStdout();

  codec::allocation_hook.fail_request = codec::MODEL_TABLES + 1;  // beyond the last table
  EXPECT_EQ(compress_bytes(text).status, codec::RunStatus::ok);
  codec::allocation_hook.fail_request = 0;
  codec::model_release();  // a second release is harmless
  EXPECT_EQ(model.nodes, nullptr);
}

}  // namespace
