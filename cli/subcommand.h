#pragma once

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

namespace velmora::cli {

// Exit status of a command line that cannot be carried out as asked.
inline constexpr int kExitUsage = 2;

// One subcommand of velmora-cli: its name, the arguments it takes, what --help says about it, and the
// function that runs it with the arguments after its name.
struct Subcommand {
  std::string_view name;
  std::string_view arguments;
  std::string_view help;
  int (*run)(std::span<const std::string> arguments, std::ostream& out, std::ostream& err);
};

extern const Subcommand kFetchCommand;
extern const Subcommand kLapsCommand;
extern const Subcommand kProbeCommand;
extern const Subcommand kServeCommand;
extern const Subcommand kTablesCommand;
extern const Subcommand kVersionCommand;
extern const Subcommand kWebCommand;
#ifdef VELMORA_CLI_UPDATE_CHECK
extern const Subcommand kUpdateCheckCommand;
#endif
#ifdef VELMORA_CLI_LEAGUE
extern const Subcommand kPublishCommand;
#endif
#ifdef VELMORA_CLI_HISTORY
extern const Subcommand kRecordCommand;
extern const Subcommand kReplayCommand;
extern const Subcommand kSessionsCommand;
#endif

}  // namespace velmora::cli
