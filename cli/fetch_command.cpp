// velmora-cli fetch: the client's handshake with a Velmora server, then records as JSON lines.
#include <chrono>
#include <ostream>
#include <string>
#include <thread>

#include "net/client_session.h"
#include "net/protocol.h"
#include "net/protocol_client.h"
#include "platform/application_version.h"
#include "record_json.h"
#include "server_address.h"
#include "subcommand.h"

namespace velmora::cli {
namespace {

constexpr int kExitConnection = 4;

int Fail(std::ostream& err, std::string_view message) {
  err << message << "\n";
  return kExitConnection;
}

int RunFetch(std::span<const std::string> arguments, std::ostream& out, std::ostream& err) {
  std::string host;
  std::uint16_t port = kDefaultPort;
  long count = 1;
  int interval_ms = static_cast<int>(TClientSession::kDefaultDataInterval.count());
  bool have_server = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const bool has_value = i + 1 < arguments.size();
    if (argument == "--count" && has_value) {
      if (!WholeNumber(arguments[++i], 1L, 1000000000L, count)) {
        err << "velmora-cli fetch: --count takes a whole number from 1 to 1000000000\n";
        return kExitUsage;
      }
    } else if (argument == "--interval" && has_value) {
      if (!WholeNumber(arguments[++i], 0, 3600000, interval_ms)) {
        err << "velmora-cli fetch: --interval takes milliseconds from 0 to 3600000\n";
        return kExitUsage;
      }
    } else if (!have_server && !argument.starts_with("--")) {
      if (!ParseServer(argument, host, port)) {
        err << "velmora-cli fetch: the server is HOST or HOST:PORT, PORT from 1 to 65535\n";
        return kExitUsage;
      }
      have_server = true;
    } else {
      err << "velmora-cli fetch: usage: velmora-cli fetch HOST[:PORT] [--count N] [--interval MS]\n";
      return kExitUsage;
    }
  }
  if (!have_server) {
    err << "velmora-cli fetch: usage: velmora-cli fetch HOST[:PORT] [--count N] [--interval MS]\n";
    return kExitUsage;
  }

  TProtocolClient client;
  if (!client.Connect(host, port) || !client.SendLine("VERSION " + platform::ApplicationVersion())) {
    return Fail(err, kMessageImpossibleConnection);
  }
  const auto handshake = client.ReadLine();
  if (!handshake) {
    return Fail(err, kMessageImpossibleConnection);
  }
  const ReplyLine agreed = ParseReply(*handshake);
  if (agreed.code == 500) {
    return Fail(err, kMessageNotSameVersion);
  }
  if (agreed.code != 200) {
    return Fail(err, kMessageImpossibleConnection);
  }

  bool said_no_data = false;
  for (long received = 0; received < count;) {
    if (!client.SendLine("DATA")) {
      return Fail(err, kMessageDisconnected);
    }
    const auto line = client.ReadLine();
    if (!line) {
      return Fail(err, client.Connected() ? kMessageProbleme : kMessageDisconnected);
    }
    const ReplyLine reply = ParseReply(*line);
    if (reply.code == 201) {
      std::size_t size = 0;
      TGameData record{};
      if (!ParseByteCount(reply.text, size) || size != sizeof record ||
          !client.ReadBytes(std::as_writable_bytes(std::span(&record, 1)))) {
        return Fail(err, kMessageProbleme);
      }
      out << RecordJson(record) << "\n" << std::flush;
      if (!out) {
        return 1;
      }
      ++received;
    } else if (!said_no_data) {
      err << "the server has no simulator attached (" << *line << "); still asking\n";
      said_no_data = true;
    }
    if (received < count) {
      std::this_thread::sleep_for(std::chrono::milliseconds(interval_ms));
    }
  }
  client.Quit();
  return 0;
}

}  // namespace

const Subcommand kFetchCommand{
    "fetch", "HOST[:PORT] [--count N] [--interval MS]",
    "Connects to a Velmora server as the dashboard's client does (PORT 6000 unless given), checks\n"
    "that both run the same version, then asks for N records (default 1), one every MS milliseconds\n"
    "(default 500), and prints each as one JSON object on one line with every field of the record\n"
    "under its name (\"ABS\", \"Acceleration\", ... \"Vitesse\"), numbers as the simulator stores them.\n"
    "While the server has no simulator it keeps asking. Exit status: 0 when all N records arrived;\n"
    "4 with \"Impossible connection\", \"Not same version\", \"Disconnected !\" or \"Probleme\" on\n"
    "standard error when the connection, the handshake or a record fails.",
    RunFetch};

}  // namespace velmora::cli
