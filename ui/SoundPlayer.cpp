#include "ui/SoundPlayer.h"

void PlayClick() {}
