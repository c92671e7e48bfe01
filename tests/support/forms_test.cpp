#include "support/forms.h"

#include <gtest/gtest.h>

#include <set>

namespace qovra {
namespace {

const ui::ControlSpec* find(const ui::FormSpec& form, const std::string& name) {
  for (const auto& c : form.controls)
    if (c.name == name) return &c;
  return nullptr;
}

TEST(Forms, MainWindowPlacesMatchTheDesign) {
  const auto& form = mainWindowForm();
  EXPECT_EQ(form.left, 50);
  EXPECT_EQ(form.top, 50);
  EXPECT_EQ(form.width, 964);
  EXPECT_EQ(form.height, 700);
  struct Case {
    const char* name;
    int left, top, width, height;
    bool visible;
  } cases[] = {
      {"图片框底座", 0, 0, 1088, 88, true},      {"标签分隔条", 0, 88, 2000, 2, true},
      {"图片框边界", 0, 90, 952, 390, true},     {"图片框容器", 0, 0, 944, 238, true},
      {"图片框加载中", 32, 136, 664, 200, true}, {"控件图标", 8, 8, 23, 23, false},
      {"控件名称", 40, 8, 344, 26, false},       {"控件下载点击", 392, 8, 176, 26, false},
      {"控件删除", 584, 8, 104, 26, false},      {"控件教程", 712, 8, 104, 26, false},
      {"控件下载进度", 579, 8, 351, 26, false},  {"控件下载提示", 591, 8, 329, 26, false},
      {"编辑框搜索", 611, 46, 320, 36, true},    {"树型框", 611, 88, 320, 576, false},
      {"按钮一键下载", 611, 8, 160, 36, true},   {"按钮更新配置", 779, 8, 152, 36, true},
      {"图片Qovra软件", 384, 12, 195, 64, true}, {"链接疑点说明", 16, 64, 64, 24, true},
  };
  for (const auto& c : cases) {
    const auto* spec = find(form, c.name);
    ASSERT_NE(spec, nullptr) << c.name;
    EXPECT_EQ(spec->left, c.left) << c.name;
    EXPECT_EQ(spec->top, c.top) << c.name;
    EXPECT_EQ(spec->width, c.width) << c.name;
    EXPECT_EQ(spec->height, c.height) << c.name;
    EXPECT_EQ(spec->visible, c.visible) << c.name;
  }
  EXPECT_EQ(find(form, "控件名称")->textColour, ui::rgb(0, 0, 255));
  EXPECT_EQ(find(form, "控件名称")->font.face, "新宋体");
}

TEST(Forms, TimersStartWithTheirDesignedPeriods) {
  const auto& form = mainWindowForm();
  const std::pair<const char*, int> timers[] = {{"时钟官网", 20}, {"时钟2", 1000}, {"时钟3", 0},
                                                {"时钟更新使用顺序", 0}, {"时钟更新图片组", 0}, {"时钟下载", 0}};
  for (const auto& [name, period] : timers) {
    const auto* spec = find(form, name);
    ASSERT_NE(spec, nullptr) << name;
    EXPECT_EQ(spec->kind, ui::Kind::Timer) << name;
    EXPECT_EQ(spec->timerPeriod, period) << name;
  }
}

TEST(Forms, NamesAreUniqueAndEveryParentExists) {
  for (const auto* form : {&mainWindowForm(), &textWindowForm()}) {
    std::set<std::string> names;
    for (const auto& c : form->controls) EXPECT_TRUE(names.insert(c.name).second) << c.name;
    for (const auto& c : form->controls)
      if (!c.parent.empty()) {
        EXPECT_TRUE(names.count(c.parent)) << c.name << " in " << c.parent;
      }
  }
}

TEST(Forms, TextWindowHidesTheImportButtons) {
  const auto& form = textWindowForm();
  EXPECT_EQ(form.width, 495);
  EXPECT_EQ(form.height, 393);
  EXPECT_FALSE(find(form, "按钮文件")->visible);
  EXPECT_FALSE(find(form, "按钮文件名")->visible);
  EXPECT_EQ(find(form, "按钮确定")->left, 351);
}

}  // namespace
}  // namespace qovra
