#include <exception>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/application_version.h"
#include "subcommand.h"

namespace {

using velmora::cli::Subcommand;

const Subcommand* const kSubcommands[] = {
    &velmora::cli::kLapsCommand,        &velmora::cli::kProbeCommand,    &velmora::cli::kTablesCommand,
    &velmora::cli::kVersionCommand,     &velmora::cli::kServeCommand,    &velmora::cli::kFetchCommand,
    &velmora::cli::kWebCommand,
#ifdef VELMORA_CLI_HISTORY
    &velmora::cli::kRecordCommand,      &velmora::cli::kSessionsCommand, &velmora::cli::kReplayCommand,
#endif
#ifdef VELMORA_CLI_UPDATE_CHECK
    &velmora::cli::kUpdateCheckCommand,
#endif
#ifdef VELMORA_CLI_LEAGUE
    &velmora::cli::kPublishCommand,
#endif
};

void PrintCommandHelp(const Subcommand& command, std::ostream& out) {
  out << "  " << command.name << " " << command.arguments << "\n";
  std::string_view help = command.help;
  while (!help.empty()) {
    const auto end = help.find('\n');
    out << "      " << help.substr(0, end) << "\n";
    help = end == std::string_view::npos ? std::string_view{} : help.substr(end + 1);
  }
}

void PrintHelp(std::ostream& out) {
  out << "Usage: velmora-cli <command> [arguments]\n"
         "       velmora-cli <command> --help\n"
         "       velmora-cli --help\n"
         "       velmora-cli --version\n"
         "\n"
         "The command-line companion of the Velmora dashboard.\n"
         "\n"
         "Commands:\n";
  for (const Subcommand* command : kSubcommands) {
    PrintCommandHelp(*command, out);
  }
  out << "\n"
         "--version prints this program's own version (the text the network handshake sends).\n"
         "\n"
         "Exit status: 0 on success, 2 when the command line cannot be carried out as asked, 1 when the\n"
         "output cannot be written or this program's own version cannot be read (the reason on standard\n"
         "error); the commands add their own (see above).\n";
}

bool IsHelp(std::string_view argument) {
  return argument == "--help" || argument == "-h";
}

}  // namespace

namespace {

int Run(const std::vector<std::string>& arguments) {
  if (arguments.empty()) {
    PrintHelp(std::cerr);
    return velmora::cli::kExitUsage;
  }
  if (arguments.size() == 1 && IsHelp(arguments[0])) {
    PrintHelp(std::cout);
    return 0;
  }
  if (arguments.size() == 1 && arguments[0] == "--version") {
    std::cout << velmora::platform::ApplicationVersion() << "\n";
    return std::cout ? 0 : 1;
  }
  for (const Subcommand* command : kSubcommands) {
    if (arguments[0] != command->name) {
      continue;
    }
    if (arguments.size() == 2 && IsHelp(arguments[1])) {
      // A command with two forms gives the second on a line of its own, after its name.
      std::string usage(command->arguments);
      for (auto at = usage.find("\n  "); at != std::string::npos; at = usage.find("\n  ", at + 1)) {
        usage.replace(at, 3, "\n       velmora-cli ");
      }
      std::cout << "Usage: velmora-cli " << command->name << " " << usage << "\n\n" << command->help << "\n";
      return 0;
    }
    return command->run(std::span(arguments).subspan(1), std::cout, std::cerr);
  }
  std::cerr << "velmora-cli: unknown command \"" << arguments[0] << "\"; see velmora-cli --help\n";
  return velmora::cli::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  try {
    return Run(arguments);
  } catch (const std::exception& error) {
    // An executable built without its version resource cannot say which version it speaks: say why,
    // rather than end without a word.
    std::cerr << "velmora-cli: " << error.what() << "\n";
    return 1;
  }
}
