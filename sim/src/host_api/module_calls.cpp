#include "sim/module_calls.h"

#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>

#include "core/platform.h"
#include "host/oapi.h"
#include "sim/world.h"

namespace {
int g_initlib_calls = 0;
int g_date2int_calls = 0;
}  // namespace

namespace sim {

int initlib_count() {
    return g_initlib_calls;
}
int date2int_count() {
    return g_date2int_calls;
}

}  // namespace sim

void InitLib(HINSTANCE hModule) {
    ++g_initlib_calls;
    auto* w = sim::World::current();
    if (!w)
        return;
    const std::string file = sim::platform::library_file(hModule);
    w->log(file.empty() ? std::string("module attached") : "module attached: " + file);
}

int Date2Int(const char* date) {
    ++g_date2int_calls;
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (!date)
        return 0;
    char mon[4] = {};
    int day = 0, year = 0;
    if (std::sscanf(date, "%3s %d %d", mon, &day, &year) != 3)
        return 0;
    for (std::size_t m = 0; m < std::size(months); ++m)
        if (std::strcmp(mon, months[m]) == 0)
            return year * 10000 + int(m + 1) * 100 + day;
    return 0;
}
