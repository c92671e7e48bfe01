// The pictures the two window designs carry: the header's picture buttons (normal and hot),
// the brand banner and the default program picture of a catalogue row. PNG file bytes.
#pragma once

#include <string>

namespace qovra::form_pictures {

std::string help();
std::string helpHot();
std::string contact();
std::string contactHot();
std::string homepage();
std::string homepageHot();
std::string banner();
std::string bannerHot();
std::string program();

}  // namespace qovra::form_pictures
