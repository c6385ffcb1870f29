// Feeds arbitrary bytes, cut into arbitrary pieces, to the server's line splitter and parses every line
// it gives as a command and as a reply, checking that no line is longer than the limit or holds an end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "net/line_splitter.h"
#include "net/protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  // The first byte sets the piece size, as the network would cut the stream.
  const std::size_t piece = 1 + data[0] % 64;
  const auto* bytes = reinterpret_cast<const char*>(data + 1);
  const std::size_t length = size - 1;
  velmora::LineSplitter splitter(velmora::kMaxLineLength);
  for (std::size_t at = 0; at < length && !splitter.Failed(); at += piece) {
    splitter.Feed(std::span(bytes + at, std::min(piece, length - at)));
    while (const auto line = splitter.NextLine()) {
      if (line->size() > velmora::kMaxLineLength || line->find('\n') != std::string_view::npos) {
        std::abort();
      }
      const auto command = velmora::SplitCommand(*line);
      velmora::IsCommand(command.word, "DATA");
      velmora::IsCommand(command.word, "VERSION");
      const auto reply = velmora::ParseReply(*line);
      std::size_t count = 0;
      velmora::ParseByteCount(reply.text, count);
    }
    // A partial line never grows past the limit and one piece.
    if (!splitter.Failed() && splitter.Buffered() > velmora::kMaxLineLength + 1 + piece) {
      std::abort();
    }
  }
  return 0;
}
