#include <gtest/gtest.h>

#include <vector>

#include "shell/Layout.h"

namespace {

using layout::Control;

TEST(LayoutTest, CentresWithTruncatingSignedDivision) {
  struct Case {
    int screenWidth, screenHeight, x, y;
  };
  const std::vector<Case> cases = {
      {1280, 1024, 481, 434},
      {1366, 768, 524, 306},
      {300, 100, -9, -27},  // -18 / 2 and -55 / 2, truncated toward zero
      {317, 154, 0, 0},
  };
  for (const Case& c : cases) {
    const layout::Point origin = layout::CentredOrigin(c.screenWidth, c.screenHeight);
    EXPECT_EQ(origin.x, c.x) << c.screenWidth;
    EXPECT_EQ(origin.y, c.y) << c.screenHeight;
  }
}

TEST(LayoutTest, IdentifiersFollowTheReversedListFrom100) {
  std::vector<int> ids;
  for (std::size_t i = layout::kControls.size(); i-- > 0;) ids.push_back(layout::ControlId(i));
  EXPECT_EQ(ids, (std::vector<int>{100, 110, 120, 130, 140, 150, 160, 170, 180}));
  EXPECT_EQ(layout::kControls[layout::kControls.size() - 1].control, Control::标签1);
  EXPECT_EQ(layout::ControlId(0), 180) << "the combo box is created last";
}

TEST(LayoutTest, EachControlGoesBelowTheNearestEarlierSibling) {
  // Expected z-order predecessors, by list position, per parent.
  const std::vector<int> above = {layout::kNoneAbove, 0, layout::kNoneAbove, 2, 1, 3, 5, 6, 7};
  for (std::size_t i = 0; i < layout::kControls.size(); ++i) {
    EXPECT_EQ(layout::ZOrderAbove(i), above[i]) << i;
  }
}

TEST(LayoutTest, OnlyTheComboBoxIsCreatedTallerThanItsCell) {
  for (const layout::ControlPlace& place : layout::kControls) {
    EXPECT_EQ(layout::CreateHeight(place), place.control == Control::组合框1 ? 160 : place.height);
  }
}

}  // namespace
