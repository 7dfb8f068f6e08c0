#pragma once
// Whether the desktop prefers a dark style: the freedesktop appearance
// setting (color-scheme) read from the settings portal over the session bus
// where a portal answers (looked up since StartDesktopBusLookup, see
// platform/DesktopBus.h); otherwise the desktop's colour-scheme hint where
// Qt has one, or else the lightness of the palette's window colour. Needs a
// QGuiApplication.
bool DesktopPrefersDark();
