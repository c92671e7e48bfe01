#include "support/forms.h"

#include "app/deployment.h"
#include "support/form_pictures.h"

#include <string>
#include <utility>

namespace qovra {
namespace {

using ui::ControlSpec;
using ui::Kind;

constexpr ui::Colour kListBackground = ui::rgb(245, 245, 245);
// Scroll bars are not sized by the design; 17 px is the system's usual thickness.
constexpr int kBar = 17;

ControlSpec control(const char* name, Kind kind, const char* parent, int left, int top, int width, int height,
                    const char* caption = "") {
  ControlSpec c;
  c.name = name;
  c.kind = kind;
  c.parent = parent;
  c.left = left;
  c.top = top;
  c.width = width;
  c.height = height;
  c.caption = caption;
  return c;
}

ControlSpec hidden(ControlSpec c) {
  c.visible = false;
  return c;
}

ControlSpec timer(const char* name, const char* parent, int period) {
  ControlSpec c = control(name, Kind::Timer, parent, 0, 0, 0, 0);
  c.timerPeriod = period;
  return c;
}

ControlSpec link(const char* name, int left, const std::string& caption, const std::string& address) {
  ControlSpec c = control(name, Kind::Hyperlink, "图片框底座", left, 64, 64, 24);
  c.caption = caption;
  c.link = address;
  c.cursor = ui::Cursor::Hand;
  c.font.underline = true;
  c.textColour = ui::rgb(0, 0, 255);
  return c;
}

// The header's picture buttons: the pictures are the box's own, not given by the design.
ControlSpec pictureButton(const char* name, int left, int top, int width, int height, std::string picture,
                          std::string hotPicture) {
  ControlSpec c = control(name, Kind::PictureButton, "图片框底座", left, top, width, height);
  c.picture = std::move(picture);
  c.hotPicture = std::move(hotPicture);
  c.cursor = ui::Cursor::Hand;
  return c;
}

// The two big header buttons: the design gives no font; a bold 14 px 宋体 matches their 36 px height.
ControlSpec bigButton(const char* name, int left, int width, const char* caption) {
  ControlSpec c = control(name, Kind::Button, "图片框底座", left, 8, width, 36, caption);
  c.font = {"宋体", 14, true};
  return c;
}

std::vector<ControlSpec> headerControls() {
  ControlSpec search = control("编辑框搜索", Kind::EditBox, "图片框底座", 611, 46, 320, 36);
  search.font = {"新宋体", 15};
  using namespace form_pictures;
  return {
      pictureButton("图片疑点说明", 16, 0, 64, 64, help(), helpHot()),
      link("链接疑点说明", 16, "疑点说明", ""),
      pictureButton("图片客服号码", 104, 0, 64, 64, contact(), contactHot()),
      link("链接客服号码", 104, deployment::kContactNumber, deployment::kContactUrl),
      pictureButton("图片软件主页", 192, 0, 64, 64, homepage(), homepageHot()),
      link("链接软件主页", 192, "盒子主页", deployment::kMembershipUrl),
      pictureButton("图片Qovra软件", 384, 12, 195, 64, banner(), bannerHot()),
      bigButton("按钮一键下载", 611, 160, "全部下载"),
      bigButton("按钮更新配置", 779, 152, "检测更新"),
      search,
      timer("时钟官网", "", 20),
  };
}

std::vector<ControlSpec> rowTemplates() {
  ControlSpec icon = hidden(control("控件图标", Kind::PictureBox, "图片框容器", 8, 8, 23, 23));
  icon.cursor = ui::Cursor::Hand;
  icon.picture = form_pictures::program();
  ControlSpec name = hidden(control("控件名称", Kind::Label, "图片框容器", 40, 8, 344, 26));
  name.cursor = ui::Cursor::Hand;
  name.font = {"新宋体", 15};
  name.textColour = ui::rgb(0, 0, 255);
  name.backColour = kListBackground;
  ControlSpec hint = hidden(control("控件下载提示", Kind::TransparentLabel, "图片框容器", 591, 8, 329, 26, "正在下载中.."));
  return {
      icon,
      name,
      hidden(control("控件下载点击", Kind::Button, "图片框容器", 392, 8, 176, 26, "下载软件")),
      hidden(control("控件删除", Kind::Button, "图片框容器", 584, 8, 104, 26, "删除软件")),
      hidden(control("控件教程", Kind::Button, "图片框容器", 712, 8, 104, 26, "观看教程")),
      hidden(control("控件下载进度", Kind::ProgressBar, "图片框容器", 579, 8, 351, 26)),
      hint,
      timer("时钟2", "图片框容器", 1000),
      timer("时钟下载", "图片框容器", 0),
  };
}

ui::FormSpec buildMainWindow() {
  ui::FormSpec form;
  form.name = "主窗口";
  form.caption = "Qovra·软件盒子 v1.3.1.0 - 当你使用离线模式打开时，如需看到最新软件版本，可以点击[检测更新]按钮";
  form.left = 50;
  form.top = 50;
  form.width = 964;
  form.height = 700;
  ControlSpec viewport = control("图片框边界", Kind::PictureBox, "", 0, 90, 952, 390);
  viewport.backColour = kListBackground;
  ControlSpec content = control("图片框容器", Kind::PictureBox, "图片框边界", 0, 0, 944, 238);
  content.backColour = kListBackground;
  // The bars rest at position 1, their minimum: the list area treats 1 as "not scrolled".
  ControlSpec hBar = control("横向滚动条", Kind::HScrollBar, "图片框边界", 0, 390 - kBar, 952 - kBar, kBar);
  ControlSpec vBar = control("纵向滚动条", Kind::VScrollBar, "图片框边界", 952 - kBar, 0, kBar, 390 - kBar);
  hBar.scrollMin = vBar.scrollMin = 1;
  // The loading panel is shown only while the catalogue is built; its label sits mid-panel.
  ControlSpec loadingPanel = hidden(control("图片框加载中", Kind::PictureBox, "", 32, 136, 664, 200));
  loadingPanel.backColour = kListBackground;
  ControlSpec loadingLabel = control("标签1", Kind::Label, "图片框加载中", 0, 90, 664, 24, "正在加载远程配置文件...");
  loadingLabel.font = {"新宋体", 15};
  loadingLabel.backColour = kListBackground;
  ControlSpec tree = hidden(control("树型框", Kind::TreeView, "", 611, 88, 320, 576));
  form.controls = {
      control("图片框底座", Kind::PictureBox, "", 0, 0, 1088, 88),
      control("标签分隔条", Kind::Label, "", 0, 88, 2000, 2),
      viewport, content, hBar, vBar,
      loadingPanel,
      loadingLabel,
      tree,
      timer("时钟3", "", 0),
      timer("时钟更新使用顺序", "", 0),
      timer("时钟更新图片组", "", 0),
  };
  for (auto& c : headerControls()) form.controls.push_back(c);
  for (auto& c : rowTemplates()) form.controls.push_back(c);
  return form;
}

ui::FormSpec buildTextWindow() {
  ui::FormSpec form;
  form.name = "文本窗口";
  form.width = 495;
  form.height = 393;
  ControlSpec prompt = control("编辑框提示", Kind::EditBox, "", 13, 8, 395, 33, "*");
  prompt.readOnly = true;
  ControlSpec body = control("编辑框正文", Kind::EditBox, "", 5, 56, 411, 168);
  body.multiline = true;
  form.controls = {
      prompt,
      body,
      control("外形框", Kind::Panel, "", 8, 320, 336, 34),
      control("按钮恢复", Kind::Button, "外形框", 0, 5, 51, 24, "恢复"),
      control("按钮清空", Kind::Button, "外形框", 54, 5, 51, 24, "清空"),
      control("按钮粘贴", Kind::Button, "外形框", 107, 5, 85, 24, "粘贴"),
      hidden(control("按钮文件", Kind::Button, "外形框", 208, 5, 51, 24, "内容")),
      hidden(control("按钮文件名", Kind::Button, "外形框", 259, 5, 69, 24, "文件名")),
      control("按钮确定", Kind::Button, "", 351, 328, 64, 24, "确定"),
      control("按钮取消", Kind::Button, "", 414, 328, 64, 24, "取消"),
  };
  return form;
}

}  // namespace

const ui::FormSpec& mainWindowForm() {
  static const ui::FormSpec form = buildMainWindow();
  return form;
}

const ui::FormSpec& textWindowForm() {
  static const ui::FormSpec form = buildTextWindow();
  return form;
}

}  // namespace qovra
