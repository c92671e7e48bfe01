#include "support/forms.h"

#include <gtest/gtest.h>

#include <set>

#include "app/deployment.h"

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
      {"图片框加载中", 32, 136, 664, 200, false}, {"控件图标", 8, 8, 23, 23, false},
      {"控件名称", 40, 8, 344, 26, false},       {"控件下载点击", 392, 8, 176, 26, false},
      {"控件删除", 584, 8, 104, 26, false},      {"控件教程", 712, 8, 104, 26, false},
      {"控件下载进度", 579, 8, 351, 26, false},  {"控件下载提示", 591, 8, 329, 26, false},
      {"编辑框搜索", 611, 46, 320, 36, true},    {"树型框", 611, 88, 320, 576, false},
      {"按钮一键下载", 611, 8, 160, 36, true},   {"按钮更新配置", 779, 8, 152, 36, true},
      {"图片Qovra软件", 384, 12, 195, 64, true}, {"链接疑点说明", 16, 64, 64, 24, true},
      {"图片疑点说明", 16, 0, 64, 64, true},     {"图片客服号码", 104, 0, 64, 64, true},
      {"链接客服号码", 104, 64, 64, 24, true},   {"图片软件主页", 192, 0, 64, 64, true},
      {"链接软件主页", 192, 64, 64, 24, true},
      // The bars' thickness is the box's choice (17 px); they rest on the viewport's edges.
      {"横向滚动条", 0, 373, 935, 17, true},     {"纵向滚动条", 935, 0, 17, 373, true},
  };
  for (const auto& c : cases) {
    const auto* design = find(form, c.name);
    ASSERT_NE(design, nullptr) << c.name;
    EXPECT_EQ(design->left, c.left) << c.name;
    EXPECT_EQ(design->top, c.top) << c.name;
    EXPECT_EQ(design->width, c.width) << c.name;
    EXPECT_EQ(design->height, c.height) << c.name;
    EXPECT_EQ(design->visible, c.visible) << c.name;
  }
  EXPECT_EQ(find(form, "控件名称")->textColour, ui::rgb(0, 0, 255));
  EXPECT_EQ(find(form, "控件名称")->font.face, "新宋体");
}

TEST(Forms, ControlsSitInTheirDesignedParents) {
  const auto& form = mainWindowForm();
  const std::pair<const char*, const char*> parents[] = {
      {"图片框底座", ""},           {"图片框边界", ""},           {"图片框容器", "图片框边界"},
      {"横向滚动条", "图片框边界"}, {"纵向滚动条", "图片框边界"}, {"标签1", "图片框加载中"},
      {"树型框", ""},               {"控件名称", "图片框容器"},   {"控件下载进度", "图片框容器"},
      {"控件下载提示", "图片框容器"}, {"时钟2", "图片框容器"},   {"时钟下载", "图片框容器"},
      {"编辑框搜索", "图片框底座"}, {"图片Qovra软件", "图片框底座"}, {"时钟官网", ""},
  };
  for (const auto& [name, parent] : parents) {
    const auto* design = find(form, name);
    ASSERT_NE(design, nullptr) << name;
    EXPECT_EQ(design->parent, parent) << name;
  }
}

TEST(Forms, KindsCaptionsAndCursorsOfTheMainWindow) {
  const auto& form = mainWindowForm();
  EXPECT_EQ(form.caption,
            "Qovra·软件盒子 v1.3.1.0 - 当你使用离线模式打开时，如需看到最新软件版本，可以点击[检测更新]按钮");
  struct Case {
    const char* name;
    ui::Kind kind;
    const char* caption;
    ui::Cursor cursor;
  } cases[] = {
      {"控件图标", ui::Kind::PictureBox, "", ui::Cursor::Hand},
      {"控件名称", ui::Kind::Label, "", ui::Cursor::Hand},
      {"控件下载点击", ui::Kind::Button, "下载软件", ui::Cursor::Arrow},
      {"控件删除", ui::Kind::Button, "删除软件", ui::Cursor::Arrow},
      {"控件教程", ui::Kind::Button, "观看教程", ui::Cursor::Arrow},
      {"控件下载进度", ui::Kind::ProgressBar, "", ui::Cursor::Arrow},
      {"控件下载提示", ui::Kind::TransparentLabel, "正在下载中..", ui::Cursor::Arrow},
      {"按钮一键下载", ui::Kind::Button, "全部下载", ui::Cursor::Arrow},
      {"按钮更新配置", ui::Kind::Button, "检测更新", ui::Cursor::Arrow},
      {"链接疑点说明", ui::Kind::Hyperlink, "疑点说明", ui::Cursor::Hand},
      {"链接软件主页", ui::Kind::Hyperlink, "盒子主页", ui::Cursor::Hand},
      {"图片Qovra软件", ui::Kind::PictureButton, "", ui::Cursor::Hand},
      {"编辑框搜索", ui::Kind::EditBox, "", ui::Cursor::Arrow},
      {"横向滚动条", ui::Kind::HScrollBar, "", ui::Cursor::Arrow},
      {"纵向滚动条", ui::Kind::VScrollBar, "", ui::Cursor::Arrow},
      {"树型框", ui::Kind::TreeView, "", ui::Cursor::Arrow},
      {"标签1", ui::Kind::Label, "正在加载远程配置文件...", ui::Cursor::Arrow},
  };
  for (const auto& c : cases) {
    const auto* design = find(form, c.name);
    ASSERT_NE(design, nullptr) << c.name;
    EXPECT_EQ(design->kind, c.kind) << c.name;
    EXPECT_EQ(design->caption, c.caption) << c.name;
    EXPECT_EQ(design->cursor, c.cursor) << c.name;
  }
  EXPECT_EQ(find(form, "控件名称")->backColour, ui::rgb(245, 245, 245));
  EXPECT_EQ(find(form, "图片框边界")->backColour, ui::rgb(245, 245, 245));
  EXPECT_EQ(find(form, "控件名称")->font.height, 15);
}

