#include "feed_connect.h"

#include <ostream>

#include "net/client_session.h"

namespace velmora::cli {
namespace {

constexpr int kExitConnection = 4;

}  // namespace

int ConnectFeed(web::ServerFeed& feed, std::ostream& err) {
  switch (feed.Connect()) {
    case web::Handshake::kOk:
      return 0;
    case web::Handshake::kImpossibleConnection:
      err << kMessageImpossibleConnection << "\n";
      break;
    case web::Handshake::kNotSameVersion:
      err << kMessageNotSameVersion << "\n";
      break;
  }
  return kExitConnection;
}

}  // namespace velmora::cli
