#pragma once
// Tallix's program icon, drawn at start-up in a few sizes.
#include <QIcon>

QIcon MakeAppIcon();
