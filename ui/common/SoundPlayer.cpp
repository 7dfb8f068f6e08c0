#include "ui/common/SoundPlayer.h"

#include "platform/ClickSound.h"

void PlayClick() { ClickSoundService().Play(); }
