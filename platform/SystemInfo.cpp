#include "platform/SystemInfo.h"

#include <climits>
#include <unistd.h>

int CPosixSystemInfo::ScreenSize(int&, int&)
{
    return 0;
}

std::string CPosixSystemInfo::DeviceName()
{
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return std::string();
    return name;
}

namespace {
SystemInfo* g_installed = nullptr;
}

SystemInfo& TheSystemInfo()
{
    static CPosixSystemInfo posix;
    return g_installed ? *g_installed : posix;
}

void SetSystemInfo(SystemInfo* info)
{
    g_installed = info;
}
