// Library-level host calls: module initialisation and the date-to-integer helper.
#include <cstring>

#include "host/world/trace_record.h"
#include "host/world/world.h"

void InitLib(HINSTANCE hModule) {
    HOST_TRACE("InitLib", simhost::detail::pointerText(hModule));
    simhost::world().modules().noteInitLib(hModule);
}

int Date2Int(const char* date) {
    HOST_TRACE("Date2Int", date);
    static const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    // Exactly "Mmm dd yyyy"; the day may have a leading space instead of a digit.
    if (!date || std::strlen(date) != 11 || date[3] != ' ' || date[6] != ' ') return 0;
    int month = 0;
    for (int m = 0; m < 12; ++m)
        if (std::strncmp(date, kMonths[m], 3) == 0) month = m + 1;
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (month == 0 || !digit(date[5]) || !(digit(date[4]) || date[4] == ' ')) return 0;
    for (int i = 7; i < 11; ++i)
        if (!digit(date[i])) return 0;
    const int day = (date[4] == ' ' ? 0 : (date[4] - '0') * 10) + (date[5] - '0');
    const int year = (date[7] - '0') * 1000 + (date[8] - '0') * 100 + (date[9] - '0') * 10 + (date[10] - '0');
    if (day < 1 || day > 31) return 0;
    return (year % 100) * 10000 + month * 100 + day;
}
