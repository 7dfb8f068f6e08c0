// Pictures drawn by the real program off-screen: what fails says so and
// exits 1, and the picture lands in the file named, byte for byte.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/datafiles/TempFolder.h"
#include "tests/ui/UiTestKit.h"

namespace {

struct SShot {
    int code = -1;
    std::string err;
};

// Runs tallix --screenshot with these arguments (any bytes); a run that
// hangs is ended after a minute.
SShot Screenshot(const TempFolder& folder, std::vector<std::string> args)
{
    const std::string program = RuntimeDir() + "tallix", err = folder.File("err");
    args.insert(args.begin(), {program, "--screenshot"});
    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(fd, 2);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("HOME", folder.Path().c_str(), 1);
        setenv("XDG_DATA_HOME", folder.File("data").c_str(), 1);
        alarm(60);
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), TempFolder::Read(err)};
}

bool IsFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0;
}

TEST(ScreenshotTest, ASkinThatCannotBeReadFailsWithAMessage)
{
    TempFolder folder;
    std::filesystem::create_directories(folder.File("data/tallix/Skins"));
    folder.Write("data/tallix/Skins/broken.ini", "[Init]\r\nButton=missing.ini\r\n");
    const std::string picture = folder.File("shot.png");
    const SShot shot = Screenshot(folder, {picture, "--skin", "broken"});
    EXPECT_EQ(shot.code, 1);
    EXPECT_NE(shot.err.find("Unable to read configuration file located in "), std::string::npos) << shot.err;
    EXPECT_NE(shot.err.find("missing.ini\n"), std::string::npos) << shot.err;
    EXPECT_FALSE(IsFile(picture));
}

TEST(ScreenshotTest, TheFileNameIsTakenByteForByte)
{
    TempFolder folder;
    const std::string names[] = {folder.File("caf\xE9.png"), folder.File("\xFF\xFE.png"), folder.File("plain.png")};
    for (const std::string& name : names) {
        const SShot shot = Screenshot(folder, {name});
        EXPECT_EQ(shot.code, 0) << shot.err;
        EXPECT_TRUE(IsFile(name)) << name;
    }
    const SShot unwritable = Screenshot(folder, {folder.File("none/shot.png")});
    EXPECT_EQ(unwritable.code, 1);
    EXPECT_NE(unwritable.err.find("cannot write"), std::string::npos) << unwritable.err;
}

} // namespace
