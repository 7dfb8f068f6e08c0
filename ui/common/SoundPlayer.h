#pragma once
// The key click: played asynchronously, skipped when the sound device is busy
// or absent; the sound system is opened at the first click, not at start-up.
void PlayClick();
