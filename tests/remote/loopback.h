#pragma once
// Plain POSIX loopback clients and free ports for the remote-service tests.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

namespace loopback {

// A port nobody listens on right now: bound to port 0, read back, released.
inline int freePort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  socklen_t len = sizeof addr;
  getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  close(fd);
  return ntohs(addr.sin_port);
}

// A listening socket on `port` of every address (to make the port busy).
inline int listenOn(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_ANY);
  addr.sin_port = htons(static_cast<uint16_t>(port));
  if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd, 4) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

class Client {
 public:
  // Connects to 127.0.0.1:port, retrying for up to `patience` while nothing
  // listens yet.
  explicit Client(int port, std::chrono::milliseconds patience = std::chrono::milliseconds(0)) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
      fd_ = socket(AF_INET, SOCK_STREAM, 0);
      sockaddr_in addr{};
      addr.sin_family = AF_INET;
      addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      addr.sin_port = htons(static_cast<uint16_t>(port));
      if (connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) return;
      close(fd_);
      fd_ = -1;
      if (std::chrono::steady_clock::now() >= deadline) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  ~Client() { closeNow(); }
  Client(const Client&) = delete;
  Client& operator=(const Client&) = delete;

  bool connected() const { return fd_ >= 0; }

  // Sends every byte; false when the peer is gone.
  bool send(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
      if (n <= 0) return false;
      done += static_cast<size_t>(n);
    }
    return true;
  }

  // Reads exactly `count` bytes, or fewer when the connection ends or
  // `timeout` passes.
  std::string read(size_t count, std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) {
    std::string out;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (out.size() < count) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) break;
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
      char buf[4096];
      const ssize_t n = recv(fd_, buf, std::min(sizeof buf, count - out.size()), 0);
      if (n <= 0) {
        closedByPeer_ = true;
        break;
      }
      out.append(buf, static_cast<size_t>(n));
    }
    return out;
  }

  // True when the peer closes (or resets) the connection within `timeout`;
  // any bytes still arriving before that are dropped.
  bool closedByPeer(std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) {
    if (closedByPeer_) return true;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return false;
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(left.count())) <= 0) return false;
      char buf[4096];
      if (recv(fd_, buf, sizeof buf, 0) <= 0) return closedByPeer_ = true;
    }
  }

  // Closes at once with a reset (no orderly shutdown), as a client that
  // vanishes.
  void abort() {
    linger l{1, 0};
    setsockopt(fd_, SOL_SOCKET, SO_LINGER, &l, sizeof l);
    closeNow();
  }

  void closeNow() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
  bool closedByPeer_ = false;
};

}  // namespace loopback
