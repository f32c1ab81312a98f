#include "documents/WholeFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

bool WriteFileWhole(const std::string& path, std::string_view bytes, std::string& error) {
  namespace fs = std::filesystem;
  const fs::path target(path);
  std::error_code ec;
  if (fs::is_directory(target, ec)) {
    error = path + ": a folder of that name is in the way";
    return false;
  }
  const fs::path work = target.parent_path() / (".qv-out-" + std::to_string(::getpid()) + ".part");
  const int fd = ::open(work.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    error = path + ": cannot be written (" + std::strerror(errno) + ")";
    return false;
  }
  std::size_t done = 0;
  bool ok = true;
  while (ok && done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ok = false;
    else done += static_cast<std::size_t>(n);
  }
  const int writeErrno = errno;
  if (ok && ::fsync(fd) != 0) ok = false;
  if (::close(fd) != 0) ok = false;
  if (!ok) {
    fs::remove(work, ec);
    error = path + ": writing failed (" + std::strerror(writeErrno ? writeErrno : EIO) + ")";
    return false;
  }
  fs::rename(work, target, ec);
  if (ec) {
    fs::remove(work, ec);
    error = path + ": cannot be replaced (" + ec.message() + ")";
    return false;
  }
  return true;
}
