#include "ui/common/LocalDate.h"

#include <QDate>
#include <QLocale>

std::string LocalShortDate(int day, int month, int year)
{
    const QDate date(year, month, day);
    return date.isValid() ? QLocale::system().toString(date, QLocale::ShortFormat).toStdString() : std::string();
}
