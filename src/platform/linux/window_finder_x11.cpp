// Top-level windows on an X11 display, found through xcb.
//
// A window's title is its _NET_WM_NAME (UTF-8) or, when it has none, its WM_NAME; its class is the second
// string of WM_CLASS. The windows looked at are the application windows a person would call top-level:
// - Under a window manager that keeps the EWMH client list on the root, the windows of that list, and
//   the root's own children, which are frames but also windows the manager does not manage (a
//   compatibility layer can be told to draw its windows unmanaged) and, once a manager has died, the
//   windows it left behind.
// - Otherwise the windows that carry WM_STATE, found in the tree below the root at whatever depth
//   frames and wrappers put them (window managers nest them differently), and each child of the root
//   with no such window inside it, as on a display without a window manager.
//
// The process that owns a window is the one the X server names for the window's client (X-Resource);
// _NET_WM_PID is only the window's own claim, which any client can write.
//
// Every request of a level is sent before the first reply is awaited: under a manager with a client list
// a search costs two round trips whatever the number of windows, without one a round trip per level of
// the tree.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>
#include <xcb/res.h>
#include <xcb/xcb.h>

#include "platform/exe_name.h"
#include "platform/linux/window_owner_x11.h"
#include "platform/linux/x11_connection.h"
#include "platform/window_finder.h"

namespace velmora::platform {
namespace {

struct FreeReply {
  void operator()(void* reply) const { std::free(reply); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeReply>;

// WM_CLASS is fetched up to this many 32-bit units (16 KiB); a longer one is taken as no match.
constexpr std::uint32_t kClassLongs = 4096;
// A host name is at most 255 bytes; a longer WM_CLIENT_MACHINE names no host.
constexpr std::uint32_t kMachineLongs = 64;
// A client list is read up to this many windows; a desktop has far fewer.
constexpr std::uint32_t kClientListLongs = 65536;
// How deep the tree is searched for application windows below a child of the root. Managers put them one
// or two levels down; this leaves room for deeper ones without following a program's own window tree for
// ever.
constexpr int kMaxClientDepth = 8;

struct Atoms {
  xcb_atom_t utf8_string = XCB_NONE;
  xcb_atom_t net_wm_name = XCB_NONE;
  xcb_atom_t net_wm_pid = XCB_NONE;
  xcb_atom_t wm_state = XCB_NONE;
  xcb_atom_t net_client_list = XCB_NONE;
  xcb_atom_t net_client_list_stacking = XCB_NONE;
};

// Atoms are created when missing rather than looked up: a window that sets one later must still be seen.
std::optional<Atoms> InternAtoms(xcb_connection_t* connection) {
  constexpr std::array<std::string_view, 6> names{"UTF8_STRING",      "_NET_WM_NAME",
                                                  "_NET_WM_PID",      "WM_STATE",
                                                  "_NET_CLIENT_LIST", "_NET_CLIENT_LIST_STACKING"};
  std::array<xcb_intern_atom_cookie_t, names.size()> cookies{};
  for (std::size_t i = 0; i < names.size(); ++i) {
    cookies[i] = xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(names[i].size()), names[i].data());
  }
  std::array<xcb_atom_t, names.size()> atoms{};
  bool ok = true;
  for (std::size_t i = 0; i < names.size(); ++i) {
    xcb_generic_error_t* error = nullptr;
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookies[i], &error));
    std::free(error);
    ok = ok && reply != nullptr;
    atoms[i] = reply ? reply->atom : XCB_NONE;
  }
  if (!ok) {
    return std::nullopt;
  }
  return Atoms{atoms[0], atoms[1], atoms[2], atoms[3], atoms[4], atoms[5]};
}

// The bytes of an 8-bit property that arrived whole; nullopt when it is missing, has another format or is
// longer than what was asked for.
std::optional<std::string_view> CompleteText(const xcb_get_property_reply_t* reply) {
  if (reply == nullptr || reply->type == XCB_NONE || reply->format != 8 || reply->bytes_after != 0) {
    return std::nullopt;
  }
  return std::string_view(static_cast<const char*>(xcb_get_property_value(reply)),
                          static_cast<std::size_t>(xcb_get_property_value_length(reply)));
}

std::string Latin1ToUtf8(std::string_view latin1) {
  std::string utf8;
  utf8.reserve(latin1.size() * 2);
  for (const char c : latin1) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      utf8.push_back(c);
    } else {
      utf8.push_back(static_cast<char>(0xC0 | (byte >> 6)));
      utf8.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
  }
  return utf8;
}

