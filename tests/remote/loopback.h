#pragma once
// Plain POSIX loopback clients and free ports for the remote-service tests.

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

namespace loopback {

using Ms = std::chrono::milliseconds;

inline sockaddr_in address(int port, uint32_t host = INADDR_LOOPBACK) {
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(host);
  addr.sin_port = htons(static_cast<uint16_t>(port));
  return addr;
}

// A listening socket on `port` of every address (0: any free port).
inline int listenOn(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr = address(port, INADDR_ANY);
  if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd, 4) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

// A port nobody listens on right now.
inline int freePort() {
  const int fd = listenOn(0);
  sockaddr_in addr{};
  socklen_t len = sizeof addr;
  getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  close(fd);
  return ntohs(addr.sin_port);
}

class Client {
 public:
  // Connects to 127.0.0.1:port, retrying for up to `patience`.
  explicit Client(int port, Ms patience = Ms(0)) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    do {
      fd_ = socket(AF_INET, SOCK_STREAM, 0);
      sockaddr_in addr = address(port);
      if (connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) return;
      closeNow();
      std::this_thread::sleep_for(Ms(20));
    } while (std::chrono::steady_clock::now() < deadline);
  }
  ~Client() { closeNow(); }

  bool connected() const { return fd_ >= 0; }
  bool send(const std::string& bytes) {
    return ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
  }

  // Up to `count` bytes: fewer when the connection ends or `timeout` passes.
  std::string read(size_t count, Ms timeout = Ms(5000)) {
    std::string out;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (out.size() < count && !closed_) {
      const auto left = std::chrono::duration_cast<Ms>(deadline - std::chrono::steady_clock::now()).count();
      pollfd p{fd_, POLLIN, 0};
      if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0) break;
      char buf[4096];
      const ssize_t n = recv(fd_, buf, std::min(sizeof buf, count - out.size()), 0);
      if (n <= 0) closed_ = true;
      if (n > 0) out.append(buf, static_cast<size_t>(n));
    }
    return out;
  }

  // True when the peer closes or resets the connection within 5 s (bytes
  // still arriving are dropped).
  bool closedByPeer() {
    for (int i = 0; i < 1000 && !closed_; ++i) read(1 << 20, Ms(5));
    return closed_;
  }

  // Gone at once with a reset, as a client that vanishes.
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
  bool closed_ = false;
};

}  // namespace loopback
