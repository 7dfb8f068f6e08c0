// Every file Tallix writes (settings, skin description, rates), written by the
// code that writes it, under every fault a disk or a user can put in its way:
// a full disk, an unwritable folder, a kill or a failure at each step of the
// write, the file replaced by a folder or a link. Afterwards the old file is
// byte-identical or the new one complete, and a save that did not happen is
// reported (a message, or the 0 result the caller reports).
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <linux/capability.h>
#include <memory>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include "datafiles/CurrencyDownloader.h"
#include "datafiles/RatesCheck.h"
#include "platform/AtomicFile.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "platform/WindowMessage.h"
#include "skins/SkinResources.h"
#include "tests/conversions/TestHttpServer.h"
#include "tests/datafiles/TempFolder.h"

namespace {

namespace fs = std::filesystem;

// Counts the messages shown (in the child that writes).
struct MessageCounter : IMessageBox {
    int shown = 0;
    MessageAnswer Show(const std::string&, const std::string&, MessageKind, MessageButtons) override
    {
        ++shown;
        return MessageAnswer::Ok;
    }
};

struct NullTarget : IMessageTarget {
    void PostMessage(unsigned, intptr_t, intptr_t) override {}
    intptr_t SendMessage(unsigned, intptr_t, intptr_t) override { return 0; }
};

// A writer reads what the program reads at start (open), and later saves
// content generation g, returning what its caller sees.
using Save = std::function<int(int g)>;
struct Writer {
    const char* name;
    const char* file;
    bool messages; // tells the user itself; otherwise its 0 result is reported by the caller
    std::function<Save(const std::string& path)> open;
};

Save OpenSettings(const std::string& path)
{
    auto registry = std::make_shared<CFileRegistry>(path);
    int32_t ignored = 0;
    registry->ReadNumber("SOFTWARE\\Fernhill\\Tallix\\General", "RegionalSettings", ignored);
    return [registry](int g) {
        const std::string text(1500 * g, char('a' + g));
        return registry->WriteText("SOFTWARE\\Fernhill\\Tallix\\General", "Probe", text.c_str());
    };
}

// The edited copy of a skin's description is what gets written: the user's
// "Customized" folder is made a link to the folder of `path`, so that the
// copy is `path`. The skin's own description lies beside, never written.
Save OpenSkin(const std::string& path)
{
    auto skin = std::make_shared<CSkinResources>();
    const fs::path folder = fs::path(path).parent_path();
    const std::string own = folder.string() + ".own/" + fs::path(path).filename().string();
    const std::string user = folder.string() + ".user/";
    if (!fs::exists(own)) {
        std::string text;
        for (int s = 0; s < 30; ++s) {
            text += "[Group" + std::to_string(s) + "]\r\n";
            for (int k = 0; k < 8; ++k) text += "Btn" + std::to_string(k) + "=Button" + std::to_string(k) + "\r\n";
        }
        fs::create_directories(fs::path(own).parent_path());
        std::ofstream(own, std::ios::binary) << text;
        fs::create_directories(user);
        fs::create_directory_symlink(folder, user + "Customized");
    }
    skin->SetUserFolder(user);
    skin->LoadSkinDescription(own.c_str());
    return [skin](int g) {
        for (int s = 0; s < 30; ++s)
            skin->Description().SetValue(("Group" + std::to_string(s)).c_str(), "Btn0", std::string(40 * g, 'x').c_str());
        skin->MarkDescriptionEdited();
        return skin->SaveSkinDescription();
    };
}

Save OpenRates(const std::string& path)
{
    return [path](int g) {
        std::string body = "[Conversions]\r\nUSD=1\r\nEUR=" + std::to_string(g) + ".25\r\n";
        for (int i = 2; i < kRateCodeCount; ++i) body += std::string(kRateCodes[i]) + "=0." + std::to_string(g) + "5\r\n";
        CTestHttpServer server(CTestHttpServer::kOk, body);
        CCurrencyDownloader downloader;
        NullTarget window;
        if (!downloader.Prepare(server.Url().c_str(), &window, path.c_str())) return 0;
        if (!downloader.Start(1, 1, CCurrencyDownloader::kProxyPreconfigured)) return 0;
        downloader.Wait();
        return downloader.Status() == CCurrencyDownloader::kStatusDone ? 1 : 0;
    };
}

const Writer kWriters[] = {
    {"settings", "Tallix.conf", true, OpenSettings},
    {"skin description", "skin.ini", true, OpenSkin},
    {"rates", "currency.ini", false, OpenRates},
};

// The fault injected at one step of the write (see AtomicWriteStep).
AtomicWriteStep g_step = AtomicWriteStep::Done;
int g_error = 0; // 0: the process is killed there
int Probe(AtomicWriteStep step)
{
    if (step != g_step) return 0;
    if (g_error == 0) raise(SIGKILL);
    return g_error;
}

// Root writes into any folder; the child gives up that override so that an
// unwritable folder is unwritable to it too.
void DropFileOverrides()
{
    __user_cap_header_struct head{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (syscall(SYS_capget, &head, data) != 0) return;
    for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH}) data[cap / 32].effective &= ~(1u << (cap % 32));
    syscall(SYS_capset, &head, data);
}