// WM_CLASS holds "instance\0class\0"; some programs leave out the last terminator.
std::optional<std::string_view> WindowClass(const xcb_get_property_reply_t* wm_class) {
  const auto text = CompleteText(wm_class);
  if (!text) {
    return std::nullopt;
  }
  const auto separator = text->find('\0');
  if (separator == std::string_view::npos) {
    return std::nullopt;
  }
  const auto rest = text->substr(separator + 1);
  return rest.substr(0, rest.find('\0'));
}

// The UTF-8 name decides when the window has one, even when it differs from the legacy name.
std::optional<std::string> WindowTitle(const xcb_get_property_reply_t* net_wm_name,
                                       const xcb_get_property_reply_t* wm_name, const Atoms& atoms) {
  if (net_wm_name != nullptr && net_wm_name->type == atoms.utf8_string) {
    const auto text = CompleteText(net_wm_name);
    return text ? std::optional<std::string>(*text) : std::nullopt;
  }
  const auto legacy = CompleteText(wm_name);
  if (!legacy) {
    return std::nullopt;
  }
  if (wm_name->type == XCB_ATOM_STRING) {
    return Latin1ToUtf8(*legacy);
  }
  return std::string(*legacy);  // UTF8_STRING, or compound text, whose ASCII part is plain ASCII
}

// What a search looks for: every title with every class, in that order of preference, and, where asked,
// after the classes of a title, a class that names a Windows executable.
struct Search {
  std::span<const char* const> titles;
  std::span<const char* const> classes;
  bool windows_executables = false;

  // Lower ranks come first in the search order; nullopt, no match.
  std::optional<std::size_t> Rank(std::string_view title, std::string_view class_name) const {
    const auto wanted_title = std::find(titles.begin(), titles.end(), title);
    if (wanted_title == titles.end()) {
      return std::nullopt;
    }
    const auto per_title = classes.size() + 1;
    const auto title_rank = static_cast<std::size_t>(wanted_title - titles.begin()) * per_title;
    const auto wanted_class = std::find(classes.begin(), classes.end(), class_name);
    if (wanted_class != classes.end()) {
      return title_rank + static_cast<std::size_t>(wanted_class - classes.begin());
    }
    if (windows_executables &&
        (NamesWindowsExecutable(class_name) || NamesCompatibilityLayerApp(class_name))) {
      return title_rank + classes.size();
    }
    return std::nullopt;
  }

  // Enough of a title to hold the longest wanted one and show whether the window's is any longer.
  std::uint32_t TitleLongs() const {
    std::size_t longest = 0;
    for (const char* title : titles) {
      longest = std::max(longest, std::string_view(title).size());
    }
    return static_cast<std::uint32_t>(std::min<std::size_t>(longest / 4 + 1, 1u << 24));
  }
};

// The requests about one window that are in flight.
struct PendingWindow {
  xcb_window_t window = XCB_NONE;
  xcb_get_property_cookie_t wm_class{};
  xcb_get_property_cookie_t net_wm_name{};
  xcb_get_property_cookie_t wm_name{};
  xcb_get_property_cookie_t wm_state{};
  std::optional<xcb_query_tree_cookie_t> tree;
};

