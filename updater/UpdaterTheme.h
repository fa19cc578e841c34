// The updater's dark look: Fusion with the shared palette, applied to the whole program.
#ifndef UPDATER_THEME_H
#define UPDATER_THEME_H

#include <QPalette>

namespace UpdaterTheme {

QPalette palette();
void apply();

} // namespace UpdaterTheme

#endif