// Fills the file system of `folder` until not one more byte fits.
void FillDisk(const std::string& folder)
{
    FILE* f = std::fopen((folder + "/filler").c_str(), "wb");
    if (!f) return;
    std::setvbuf(f, nullptr, _IONBF, 0);
    const std::string block(4096, 'f');
    while (std::fwrite(block.data(), 1, block.size(), f) == block.size()) {
    }
    while (std::fwrite("f", 1, 1, f) == 1) {
    }
    std::fclose(f);
}

struct Fault {
    std::string name;
    // Done in the writing process after it read the old file, before it saves.
    std::function<void(const std::string& folder, const std::string& path)> arrange;
    bool killed = false;
};

std::vector<Fault> Faults()
{
    std::vector<Fault> faults = {
        {"file-size limit (a disk that fills mid-write)",
         [](const std::string&, const std::string&) {
             std::signal(SIGXFSZ, SIG_IGN);
             rlimit limit{100, 100};
             setrlimit(RLIMIT_FSIZE, &limit);
         }},
        {"unwritable folder",
         [](const std::string& folder, const std::string&) {
             ::chmod(folder.c_str(), 0555);
             DropFileOverrides();
         }},
        {"file replaced by a folder",
         [](const std::string&, const std::string& path) {
             fs::remove(path);
             fs::create_directory(path);
         }},
        {"file replaced by a link to a folder",
         [](const std::string& folder, const std::string& path) {
             fs::remove(path);
             fs::create_directory(folder + "/elsewhere");
             fs::create_directory_symlink(folder + "/elsewhere", path);
         }},
        {"file replaced by a link into a missing folder",
         [](const std::string& folder, const std::string& path) {
             fs::remove(path);
             fs::create_symlink(folder + "/gone/file", path);
         }},
        {"file replaced by a link to itself",
         [](const std::string&, const std::string& path) {
             fs::remove(path);
             fs::create_symlink(path, path);
         }},
    };
    const struct {
        AtomicWriteStep step;
        const char* name;
        int error;
    } steps[] = {
        {AtomicWriteStep::Create, "create", ENOSPC}, {AtomicWriteStep::Write, "write", ENOSPC},
        {AtomicWriteStep::Sync, "sync", EIO},        {AtomicWriteStep::Close, "close", EIO},
        {AtomicWriteStep::Rename, "rename", EIO},    {AtomicWriteStep::SyncFolder, "folder sync", 0},
        {AtomicWriteStep::Done, "done", 0},
    };
    for (const auto& s : steps) {
        for (int kill : {1, 0}) {
            if (!kill && s.error == 0) continue;
            const AtomicWriteStep step = s.step;
            const int error = kill ? 0 : s.error;
            faults.push_back({std::string(kill ? "kill before step " : "failure at step ") + s.name,
                              [step, error](const std::string&, const std::string&) {
                                  g_step = step;
                                  g_error = error;
                                  SetAtomicWriteProbe(Probe);
                              },
                              kill != 0});
        }
    }
    return faults;
}

