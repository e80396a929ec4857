#include "codec_support.h"

using namespace codec_test;
using codec::NO_LINK;

namespace {

class ModelTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(codec::model_init()); }
};

TEST_F(ModelTest, ContextsAreFoundAtTheirOwnOrderAndKey) {
  EXPECT_EQ(codec::find_first_context(), NO_LINK) << "a fresh model knows no context";
  for (unsigned k = 5; k-- > 0;) EXPECT_EQ(codec::create_context(k, 'A'), 9995 + k);
  EXPECT_EQ(codec::find_first_context(), 9999) << "the highest order first";
  for (std::uint16_t c = 9998; c >= 9995; --c) EXPECT_EQ(codec::find_next_context(), c);
  EXPECT_EQ(codec::find_next_context(), NO_LINK);

  // After "A" the order-2 key is (65, 0), distinct from (65, 65).
  codec::set_history(0x41);
  std::uint16_t order2 = codec::create_context(2, 'x');
  codec::set_history(0x4141);
  EXPECT_EQ(codec::find_first_context(), 9995) << "only the order-0 context fits";
  codec::set_history(0x0041);
  EXPECT_EQ(codec::find_first_context(), order2);

  // Order 3 over "A" and two zero bytes: found at its own order only.
  std::uint16_t order3 = codec::create_context(3, 'y');
  EXPECT_EQ(codec::find_first_context(), order3);
  EXPECT_EQ(codec::model.search_order, 3);
  EXPECT_EQ(codec::find_next_context(), order2);
}

TEST_F(ModelTest, TheTenThousandAndFirstContextEvictsTheLeastRecentlyUsed) {
  for (std::uint32_t i = 0; i < 10000; ++i) {
    codec::set_history(i);
    ASSERT_EQ(codec::create_context(4, 'a'), 9999 - i);
  }
  codec::touch_context(9999);  // the oldest becomes the newest
  codec::set_history(20000);
  EXPECT_EQ(codec::create_context(4, 'b'), 9998);
  codec::set_history(1);
  EXPECT_EQ(codec::find_first_context(), NO_LINK) << "the evicted context left its bucket";
  codec::set_history(0);
  EXPECT_EQ(codec::find_first_context(), 9999);
}

// Adds the symbol to context c as the update does after an escape from c.
void append(std::uint16_t c, std::uint8_t symbol) {
  codec::model.path_context[0] = c | codec::ESCAPED;
  codec::model.path_length = 1;
  codec::update_path(symbol);
}

TEST_F(ModelTest, RecyclingPassesOverTheContextBeingAppendedTo) {
  std::uint16_t later = codec::create_context(0, 'a');
  codec::set_history(1);
  std::uint16_t appended = codec::create_context(1, 'a');
  append(later, 'b');
  append(appended, 'b');
  ASSERT_LT(appended, later) << "the cursor meets the appended context first";
  codec::model.spare_nodes = 0;
  append(appended, 'c');
  EXPECT_EQ(codec::model.contexts[appended].context_extra, 2);
  EXPECT_EQ(codec::model.contexts[later].context_extra, 0) << "recycled instead";
}

TEST_F(ModelTest, AnAverageOfTwiceTheCountPlusOneIsAPoorPrediction) {
  std::uint16_t c = codec::create_context(0, 'a');
  for (int i = 0; i < 4; ++i) {
    codec::model.path_context[0] = c;
    codec::model.path_index[0] = 0;
    codec::model.path_length = 1;
    codec::update_path('a');
  }
  append(c, 'b');  // counts 5 and 1: 6 div 2 = 3 > 2 * 1
  EXPECT_EQ(codec::model.contexts[c].context_credit, 3);
}

}  // namespace
