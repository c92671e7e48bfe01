#include "settings/store_services.h"

#include "platform/toolkit.h"

namespace qovra::settings {

StoreServices& storeServices() {
  static StoreServices services;
  return services;
}

void connectStoresToToolkit() {
  auto& services = storeServices();
  services.messageBox = [](std::string_view text, std::string_view title, unsigned style) {
    ui::toolkit().messageBox(0, text, title, style);
  };
  services.processPendingMessages = [] { ui::toolkit().processPendingMessages(); };
}

void disconnectStoresFromToolkit() {
  auto& services = storeServices();
  services.messageBox = nullptr;
  services.processPendingMessages = nullptr;
}

}  // namespace qovra::settings
