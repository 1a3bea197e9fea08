#pragma once
// The year the data screens propose: the year of the working date, one less
// from January to March (the communications of the year just ended).
#include <QDate>

inline int AnnoPredefinito(const QDate& dataLavoro) {
    return dataLavoro.month() <= 3 ? dataLavoro.year() - 1 : dataLavoro.year();
}
