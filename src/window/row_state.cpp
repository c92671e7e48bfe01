#include "window/row_state.h"

#include "catalogue/catalogue.h"
#include "settings/program_settings.h"
#include "support/bitmap_object.h"
#include "support/process_state.h"
#include "window/file_version.h"
#include "window/main_window.h"
#include "window/version_compare.h"

namespace qovra {

using ui::Prop;

namespace {

constexpr std::string_view kCachedVersionKey = "缓存版本";
constexpr std::string_view kCachedIconKey = "缓存图标";

ui::Toolkit& tk() { return ui::toolkit(); }

std::uint32_t littleEndian32(std::string_view bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) value |= std::uint32_t(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  return value;
}

// A cached picture is used only when it still is the BMP file that was stored: a
// damaged or truncated byte file is made again from the program instead of being shown.
bool isWholeBmp(std::string_view bytes) {
  return bytes.size() >= 54 && bytes.substr(0, 2) == "BM" && littleEndian32(bytes, 2) == bytes.size();
}

std::string shellIconBmp(const std::string& programPath) {
  BitmapObject bitmap;
  bitmap.fromIcon(programPath, 32, 32, 32);
  return bitmap.toBmpBytes();
}

// Every write of the program ini reaches the disk before it returns; a version that is
// already recorded is not written again, so refreshing every row of an unchanged
// catalogue costs no writes at all.
void recordUsedVersion(const std::string& name, const std::string& version) {
  auto& settings = settings::programSettings();
  constexpr std::string_view kAbsent = "\x01";  // no version text holds it
  if (settings.readEntry(settings::kUsedVersionSection, name, kAbsent) == version) return;
  settings.selectSection(settings::kUsedVersionSection);
  settings.writeText(name, version);
}

}  // namespace

void applyDownloadButtonState(ui::ControlId button, const DownloadButtonState& state) {
  tk().setText(button, Prop::Caption, state.caption);
  if (state.enabled) tk().setInt(button, Prop::Enabled, *state.enabled);
}

std::string iconCacheKeyBase(std::string_view programPath) {
  const auto slash = programPath.rfind('\\');
  std::string_view file = slash == std::string_view::npos ? programPath : programPath.substr(slash + 1);
  const auto dot = file.rfind('.');
  return std::string(dot == std::string_view::npos ? file : file.substr(0, dot));
}

std::string whiteToListBackground(std::string picture) {
  for (std::size_t at = picture.find("\xFF\xFF\xFF"); at != std::string::npos; at = picture.find("\xFF\xFF\xFF", at + 3))
    picture.replace(at, 3, "\xF5\xF5\xF5");
  return picture;
}

void loadRowIcon(const std::string& programPath, ui::ControlId iconBox, const std::string& version) {
  auto& settings = settings::programSettings();
  const std::string base = iconCacheKeyBase(programPath);
  settings.selectSection(settings::kIconCacheSection);
  std::string picture = settings.readBytes(base + std::string(kCachedIconKey));
  const std::string cachedVersion = settings.readText(base + std::string(kCachedVersionKey));
  if (cachedVersion != version || !isWholeBmp(picture)) {
    picture = shellIconBmp(programPath);
    // Writing may run other handlers, which may select another section.
    settings.selectSection(settings::kIconCacheSection);
    settings.writeText(base + std::string(kCachedVersionKey), version);
    settings.selectSection(settings::kIconCacheSection);
    settings.writeBytes(base + std::string(kCachedIconKey), picture);
  }
  tk().setText(iconBox, Prop::Picture, whiteToListBackground(std::move(picture)));
}

void refreshRow(int rowNumber, bool enableDownload, bool skipImageRefresh) {
  const CatalogueRow* before = rowAt(rowNumber);
  if (!before) return;
  const std::string name = before->entry.name;
  const std::string path = programFile(processState().runDirectory, name);
  const std::string version = readFileVersionRecord(path).fileVersion;
  recordUsedVersion(name, version);

  // The write may have let a rebuild run: go on only with the same row.
  CatalogueRow* row = rowAt(rowNumber);
  if (!row || row->entry.name != name) return;
  SoftwareEntry& entry = row->entry;
  entry.usedVersion = version;
  tk().setText(row->nameLabel, Prop::Caption, rowLabelText(entry));
  entry.versionState = compareVersions(entry.usedVersion, entry.latestVersion);
  applyDownloadButtonState(row->downloadButton, downloadButtonState(entry, enableDownload));
  tk().setInt(row->deleteButton, Prop::Enabled, entry.versionState != kNotDownloaded);
  if (entry.versionState != kNotDownloaded) loadRowIcon(path, row->iconBox, version);
  if (!skipImageRefresh) rebuildResultImages();
}

void refreshAllRows() {
  auto& rows = catalogueState().rows;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    tk().setInt(rows[i].downloadButton, Prop::Enabled, 1);
    refreshRow(static_cast<int>(i + 1), false, true);
  }
  rebuildResultImages();
}

void rebuildResultImages() {
  auto& rows = catalogueState().rows;
  std::vector<std::string> pictures;
  pictures.reserve(rows.size());
  for (const auto& row : rows) pictures.push_back(tk().getText(row.iconBox, Prop::Picture));
  const auto transparent = static_cast<ui::Colour>(tk().getInt(mainControl("图片框边界"), Prop::BackColour));
  const std::vector<int> indices = tk().treeSetImages(mainControl("树型框"), pictures, transparent);
  for (std::size_t i = 0; i < rows.size() && i < indices.size(); ++i) rows[i].imageIndex = indices[i];
}

void onResultImagesTimer() {
  tk().setInt(mainControl("时钟更新图片组"), Prop::TimerPeriod, 0);
  rebuildResultImages();
}

}  // namespace qovra
