#include "support/scroll_area.h"

#include <gtest/gtest.h>

#include "platform/headless/headless_toolkit.h"

namespace qovra {
namespace {

using ui::Prop;

// A viewport of 952x390 with the list area's content and two 17 px bars, as on the form.
class ScrollAreaTest : public testing::Test {
 protected:
  void SetUp() override {
    ui::setToolkit(&toolkit_);
    ui::FormSpec form;
    form.name = "form";
    form.width = 964;
    form.height = 700;
    form.controls = {
        {.name = "viewport", .kind = ui::Kind::PictureBox, .left = 0, .top = 90, .width = 952, .height = 390},
        {.name = "content", .kind = ui::Kind::PictureBox, .parent = "viewport", .width = 944, .height = 238},
        {.name = "h", .kind = ui::Kind::HScrollBar, .parent = "viewport", .top = 373, .width = 935, .height = 17,
         .scrollMin = 1},
        {.name = "v", .kind = ui::Kind::VScrollBar, .parent = "viewport", .left = 935, .width = 17, .height = 373,
         .scrollMin = 1},
    };
    window_ = toolkit_.loadForm(form, [](ui::Event&) {});
    viewport_ = toolkit_.find(window_, "viewport");
    content_ = toolkit_.find(window_, "content");
    h_ = toolkit_.find(window_, "h");
    v_ = toolkit_.find(window_, "v");
    area_.bind(viewport_, content_, h_, v_, true);
  }
  void TearDown() override { ui::setToolkit(nullptr); }

  std::int64_t get(ui::ControlId c, Prop p) { return toolkit_.getInt(c, p); }

  ui::HeadlessToolkit toolkit_;
  ui::ControlId window_ = 0, viewport_ = 0, content_ = 0, h_ = 0, v_ = 0;
  ScrollArea area_;
};

TEST_F(ScrollAreaTest, ShortContentHidesTheBarAndFillsTheViewport) {
  area_.setContentSize(826, 100, 100);
  area_.layout(0, 90, 952, 390);
  EXPECT_FALSE(get(v_, Prop::Visible));
  EXPECT_FALSE(get(h_, Prop::Visible));
  EXPECT_EQ(get(content_, Prop::Width), 952);
  EXPECT_EQ(get(content_, Prop::Height), 390);
  EXPECT_EQ(get(content_, Prop::Top), 0);
  EXPECT_EQ(get(content_, Prop::Left), 0);
}

TEST_F(ScrollAreaTest, VerticalPositionShiftsTheContentByItsStepShare) {
  // 1238 logical pixels in a visible height of 390 with 100 steps: 8.48 px a step.
  area_.setContentSize(826, 1238, 100);
  area_.layout(0, 90, 952, 390);
  ASSERT_TRUE(get(v_, Prop::Visible));
  ASSERT_FALSE(get(h_, Prop::Visible));
  EXPECT_EQ(get(v_, Prop::Maximum), 100);
  toolkit_.setInt(v_, Prop::Position, 50);
  area_.scroll(ScrollArea::kVertical);
  EXPECT_EQ(get(content_, Prop::Top), -424);
  EXPECT_EQ(get(content_, Prop::Height), 814);
  EXPECT_EQ(get(content_, Prop::Width), 935);
}

TEST_F(ScrollAreaTest, ZeroStepsScrollOnePixelPerPosition) {
  area_.setContentSize(2000, 1000, 0);
  area_.layout(0, 90, 952, 390);
  EXPECT_EQ(get(h_, Prop::Maximum), 2000 - 935);
  EXPECT_EQ(get(v_, Prop::Maximum), 1000 - 373);
  toolkit_.setInt(h_, Prop::Position, 7);
  toolkit_.setInt(v_, Prop::Position, 9);
  area_.scroll(ScrollArea::kBoth);
  EXPECT_EQ(get(content_, Prop::Left), -7);
  EXPECT_EQ(get(content_, Prop::Top), -9);
}

TEST_F(ScrollAreaTest, WithoutAutoHideAnUnneededBarIsDisabledNotHidden) {
  area_.bind(viewport_, content_, h_, v_, false);
  area_.setContentSize(100, 100, 10);
  area_.layout(0, 90, 952, 390);
  EXPECT_TRUE(get(v_, Prop::Visible));
  EXPECT_FALSE(get(v_, Prop::Enabled));
  EXPECT_EQ(get(content_, Prop::Top), 0);
}

TEST_F(ScrollAreaTest, LayoutKeepsTheScrolledPositionInForce) {
  area_.setContentSize(826, 1238, 100);
  area_.layout(0, 90, 952, 390);
  toolkit_.setInt(v_, Prop::Position, 100);
  area_.layout(0, 90, 952, 390);
  EXPECT_EQ(get(content_, Prop::Top), -(1238 - 390));
}

}  // namespace
}  // namespace qovra
