#include "settings/program_settings.h"

#include "settings/store_services.h"
#include "support/process_state.h"

namespace qovra::settings {

SettingsStore& programSettings() {
  static SettingsStore store;
  return store;
}

bool bindProgramSettings() {
  connectStoresToToolkit();
  const auto& state = processState();
  return programSettings().setFile(state.runDirectory + "\\" + state.programTitle + ".ini",
                                   FileMode::WriteThrough);
}

void releaseProgramSettings() {
  programSettings() = SettingsStore();
  disconnectStoresFromToolkit();
}

}  // namespace qovra::settings
