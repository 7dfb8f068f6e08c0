#pragma once
// Facts about the machine that settings defaults depend on.
#include <string>

class SystemInfo {
public:
    virtual ~SystemInfo() = default;
    // The primary screen's size in device pixels. Returns 0 (width and height
    // unchanged) when it is not known, as in a program without a display.
    virtual int ScreenSize(int& width, int& height) = 0;
    // This machine's name (its host name); "" when it cannot be read.
    virtual std::string DeviceName() = 0;
};

// Host name from the system; screen size unknown. The window program installs
// one that knows the screen.
class CPosixSystemInfo : public SystemInfo {
public:
    int ScreenSize(int& width, int& height) override;
    std::string DeviceName() override;
};

// A screen of a given size (pictures and tests of the window, which run on
// the off-screen platform, whose screen size is no user's).
class CFixedScreenInfo : public CPosixSystemInfo {
public:
    CFixedScreenInfo(int width, int height) : width_(width), height_(height) {}
    int ScreenSize(int& width, int& height) override
    {
        width = width_;
        height = height_;
        return 1;
    }

private:
    int width_;
    int height_;
};

// The process-wide instance: CPosixSystemInfo unless another was installed.
SystemInfo& TheSystemInfo();
// Installs `info` (not owned; nullptr restores the default).
void SetSystemInfo(SystemInfo* info);