TEST(Forms, ContactLinkCarriesTheDeployedNumberAndAddresses) {
  const auto& form = mainWindowForm();
  EXPECT_EQ(find(form, "链接客服号码")->caption, deployment::kContactNumber);
  EXPECT_EQ(find(form, "链接客服号码")->link, deployment::kContactUrl);
  EXPECT_EQ(find(form, "链接软件主页")->link, deployment::kMembershipUrl);
}

TEST(Forms, PicturesArePngsOfTheirControlsSize) {
  // The PNG header keeps width and height big-endian at bytes 16..23.
  auto sizeOf = [](const std::string& png) {
    auto be32 = [&](std::size_t at) {
      return (static_cast<unsigned char>(png[at]) << 24) | (static_cast<unsigned char>(png[at + 1]) << 16) |
             (static_cast<unsigned char>(png[at + 2]) << 8) | static_cast<unsigned char>(png[at + 3]);
    };
    return std::pair<int, int>(be32(16), be32(20));
  };
  const auto& form = mainWindowForm();
  const std::pair<const char*, std::pair<int, int>> pictures[] = {
      {"图片疑点说明", {64, 64}}, {"图片客服号码", {64, 64}}, {"图片软件主页", {64, 64}},
      {"图片Qovra软件", {195, 64}}, {"控件图标", {32, 32}}};
  for (const auto& [name, size] : pictures) {
    const auto* design = find(form, name);
    ASSERT_NE(design, nullptr) << name;
    ASSERT_GE(design->picture.size(), 24u) << name;
    EXPECT_EQ(design->picture.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8)) << name;
    EXPECT_EQ(sizeOf(design->picture), size) << name;
    if (design->kind == ui::Kind::PictureButton) {
      ASSERT_GE(design->hotPicture.size(), 24u) << name;
      EXPECT_NE(design->hotPicture, design->picture) << name;
      EXPECT_EQ(sizeOf(design->hotPicture), size) << name;
    }
  }
}

TEST(Forms, TimersStartWithTheirDesignedPeriods) {
  const auto& form = mainWindowForm();
  const std::pair<const char*, int> timers[] = {{"时钟官网", 20}, {"时钟2", 1000}, {"时钟3", 0},
                                                {"时钟更新使用顺序", 0}, {"时钟更新图片组", 0}, {"时钟下载", 0}};
  for (const auto& [name, period] : timers) {
    const auto* design = find(form, name);
    ASSERT_NE(design, nullptr) << name;
    EXPECT_EQ(design->kind, ui::Kind::Timer) << name;
    EXPECT_EQ(design->timerPeriod, period) << name;
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

TEST(Forms, TextWindowPlacesMatchTheDesign) {
  const auto& form = textWindowForm();
  EXPECT_EQ(form.width, 495);
  EXPECT_EQ(form.height, 393);
  struct Case {
    const char* name;
    const char* parent;
    int left, top, width, height;
    const char* caption;
    bool visible;
  } cases[] = {
      {"编辑框提示", "", 13, 8, 395, 33, "*", true},       {"编辑框正文", "", 5, 56, 411, 168, "", true},
      {"外形框", "", 8, 320, 336, 34, "", true},           {"按钮恢复", "外形框", 0, 5, 51, 24, "恢复", true},
      {"按钮清空", "外形框", 54, 5, 51, 24, "清空", true},  {"按钮粘贴", "外形框", 107, 5, 85, 24, "粘贴", true},
      {"按钮文件", "外形框", 208, 5, 51, 24, "内容", false}, {"按钮文件名", "外形框", 259, 5, 69, 24, "文件名", false},
      {"按钮确定", "", 351, 328, 64, 24, "确定", true},     {"按钮取消", "", 414, 328, 64, 24, "取消", true},
  };
  for (const auto& c : cases) {
    const auto* design = find(form, c.name);
    ASSERT_NE(design, nullptr) << c.name;
    EXPECT_EQ(design->parent, c.parent) << c.name;
    EXPECT_EQ(design->left, c.left) << c.name;
    EXPECT_EQ(design->top, c.top) << c.name;
    EXPECT_EQ(design->width, c.width) << c.name;
    EXPECT_EQ(design->height, c.height) << c.name;
    EXPECT_EQ(design->caption, c.caption) << c.name;
    EXPECT_EQ(design->visible, c.visible) << c.name;
  }
  EXPECT_TRUE(find(form, "编辑框正文")->multiline);
  EXPECT_EQ(form.controls.size(), std::size(cases));
}

}  // namespace
}  // namespace qovra
