#pragma once
// The user's session bus, asked once a start on a thread of its own: a
// connection, the bus's greeting, then the desktop's appearance setting
// (color-scheme) from the freedesktop settings portal. libdbus is loaded for
// it, with a private connection, and every wait has a time-out: a bus that
// takes connections but never answers holds up no one. Call Start before
// anything else in the process uses the bus.

// Starts the look-up: the greeting waits at most greetingMs, the portal
// (which the bus may start on demand) portalMs.
void StartDesktopBusLookup(int greetingMs, int portalMs);
// True when a session bus took the connection but did not greet within the
// time-out: every user of it in this process (Qt's accessibility bridge,
// the tray) would wait for it for good. Waits for the greeting, if need be.
bool SessionBusHangs();
// The portal's color-scheme: 1 prefers dark, 2 prefers light, 0 no
// preference; -1 when no bus or portal answered in time (or libdbus is
// missing, or the look-up was never started). Waits for it, if need be.
int PortalColorScheme();
