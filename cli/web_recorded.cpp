#include "web_recorded.h"

#include <algorithm>
#include <csignal>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>

#include "history/history_store.h"
#include "history_file.h"
#include "net/asio.h"
#include "web/chart_history.h"
#include "web/view_state.h"

namespace velmora::cli {
namespace {

constexpr int kExitPort = 5;

// The page's state after the whole session. Only the samples the page would show differently are
// applied: a lap's end, a new last lap time, and one a chart point; a day-long session stays quick.
std::unique_ptr<web::ViewBuilder> RecordedView(history::HistoryStore& store, std::int64_t session,
                                               double duration_s) {
  const double period_s = std::max(web::ChartHistory::kLivePeriod_s,
                                   duration_s / static_cast<double>(web::ChartHistory::kSlots - 1));
  auto builder = std::make_unique<web::ViewBuilder>(period_s);
  bool first = true;
  TGameData previous{};
  double next_point_s = 0.0;
  TGameData last{};
  double last_s = 0.0;
  store.ForEachSample(session, 0.0, duration_s, [&](double time_s, const TGameData& record) {
    if (first || record.NombreTour != previous.NombreTour ||
        record.TempsDernierTour != previous.TempsDernierTour || time_s >= next_point_s) {
      builder->ApplyAt(record, time_s);
      previous = record;
      first = false;
      while (next_point_s <= time_s) {
        next_point_s += period_s;
      }
    }
    last = record;
    last_s = time_s;
    return true;
  });
  if (!first) {
    // The page ends where the session ends.
    builder->ApplyAt(last, last_s);
  }
  builder->SetStatus(web::FeedStatus::kRecorded);
  return builder;
}

}  // namespace

int RunRecordedWeb(const std::filesystem::path& db, std::int64_t session, web::ViewerServerOptions options,
                   std::ostream& out, std::ostream& err) {
  std::unique_ptr<history::HistoryStore> store;
  if (const int opened = OpenHistory(db, history::HistoryStore::Access::kRead, store, err, "web");
      opened != 0) {
    return opened;
  }
  std::unique_ptr<web::ViewBuilder> view;
  try {
    const auto summary = store->Session(session);
    if (!summary) {
      err << "velmora-cli web: " << db.string() << " holds no session " << session
          << " (velmora-cli sessions lists them)\n";
      return kExitHistoryFile;
    }
    view = RecordedView(*store, session, summary->duration_s);
  } catch (const history::SqliteError& error) {
    err << "velmora-cli web: cannot read " << db.string() << ": " << error.what() << "\n";
    return kExitHistoryFile;
  }
  store.reset();

  std::mutex err_mutex;
  options.on_event = [&](std::string_view what) {
    std::lock_guard lock(err_mutex);
    err << "velmora-cli web: " << what << "\n" << std::flush;
  };
  asio::io_context io;
  std::unique_ptr<web::ViewerServer> server;
  try {
    server = std::make_unique<web::ViewerServer>(io, options);
  } catch (const std::system_error& error) {
    err << "velmora-cli web: cannot listen on " << options.bind_address << " port " << options.port << ": "
        << error.what() << "\n";
    return kExitPort;
  }
  out << "listening on port " << server->Port() << "\n" << std::flush;
  options.on_event("showing session " + std::to_string(session) + " of " + db.string() + " at http://" +
                   options.bind_address + ":" + std::to_string(server->Port()) + "/");
  server->Publish(view->State());
  asio::signal_set signals(io, SIGINT, SIGTERM);
  signals.async_wait([&](const boost::system::error_code& error, int) {
    if (!error) {
      server->Close();
    }
  });
  io.run();
  return 0;
}

}  // namespace velmora::cli
