#pragma once
// A string of the built-in tables in the current language, for Qt widgets;
// the English text when the language lacks it.
#include <QString>

QString ResourceText(int englishId);
