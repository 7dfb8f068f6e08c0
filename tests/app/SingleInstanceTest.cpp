#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "app/window/SingleInstance.h"
#include "app/window/WindowProgram.h"
#include "tests/ui/UiTestKit.h"

namespace {

// Runs the event loop until done() or about five seconds passed.
template <typename F>
bool WaitFor(F done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 5000) QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

QProcess* StartTallix(const QString& runtimeDir, const QStringList& args)
{
    auto* p = new QProcess;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtimeDir);
    env.insert("XDG_CONFIG_HOME", runtimeDir + "/config");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p->setProcessEnvironment(env);
    p->start(QString::fromStdString(RuntimeDir() + "tallix"), args);
    return p;
}

// The open descriptors of a process by number: what each is and whether a
// program it starts would inherit it (no close-on-exec).
std::map<int, std::pair<std::string, bool>> Descriptors(qint64 pid)
{
    namespace fs = std::filesystem;
    std::map<int, std::pair<std::string, bool>> found;
    const fs::path proc = "/proc/" + std::to_string(pid);
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(proc / "fd", error)) {
        const int fd = std::stoi(entry.path().filename().string());
        std::ifstream info(proc / "fdinfo" / entry.path().filename());
        std::string field, flags;
        while (info >> field && field != "flags:") {
        }
        info >> flags;
        const std::string target = fs::read_symlink(entry.path(), error).string();
        if (!flags.empty()) found[fd] = {target, (std::stol(flags, nullptr, 8) & O_CLOEXEC) == 0};
    }
    return found;
}

TEST(StartSwitchTest, TraySwitchAnywhereInAnyCase)
{
    const struct {
        std::vector<std::string> args;
        bool inTray;
    } rows[] = {
        {{"-m"}, true}, {{"-M"}, true}, {{"--sku", "x-Mode"}, true}, {{"m"}, false}, {{}, false}, {{"--minus"}, true},
    };
    for (const auto& row : rows) {
        std::vector<char*> argv = {const_cast<char*>("tallix")};
        for (const std::string& a : row.args) argv.push_back(const_cast<char*>(a.c_str()));
        EXPECT_EQ(HasTraySwitch(static_cast<int>(argv.size()), argv.data()), row.inTray) << argv.size();
    }
}

TEST(SingleInstanceTest, SecondStartHandsOverToTheFirst)
{
    EnsureApplication();
    QTemporaryDir dir;
    CVexSingleInst first("Tallix Application", dir.path());
    first.LockStartup();
    ASSERT_FALSE(first.AnotherInstanceExists());
    int restored = 0;
    ASSERT_TRUE(first.Register([&] { ++restored; }));

    // The real program, started a second time, finds us, asks us to restore
    // and exits without a window of its own.
    QProcess* second = StartTallix(dir.path(), {});
    ASSERT_TRUE(WaitFor([&] { return second->state() == QProcess::NotRunning; }));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_TRUE(WaitFor([&] { return restored == 1; }));
    EXPECT_FALSE(QFile::exists(dir.path() + "/config/tallix/tallix.conf"));
    delete second;
}

TEST(SingleInstanceTest, AKilledInstanceDoesNotBlockTheNextStart)
{
    EnsureApplication();
    QTemporaryDir dir;
    QProcess* first = StartTallix(dir.path(), {"-m"});
    CVexSingleInst probe("Tallix Application", dir.path());
    ASSERT_TRUE(WaitFor([&] { return probe.AnotherInstanceExists(); }));
    first->kill();
    first->waitForFinished();
    delete first;

    CVexSingleInst next("Tallix Application", dir.path());
    next.LockStartup();  // the dead instance's lock, if any, is stale
    EXPECT_FALSE(next.AnotherInstanceExists());
    EXPECT_TRUE(next.Register(nullptr));
    EXPECT_TRUE(probe.AnotherInstanceExists());
}

// Help and the download helper are started from the running window: none
// of its own descriptors (signal pipe, sockets, lock) may reach them.
TEST(WindowProgramTest, ProgramsStartedFromTheWindowInheritNothingOfIt)
{
    EnsureApplication();
    QTemporaryDir dir;
    QProcess* window = StartTallix(dir.path(), {"-m"});
    // What the window inherited from this test is not its own.
    std::map<std::string, int> inherited;
    for (const auto& [fd, what] : Descriptors(getpid())) inherited[what.first] += what.second ? 1 : 0;
    auto ownPipe = [&] {
        for (const auto& [fd, what] : Descriptors(window->processId()))
            if (what.first.rfind("pipe:", 0) == 0 && !inherited.count(what.first)) return true;
        return false;
    };
    ASSERT_TRUE(WaitFor(ownPipe));  // the signal pipe, made once the window is up
    for (const auto& [fd, what] : Descriptors(window->processId()))
        if (fd > 2 && !inherited[what.first]) {
            EXPECT_FALSE(what.second) << fd << " " << what.first;
        }
    window->kill();
    window->waitForFinished();
    delete window;
}

