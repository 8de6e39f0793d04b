// Puts TalvioDriver.exe's own resources on the hosted desktop, as its
// generated resource script declares them: the icons, the bitmaps, the
// tray menu and the dialog templates. A desktop reset removes them: install them
// again in each test.
#pragma once

namespace talvio::testing {

void InstallProgramResources();

}  // namespace talvio::testing
