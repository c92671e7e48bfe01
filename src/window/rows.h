// Catalogue rows as controls: five copies of the hidden templates in the list area's
// content (图片框容器), placed one template height apart, and the hover highlight of
// their name labels.
#pragma once

#include "catalogue/catalogue.h"
#include "platform/toolkit.h"

namespace qovra {

inline constexpr ui::Colour kNameColour = ui::rgb(0, 0, 255);
inline constexpr ui::Colour kHoverColour = ui::rgb(144, 0, 255);

// A new row for the entry, whose versionState is known: copies of the five templates with
// the row number in their tags, the program's icon when it is downloaded, the label text,
// the download button's caption and enablement (kept as restingCaption), the delete button
// disabled for a program that is not downloaded, and "暂无教程" on a disabled tutorial
// button when there is no tutorial. The copies stay hidden until placeRow; the catalogue
// build stores the row as this row number.
CatalogueRow createRow(const SoftwareEntry& entry, int rowNumber);

// Puts the row's five controls at row number i (from 1): i-1 template heights below the
// templates, the icon centred on its name label's height; shows them and writes the row
// number into their tags. Left edges and sizes stay the templates'.
void placeRow(CatalogueRow& row, int rowNumber);

// Underlines the hovered name label in violet and puts every other back to plain blue.
// Writes a label only when it is not already in the wanted state, and does nothing while
// the catalogue is being built. 0: no label hovered.
void highlightNameLabel(ui::ControlId hoveredLabel);

}  // namespace qovra
