// The start-up menus driven through a pipe, as a script would drive them:
// each run happens in a child process (the menus may end the program) with
// the keys on standard input; the exit status and the printed text are
// checked.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "audio/audio.h"

namespace {

struct MenuRun {
  int status = -1;  // exit code; 10 + initSound's result when it returned
  std::string out;
};

// Runs initSound in a child with `keys` as its whole input. When initSound
// returns, the child prints "[rest:...]" with the input it left unread.
MenuRun runMenus(const std::string& keys, const char* sdlDriver = "dummy") {
  char outPath[] = "/tmp/morvel_menus_XXXXXX";
  int outFd = mkstemp(outPath);
  int pipeFds[2];
  if (outFd < 0 || pipe(pipeFds) != 0) return {};
  std::fflush(stdout);
  pid_t pid = fork();
  if (pid == 0) {
    dup2(pipeFds[0], STDIN_FILENO);
    dup2(outFd, STDOUT_FILENO);
    close(pipeFds[0]);
    close(pipeFds[1]);
    setenv("SDL_AUDIODRIVER", sdlDriver, 1);
    int r = initSound();
    std::string rest;
    for (int k; (k = readKey()) >= 0;) rest += static_cast<char>(k);
    std::printf("[rest:%s]", rest.c_str());
    FSOUND_Close();
    std::fflush(stdout);
    _exit(10 + r);
  }
  close(pipeFds[0]);
  if (write(pipeFds[1], keys.data(), keys.size()) != static_cast<ssize_t>(keys.size())) ADD_FAILURE();
  close(pipeFds[1]);
  int wstatus = 0;
  waitpid(pid, &wstatus, 0);
  MenuRun run;
  run.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
  char buf[4096];
  lseek(outFd, 0, SEEK_SET);
  for (ssize_t n; (n = read(outFd, buf, sizeof buf)) > 0;) run.out.append(buf, static_cast<size_t>(n));
  close(outFd);
  unlink(outPath);
  return run;
}

const std::string kSep = "---------------------------------------------------------\n";
const std::string kFirstMenu = kSep + "Output Type\n" + kSep + "1 - Direct Sound\n" +
                               "2 - Windows Multimedia Waveout\n" + "3 - ASIO\n" + "4 - NoSound\n" + kSep +
                               "Press a corresponding number or ESC to quit\n";

}  // namespace

TEST(ErrorText, CodesAndOutOfRange) {
  EXPECT_STREQ(errorText(0), "No errors");
  EXPECT_STREQ(errorText(1), "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.");
  EXPECT_STREQ(errorText(3), "Error initializing output device.");
  EXPECT_STREQ(errorText(6),
               "Soundcard does not support the features needed for this soundsystem (16bit stereo output)");
  EXPECT_STREQ(errorText(12), "Not enough memory ");
  EXPECT_STREQ(errorText(14), "An invalid parameter was passed to this function");
  EXPECT_STREQ(errorText(18), "Required Mediaplayer codec is not installed");
  for (int code : {-1, 19, 1000}) EXPECT_STREQ(errorText(code), "Unknown error") << code;
}

TEST(Menus, DecliningEndsWithZero) {
  // ESC, any other key and end of input at the first menu; ESC and end of
  // input at the driver menu.
  for (const std::string keys : {"", "\x1b", "x", "0", "5", "\n1"}) {
    MenuRun run = runMenus(keys);
    EXPECT_EQ(run.status, 0) << "keys [" << keys << "]";
    EXPECT_EQ(run.out, kFirstMenu) << "keys [" << keys << "]";
  }
  for (const std::string keys : {"4", "4\x1b", "409\x1b" "1"}) {
    MenuRun run = runMenus(keys);
    EXPECT_EQ(run.status, 0) << "keys [" << keys << "]";
    EXPECT_NE(run.out.find("NoSound Driver list\n"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("[rest:"), std::string::npos) << run.out;
  }
}

TEST(Menus, NoSoundTranscriptAndIgnoredDriverKeys) {
  // '0' is below '1', '2' and '9' are beyond the one driver: all ignored, and
  // the '1' after them is taken, leaving the rest unread.
  MenuRun run = runMenus("4029" "1X");
  EXPECT_EQ(run.status, 11);
  EXPECT_EQ(run.out, kFirstMenu + kSep + "NoSound Driver list\n" + kSep + "1 - NoSound\n" + kSep +
                         "Press a corresponding number or ESC to quit\n[rest:X]");
}

TEST(Menus, RealOutputsNameTheSdlDriver) {
  // The dummy driver has no code of its own: the code asked for is reported.
  struct Case {
    const char* keys;
    const char* header;
  };
  for (const Case c : {Case{"11", "Direct Sound Driver list\n"}, Case{"21", "Windows Multimedia Waveout Driver list\n"},
                       Case{"31", "ASIO Driver list\n"}}) {
    MenuRun run = runMenus(c.keys);
    EXPECT_EQ(run.status, 11) << c.keys << run.out;
    EXPECT_NE(run.out.find(kSep + c.header + kSep + "1 - dummy (default device)\n" + kSep), std::string::npos)
        << run.out;
  }
}

TEST(Menus, FailedInitialisationReturnsZero) {
  MenuRun run = runMenus("11", "no_such_driver");
  EXPECT_EQ(run.status, 10);
  EXPECT_NE(run.out.find("Press a corresponding number or ESC to quit\nError!\nError initializing output device.\n"),
            std::string::npos)
      << run.out;
}
