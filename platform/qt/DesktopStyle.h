#pragma once
// Whether the desktop prefers a dark style: the freedesktop appearance
// setting (color-scheme) read from the settings portal over the session bus
// where a portal answers (platform/DesktopPortal.h); otherwise the desktop's
// colour-scheme hint where Qt has one, or else the lightness of the
// palette's window colour. Needs a QGuiApplication; waits for the bus at
// most half a second, so a desktop without a portal, or a bus that never
// answers, costs start-up little.
bool DesktopPrefersDark();