int RawConnection(const QString& path, int backlogProbe = 0)
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | backlogProbe, 0);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return fd;
    ::close(fd);
    return -1;
}

// A folder others may enter is never used: another user could answer there
// or hold the lock. The start then runs on its own.
TEST(SingleInstanceTest, AFolderOpenToOthersLeavesSingleInstanceOff)
{
    EnsureApplication();
    QTemporaryDir dir;
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    CVexSingleInst single("Tallix Application", dir.path());
    single.LockStartup();
    EXPECT_FALSE(single.AnotherInstanceExists());
    EXPECT_FALSE(single.Register(nullptr));
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

// Silent connections cannot pile up: the oldest make room (and every one
// goes after a second), and a start is still served.
TEST(SingleInstanceTest, IdleClientsAreLimitedAndTheInstanceStillAnswers)
{
    EnsureApplication();
    QTemporaryDir dir;
    CVexSingleInst first("Tallix Application", dir.path());
    first.LockStartup();
    int restored = 0;
    ASSERT_TRUE(first.Register([&] { ++restored; }));
    std::vector<int> idle;
    for (int i = 0; i < 20; ++i) idle.push_back(RawConnection(first.SocketPath()));
    auto closedByInstance = [&] {
        int closed = 0;
        for (int fd : idle) {
            char byte;
            closed += fd >= 0 && ::recv(fd, &byte, 1, MSG_DONTWAIT) == 0;
        }
        return closed;
    };
    EXPECT_TRUE(WaitFor([&] { return closedByInstance() >= 12; }));
    CVexSingleInst second("Tallix Application", dir.path());
    second.LockStartup();
    ASSERT_TRUE(second.AnotherInstanceExists());
    second.ActivateOther(0); // the instance answers from this very thread's loop, later
    EXPECT_TRUE(WaitFor([&] { return restored == 1; }));
    for (int fd : idle) ::close(fd);
}

// An instance too busy to accept does not hold a start (and the lock) for good.
TEST(SingleInstanceTest, AStartDoesNotWaitForAnInstanceThatNeverAccepts)
{
    EnsureApplication();
    QTemporaryDir dir;
    CVexSingleInst probe("Tallix Application", dir.path());
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, QFile::encodeName(probe.SocketPath()).constData(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    std::vector<int> queued;
    for (int i = 0; i < 4; ++i) queued.push_back(RawConnection(probe.SocketPath(), SOCK_NONBLOCK));
    probe.LockStartup();
    EXPECT_FALSE(probe.AnotherInstanceExists());
    for (int fd : queued) ::close(fd);
    ::close(listener);
}

// An instance stuck before its event loop runs takes connections but never
// answers: a start that hands over to it does not end as if it had, and
// keeps the lock to run in its place.
TEST(SingleInstanceTest, AnInstanceThatNeverAnswersIsNotTakenAsRunning)
{
    EnsureApplication();
    QTemporaryDir dir;
    CVexSingleInst start("Tallix Application", dir.path());
    const int stuck = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, QFile::encodeName(start.SocketPath()).constData(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(stuck, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(stuck, 8), 0);
    start.LockStartup();
    ASSERT_TRUE(start.AnotherInstanceExists());
    EXPECT_FALSE(start.ActivateOther(300));
    const int lock = ::open(QFile::encodeName(start.LockPath()).constData(), O_RDWR);
    EXPECT_NE(::flock(lock, LOCK_EX | LOCK_NB), 0); // still held by the start
    ::close(lock);
    int restored = 0;
    ASSERT_TRUE(start.Register([&] { ++restored; }));
    ::close(stuck);

    // Now the running instance: a later start hands over to it.
    QProcess* second = StartTallix(dir.path(), {});
    ASSERT_TRUE(WaitFor([&] { return second->state() == QProcess::NotRunning; }));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_TRUE(WaitFor([&] { return restored == 1; }));
    delete second;
}

// Lock and socket are made in the runtime folder as its name is spelt in
// bytes, UTF-8 or not.
TEST(SingleInstanceTest, ARuntimeFolderNamedInAnyBytesIsUsedAsItIs)
{
    EnsureApplication();
    QTemporaryDir dir;
    const std::string folder = QFile::encodeName(dir.path()).toStdString() + "/run-\xE9\xFF";
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    {
        CVexSingleInst single("Tallix Application");
        single.LockStartup();
        EXPECT_TRUE(single.Register(nullptr));
        struct stat info {};
        EXPECT_EQ(::stat((folder + "/Tallix Application.lock").c_str(), &info), 0);
        EXPECT_EQ(::stat((folder + "/CVexSingleInst_MMF_Tallix Application").c_str(), &info), 0);
        EXPECT_TRUE(S_ISSOCK(info.st_mode));
    }
    if (saved.isNull()) ::unsetenv("XDG_RUNTIME_DIR");
    else ::setenv("XDG_RUNTIME_DIR", saved.constData(), 1);
}

}  // namespace
