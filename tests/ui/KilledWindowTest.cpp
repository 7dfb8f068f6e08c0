// A window killed with SIGKILL loses at most its last second of changes.
// The kill must come from outside while the window runs, so this test starts
// a second copy of this program as the window and waits real time.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QRadioButton>

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "app/window/WindowProgram.h"
#include "tests/ui/UiTestKit.h"
#include "ui/options/OptionPages.h"
#include "ui/options/OptionsDialog.h"

namespace {

const char kFolderVariable[] = "TALLIX_KILL_TEST_FOLDER";

// A window on a program folder copy with its settings in a real file.
struct FileWindow {
    explicit FileWindow(const std::string& folder) : registry(folder + "Tallix.conf")
    {
        EnsureApplication();
        registry.WriteNumber("SOFTWARE\\Fernhill\\Tallix\\Currency", "AutoDownload", 0);
        resources.SetProgramFolder(folder);
        resources.SetUserFolder(folder + "user/");
        window = std::make_unique<CMainWindow>(registry, resources);
        InstallConverterPages(*window);
        window->Initialise(0);
        window->BuildRemainingPages();
        window->show();
        QApplication::processEvents();
    }
    CFileRegistry registry;
    CSkinResources resources;
    std::unique_ptr<CMainWindow> window;
};

// Scientific notation, chosen in the Options dialog.
void ChangeAnOption(CMainWindow& window)
{
    OptionsFlags flags;
    OptionsContext context{window, window.Registry(), window.Resources(), flags};
    auto dialog = std::make_unique<COptionsDialog>(&window, context, &CreateOptionPage, 0);
    dialog->show();
    QApplication::processEvents();
    dialog->Page(EOptionPage::Calculator)->findChild<QRadioButton*>("notation3")->click();
    dialog.reset();
    window.AfterOptions(flags.skinChanged, flags.groupsChanged);
}

} // namespace

// The window of the test below: it makes its changes, says so on standard
// output and runs until it is killed. Skipped unless started so.
TEST(KilledWindow, Child)
{
    const char* folder = std::getenv(kFolderVariable);
    if (!folder) GTEST_SKIP() << "the window the kill test starts";
    FileWindow ui(folder);
    for (int digit : {4, 2}) ui.window->Command(0, digit);
    ui.window->Command(4, 0); // 42 into register 0
    ui.window->ChooseMenuItem(3);
    ChangeAnOption(*ui.window);
    std::printf("changed\n");
    std::fflush(stdout);
    QEventLoop().exec();
}

TEST(KilledWindow, KeepsWhatChangedTwoSecondsBefore)
{
    ProgramFolderCopy folder;
    const std::string command = "env " + std::string(kFolderVariable) + "='" + folder.Path() + "' /proc/" +
                                std::to_string(getpid()) + "/exe --gtest_filter=KilledWindow.Child & echo $!";
    FILE* child = popen(command.c_str(), "r");
    ASSERT_TRUE(child);
    int pid = 0;
    ASSERT_EQ(std::fscanf(child, "%d", &pid), 1);
    char line[256] = "";
    bool changed = false;
    while (!changed && std::fgets(line, sizeof line, child)) changed = std::string(line) == "changed\n";
    ASSERT_TRUE(changed);
    std::this_thread::sleep_for(std::chrono::seconds(2));
    ASSERT_EQ(kill(pid, SIGKILL), 0);
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    pclose(child);

    FileWindow again(folder.Path());
    EXPECT_EQ(again.window->Calculator().MemoryText(0), "42");
    EXPECT_EQ(again.window->SelectedSlot(), 3);
    EXPECT_EQ(again.window->Calculator().Notation(), 3);
}
