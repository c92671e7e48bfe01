// The tree view of the Win32 toolkit, used as a flat list: items are kept in order with
// their values beside the control (an item's LPARAM is too narrow for a 64-bit value in
// the 32-bit program).
#include <algorithm>

#include "platform/win32/win32_toolkit_internal.h"

namespace qovra::ui {

using win32::Record;

namespace {

constexpr int kImageSide = 32;

Record* treeRecord(const Win32Toolkit::Impl& impl, ControlId tree) {
  Record* r = impl.record(tree);
  return r && r->kind == Kind::TreeView && r->hwnd ? r : nullptr;
}

bool validIndex(const Record& r, int index) {
  return index >= 0 && static_cast<std::size_t>(index) < r.items.size();
}

}  // namespace

void Win32Toolkit::treeClear(ControlId tree) {
  Record* r = treeRecord(*impl_, tree);
  if (!r) return;
  TreeView_DeleteAllItems(r->hwnd);
  r->items.clear();
  r->values.clear();
}

int Win32Toolkit::treeAdd(ControlId tree, std::string_view caption, int image, int selectedImage,
                          std::int64_t value) {
  Record* r = treeRecord(*impl_, tree);
  if (!r) return -1;
  std::wstring text = win32::wideText(caption);
  TVINSERTSTRUCTW insert{};
  insert.hParent = TVI_ROOT;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  insert.item.pszText = text.data();
  insert.item.iImage = image;
  insert.item.iSelectedImage = selectedImage;
  auto item = reinterpret_cast<HTREEITEM>(
      SendMessageW(r->hwnd, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
  if (!item) return -1;
  r->items.push_back(item);
  r->values.push_back(value);
  return static_cast<int>(r->items.size()) - 1;
}

int Win32Toolkit::treeCount(ControlId tree) const {
  Record* r = treeRecord(*impl_, tree);
  return r ? static_cast<int>(r->items.size()) : 0;
}

int Win32Toolkit::treeSelected(ControlId tree) const {
  Record* r = treeRecord(*impl_, tree);
  if (!r) return -1;
  HTREEITEM selected = TreeView_GetSelection(r->hwnd);
  auto it = std::find(r->items.begin(), r->items.end(), selected);
  return selected && it != r->items.end() ? static_cast<int>(it - r->items.begin()) : -1;
}

void Win32Toolkit::treeSelect(ControlId tree, int index) {
  Record* r = treeRecord(*impl_, tree);
  if (!r) return;
  TreeView_SelectItem(r->hwnd, validIndex(*r, index) ? r->items[static_cast<std::size_t>(index)] : nullptr);
}

std::int64_t Win32Toolkit::treeValue(ControlId tree, int index) const {
  Record* r = treeRecord(*impl_, tree);
  return r && validIndex(*r, index) ? r->values[static_cast<std::size_t>(index)] : 0;
}

std::vector<int> Win32Toolkit::treeSetImages(ControlId tree, const std::vector<std::string>& pictures,
                                             Colour transparent) {
  std::vector<int> indexes;
  Record* r = treeRecord(*impl_, tree);
  if (!r) return indexes;
  HIMAGELIST list = ImageList_Create(kImageSide, kImageSide, ILC_COLOR32 | ILC_MASK,
                                     static_cast<int>(pictures.size()), 4);
  if (!list) return indexes;
  for (const std::string& bytes : pictures) {
    // A picture that does not decode gets an empty place, so the indexes of the
    // others still match their rows.
    HBITMAP tile = win32::tileBitmap(win32::decodePicture(bytes), kImageSide, kImageSide, transparent);
    indexes.push_back(tile ? ImageList_AddMasked(list, tile, transparent) : -1);
    if (tile) DeleteObject(tile);
  }
  HIMAGELIST previous = TreeView_SetImageList(r->hwnd, list, TVSIL_NORMAL);
  if (previous && previous != r->images) ImageList_Destroy(previous);
  if (r->images) ImageList_Destroy(r->images);
  r->images = list;
  return indexes;
}

}  // namespace qovra::ui
