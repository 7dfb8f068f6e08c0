#pragma once
// Whether the desktop prefers a dark style: the freedesktop appearance
// setting (color-scheme) read from the settings portal over the session bus
// where a portal answers; otherwise the desktop's colour-scheme hint where
// Qt has one, or else the lightness of the palette's window colour. Needs a
// QGuiApplication; asks the bus with a short time-out, so a desktop without
// a portal costs start-up little.
bool DesktopPrefersDark();

// The portal's color-scheme value: 1 prefers dark, 2 prefers light, 0 has no
// preference; -1 when no portal answered.
int PortalColorScheme();