// What a search needs to know about one window once its replies are in.
struct WindowFacts {
  xcb_window_t window = XCB_NONE;
  std::optional<std::size_t> rank;  // how the window answers the search, if at all
  std::string title;
  std::string class_name;
  bool managed = false;  // has WM_STATE: a window manager treats it as an application window
  std::vector<xcb_window_t> children;
};

class X11WindowFinder final : public WindowFinder {
 public:
  X11WindowFinder(xcb_connection_t* connection, const Atoms& atoms, bool client_ids, std::string host)
      : connection_(connection), atoms_(atoms), client_ids_(client_ids), host_(std::move(host)) {}
  ~X11WindowFinder() override { xcb_disconnect(connection_); }
  X11WindowFinder(const X11WindowFinder&) = delete;
  X11WindowFinder& operator=(const X11WindowFinder&) = delete;

  WindowHandle FindWindow(const std::string& class_name, const std::string& title) override {
    DrainWatchNews();
    const char* const titles[] = {title.c_str()};
    const char* const classes[] = {class_name.c_str()};
    return Find({titles, classes, false}).handle;
  }

  FoundWindow FindFirstWindow(std::span<const char* const> titles,
                              std::span<const char* const> classes) override {
    DrainWatchNews();
    return Find({titles, classes, true});
  }

  // Asked every cycle about the attached window. The answer is kept, and the server tells when the window
  // goes or changes a name it is known by, so a cycle without such news costs no round trip.
  bool WindowMatches(WindowHandle window, const std::string& class_name, const std::string& title) override {
    if (window == 0) {
      return false;
    }
    std::lock_guard lock(watch_mutex_);
    const bool news = TakeWatchNews();
    if (window == watch_.window && !news && class_name == watch_.class_name && title == watch_.title) {
      return watch_.matches;
    }
    if (window != watch_.window) {
      // Asked before the names are read, so that no change after the reading goes unnoticed.
      Watch(watch_.window, XCB_EVENT_MASK_NO_EVENT);
      Watch(window, XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE);
    }
    const char* const titles[] = {title.c_str()};
    const char* const classes[] = {class_name.c_str()};
    const bool matches = Examine({window}, {titles, classes, false}, false).front().rank.has_value();
    watch_ = {window, class_name, title, matches};
    return matches;
  }

  bool IsWindow(WindowHandle window) override {
    if (window == 0) {
      return false;
    }
    xcb_generic_error_t* error = nullptr;
    Reply<xcb_get_window_attributes_reply_t> reply(
        xcb_get_window_attributes_reply(connection_, xcb_get_window_attributes(connection_, window), &error));
    std::free(error);
    return reply != nullptr;
  }

