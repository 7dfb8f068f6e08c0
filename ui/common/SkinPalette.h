#pragma once
// Dialogs, lists and message boxes in the skin's colours. The group menu is
// the skin's own look for text on a plain background, so its background
// image and text colour set the palette: a dark skin gets dark dialogs.
#include <QPalette>

class CSkinResources;

// The palette of the loaded skin; the style's own when the skin has no menu look.
QPalette SkinPalette(CSkinResources& resources);
// Makes it the application's palette (every later window and dialog takes it).
void ApplySkinPalette(CSkinResources& resources);
