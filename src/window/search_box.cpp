#include "window/search_box.h"

#include "window/main_window.h"
#include "window/result_list.h"

namespace qovra {

using ui::Prop;

void searchBoxFocusLost() {
  auto& tk = ui::toolkit();
  const ui::ControlId box = mainControl("编辑框搜索");
  const std::string& hint = mainWindowState().searchHint;
  const std::string text = tk.getText(box, Prop::Caption);
  if (text.empty() || text == hint) {
    tk.setInt(box, Prop::FontItalic, 1);
    tk.setInt(box, Prop::TextColour, kSearchHintColour);
    tk.setText(box, Prop::Caption, hint);
  }
  hideResultList();
}

}  // namespace qovra