  std::uint32_t WindowProcessId(WindowHandle window) override {
    if (window == 0) {
      return 0;
    }
    std::optional<xcb_res_query_client_ids_cookie_t> ids;
    if (client_ids_) {
      const xcb_res_client_id_spec_t wanted{window, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
      ids = xcb_res_query_client_ids(connection_, 1, &wanted);
    }
    const auto pid_cookie =
        xcb_get_property(connection_, 0, window, atoms_.net_wm_pid, XCB_ATOM_CARDINAL, 0, 1);
    const auto machine_cookie = xcb_get_property(connection_, 0, window, XCB_ATOM_WM_CLIENT_MACHINE,
                                                 XCB_GET_PROPERTY_TYPE_ANY, 0, kMachineLongs);
    WindowOwnerFacts facts;
    if (ids) {
      facts.server_pid = ServerPid(*ids);
    }
    const auto pid = PropertyReply(pid_cookie);
    const auto machine = PropertyReply(machine_cookie);
    if (pid == nullptr) {
      return 0;  // the window has gone; its client, which the server would still name, may live on
    }
    if (pid->type == XCB_ATOM_CARDINAL && pid->format == 32 &&
        xcb_get_property_value_length(pid.get()) >= 4) {
      facts.net_wm_pid = *static_cast<const std::uint32_t*>(xcb_get_property_value(pid.get()));
    }
    if (const auto text = CompleteText(machine.get())) {
      facts.client_machine = text->substr(0, text->find('\0'));
    }
    return TrustedWindowPid(facts, host_);
  }

 private:
  // One pass over the application windows, however many titles and classes are wanted.
  FoundWindow Find(const Search& search) const {
    std::vector<WindowFacts> candidates;
    for (const auto& root : RootWindows()) {
      auto found = LookAtScreen(root, search);
      std::move(found.begin(), found.end(), std::back_inserter(candidates));
    }
    // The best rank wins; among equals, the window a person sees first, which comes first here.
    const WindowFacts* best = nullptr;
    for (const auto& candidate : candidates) {
      if (candidate.rank && (best == nullptr || *candidate.rank < *best->rank)) {
        best = &candidate;
      }
    }
    if (best == nullptr) {
      return {};
    }
    const bool wine =
        std::find(search.classes.begin(), search.classes.end(), best->class_name) == search.classes.end();
    return {best->window, best->title, best->class_name,
            wine ? WindowRuntime::kWine : WindowRuntime::kNative};
  }

  // The application windows of one screen, each examined, in the order a person sees them, top first.
  std::vector<WindowFacts> LookAtScreen(xcb_window_t root, const Search& search) const {
    const auto stacking = xcb_get_property(connection_, 0, root, atoms_.net_client_list_stacking,
                                           XCB_ATOM_WINDOW, 0, kClientListLongs);
    const auto listed =
        xcb_get_property(connection_, 0, root, atoms_.net_client_list, XCB_ATOM_WINDOW, 0, kClientListLongs);
    const auto tree = xcb_query_tree(connection_, root);
    auto clients = WindowList(PropertyReply(stacking).get());
    if (clients.empty()) {
      clients = WindowList(PropertyReply(listed).get());
    }
    // Bottom to top, as the server and the stacking list give them.
    const auto tops = TreeReply(tree);
    if (clients.empty()) {
      return SearchTree(tops, search);
    }
    std::vector<xcb_window_t> windows(clients.rbegin(), clients.rend());
    for (auto top = tops.rbegin(); top != tops.rend(); ++top) {
      if (std::find(clients.begin(), clients.end(), *top) == clients.end()) {
        windows.push_back(*top);
      }
    }
    return Examine(windows, search, false);
  }

  // The windows that carry WM_STATE below `tops` (bottom to top), a level of the tree at a time, and each
  // top with none inside it. A window with WM_STATE is the application's: what lies below it is its own.
  std::vector<WindowFacts> SearchTree(const std::vector<xcb_window_t>& tops, const Search& search) const {
    std::vector<xcb_window_t> level(tops.rbegin(), tops.rend());
    std::vector<std::size_t> level_top(level.size());  // which top each window of the level lies below
    for (std::size_t i = 0; i < level.size(); ++i) {
      level_top[i] = i;
    }
    std::vector<std::vector<WindowFacts>> clients_below(level.size());
    std::vector<WindowFacts> top_facts;
    for (int depth = 0; !level.empty() && depth <= kMaxClientDepth; ++depth) {
      auto facts = Examine(level, search, depth < kMaxClientDepth);
      std::vector<xcb_window_t> next;
      std::vector<std::size_t> next_top;
      for (std::size_t i = 0; i < facts.size(); ++i) {
        if (facts[i].managed) {
          clients_below[level_top[i]].push_back(std::move(facts[i]));
          continue;
        }
        // Children come bottom to top; the top one is seen first.
        next.insert(next.end(), facts[i].children.rbegin(), facts[i].children.rend());
        next_top.insert(next_top.end(), facts[i].children.size(), level_top[i]);
        facts[i].children.clear();
      }
      if (depth == 0) {
        top_facts = std::move(facts);
      }
      level = std::move(next);
      level_top = std::move(next_top);
    }
    std::vector<WindowFacts> windows;
    for (std::size_t top = 0; top < clients_below.size(); ++top) {
      if (clients_below[top].empty()) {
        windows.push_back(std::move(top_facts[top]));
      } else {
        std::move(clients_below[top].begin(), clients_below[top].end(), std::back_inserter(windows));
      }
    }
    return windows;
  }

  static std::vector<xcb_window_t> WindowList(const xcb_get_property_reply_t* reply) {
    if (reply == nullptr || reply->type != XCB_ATOM_WINDOW || reply->format != 32) {
      return {};
    }
    const auto* first = static_cast<const xcb_window_t*>(xcb_get_property_value(reply));
    return {first, first + xcb_get_property_value_length(reply) / 4};
  }

  std::optional<std::uint32_t> ServerPid(xcb_res_query_client_ids_cookie_t cookie) const {
    xcb_generic_error_t* error = nullptr;
    Reply<xcb_res_query_client_ids_reply_t> reply(
        xcb_res_query_client_ids_reply(connection_, cookie, &error));
    std::free(error);
    if (reply == nullptr) {
      return std::nullopt;
    }
    for (auto it = xcb_res_query_client_ids_ids_iterator(reply.get()); it.rem > 0;
         xcb_res_client_id_value_next(&it)) {
      [[maybe_unused]] const auto& [answered, length] = *it.data;
      if ((answered.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) != 0 &&
          xcb_res_client_id_value_value_length(it.data) >= 1) {
        const std::uint32_t pid = *xcb_res_client_id_value_value(it.data);
        if (pid != 0) {
          return pid;
        }
      }
    }
    return std::nullopt;
  }

  std::vector<xcb_window_t> RootWindows() const {
    std::vector<xcb_window_t> roots;
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(connection_)); it.rem > 0; xcb_screen_next(&it)) {
      roots.push_back(it.data->root);
    }
    return roots;
  }

  std::vector<xcb_window_t> TreeReply(xcb_query_tree_cookie_t cookie) const {
    xcb_generic_error_t* error = nullptr;
    Reply<xcb_query_tree_reply_t> reply(xcb_query_tree_reply(connection_, cookie, &error));
    std::free(error);
    if (reply == nullptr) {
      return {};
    }
    const xcb_window_t* first = xcb_query_tree_children(reply.get());
    return {first, first + xcb_query_tree_children_length(reply.get())};
  }

  // Asks everything about all `windows` at once, then collects the answers in the same order. Windows
  // that vanish in between simply do not match.
  std::vector<WindowFacts> Examine(const std::vector<xcb_window_t>& windows, const Search& search,
                                   bool with_children) const {
    const std::uint32_t title_longs = search.TitleLongs();
    std::vector<PendingWindow> pending;
    pending.reserve(windows.size());
    for (const auto window : windows) {
      PendingWindow request;
      request.window = window;
      request.wm_class = xcb_get_property(connection_, 0, window, XCB_ATOM_WM_CLASS,
                                          XCB_GET_PROPERTY_TYPE_ANY, 0, kClassLongs);
      request.net_wm_name = xcb_get_property(connection_, 0, window, atoms_.net_wm_name,
                                             XCB_GET_PROPERTY_TYPE_ANY, 0, title_longs);
      request.wm_name = xcb_get_property(connection_, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY,
                                         0, title_longs);
      request.wm_state =
          xcb_get_property(connection_, 0, window, atoms_.wm_state, XCB_GET_PROPERTY_TYPE_ANY, 0, 0);
      if (with_children) {
        request.tree = xcb_query_tree(connection_, window);
      }
      pending.push_back(request);
    }
    std::vector<WindowFacts> facts;
    facts.reserve(pending.size());
    for (const auto& request : pending) {
      const auto wm_class = PropertyReply(request.wm_class);
      const auto net_wm_name = PropertyReply(request.net_wm_name);
      const auto wm_name = PropertyReply(request.wm_name);
      const auto wm_state = PropertyReply(request.wm_state);
      WindowFacts window;
      window.window = request.window;
      const auto class_name = WindowClass(wm_class.get());
      auto title = WindowTitle(net_wm_name.get(), wm_name.get(), atoms_);
      if (class_name && title) {
        window.rank = search.Rank(*title, *class_name);
        if (window.rank) {
          window.title = std::move(*title);
          window.class_name = *class_name;
        }
      }
      window.managed = wm_state != nullptr && wm_state->type != XCB_NONE;
      if (request.tree) {
        window.children = TreeReply(*request.tree);
      }
      facts.push_back(std::move(window));
    }
    return facts;
  }

  void Watch(xcb_window_t window, std::uint32_t events) {
    if (window != XCB_NONE) {
      // Unchecked: a window that has gone answers with an error event, which TakeWatchNews drops.
      xcb_change_window_attributes(connection_, window, XCB_CW_EVENT_MASK, &events);
      xcb_flush(connection_);
    }
  }

  // The searches read the news too, so that it does not pile up while nobody asks about the watch.
  void DrainWatchNews() {
    std::lock_guard lock(watch_mutex_);
    if (TakeWatchNews()) {
      watch_.window = XCB_NONE;  // looked at afresh when next asked
      watch_.matches = false;
    }
  }

  // Reads what the server has sent without waiting; true when the watched window went or changed its
  // title or class.
  bool TakeWatchNews() {
    bool news = false;
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
      switch (event->response_type & 0x7F) {
        case XCB_DESTROY_NOTIFY:
          news = news || reinterpret_cast<xcb_destroy_notify_event_t*>(event)->window == watch_.window;
          break;
        case XCB_PROPERTY_NOTIFY: {
          const auto* change = reinterpret_cast<xcb_property_notify_event_t*>(event);
          news = news || (change->window == watch_.window &&
                          (change->atom == XCB_ATOM_WM_NAME || change->atom == XCB_ATOM_WM_CLASS ||
                           change->atom == atoms_.net_wm_name));
          break;
        }
        default:
          break;
      }
      std::free(event);
    }
    return news;
  }

  Reply<xcb_get_property_reply_t> PropertyReply(xcb_get_property_cookie_t cookie) const {
    xcb_generic_error_t* error = nullptr;
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection_, cookie, &error));
    std::free(error);
    return reply;
  }

  // The window WindowMatches last looked at, and what it found.
  struct WatchedWindow {
    xcb_window_t window = XCB_NONE;
    std::string class_name;
    std::string title;
    bool matches = false;
  };

  // xcb serialises use of the connection itself; nothing else here changes after construction, but the
  // watch, which one thread at a time asks.
  xcb_connection_t* const connection_;
  std::mutex watch_mutex_;
  WatchedWindow watch_;
  const Atoms atoms_;
  // Whether the server answers which process owns a client (X-Resource 1.2 and later).
  const bool client_ids_;
  const std::string host_;
};

bool ServerTellsClientPids(xcb_connection_t* connection) {
  const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection, &xcb_res_id);
  if (extension == nullptr || extension->present == 0) {
    return false;
  }
  xcb_generic_error_t* error = nullptr;
  Reply<xcb_res_query_version_reply_t> version(
      xcb_res_query_version_reply(connection, xcb_res_query_version(connection, 1, 2), &error));
  std::free(error);
  return version != nullptr &&
         (version->server_major > 1 || (version->server_major == 1 && version->server_minor >= 2));
}

std::string HostName() {
  std::array<char, 256> name{};
  if (gethostname(name.data(), name.size() - 1) != 0) {
    return {};
  }
  return name.data();
}

}  // namespace

std::unique_ptr<WindowFinder> CreateWindowFinder() {
  xcb_connection_t* connection = ConnectToDisplay();
  if (connection == nullptr) {
    return nullptr;
  }
  const auto atoms = InternAtoms(connection);
  if (!atoms) {
    xcb_disconnect(connection);
    return nullptr;
  }
  return std::make_unique<X11WindowFinder>(connection, *atoms, ServerTellsClientPids(connection), HostName());
}

}  // namespace velmora::platform
