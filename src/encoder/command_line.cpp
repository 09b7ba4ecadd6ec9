#include "command_line.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "platform/mp3_bitrates.h"

namespace tolvane::encoder {

namespace {

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

constexpr std::array<std::pair<std::string_view, Priority>, 6> kPriorities = {{
    {"IDLE", Priority::Idle},
    {"LOWEST", Priority::Lowest},
    {"LOWER", Priority::Lower},
    {"NORMAL", Priority::Normal},
    {"HIGHER", Priority::Higher},
    {"HIGHEST", Priority::Highest},
}};

bool AllDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  ParsedCommandLine parsed;
  EncoderOptions& o = parsed.options;
  for (const std::string& argument : arguments) {
    if (!argument.starts_with('-') || argument.size() == 1) {
      o.inputs.push_back(argument);
      continue;
    }
    const std::string upper = Upper(argument);
    const std::string_view body = std::string_view(upper).substr(1);
    if (body == "QUIT") {
      // Accepted for compatibility: this encoder never waits for a key.
    } else if (body == "CRC") {
      o.crc = true;
    } else if (body == "SWAP") {
      o.channel_mode = ChannelMode::Swap;
    } else if (body == "MONO") {
      o.channel_mode = ChannelMode::Mono;
    } else if (body == "LEFTMONO") {
      o.channel_mode = ChannelMode::Left;
    } else if (body == "RIGHTMONO") {
      o.channel_mode = ChannelMode::Right;
    } else if (body == "DELETE") {
      o.delete_source = true;
    } else if (body == "PRIVATE") {
      o.private_bit = true;
    } else if (body == "COPY") {
      o.copy = true;
    } else if (body == "LOUDNESS") {
      o.loudness = true;
    } else if (body == "COPYRIGHT") {
      o.copyright = true;
    } else if (AllDigits(body)) {
      const int kbps = body.size() <= 4 ? std::stoi(std::string(body)) : -1;
      if (!platform::IsMp3Bitrate(kbps)) {
        parsed.error = "unsupported bitrate " + std::string(argument.substr(1)) +
                       " (use 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256 or 320)";
        return parsed;
      }
      o.bitrate_kbps = kbps;
    } else if (body.starts_with("VBR=")) {
      const std::string_view quality = body.substr(4);
      if (quality.size() != 1 || !AllDigits(quality)) {
        parsed.error = "unsupported VBR quality " + argument.substr(5) + " (use 0 to 9)";
        return parsed;
      }
      o.vbr_quality = quality[0] - '0';
    } else if (body.starts_with("PRIO=")) {
      const std::string_view name = body.substr(5);
      const auto found = std::find_if(kPriorities.begin(), kPriorities.end(),
                                      [&](const auto& entry) { return entry.first == name; });
      if (found == kPriorities.end()) {
        parsed.error = "unknown priority " + argument.substr(6) +
                       " (use Idle, Lowest, Lower, Normal, Higher or Highest)";
        return parsed;
      }
      o.priority = found->second;
    } else if (body.starts_with("OUTDIR=")) {
      o.output_folder = argument.substr(8);
      if (o.output_folder.empty()) {
        parsed.error = "-OUTDIR= names no folder";
        return parsed;
      }
    } else {
      parsed.error = "unknown switch " + argument;
      return parsed;
    }
  }
  return parsed;
}

int NiceValueOf(Priority priority) {
  switch (priority) {
    case Priority::Idle:
      return 19;
    case Priority::Lowest:
      return 15;
    case Priority::Lower:
      return 10;
    case Priority::Normal:
      return 0;
    case Priority::Higher:
      return -5;
    case Priority::Highest:
      return -10;
  }
  return 0;
}

}  // namespace tolvane::encoder
