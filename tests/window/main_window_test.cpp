// What runs when the main window has been created: branding of the header, brandName,
// the search hint, the queue flags, the list area's binding, the result list's style,
// the tray icon and the hint label inside the progress bar.
#include <gtest/gtest.h>

#include "app/deployment.h"
#include "support/form_pictures.h"
#include "window/main_window_fixture.h"
#include "window/search_box.h"
#include "window/tray_icon.h"

namespace qovra {
namespace {

using ui::Prop;

const std::string kDesignedCaption =
    "Qovra·软件盒子 v1.3.1.0 - 当你使用离线模式打开时，如需看到最新软件版本，可以点击[检测更新]按钮";

struct Header {
  std::string caption, contactCaption, contactLink, homepageLink, banner, bannerHot;
  bool bannerVisible;
  bool operator==(const Header&) const = default;
};

void PrintTo(const Header& h, std::ostream* out) {
  *out << h.caption << " | " << h.contactCaption << " | " << h.contactLink << " | " << h.homepageLink
       << " | banner " << h.banner.size() << "/" << h.bannerHot.size() << " bytes, visible " << h.bannerVisible;
}

class MainWindowPreparationTest : public MainWindowTest {
 protected:
  Header header() const {
    const ui::ControlId banner = control("图片Qovra软件");
    return {text(window),
            text(control("链接客服号码")),
            text(control("链接客服号码"), Prop::LinkAddress),
            text(control("链接软件主页"), Prop::LinkAddress),
            text(banner, Prop::Picture),
            text(banner, Prop::HotPicture),
            get(banner, Prop::Visible) != 0};
  }
};

TEST_F(MainWindowPreparationTest, AnUnbrandedBoxKeepsItsDesignedHeader) {
  open();
  const std::string number = deployment::kContactNumber;
  EXPECT_EQ(header(), (Header{kDesignedCaption, number, deployment::kContactUrl, deployment::kMembershipUrl,
                              form_pictures::banner(), form_pictures::bannerHot(), true}));
  EXPECT_EQ(catalogueState().brandName, "Qovra");
}

TEST_F(MainWindowPreparationTest, ABrandWordRebrandsTheHeader) {
  const std::string number = deployment::kContactNumber;
  const std::string url = deployment::kContactUrl;
  // The designed address carries the number; a branded one carries the brand's instead.
  ASSERT_NE(url.find(number), std::string::npos);
  auto withNumber = [&](const std::string& replacement) {
    std::string out = url;
    out.replace(out.find(number), number.size(), replacement);
    return out;
  };
  const std::string rebrandedCaption =
      "Acme·软件盒子 v1.3.1.0 - 当你使用离线模式打开时，如需看到最新软件版本，可以点击[检测更新]按钮";
  struct Case {
    const char* what;
    BrandingProfile profile;
    Header header;
  } cases[] = {
      {"pictures and a contact",
       {"Acme", "20261211", "acme.example", "http://acme.example/", "", "PNG-normal", "PNG-hot"},
       {rebrandedCaption, "20261211", withNumber("20261211"), "http://acme.example/", "PNG-normal", "PNG-hot", true}},
      {"no pictures: the banner goes",
       {"Acme", "5", "acme.example", "http://acme.example/", "", "", ""},
       {rebrandedCaption, "5", withNumber("5"), "http://acme.example/", "", "", false}},
      {"only a hot picture: nothing to show normally",
       {"Acme", "5", "", "", "", "", "PNG-hot"},
       {rebrandedCaption, "5", withNumber("5"), "", "", "PNG-hot", false}},
      {"an empty contact number removes the designed one",
       {"Acme", "", "acme.example", "http://acme.example/", "", "PNG", "PNG"},
       {rebrandedCaption, "", withNumber(""), "http://acme.example/", "PNG", "PNG", true}},
      {"a brand word that contains the default brand",
       {"QovraPlus", "5", "", "http://plus.example/", "", "P", "H"},
       {"QovraPlus·软件盒子 v1.3.1.0 - 当你使用离线模式打开时，如需看到最新软件版本，可以点击[检测更新]按钮", "5",
        withNumber("5"), "http://plus.example/", "P", "H", true}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    open(c.profile);
    EXPECT_EQ(header(), c.header);
    EXPECT_EQ(catalogueState().brandName, c.profile.brandWord);
    tk.destroyWindow(window);
    window = 0;
  }
}

TEST_F(MainWindowPreparationTest, TheTrayTipNamesTheTitleAndTheBrand) {
  open();
  auto icon = tk.trayIcon(window);
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->tip, "Qovra·软件盒子\r\n为Qovra软件旗下数十款软件提供下载、升级服务");
  EXPECT_EQ(icon->icon, trayIconBytes());
  tk.destroyWindow(window);

  processState().programTitle = "Acme·软件盒子";
  open({"Acme", "5", "", "http://acme.example/", "", "P", "H"});
  ASSERT_TRUE(tk.trayIcon(window));
  EXPECT_EQ(tk.trayIcon(window)->tip, "Acme·软件盒子\r\n为Acme软件旗下数十款软件提供下载、升级服务");
}

TEST(TrayIcon, IsOneSixteenPixelImageOfThirtyTwoBitsWithItsMask) {
  const std::string bytes = trayIconBytes();
  auto u16 = [&](std::size_t at) { return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8; };
  auto u32 = [&](std::size_t at) { return static_cast<std::uint32_t>(u16(at)) | static_cast<std::uint32_t>(u16(at + 2)) << 16; };
  ASSERT_EQ(bytes.size(), 6u + 16 + 40 + 16 * 16 * 4 + 16 * 4);
  EXPECT_EQ(u16(0), 0);   // reserved
  EXPECT_EQ(u16(2), 1);   // an icon
  EXPECT_EQ(u16(4), 1);   // one image
  EXPECT_EQ(bytes[6], 16);
  EXPECT_EQ(bytes[7], 16);
  EXPECT_EQ(u16(12), 32);
  EXPECT_EQ(u32(14), bytes.size() - 22);
  EXPECT_EQ(u32(18), 22u);
  EXPECT_EQ(u32(22), 40u);
  EXPECT_EQ(u32(26), 16u);
  EXPECT_EQ(u32(30), 32u);  // colours and mask
  EXPECT_EQ(u16(36), 32);
  // The corners are transparent: no alpha, and their mask bits set.
  const std::size_t pixels = 22 + 40, mask = pixels + 16 * 16 * 4;
  EXPECT_EQ(u32(pixels), 0u);                            // bottom-left
  EXPECT_EQ(static_cast<unsigned char>(bytes[mask]), 0xFF);  // the whole bottom row
  EXPECT_EQ(u32(pixels + (8 * 16 + 8) * 4) >> 24, 0xFFu); // the middle is opaque
}

TEST_F(MainWindowPreparationTest, TheSearchBoxStartsWithItsGreyItalicHintAndTheListHidden) {
  open();
  const ui::ControlId box = control("编辑框搜索");
  EXPECT_EQ(mainWindowState().searchHint, "即输即搜(首拼通配)..");
  EXPECT_EQ(text(box), "即输即搜(首拼通配)..");
  EXPECT_EQ(get(box, Prop::FontItalic), 1);
  EXPECT_EQ(get(box, Prop::TextColour), kSearchHintColour);
  EXPECT_FALSE(get(control("树型框"), Prop::Visible));

  // A typed text stays when the box loses the focus; an emptied box gets the hint back.
  tk.setText(box, Prop::Caption, "截图");
  tk.setInt(box, Prop::FontItalic, 0);
  searchBoxFocusLost();
  EXPECT_EQ(text(box), "截图");
  EXPECT_EQ(get(box, Prop::FontItalic), 0);
  tk.setText(box, Prop::Caption, "");
  searchBoxFocusLost();
  EXPECT_EQ(text(box), "即输即搜(首拼通配)..");
  EXPECT_EQ(get(box, Prop::FontItalic), 1);
}

TEST_F(MainWindowPreparationTest, TheQueueMayRunOneTransferAndTheHintLabelSitsInTheProgressBar) {
  open();
  EXPECT_TRUE(mainWindowState().queueKeepGoing);
  EXPECT_EQ(mainWindowState().queueMaxConcurrent, 1);
  const ui::ControlId hint = control("控件下载提示");
  EXPECT_EQ(tk.record(hint)->parent, control("控件下载进度"));
  EXPECT_EQ(get(hint, Prop::Left), 10);
  EXPECT_EQ(get(hint, Prop::Top), 0);
  EXPECT_EQ(get(hint, Prop::Width), 329);
}

TEST_F(MainWindowPreparationTest, TheListAreaIsBoundToItsBarsWithAutoHide) {
  open();
  // Bound: the bars are pinned to the viewport's edges, and a layout hides what is not needed.
  EXPECT_EQ(get(control("横向滚动条"), Prop::Left), 0);
  EXPECT_EQ(get(control("纵向滚动条"), Prop::Top), 0);
  layoutListArea();
  EXPECT_FALSE(get(control("纵向滚动条"), Prop::Visible));
  EXPECT_FALSE(get(control("横向滚动条"), Prop::Visible));
}

TEST_F(MainWindowPreparationTest, OnlyATreeViewGetsTheHotTrackingStyle) {
  struct Case {
    const char* what;
    ui::Kind kind;
    std::int64_t styleBefore, styleAfter;
  } cases[] = {
      {"a tree view", ui::Kind::TreeView, 0x3, 0x203},
      {"a tree view that has it", ui::Kind::TreeView, 0x203, 0x203},
      {"a panel in its place", ui::Kind::Panel, 0x3, 0x3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ui::FormSpec form = mainWindowForm();
    for (auto& design : form.controls)
      if (design.name == "树型框") design.kind = c.kind;
    // The style the control has before preparation: set from inside the creation handler,
    // ahead of the preparation, as the native control's own style would be.
    window = tk.loadForm(form, [&](ui::Event& event) {
      if (event.kind != ui::EventKind::Created) return;
      tk.setInt(tk.find(event.control, "树型框"), Prop::Style, c.styleBefore);
      tk.resetWriteCounts();
      prepareMainWindow(event.control, {});
    });
    EXPECT_EQ(get(control("树型框"), Prop::Style), c.styleAfter);
    EXPECT_EQ(tk.writeCount(control("树型框"), Prop::Style), c.styleAfter != c.styleBefore ? 1 : 0);
    tk.destroyWindow(window);
    window = 0;
  }
}

}  // namespace
}  // namespace qovra
