#include "window/result_list.h"

#include "window/main_window.h"

namespace qovra {

void hideResultList() { ui::toolkit().setInt(mainControl("树型框"), ui::Prop::Visible, 0); }

}  // namespace qovra
