#include "remote/service.h"

#include <SDL/SDL_thread.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <atomic>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <list>
#include <mutex>

#include "engine/tokenizer.h"
#include "remote/buttons.h"

const char kRemoteGreeting[] = "Hello to MORVEL remote access!\r\nENTER YOU COMMAND then FINISH to exit";
const char kRemotePrompt[] = "\r\nCommand>";
const char kRemoteBusy[] = "Too many remote connections: try again later\r\n";

TCPsocket remoteListener = nullptr;

int remotePort() {
  const char* text = std::getenv("MORVEL_REMOTE_PORT");
  if (text == nullptr || *text == '\0') return kDefaultRemotePort;
  char* end = nullptr;
  const long port = std::strtol(text, &end, 10);
  if (*end != '\0' || port < 1 || port > 65535) return kDefaultRemotePort;
  return static_cast<int>(port);
}

namespace {

// Sends `text` and its terminating zero byte.
void sendText(TCPsocket socket, const char* text) {
  const int length = static_cast<int>(std::strlen(text)) + 1;
  if (SDLNet_TCP_Send(socket, text, length) < length) std::printf("SDLNet_TCP_Send: %s\n", SDLNet_GetError());
}

bool holdsLineEnd(const char* bytes, int count, bool pendingCarriageReturn) {
  if (pendingCarriageReturn && bytes[0] == '\n') return true;
  for (int i = 0; i + 1 < count; ++i) {
    if (bytes[i] == '\r' && bytes[i + 1] == '\n') return true;
  }
  return false;
}

// SDL_net keeps a socket's descriptor in its own socket record, second after
// a readiness flag, and offers no call to read it. It is read from there and
// used only once the kernel confirms it is the socket meant (the addresses
// agree), so a record laid out otherwise yields no descriptor, not a wrong one.
int recordedDescriptor(TCPsocket socket) {
  int fd = -1;
  std::memcpy(&fd, reinterpret_cast<const unsigned char*>(socket) + sizeof(int), sizeof fd);
  return fd;
}

bool localPort(int fd, uint16_t& port) {
  sockaddr_in a{};
  socklen_t len = sizeof a;
  if (::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0 || a.sin_family != AF_INET) return false;
  port = a.sin_port;
  return true;
}

// The listening descriptor of `listener`, bound to `port` (network order).
int listenerDescriptor(TCPsocket listener, uint16_t port) {
  const int fd = recordedDescriptor(listener);
  int on = 0;
  socklen_t len = sizeof on;
  uint16_t own = 0;
  if (fd < 0 || ::getsockopt(fd, SOL_SOCKET, SO_ACCEPTCONN, &on, &len) != 0 || on == 0 || !localPort(fd, own) ||
      own != port)
    return -1;
  return fd;
}

// The descriptor of an accepted client: its peer is the client's address.
int clientDescriptor(TCPsocket client) {
  const IPaddress* peer = SDLNet_TCP_GetPeerAddress(client);
  const int fd = recordedDescriptor(client);
  sockaddr_in a{};
  socklen_t len = sizeof a;
  if (peer == nullptr || fd < 0 || ::getpeername(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0 ||
      a.sin_family != AF_INET || a.sin_addr.s_addr != peer->host || a.sin_port != peer->port)
    return -1;
  return fd;
}

// Which connection wrote `buttonWord` last, so that a connection that is
// lost releases only the buttons it holds. Connection threads only.
std::mutex buttonOwnerMutex;
unsigned long buttonOwner = 0;  // 0: none
std::atomic<unsigned long> nextConnectionId{1};

void pressButtons(unsigned long connection, int word) {
  std::lock_guard<std::mutex> lock(buttonOwnerMutex);
  buttonWord = word;
  buttonOwner = connection;
}

void releaseButtons(unsigned long connection) {
  std::lock_guard<std::mutex> lock(buttonOwnerMutex);
  if (buttonOwner != connection) return;
  buttonWord = 0;
  buttonOwner = 0;
}

int serveConnection(TCPsocket client, unsigned long id);

// A connection thread. Its entry is touched under threadsMutex only, except
// `client`, `id` and `thread`, set before the thread starts and then read-only.
struct ConnectionThread {
  TCPsocket client = nullptr;
  unsigned long id = 0;
  SDL_Thread* thread = nullptr;
  int descriptor = -1;  // the client socket while it is open, for the shutdown
  bool done = false;
};

std::mutex threadsMutex;
// Never destroyed: a thread still running while the program exits must not
// find its entry gone.
std::list<ConnectionThread>& threads = *new std::list<ConnectionThread>;
bool stopping = false;  // stopRemoteConnections runs; under threadsMutex

int SDLCALL connectionMain(void* data) {
  auto* entry = static_cast<ConnectionThread*>(data);
  const int fd = clientDescriptor(entry->client);
  bool stop;
  {
    std::lock_guard<std::mutex> lock(threadsMutex);
    entry->descriptor = fd;
    stop = stopping;
  }
  const int result = stop ? 0 : serveConnection(entry->client, entry->id);
  {
    // The shutdown must not reach a descriptor that is closed and reused.
    std::lock_guard<std::mutex> lock(threadsMutex);
    entry->descriptor = -1;
  }
  SDLNet_TCP_Close(entry->client);
  std::lock_guard<std::mutex> lock(threadsMutex);
  entry->done = true;
  return result;
}

void reapFinished() {
  std::list<ConnectionThread> finished;
  {
    std::lock_guard<std::mutex> lock(threadsMutex);
    for (auto it = threads.begin(); it != threads.end();) {
      auto next = std::next(it);
      if (it->done) finished.splice(finished.end(), threads, it);
      it = next;
    }
  }
  for (ConnectionThread& t : finished) SDL_WaitThread(t.thread, nullptr);
}

}  // namespace

TCPsocket openRemoteListener(IPaddress& address) {
  TCPsocket listener = SDLNet_TCP_Open(&address);
  if (listener == nullptr) return nullptr;
  // The kernel holds the backlog to its own maximum (net.core.somaxconn).
  const int fd = listenerDescriptor(listener, address.port);
  if (fd < 0 || ::listen(fd, INT_MAX) != 0) std::printf("Remote control: the listen backlog stays at 5\n");
  return listener;
}

std::optional<std::string> receiveLine(RemoteConnection& connection) {
  std::string line;
  char* buffer = connection.readBuffer.data();
  for (;;) {
    const int count = SDLNet_TCP_Recv(connection.socket, buffer, static_cast<int>(kRemoteReadSize));
    if (count < 0) {
      std::printf("Erreur de receive \n");
      return std::nullopt;
    }
    if (count == 0) return std::nullopt;  // closed by the client
    const bool lineEnd = holdsLineEnd(buffer, count, connection.pendingCarriageReturn);
    connection.pendingCarriageReturn = buffer[count - 1] == '\r';
    if (!lineEnd && line.size() + static_cast<std::size_t>(count) > kRemoteLineLimit) {
      std::printf("Remote command longer than %zu bytes: connection closed\n", kRemoteLineLimit);
      return std::nullopt;
    }
    line.append(buffer, static_cast<std::size_t>(count));
    if (lineEnd) break;
  }
  line.resize(std::strlen(line.c_str()));
  return line;
}

namespace {

int serveConnection(TCPsocket client, unsigned long id) {
  std::printf("THREAD\n");
  std::printf("AFT : %d %p \n", static_cast<int>(reinterpret_cast<std::intptr_t>(client)),
              static_cast<void*>(client));
  std::printf("SDLNet_TCP_Accepted: %s\n", SDLNet_GetError());
  RemoteConnection connection(client);
  sendText(client, kRemoteGreeting);
  while (connection.result == 0) {
    sendText(client, kRemotePrompt);
    const std::optional<std::string> line = receiveLine(connection);
    if (!line) break;
    // The command without its line end; a line shorter than that is empty.
    const std::string order = line->size() < 2 ? std::string() : line->substr(0, line->size() - 2);
    std::printf("ORDER:[%s] : ", order.c_str());
    if (order.find("FINISH") != std::string::npos) connection.result = 1;
    if (order.find("PORTA") != std::string::npos) {
      // "PORTA=" reads as 0, like any value without digits; a "PORTA" with
      // no "=" at all gives no value and leaves the word alone.
      const Tokenizer fields(order, '=');
      if (fields.fieldCount() >= 1) pressButtons(id, readWhole(fields.field(1).value_or(std::string())));
    }
    char reply[32];
    std::snprintf(reply, sizeof reply, "%d\r\n", connection.result);
    sendText(client, reply);
  }
  // Lost without "FINISH" (closed, reset, a failed read): a button it held
  // must not stay held with nobody to release it.
  if (connection.result == 0) releaseButtons(id);
  return connection.result;
}

}  // namespace

int serveRemote(TCPsocket client) {
  const int result = serveConnection(client, nextConnectionId++);
  SDLNet_TCP_Close(client);
  return result;
}

int acceptRemoteClient(TCPsocket listener) {
  reapFinished();
  if (listener == nullptr) return 0;
  TCPsocket client = SDLNet_TCP_Accept(listener);
  if (client == nullptr) return 0;
  std::printf("BEF : %d %p \n", static_cast<int>(reinterpret_cast<std::intptr_t>(client)),
              static_cast<void*>(client));
  if (activeRemoteConnections() >= kMaxRemoteConnections) {
    std::printf("Remote control: %d connections already, one refused\n", kMaxRemoteConnections);
    sendText(client, kRemoteBusy);
    SDLNet_TCP_Close(client);
    return 0;
  }
  std::lock_guard<std::mutex> lock(threadsMutex);
  ConnectionThread& entry = threads.emplace_back();
  entry.client = client;
  entry.id = nextConnectionId++;
  entry.thread = SDL_CreateThread(connectionMain, &entry);
  if (entry.thread == nullptr) {
    std::printf("SDL_CreateThread: %s\n", SDL_GetError());
    SDLNet_TCP_Close(client);
    threads.pop_back();
    return 0;
  }
  return 1;
}

void waitRemoteConnections() {
  std::list<ConnectionThread> all;
  {
    std::lock_guard<std::mutex> lock(threadsMutex);
    all.splice(all.end(), threads);
  }
  for (ConnectionThread& t : all) SDL_WaitThread(t.thread, nullptr);
}

void stopRemoteConnections() {
  {
    std::lock_guard<std::mutex> lock(threadsMutex);
    stopping = true;
    // A thread that has not found its descriptor yet sees `stopping` when it
    // does, and ends without serving.
    for (ConnectionThread& t : threads)
      if (t.descriptor >= 0) ::shutdown(t.descriptor, SHUT_RDWR);
  }
  waitRemoteConnections();
  std::lock_guard<std::mutex> lock(threadsMutex);
  stopping = false;
}

int activeRemoteConnections() {
  std::lock_guard<std::mutex> lock(threadsMutex);
  int n = 0;
  for (const ConnectionThread& t : threads) n += t.done ? 0 : 1;
  return n;
}
