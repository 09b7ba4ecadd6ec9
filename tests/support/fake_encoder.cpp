// A stand-in for the encoder that tests script. It takes the encoder's command line, finds its
// output like the real one, and follows the script named by TOLVANE_FAKE_SCRIPT, one command a
// line:
//   write N      append N bytes to the output
//   wait PATH    wait until PATH exists (at most a minute, and never past the test's end: it
//                ends with 254 when the test that started it is gone)
//   error WORD   write WORD and a line end to standard error
//   sleep MS     do nothing for MS milliseconds
//   exit CODE    end with CODE
// Without a script it writes 1000 bytes and ends with 0. With TOLVANE_FAKE_ARGS set, it writes
// its arguments there, one a line.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string OutputFor(const std::string& input, const std::string& folder) {
  const size_t slash = input.rfind('/');
  std::string name = slash == std::string::npos ? input : input.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos)
    name.erase(dot);
  name += ".mp3";
  if (folder.empty())
    return (slash == std::string::npos ? "" : input.substr(0, slash + 1)) + name;
  return folder + (folder.back() == '/' ? "" : "/") + name;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  if (const char* record = std::getenv("TOLVANE_FAKE_ARGS")) {
    std::ofstream out(record, std::ios::trunc);
    for (const std::string& argument : arguments)
      out << argument << "\n";
  }
  std::string folder;
  std::string input;
  for (const std::string& argument : arguments) {
    if (argument.rfind("-OUTDIR=", 0) == 0) {
      folder = argument.substr(8);
    } else if (argument.empty() || argument[0] != '-') {
      input = argument;
    }
  }
  if (input.empty())
    return 255;
  const int fd = ::open(OutputFor(input, folder).c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  if (fd < 0)
    return 255;

  std::string script = "write 1000\nexit 0\n";
  if (const char* path = std::getenv("TOLVANE_FAKE_SCRIPT")) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    script = text.str();
  }
  std::istringstream lines(script);
  std::string command;
  while (lines >> command) {
    if (command == "write") {
      long count = 0;
      lines >> count;
      const std::string bytes(static_cast<size_t>(count), 'M');
      if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        return 255;
    } else if (command == "wait") {
      std::string path;
      lines >> path;
      struct stat info {};
      const pid_t parent = ::getppid();
      for (int waited = 0; ::stat(path.c_str(), &info) != 0; ++waited) {
        if (waited >= 12'000 || ::getppid() != parent)
          return 254;
        ::usleep(5000);
      }
    } else if (command == "sleep") {
      long ms = 0;
      lines >> ms;
      ::usleep(static_cast<useconds_t>(ms * 1000));
    } else if (command == "error") {
      std::string word;
      lines >> word;
      word += "\n";
      if (::write(2, word.data(), word.size()) < 0)
        return 255;
    } else if (command == "exit") {
      int code = 0;
      lines >> code;
      ::close(fd);
      return code;
    }
  }
  ::close(fd);
  return 0;
}
