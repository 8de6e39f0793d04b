// Puts TalvioDriver.exe's own resources on the hosted desktop, as its
// generated resource script declares them: the tray icons, the speaker
// bitmap and the tray menu. A desktop reset removes them: install them
// again in each test.
#pragma once

namespace talvio::testing {

void InstallProgramResources();

}  // namespace talvio::testing
