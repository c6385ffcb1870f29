#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/replace_file.h"

namespace velmora::platform {

std::optional<std::string> ReplaceFileContents(const std::string& path, std::string_view bytes) {
  std::string temporary = path + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) {
    return std::string(std::strerror(errno));
  }
  // mkstemp makes the file private; the result is an ordinary document of the user's.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  int error = ::fchmod(fd, 0666 & ~mask) == 0 ? 0 : errno;
  for (std::size_t written = 0; error == 0 && written < bytes.size();) {
    const ssize_t count = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (count < 0 && errno != EINTR) {
      error = errno;
    } else if (count > 0) {
      written += static_cast<std::size_t>(count);
    }
  }
  if (error == 0 && ::fsync(fd) != 0) {
    error = errno;
  }
  if (::close(fd) != 0 && error == 0) {
    error = errno;
  }
  if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) {
    error = errno;
  }
  if (error != 0) {
    ::unlink(temporary.c_str());
    return std::string(std::strerror(error));
  }
  return std::nullopt;
}

}  // namespace velmora::platform