// Runs `work` in a child process; its exit status (or -signal when killed).
int InChild(const std::function<int()>& work)
{
    pid_t child = fork();
    if (child == 0) _exit(work());
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

// Result bits of a save in the child.
constexpr int kSaved = 1, kTold = 2;

int SaveIn(const Writer& writer, const std::string& path, int g, const Fault* fault)
{
    return InChild([&] {
        MessageCounter messages;
        SetMessageBoxService(&messages);
        Save save = writer.open(path);
        if (fault) fault->arrange(fs::path(path).parent_path().string(), path);
        int saved = save(g);
        return (saved ? kSaved : 0) | (messages.shown ? kTold : 0);
    });
}

class WriteFaultTest : public ::testing::Test {
protected:
    // The file each writer writes for generation 2, with no fault.
    const std::string& Expected(const Writer& writer)
    {
        std::string& expected = expected_[&writer - kWriters];
        if (!expected.empty()) return expected;
        const std::string folder = folder_.File(std::string("expected-") + writer.file);
        fs::create_directory(folder);
        const std::string file = folder + "/" + writer.file;
        EXPECT_EQ(kSaved, SaveIn(writer, file, 1, nullptr));
        EXPECT_EQ(kSaved, SaveIn(writer, file, 2, nullptr));
        expected = TempFolder::Read(file);
        return expected;
    }

    // Runs the fault against each writer in `folder`, checking what is left.
    void Check(const Fault& fault, const std::string& folder)
    {
        for (const Writer& writer : kWriters) {
            SCOPED_TRACE(std::string(writer.name) + ": " + fault.name);
            const std::string expected = Expected(writer);
            const std::string path = folder + "/" + writer.file;
            fs::remove_all(path);
            fs::remove(folder + "/filler");
            ASSERT_EQ(kSaved, SaveIn(writer, path, 1, nullptr));
            const std::string old = TempFolder::Read(path);
            ASSERT_NE(old, expected);
            const int outcome = SaveIn(writer, path, 2, &fault);
            ::chmod(folder.c_str(), 0700);
            fs::file_status what = fs::symlink_status(path);
            std::string now = fs::is_regular_file(what) ? TempFolder::Read(path) : std::string();
            if (fault.killed) {
                ASSERT_EQ(-SIGKILL, outcome);
                EXPECT_TRUE(now == old || now == expected) << now.size() << " bytes";
                continue;
            }
            ASSERT_GE(outcome, 0);
            const bool saved = outcome & kSaved;
            if (fs::is_regular_file(what)) {
                EXPECT_TRUE(now == old || now == expected) << now.size() << " bytes";
                EXPECT_EQ(saved, now == expected);
            } else {
                EXPECT_FALSE(saved);
                if (fs::is_symlink(what)) {
                    // Whatever the link points at is not written over.
                    std::error_code error;
                    EXPECT_FALSE(fs::is_regular_file(fs::status(path, error)));
                }
            }
            if (writer.messages) {
                EXPECT_EQ(!saved, (outcome & kTold) != 0) << "a message when, and only when, nothing was saved";
            }
            // A failed save leaves no temporary file behind.
            for (const auto& entry : fs::directory_iterator(folder)) {
                const std::string name = entry.path().filename().string();
                bool known = name == "elsewhere" || name == "filler";
                for (const Writer& other : kWriters) known = known || name == other.file;
                EXPECT_TRUE(known) << name;
            }
        }
    }

    TempFolder folder_;
    std::string expected_[std::size(kWriters)];
};

TEST_F(WriteFaultTest, OldFileKeptOrNewFileCompleteAndTheFailureTold)
{
    for (const Fault& fault : Faults()) {
        const std::string folder = folder_.File("case");
        fs::remove_all(folder);
        fs::create_directory(folder);
        Check(fault, folder);
    }
}

// A real full disk: a small tmpfs, where the system lets this test mount one.
TEST_F(WriteFaultTest, FullDisk)
{
    const std::string disk = folder_.File("disk");
    fs::create_directory(disk);
    if (geteuid() != 0 || ::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "no tmpfs can be mounted here (needs root); the file-size limit case stands in for it";
    std::unique_ptr<const char, void (*)(const char*)> unmount(disk.c_str(), [](const char* p) { ::umount2(p, MNT_DETACH); });
    const Fault full{"full disk", [](const std::string& folder, const std::string&) { FillDisk(folder); }};
    Check(full, disk);
}

} // namespace
