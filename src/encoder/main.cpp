// bladeenc: encodes WAVE and AIFF files to MP3, one after the other.
//
//   bladeenc [-QUIT] [-CRC] [-SWAP|-MONO|-LEFTMONO|-RIGHTMONO] [-DELETE] [-PRIVATE] [-COPY]
//            [-COPYRIGHT] [-<kbps>|-VBR=<0..9>] [-PRIO=<name>] [-OUTDIR=<folder>] <input>...
//
// Exit code 0 when every input was encoded, 255 otherwise.
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "command_line.h"
#include "encode_file.h"
#include "version_marker.h"

namespace {

constexpr int kFailure = 255;

void PrintUsage() {
  std::fprintf(stderr,
               "bladeenc %s - encodes WAVE and AIFF files to MP3\n"
               "usage: bladeenc [switches] <input>...\n"
               "  -<kbps>            bitrate: 32, 40, 48, 56, 64, 80, 96, 112, 128 (default),\n"
               "                     160, 192, 224, 256 or 320\n"
               "  -VBR=<0..9>        variable bitrate at LAME's quality 0 (best) to 9, in place\n"
               "                     of the constant one\n"
               "  -CRC               write checksums\n"
               "  -MONO, -LEFTMONO, -RIGHTMONO, -SWAP\n"
               "                     mono from both channels, from one, or channels swapped\n"
               "  -PRIVATE, -COPYRIGHT, -COPY\n"
               "                     set the private and copyright bits, clear the original bit\n"
               "  -DELETE            delete each input once it is encoded\n"
               "  -LOUDNESS          write each MP3's loudness (EBU R 128) beside it, as\n"
               "                     <name>.mp3.loudness\n"
               "  -PRIO=<name>       Idle, Lowest, Lower, Normal, Higher or Highest\n"
               "  -OUTDIR=<folder>   write the MP3 files there instead of beside the inputs\n"
               "  -QUIT              accepted; bladeenc never waits for a key\n",
               tolvane::encoder::kVersion);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tolvane::encoder;
  // Keeps the version marker in the executable, where the front-end looks for it.
  if (VersionMarker()[0] != '=')
    return kFailure;
  const ParsedCommandLine parsed =
      ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "bladeenc: %s\n", parsed.error.c_str());
    return kFailure;
  }
  const EncoderOptions& options = parsed.options;
  if (options.inputs.empty()) {
    PrintUsage();
    return kFailure;
  }
  if (options.priority) {
    // Without the right to raise the priority the encoder simply runs at its own.
    ::setpriority(PRIO_PROCESS, 0, NiceValueOf(*options.priority));
  }
  int result = 0;
  for (const std::string& input : options.inputs) {
    const std::string output = OutputPathFor(input, options.output_folder);
    const std::string problem = EncodeFile(input, output, options);
    if (!problem.empty()) {
      std::fprintf(stderr, "bladeenc: %s %s\n", input.c_str(), problem.c_str());
      result = kFailure;
      continue;
    }
    // A source that is gone already needs no deleting.
    if (options.delete_source && ::unlink(input.c_str()) != 0 && errno != ENOENT) {
      std::fprintf(stderr, "bladeenc: %s was encoded but cannot be deleted\n", input.c_str());
      result = kFailure;
    }
  }
  return result;
}
