#pragma once
// The desktop's appearance setting (color-scheme) from the freedesktop
// settings portal on the session bus. libdbus is loaded at the first use and
// asked on a thread of its own with a private connection: a session bus that
// accepts a connection but never answers (the handshake then waits for good)
// holds up that thread only, and the caller never past its deadline.

// 1 prefers dark, 2 prefers light, 0 no preference; -1 when no session bus
// or portal answered within timeoutMs (or libdbus is missing).
int PortalColorScheme(int timeoutMs);
